#include "session/DesktopNotices.h"

#include "analytics/FrankingRisk.h"
#include "plan/PlanEntryType.h"
#include "platform/AtomicFile.h"
#include "platform/ModuleLoader.h"
#include "session/SettingsRecords.h"
#include "storage/NumberText.h"
#include "storage/RegistryFile.h"
#include "storage/RegistryStorage.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

namespace strikeline {

namespace {

constexpr long kSecondsPerDay = 24 * 60 * 60;
// How long a told notice is remembered: longer than any lead time, so that it is not told
// again while it could still be due.
constexpr long kLogDays = 60;

long DayOf(FileTime date) {
    const std::int64_t seconds = UnixFromFileTime(date);
    return static_cast<long>(seconds >= 0 ? seconds / kSecondsPerDay
                                          : (seconds - kSecondsPerDay + 1) / kSecondsPerDay);
}

// Today's day number on the user's clock: the plan's dates are the user's own days.
long LocalDay(FileTime now) {
    const std::time_t seconds = static_cast<std::time_t>(UnixFromFileTime(now));
    std::tm local{};
    ::localtime_r(&seconds, &local);
    const std::chrono::year_month_day day{std::chrono::year{local.tm_year + 1900},
                                          std::chrono::month{unsigned(local.tm_mon + 1)},
                                          std::chrono::day{unsigned(local.tm_mday)}};
    return std::chrono::sys_days{day}.time_since_epoch().count();
}

bool IsWeekend(long day) {
    const unsigned weekday = std::chrono::weekday{std::chrono::sys_days{std::chrono::days{day}}}
                                 .c_encoding(); // 0 is Sunday
    return weekday == 0 || weekday == 6;
}

// The trading day `lead` trading days before `day`.
long TradingDaysBefore(long day, std::uint32_t lead) {
    for (std::uint32_t i = 0; i < lead; ++i) {
        do {
            --day;
        } while (IsWeekend(day));
    }
    return day;
}

// "Friday 12 June 2026".
std::string DayText(long day) {
    static constexpr const char* kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                "Thursday", "Friday", "Saturday"};
    static constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                              "May",       "June",     "July",     "August",
                                              "September", "October",  "November", "December"};
    const std::chrono::sys_days date{std::chrono::days{day}};
    const std::chrono::year_month_day ymd{date};
    return std::string(kWeekdays[std::chrono::weekday{date}.c_encoding()]) + " " +
           std::to_string(unsigned(ymd.day())) + " " + kMonths[unsigned(ymd.month()) - 1] + " " +
           std::to_string(int(ymd.year()));
}

// "2026-06-12", for the keys.
std::string IsoDay(long day) {
    const std::chrono::year_month_day ymd{std::chrono::sys_days{std::chrono::days{day}}};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", int(ymd.year()), unsigned(ymd.month()),
                  unsigned(ymd.day()));
    return text;
}

// "today", "tomorrow" or "on Friday 12 June 2026".
std::string WhenText(long day, long today) {
    if (day == today) {
        return "today";
    }
    if (day == today + 1) {
        return "tomorrow";
    }
    return "on " + DayText(day);
}

std::string JoinList(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            text += i + 1 == items.size() ? " and " : ", ";
        }
        text += items[i];
    }
    return text;
}

// "BHPXYZ (C (Sell), strike 45.00)".
std::string RowText(const CTradingPlanEntry& row) {
    std::string text = row.m_ContractID + " (" + std::string(PlanTypeLabel(row.m_SourceType));
    if (IsValue(row.m_StrikePrice)) {
        text += ", strike " + FormatMoney(row.m_StrikePrice, 2);
    }
    return text + ")";
}

} // namespace

void CNotificationSettings::SetLeadDays(std::uint32_t days) {
    m_LeadDays = std::clamp<std::uint32_t>(days, 1, kMaximumLeadDays);
}

void CNotificationSettings::Load(CStructuredStorage& record) {
    m_Enabled = record.ReadBool("Enabled", true);
    SetLeadDays(record.ReadDword("LeadDays", kDefaultLeadDays));
}

void CNotificationSettings::Save(CStructuredStorage& record) const {
    record.WriteBool("Enabled", m_Enabled);
    record.WriteDword("LeadDays", m_LeadDays);
}

