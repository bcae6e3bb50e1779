#include "tools/MarketCalendar.h"

#include <array>
#include <charconv>

namespace strikeline {

using namespace std::chrono;

namespace {

// Gregorian Easter (the anonymous algorithm).
sys_days EasterSunday(int y) {
    const int a = y % 19;
    const int b = y / 100;
    const int c = y % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int dayOfMonth = (h + l - 7 * m + 114) % 31 + 1;
    return sys_days{year{y} / static_cast<unsigned>(month) / static_cast<unsigned>(dayOfMonth)};
}

void AppendPadded(std::string& text, long value, int width) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    const auto length = static_cast<int>(result.ptr - buffer.data());
    for (int pad = length; pad < width; ++pad) {
        text += '0';
    }
    text.append(buffer.data(), result.ptr);
}

} // namespace

bool IsExchangeHoliday(sys_days day) {
    const year_month_day date{day};
    const unsigned m = static_cast<unsigned>(date.month());
    const unsigned d = static_cast<unsigned>(date.day());
    if ((m == 1 && (d == 1 || d == 26)) || (m == 4 && d == 25) ||
        (m == 12 && (d == 25 || d == 26))) {
        return true;
    }
    const sys_days easter = EasterSunday(static_cast<int>(date.year()));
    return day == easter - days{2} || day == easter + days{1};
}

bool IsTradingDay(sys_days day) {
    const weekday w{day};
    return w != Saturday && w != Sunday && !IsExchangeHoliday(day);
}

sys_days TradingDayOnOrBefore(sys_days day) {
    while (!IsTradingDay(day)) {
        day -= days{1};
    }
    return day;
}

sys_days PreviousTradingDay(sys_days day) {
    return TradingDayOnOrBefore(day - days{1});
}

sys_days MonthlyOptionExpiry(year_month month) {
    return TradingDayOnOrBefore(sys_days{month / Thursday[3]});
}

std::vector<sys_days> NextOptionExpiries(sys_days day, std::size_t count) {
    std::vector<sys_days> expiries;
    const year_month_day date{day};
    year_month month = date.year() / date.month();
    while (expiries.size() < count) {
        const sys_days expiry = MonthlyOptionExpiry(month);
        if (expiry > day) {
            expiries.push_back(expiry);
        }
        month += months{1};
    }
    return expiries;
}

std::string FormatExpiryDate(sys_days day) {
    static constexpr std::array<const char*, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const year_month_day date{day};
    std::string text;
    AppendPadded(text, static_cast<long>(static_cast<unsigned>(date.day())), 1);
    text += ' ';
    text += kMonths[static_cast<unsigned>(date.month()) - 1];
    text += ' ';
    AppendPadded(text, static_cast<int>(date.year()), 4);
    return text;
}

std::string FormatCompactDate(sys_days day) {
    const year_month_day date{day};
    std::string text;
    AppendPadded(text, static_cast<int>(date.year()), 4);
    AppendPadded(text, static_cast<long>(static_cast<unsigned>(date.month())), 2);
    AppendPadded(text, static_cast<long>(static_cast<unsigned>(date.day())), 2);
    return text;
}

std::string FormatLocalMoment(sys_days day, int secondOfDay) {
    const year_month_day date{day};
    std::string text;
    AppendPadded(text, static_cast<int>(date.year()), 4);
    text += '-';
    AppendPadded(text, static_cast<long>(static_cast<unsigned>(date.month())), 2);
    text += '-';
    AppendPadded(text, static_cast<long>(static_cast<unsigned>(date.day())), 2);
    text += ' ';
    AppendPadded(text, secondOfDay / 3600, 2);
    text += ':';
    AppendPadded(text, secondOfDay / 60 % 60, 2);
    text += ':';
    AppendPadded(text, secondOfDay % 60, 2);
    return text;
}

} // namespace strikeline
