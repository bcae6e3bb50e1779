#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace strikeline {

// The exchange's calendar as the sample market needs it: trading days, the monthly expiry
// of equity options, and the date texts of the data files.

// Weekends, and the holidays that can fall next to a month's end or an expiry: New Year's
// Day, Australia Day, Good Friday, Easter Monday, Anzac Day, Christmas and Boxing Day
// (fixed dates; the Monday substitutes are left out).
bool IsExchangeHoliday(std::chrono::sys_days day);
bool IsTradingDay(std::chrono::sys_days day);
std::chrono::sys_days TradingDayOnOrBefore(std::chrono::sys_days day);
std::chrono::sys_days PreviousTradingDay(std::chrono::sys_days day);

// Monthly equity options expire on the third Thursday of the month; when that Thursday is a
// holiday, on the trading day before it.
std::chrono::sys_days MonthlyOptionExpiry(std::chrono::year_month month);
// The first `count` monthly expiries strictly after `day`.
std::vector<std::chrono::sys_days> NextOptionExpiries(std::chrono::sys_days day, std::size_t count);

// "24 Jun 2010": day without padding, English month abbreviation, year.
std::string FormatExpiryDate(std::chrono::sys_days day);
// "20100624".
std::string FormatCompactDate(std::chrono::sys_days day);
// "2010-06-24 10:05:33" for the given second of the (local) day.
std::string FormatLocalMoment(std::chrono::sys_days day, int secondOfDay);

} // namespace strikeline