CNotificationSettings ReadNotificationSettings(const std::string& path) {
    CNotificationSettings settings;
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    CRegistryFile registry;
    std::string error;
    CRegistryStorage storage;
    if (file && registry.Parse(text.str(), error) &&
        storage.OpenRoot(registry.CurrentUser(), std::string(kRegistryRoot) + "\\Settings")) {
        if (const auto record = storage.OpenChild(kNotificationSettingsKey)) {
            settings.Load(*record);
        }
    }
    return settings;
}

std::vector<CDesktopNotice> NewPriceListNotices(bool calls, bool puts, const std::string& label) {
    if (!calls && !puts) {
        return {};
    }
    const std::string of = label.empty() ? std::string() : " of " + label;
    CDesktopNotice notice;
    notice.key = std::string("list:") + (calls ? "c" : "") + (puts ? "p" : "") + ":" + label;
    notice.window = calls ? NoticeWindow::CallReport : NoticeWindow::PutReport;
    if (calls && puts) {
        notice.summary = "New call and put prices";
        notice.body = "The call and put option prices" + of +
                      " are installed. Click to open the Call Report.";
    } else {
        const std::string kind = calls ? "call" : "put";
        notice.summary = "New " + kind + " prices";
        notice.body = "The " + kind + " option prices" + of + " are installed. Click to open the " +
                      (calls ? "Call" : "Put") + " Report.";
    }
    return {notice};
}

std::vector<CDesktopNotice> PlanEventNotices(const CTradingPlan& plan, FileTime now,
                                             std::uint32_t leadDays) {
    const long today = LocalDay(now);
    const auto due = [today, leadDays](long day) {
        return TradingDaysBefore(day, leadDays) <= today && today <= day;
    };
    // Expiries by day and series; ex-dividend dates by day and company. Ordered maps keep
    // the notices in date order.
    std::map<std::tuple<long, std::string, std::string>, std::vector<const CTradingPlanEntry*>>
        expiries;
    std::map<std::pair<long, std::string>, std::vector<const CTradingPlanEntry*>> exDates;
    for (const CTradingPlanEntry* row : plan.DisplayOrder()) {
        if (row->m_DateExpiry == kNoDate) {
            continue;
        }
        const long expiry = DayOf(row->m_DateExpiry);
        if (expiry < today) {
            continue; // closed by expiry
        }
        if (due(expiry)) {
            expiries[{expiry, row->m_CompanyID, row->m_ContractID}].push_back(row);
        }
        if (row->m_DividendsDate != kNoDate) {
            const long exDate = DayOf(row->m_DividendsDate);
            if (exDate <= expiry && due(exDate)) {
                exDates[{exDate, row->m_CompanyID}].push_back(row);
            }
        }
    }
    std::vector<CDesktopNotice> notices;
    for (const auto& [event, rows] : expiries) {
        const auto& [day, company, series] = event;
        CDesktopNotice notice;
        notice.key = "expiry:" + company + ":" + series + ":" + IsoDay(day);
        notice.window = NoticeWindow::TradingPlan;
        notice.summary = "Expiry " + WhenText(day, today) + ": " + series + " (" + company + ")";
        std::vector<std::string> texts;
        for (const CTradingPlanEntry* row : rows) {
            texts.push_back(RowText(*row));
        }
        notice.body = series + " expires " + WhenText(day, today) + ". Your Trading Plan holds " +
                      JoinList(texts) + ". Click to open the Trading Plan.";
        notices.push_back(std::move(notice));
    }
    for (const auto& [event, rows] : exDates) {
        const auto& [day, company] = event;
        CDesktopNotice notice;
        notice.key = "exdividend:" + company + ":" + IsoDay(day);
        notice.window = NoticeWindow::TradingPlan;
        notice.summary = company + " goes ex-dividend " + WhenText(day, today);
        std::vector<std::string> texts;
        bool soldCall = false;
        for (const CTradingPlanEntry* row : rows) {
            texts.push_back(RowText(*row));
            soldCall =
                soldCall || row->m_SourceType == TYPE_CALL || row->m_SourceType == TYPE_SELL_CALL;
        }
        notice.body =
            company + " goes ex-dividend " + WhenText(day, today) + ". Your Trading Plan holds " +
            JoinList(texts) + "." +
            (soldCall ? " A sold call may be exercised early to take the dividend." : "") +
            " Click to open the Trading Plan.";
        notices.push_back(std::move(notice));
    }
    return notices;
}

