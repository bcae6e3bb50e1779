#include "storage/FileTime.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

namespace strikeline {

namespace {

constexpr std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr FileTime kLargestFileTime = 0x7FFFFFFFFFFFFFFFull;
constexpr unsigned kFirstYear = 1601;
constexpr unsigned kLastYear = 30827;

struct CalendarFields {
    unsigned year = 0, month = 1, day = 0, hour = 0, minute = 0, second = 0;
};

bool ToFields(FileTime value, TimeZoneMode mode, CalendarFields& fields) {
    if (value == kNoDate) {
        fields = {};
        return true;
    }
    if (value > kLargestFileTime) {
        return false;
    }
    const std::int64_t seconds = UnixFromFileTime(value);
    if (mode == TimeZoneMode::Local) {
        const std::time_t time = static_cast<std::time_t>(seconds);
        std::tm local{};
        if (localtime_r(&time, &local) == nullptr) {
            return false;
        }
        fields = {
            static_cast<unsigned>(local.tm_year + 1900), static_cast<unsigned>(local.tm_mon + 1),
            static_cast<unsigned>(local.tm_mday),        static_cast<unsigned>(local.tm_hour),
            static_cast<unsigned>(local.tm_min),         static_cast<unsigned>(local.tm_sec)};
        return true;
    }
    using namespace std::chrono;
    const sys_seconds moment{std::chrono::seconds{seconds}};
    const sys_days day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss time{moment - day};
    fields = {static_cast<unsigned>(static_cast<int>(date.year())),
              static_cast<unsigned>(date.month()),
              static_cast<unsigned>(date.day()),
              static_cast<unsigned>(time.hours().count()),
              static_cast<unsigned>(time.minutes().count()),
              static_cast<unsigned>(time.seconds().count())};
    return true;
}

bool FromFields(const CalendarFields& f, TimeZoneMode mode, FileTime& value) {
    using namespace std::chrono;
    // Range-check before building the date: chrono keeps a month or day in a byte, so 257
    // would wrap round to a valid 1.
    if (f.year < kFirstYear || f.year > kLastYear || f.month < 1 || f.month > 12 || f.day < 1 ||
        f.day > 31 || f.hour > 23 || f.minute > 59 || f.second > 59) {
        return false;
    }
    const year_month_day date{year{static_cast<int>(f.year)}, month{f.month}, day{f.day}};
    if (!date.ok()) {
        return false;
    }
    std::int64_t seconds = 0;
    if (mode == TimeZoneMode::Local) {
        std::tm local{};
        local.tm_year = static_cast<int>(f.year) - 1900;
        local.tm_mon = static_cast<int>(f.month) - 1;
        local.tm_mday = static_cast<int>(f.day);
        local.tm_hour = static_cast<int>(f.hour);
        local.tm_min = static_cast<int>(f.minute);
        local.tm_sec = static_cast<int>(f.second);
        local.tm_isdst = -1;
        errno = 0;
        const std::time_t time = std::mktime(&local);
        if (time == static_cast<std::time_t>(-1) && errno != 0) {
            return false;
        }
        seconds = time;
    } else {
        const sys_seconds moment =
            sys_days{date} + hours{f.hour} + minutes{f.minute} + std::chrono::seconds{f.second};
        seconds = moment.time_since_epoch().count();
    }
    if (seconds < -kFileTimeEpochOffset) {
        return false; // local time before 1601 in universal time
    }
    value = FileTimeFromUnix(seconds);
    return true;
}

// Leading-digit conversion: "7x" reads 7, a token without leading digits reads 0.
unsigned LeadingNumber(std::string_view token) {
    unsigned long number = 0;
    for (const char c : token) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            break;
        }
        number = number * 10 + static_cast<unsigned long>(c - '0');
        if (number > 99'999'999) {
            break; // far past any valid field; it fails the range checks
        }
    }
    return static_cast<unsigned>(number);
}

bool MonthFromName(std::string_view token, unsigned& month) {
    for (unsigned m = 0; m < kMonthNames.size(); ++m) {
        const std::string_view name = kMonthNames[m];
        if (token.size() == name.size() &&
            std::equal(token.begin(), token.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            month = m + 1;
            return true;
        }
    }
    return false;
}

} // namespace

std::string FormatFileTime(FileTime value, TimeZoneMode mode, FileTimeStyle style) {
    CalendarFields f;
    if (!ToFields(value, mode, f)) {
        return {};
    }
    char text[64];
    switch (style) {
    case FileTimeStyle::DateTime:
    case FileTimeStyle::DateTimeShort:
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", f.year, f.month, f.day,
                      f.hour, f.minute, f.second);
        return text;
    case FileTimeStyle::DayMonthYear:
        std::snprintf(text, sizeof text, "%02u-%s-%04u", f.day, kMonthNames[f.month - 1], f.year);
        return text;
    }
    return {};
}

bool ParseFileTime(std::string_view text, TimeZoneMode mode, FileTime& value) {
    if (text.size() >= 128) {
        return false;
    }
    const bool hasMonthName = std::any_of(text.begin(), text.end(), [](char c) {
        return std::isalpha(static_cast<unsigned char>(c));
    });
    const bool hasTime = text.find(':') != std::string_view::npos;

    std::vector<std::string_view> tokens;
    constexpr std::string_view kSeparators = "/-: ";
    for (std::size_t pos = text.find_first_not_of(kSeparators); pos != std::string_view::npos;) {
        const std::size_t end = text.find_first_of(kSeparators, pos);
        tokens.push_back(
            text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
        pos = end == std::string_view::npos ? end : text.find_first_not_of(kSeparators, end);
    }
    if (tokens.size() > 6 || (hasTime ? tokens.size() < 5 : tokens.size() != 3)) {
        return false;
    }
    CalendarFields f;
    if (hasMonthName) {
        f.day = LeadingNumber(tokens[0]);
        if (!MonthFromName(tokens[1], f.month)) {
            return false;
        }
        f.year = LeadingNumber(tokens[2]);
    } else {
        f.year = LeadingNumber(tokens[0]);
        f.month = LeadingNumber(tokens[1]);
        f.day = LeadingNumber(tokens[2]);
    }
    if (hasTime) {
        f.hour = LeadingNumber(tokens[3]);
        f.minute = LeadingNumber(tokens[4]);
        f.second = tokens.size() == 6 ? LeadingNumber(tokens[5]) : 0;
    }
    return FromFields(f, mode, value);
}

FileTime CurrentFileTime() {
    return FileTimeFromUnix(static_cast<std::int64_t>(std::time(nullptr)));
}

} // namespace strikeline
