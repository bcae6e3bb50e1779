#include "marketdata/ExchangeTime.h"

#include <chrono>

namespace strikeline {

namespace {

using namespace std::chrono;

constexpr int kFirstRuleYear = 2008;

// Seconds since 1970 of a local moment read as if it were universal time.
std::int64_t LocalSeconds(const year_month_day& date, unsigned hour, unsigned minute = 0,
                          unsigned second = 0) {
    return (sys_days{date} + hours{hour} + minutes{minute} + seconds{second})
        .time_since_epoch()
        .count();
}

year_month_day FirstSunday(int y, unsigned m) {
    return year_month_day{year{y} / month{m} / Sunday[1]};
}

year_month_day LastSunday(int y, unsigned m) {
    return year_month_day{year{y} / month{m} / Sunday[last]};
}

bool InDaylightSaving(const year_month_day& date, std::int64_t local) {
    // A file's trades fall in a year or two, so each thread keeps the last year's changes.
    struct CYearChanges {
        int year = 0;
        std::int64_t start = 0;
        std::int64_t end = 0;
    };
    thread_local CYearChanges changes;
    const int y = static_cast<int>(date.year());
    if (changes.year != y) {
        const bool newRules = y >= kFirstRuleYear;
        changes = {y, LocalSeconds(newRules ? FirstSunday(y, 10) : LastSunday(y, 10), 2),
                   LocalSeconds(newRules ? FirstSunday(y, 4) : LastSunday(y, 3), 2)};
    }
    return local > changes.start || local < changes.end;
}

} // namespace

bool ExchangeTimeToUniversal(const CExchangeMoment& m, FileTime& universal) {
    if (m.year < 1601 || m.year > 30827 || m.month < 1 || m.month > 12 || m.day < 1 || m.day > 31 ||
        m.hour > 23 || m.minute > 59 || m.second > 59) {
        return false;
    }
    const year_month_day date{year{static_cast<int>(m.year)}, month{m.month}, day{m.day}};
    if (!date.ok()) {
        return false;
    }
    const std::int64_t local = LocalSeconds(date, m.hour, m.minute, m.second);
    const std::int64_t offset = (InDaylightSaving(date, local) ? 11 : 10) * 3600;
    const std::int64_t seconds = local - offset;
    if (seconds < -kFileTimeEpochOffset) {
        return false;
    }
    universal = FileTimeFromUnix(seconds);
    return true;
}

} // namespace strikeline
