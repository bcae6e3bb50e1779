#pragma once

#include "marketdata/Dividend.h"
#include "plan/TradingPlan.h"
#include "storage/FileTime.h"

#include <chrono>
#include <string>
#include <vector>

namespace strikeline {

// The plan's coming dates as a calendar file that desktop and phone calendars import: one
// all-day event for each open row's expiry, and one for each ex-dividend date of the row's
// share between today and that expiry, so that an early exercise or a dividend never
// comes as a surprise.

enum class PlanCalendarEventKind { Expiry, ExDividend };

struct CPlanCalendarEvent {
    PlanCalendarEventKind kind = PlanCalendarEventKind::Expiry;
    // The day as the plan shows it (local time).
    std::chrono::year_month_day date;
    std::string company;
    std::string series;
    // "Expiry: BHPXYZ (BHP)", "Ex-dividend: BHP".
    std::string summary;
    // Company, series, type, strike and contracts of each row the event belongs to (and
    // the dividend for an ex-dividend event), one "Name: value" a line, rows apart by an
    // empty line.
    std::string description;
    // Made of the kind, company, series and day alone, so that importing the file again
    // after the plan or the day changed updates the event rather than adding another.
    std::string uid;
};

// The events of the rows whose expiry is not before today (local time) at `now`, by day,
// then expiries before ex-dividend dates, then company and series. Rows of one series on
// one day share one event. Ex-dividend dates come from `dividends` when given; a share
// they list no dividend for between today and the expiry takes the row's own dividend date
// (when the row has one in that span). Without `dividends`, every row takes its own.
std::vector<CPlanCalendarEvent> PlanCalendarEvents(const CTradingPlan& plan, FileTime now,
                                                   const std::vector<CDividend>* dividends);

// The iCalendar text of the events: CRLF line ends, lines folded at 75 octets, texts
// escaped, DTSTAMP the moment `now` in universal time.
std::string PlanCalendarText(const std::vector<CPlanCalendarEvent>& events, FileTime now);

// Writes the calendar atomically, as the plan's exports are written; false with the reason
// the exports give.
bool WritePlanCalendar(const std::vector<CPlanCalendarEvent>& events, FileTime now,
                       const std::string& path, std::string& error);

} // namespace strikeline
