#pragma once

#include "analytics/AnalyticsSettings.h"
#include "analytics/MarketAnalytics.h"
#include "plan/TradingPlan.h"
#include "storage/FileTime.h"
#include "storage/StructuredStorage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace strikeline {

// The desktop's notices: what the program and the scheduled fetch tell the user outside
// their windows (a new price list, a coming ex-dividend date or expiry of a plan position,
// a sold call likely to be exercised early), and which of them were already told.

// The window a click on a notice opens.
enum class NoticeWindow : std::uint8_t { CallReport, PutReport, TradingPlan };

struct CDesktopNotice {
    // Names the event alone, so that it is told once however often it is worked out.
    std::string key;
    std::string summary;
    std::string body;
    NoticeWindow window = NoticeWindow::CallReport;

    bool operator==(const CDesktopNotice&) const = default;
};

// Settings\Notifications: whether notices are sent, and how many trading days ahead of an
// ex-dividend date or an expiry.
class CNotificationSettings {
public:
    static constexpr std::uint32_t kDefaultLeadDays = 1;
    static constexpr std::uint32_t kMaximumLeadDays = 10;

    bool Enabled() const { return m_Enabled; }
    void SetEnabled(bool enabled) { m_Enabled = enabled; }
    std::uint32_t LeadDays() const { return m_LeadDays; }
    // Kept within 1..kMaximumLeadDays.
    void SetLeadDays(std::uint32_t days);

    void Load(CStructuredStorage& record);
    void Save(CStructuredStorage& record) const;

    bool operator==(const CNotificationSettings&) const = default;

private:
    bool m_Enabled = true;
    std::uint32_t m_LeadDays = kDefaultLeadDays;
};

// The record's name below the program's Settings key.
inline constexpr const char* kNotificationSettingsKey = "Notifications";

// Reads the notification settings from the settings file at `path`; a file or record that
// is missing or does not read leaves the defaults.
CNotificationSettings ReadNotificationSettings(const std::string& path);

// A new call and/or put price list of the data date `label` was installed. Nothing when
// neither was.
std::vector<CDesktopNotice> NewPriceListNotices(bool calls, bool puts, const std::string& label);

// The ex-dividend dates and expiries of the plan's open rows (expiry today or later, local
// time at `now`, universal) that come within `leadDays` trading days (Monday to Friday):
// from the morning of that trading day until the day itself. Rows of one series share an
// expiry notice, rows of one company an ex-dividend notice.
std::vector<CDesktopNotice> PlanEventNotices(const CTradingPlan& plan, FileTime now,
                                             std::uint32_t leadDays);

// The plan's sold calls that the analytics expect to be exercised early, one notice for
// each series and ex-date.
std::vector<CDesktopNotice> EarlyExerciseNotices(const CTradingPlan& plan,
                                                 const CMarketAnalytics& analytics,
                                                 const CAnalyticsSettings& settings);

// The notices already told, in a small file of the data folder (one "day key" a line),
// shared by the program and the scheduled fetch. Entries older than some weeks are dropped
// when the file is written.
class CNoticeLog {
public:
    static constexpr const char* kFileName = "notices-sent.txt";

    explicit CNoticeLog(std::string folder);

    // The notices of `notices` not told yet, in their order (the file is read again first).
    std::vector<CDesktopNotice> Unsent(const std::vector<CDesktopNotice>& notices);
    // Notes the notices as told at `now` and writes the file; false with the reason when
    // it could not be written.
    bool MarkSent(const std::vector<CDesktopNotice>& notices, FileTime now, std::string& error);

private:
    void Read();

    std::string m_Path;
    // Key and the day (days since 1970-01-01) it was told.
    std::vector<std::pair<std::string, long>> m_Entries;
};

// The sending half in a module of its own (strikeline-notify), so that the headless command
// maps the desktop bus's libraries only when asked to tell the desktop. Returns how many
// of `notices` were sent, in order; fills `error` when not all were (no notification
// service, no module).
std::size_t SendDesktopNotices(const std::vector<CDesktopNotice>& notices, std::string& error);

inline constexpr const char* kNotifyModule = "strikeline-notify";
inline constexpr const char* kNotifySendEntry = "StrikelineSendNotices";
// The module's entry: sends `count` notices, returns how many went, and writes why the rest
// did not into `error`.
using NotifySendFunction = std::size_t(const CDesktopNotice* notices, std::size_t count,
                                       std::string* error);

} // namespace strikeline
