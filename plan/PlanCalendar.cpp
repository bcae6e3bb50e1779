#include "plan/PlanCalendar.h"

#include "journal/JournalCalendar.h"
#include "plan/PlanColumns.h"
#include "plan/PlanEntryType.h"
#include "plan/PlanExport.h"
#include "plan/PlanFigures.h"
#include "storage/NumberText.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string_view>
#include <tuple>

namespace strikeline {

namespace {

using std::chrono::year_month_day;

// RFC 5545 limits a line to 75 octets before its line break.
constexpr std::size_t kLineOctets = 75;

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string DateValue(const year_month_day& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::string UniversalStamp(FileTime now) {
    const std::int64_t seconds = UnixFromFileTime(now);
    const std::chrono::sys_seconds moment{std::chrono::seconds{seconds}};
    const auto day = std::chrono::floor<std::chrono::days>(moment);
    const std::chrono::hh_mm_ss time{moment - day};
    char text[24];
    std::snprintf(text, sizeof text, "%sT%02d%02d%02dZ", DateValue(year_month_day{day}).c_str(),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

// 64-bit FNV-1a: small, fixed and the same on every machine, which is all a UID needs.
std::uint64_t Hash(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string EventUid(PlanCalendarEventKind kind, const std::string& company,
                     const std::string& series, const year_month_day& date) {
    // Letter case aside, as the plan matches codes; the unit separator keeps "AB"+"C"
    // apart from "A"+"BC".
    const std::string key =
        std::string(kind == PlanCalendarEventKind::Expiry ? "expiry" : "exdiv") + '\x1f' +
        Upper(company) + '\x1f' + Upper(series) + '\x1f' + DateValue(date);
    char text[40];
    std::snprintf(text, sizeof text, "%016llx@strikeline",
                  static_cast<unsigned long long>(Hash(key)));
    return text;
}

void AddLine(std::string& out, std::string_view name, const std::string& value) {
    if (!value.empty()) {
        out.append(name).append(": ").append(value).append("\n");
    }
}

// What the events of one row say about it.
std::string RowLines(const CTradingPlanEntry& row) {
    std::string out;
    AddLine(out, "Company", row.m_CompanyID);
    AddLine(out, "Series", row.m_ContractID);
    AddLine(out, "Type", std::string(PlanTypeLabel(row.m_SourceType)));
    AddLine(out, "Strike", PlanCellText(row, PlanColumn::StrikePrice));
    AddLine(out, "Contracts", PlanCellText(row, PlanColumn::OptionContracts));
    return out;
}

std::string DividendLine(double amount, const double* franking) {
    if (!IsValue(amount)) {
        return {};
    }
    std::string text = FormatMoney(amount, 4) + " a share";
    if (franking != nullptr) {
        text += ", " + FormatPercent(*franking, 2) + " franked";
    }
    std::string out;
    AddLine(out, "Dividend", text);
    return out;
}

bool SameCode(std::string_view a, std::string_view b) {
    return Upper(a) == Upper(b);
}

using EventKey = std::tuple<year_month_day, int, std::string, std::string>;

class CEventList {
public:
    void Add(PlanCalendarEventKind kind, const year_month_day& date, const CTradingPlanEntry& row,
             const std::string& extra) {
        const EventKey key{date, static_cast<int>(kind), Upper(row.m_CompanyID),
                           Upper(row.m_ContractID)};
        std::string lines = RowLines(row) + extra;
        lines.pop_back(); // the last line's break
        const auto found = m_Events.find(key);
        if (found != m_Events.end()) {
            found->second.description += "\n\n" + lines;
            return;
        }
        CPlanCalendarEvent event;
        event.kind = kind;
        event.date = date;
        event.company = row.m_CompanyID;
        event.series = row.m_ContractID;
        event.summary = kind == PlanCalendarEventKind::Expiry
                            ? "Expiry: " + row.m_ContractID + " (" + row.m_CompanyID + ")"
                            : "Ex-dividend: " + row.m_CompanyID;
        event.description = std::move(lines);
        event.uid = EventUid(kind, row.m_CompanyID, row.m_ContractID, date);
        m_Events.emplace(key, std::move(event));
    }

    std::vector<CPlanCalendarEvent> Take() {
        std::vector<CPlanCalendarEvent> events;
        events.reserve(m_Events.size());
        for (auto& [key, event] : m_Events) {
            events.push_back(std::move(event));
        }
        return events;
    }

private:
    std::map<EventKey, CPlanCalendarEvent> m_Events;
};

// A TEXT value: backslash, semicolon, comma and line breaks escaped; other control
// characters, which no TEXT may hold, left out.
std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\\':
        case ';':
        case ',':
            out += '\\';
            out += c;
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                break; // the "\n" that follows stands for both
            }
            out += "\\n";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) {
                out += c;
            } else if (c == '\t') {
                out += c;
            }
            break;
        }
    }
    return out;
}

// A content line, folded so that no line is longer than 75 octets (the space that starts
// a continuation counts), and never inside a UTF-8 character.
void AppendLine(std::string& out, std::string_view line) {
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(line[i]);
        if (lead >= 0xc0) {
            while (i + length < line.size() &&
                   (static_cast<unsigned char>(line[i + length]) & 0xc0) == 0x80 && length < 4) {
                ++length;
            }
        }
        if (used + length > kLineOctets) {
            out += "\r\n ";
            used = 1;
        }
        out.append(line.substr(i, length));
        used += length;
        i += length;
    }
    out += "\r\n";
}

} // namespace

