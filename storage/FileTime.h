#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace strikeline {

// A moment: 100-nanosecond intervals since 1601-01-01 00:00 UTC. 0 means no date.
using FileTime = std::uint64_t;

inline constexpr FileTime kNoDate = 0;
inline constexpr FileTime kFileTimeTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
inline constexpr std::int64_t kFileTimeEpochOffset = 11'644'473'600;

constexpr FileTime FileTimeFromUnix(std::int64_t seconds) {
    return static_cast<FileTime>(seconds + kFileTimeEpochOffset) * kFileTimeTicksPerSecond;
}
constexpr std::int64_t UnixFromFileTime(FileTime value) {
    return static_cast<std::int64_t>(value / kFileTimeTicksPerSecond) - kFileTimeEpochOffset;
}

// The system clock, whole seconds: what the windows take as "now".
FileTime CurrentFileTime();

// How a text relates to the stored universal time: Universal texts are the stored value
// itself (the XML files); Local texts are in the user's local time (windows, exports),
// which follows TZ.
enum class TimeZoneMode { Universal = 0, Local = 1 };

enum class FileTimeStyle {
    DateTime = 10,      // "2010-04-13 10:00:00"
    DateTimeShort = 11, // the same text
    DayMonthYear = 12,  // "13-Apr-2010", English month abbreviations whatever the locale
};

// The text of a moment. kNoDate gives year 0, month 1, day 0, midnight
// ("0000-01-00 00:00:00", "00-Jan-0000"). A style outside the list gives "".
std::string FormatFileTime(FileTime value, TimeZoneMode mode, FileTimeStyle style);

// Reads "2010-04-13 10:00:00", "2010/4/13 10:00", "13-Apr-2010" and their like: year,
// month, day as numbers, or day, month abbreviation (any letter case), year when the text
// holds a letter; then an optional hour:minute[:second]. Fails on a text of 128 characters
// or more, on a wrong count of parts, an unknown month, or an impossible date or time.
bool ParseFileTime(std::string_view text, TimeZoneMode mode, FileTime& value);

} // namespace strikeline
