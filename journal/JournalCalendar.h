#pragma once

// Calendar days of moments, for the journal's month and range choices.

#include "storage/FileTime.h"

#include <chrono>

namespace strikeline {

// The day of a moment in universal time.
std::chrono::year_month_day UniversalDate(FileTime value);
// The day of a moment in the user's local time (which follows TZ).
std::chrono::year_month_day LocalDate(FileTime value);
// 00:00 of a calendar day as a moment, with no time-zone conversion; kNoDate when the day
// does not exist or lies before 1601.
FileTime StartOfDay(const std::chrono::year_month_day& date);

} // namespace strikeline
