#include "journal/JournalCalendar.h"

#include <ctime>

namespace strikeline {

using namespace std::chrono;

year_month_day UniversalDate(FileTime value) {
    return year_month_day{floor<days>(sys_seconds{seconds{UnixFromFileTime(value)}})};
}

year_month_day LocalDate(FileTime value) {
    const std::time_t time = static_cast<std::time_t>(UnixFromFileTime(value));
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        return UniversalDate(value);
    }
    return year_month_day{year{local.tm_year + 1900},
                          month{static_cast<unsigned>(local.tm_mon + 1)},
                          day{static_cast<unsigned>(local.tm_mday)}};
}

FileTime StartOfDay(const year_month_day& date) {
    if (!date.ok() || date.year() < year{1601}) {
        return kNoDate;
    }
    return FileTimeFromUnix(sys_seconds{sys_days{date}}.time_since_epoch().count());
}

} // namespace strikeline