std::vector<CDesktopNotice> EarlyExerciseNotices(const CTradingPlan& plan,
                                                 const CMarketAnalytics& analytics,
                                                 const CAnalyticsSettings& settings) {
    std::vector<CDesktopNotice> notices;
    std::set<std::string> keys;
    for (const CTradingPlanEntry* row : plan.DisplayOrder()) {
        const CPlanRowAnalytics figures =
            ComputePlanRowAnalytics(*row, UNSET_VALUE, analytics, settings);
        if (!figures.earlyExercise || figures.days < 0) {
            continue;
        }
        const long exDate = DayOf(figures.earlyExercise->exDate);
        CDesktopNotice notice;
        notice.key = "early:" + row->m_CompanyID + ":" + row->m_ContractID + ":" + IsoDay(exDate);
        if (!keys.insert(notice.key).second) {
            continue;
        }
        notice.window = NoticeWindow::TradingPlan;
        notice.summary =
            "Early exercise likely: " + row->m_ContractID + " (" + row->m_CompanyID + ")";
        notice.body = "Your sold call " + row->m_ContractID + " may well be exercised before " +
                      row->m_CompanyID + " goes ex-dividend on " + DayText(exDate) + " (dividend " +
                      FormatMoney(figures.earlyExercise->dividend, 3) +
                      "). Click to open the Trading Plan.";
        notices.push_back(std::move(notice));
    }
    return notices;
}

CNoticeLog::CNoticeLog(std::string folder)
    : m_Path(folder.empty() ? std::string(kFileName) : folder + "/" + kFileName) {}

void CNoticeLog::Read() {
    m_Entries.clear();
    std::ifstream file(m_Path);
    std::string line;
    while (std::getline(file, line)) {
        // A key may hold spaces (a data date): it is the rest of the line.
        const std::size_t space = line.find(' ');
        if (space == std::string::npos || space + 1 >= line.size()) {
            continue;
        }
        try {
            m_Entries.emplace_back(line.substr(space + 1), std::stol(line.substr(0, space)));
        } catch (const std::exception&) {
            // a damaged line is dropped; at worst a notice is told again
        }
    }
}

std::vector<CDesktopNotice> CNoticeLog::Unsent(const std::vector<CDesktopNotice>& notices) {
    Read();
    std::vector<CDesktopNotice> unsent;
    for (const CDesktopNotice& notice : notices) {
        const bool told =
            std::any_of(m_Entries.begin(), m_Entries.end(),
                        [&notice](const auto& entry) { return entry.first == notice.key; });
        const bool twice =
            std::any_of(unsent.begin(), unsent.end(),
                        [&notice](const CDesktopNotice& other) { return other.key == notice.key; });
        if (!told && !twice) {
            unsent.push_back(notice);
        }
    }
    return unsent;
}

bool CNoticeLog::MarkSent(const std::vector<CDesktopNotice>& notices, FileTime now,
                          std::string& error) {
    if (notices.empty()) {
        return true;
    }
    Read(); // what another process told meanwhile stays
    const long today = DayOf(now);
    std::erase_if(m_Entries,
                  [today](const auto& entry) { return entry.second < today - kLogDays; });
    for (const CDesktopNotice& notice : notices) {
        m_Entries.emplace_back(notice.key, today);
    }
    std::string text;
    for (const auto& [key, day] : m_Entries) {
        text += std::to_string(day) + " " + key + "\n";
    }
    return WriteFileAtomically(m_Path, text, error);
}

std::size_t SendDesktopNotices(const std::vector<CDesktopNotice>& notices, std::string& error) {
    if (notices.empty()) {
        return 0;
    }
    auto* send = FindModuleFunction<NotifySendFunction>(kNotifyModule, kNotifySendEntry, error);
    if (send == nullptr) {
        return 0;
    }
    return send(notices.data(), notices.size(), &error);
}

} // namespace strikeline