std::vector<CPlanCalendarEvent> PlanCalendarEvents(const CTradingPlan& plan, FileTime now,
                                                   const std::vector<CDividend>* dividends) {
    const year_month_day today = LocalDate(now);
    CEventList events;
    for (const CTradingPlanEntry* row : plan.DisplayOrder()) {
        if (row->m_DateExpiry == kNoDate) {
            continue;
        }
        const year_month_day expiry = LocalDate(row->m_DateExpiry);
        if (expiry < today) {
            continue;
        }
        events.Add(PlanCalendarEventKind::Expiry, expiry, *row, {});
        const auto inSpan = [&](FileTime date) {
            const year_month_day day = LocalDate(date);
            return date != kNoDate && today <= day && day <= expiry;
        };
        bool listed = false;
        if (dividends != nullptr) {
            for (const CDividend& dividend : *dividends) {
                if (SameCode(dividend.code, row->m_CompanyID) && inSpan(dividend.date)) {
                    events.Add(PlanCalendarEventKind::ExDividend, LocalDate(dividend.date), *row,
                               DividendLine(dividend.amount, &dividend.franking));
                    listed = true;
                }
            }
        }
        if (!listed && inSpan(row->m_DividendsDate)) {
            events.Add(PlanCalendarEventKind::ExDividend, LocalDate(row->m_DividendsDate), *row,
                       DividendLine(row->m_DividendsValue, nullptr));
        }
    }
    return events.Take();
}

std::string PlanCalendarText(const std::vector<CPlanCalendarEvent>& events, FileTime now) {
    const std::string stamp = UniversalStamp(now);
    std::string out;
    AppendLine(out, "BEGIN:VCALENDAR");
    AppendLine(out, "VERSION:2.0");
    AppendLine(out, "PRODID:-//Varnel//Strikeline Trading Plan//EN");
    AppendLine(out, "CALSCALE:GREGORIAN");
    AppendLine(out, "METHOD:PUBLISH");
    for (const CPlanCalendarEvent& event : events) {
        const std::chrono::sys_days day{event.date};
        AppendLine(out, "BEGIN:VEVENT");
        AppendLine(out, "UID:" + event.uid);
        AppendLine(out, "DTSTAMP:" + stamp);
        AppendLine(out, "DTSTART;VALUE=DATE:" + DateValue(event.date));
        AppendLine(out,
                   "DTEND;VALUE=DATE:" + DateValue(year_month_day{day + std::chrono::days{1}}));
        AppendLine(out, "SUMMARY:" + EscapeText(event.summary));
        AppendLine(out, "DESCRIPTION:" + EscapeText(event.description));
        // Shown as free time: a date to remember, not a meeting.
        AppendLine(out, "TRANSP:TRANSPARENT");
        AppendLine(out, "END:VEVENT");
    }
    AppendLine(out, "END:VCALENDAR");
    return out;
}

bool WritePlanCalendar(const std::vector<CPlanCalendarEvent>& events, FileTime now,
                       const std::string& path, std::string& error) {
    return WritePlanExportFile(path, PlanCalendarText(events, now), error);
}

} // namespace strikeline
