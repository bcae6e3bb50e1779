#include "storage/FileTime.h"

#include "support/ScopedEnvironment.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace strikeline {
namespace {

// Reference moments, as Unix seconds worked out independently of the code under test.
constexpr FileTime k20100413At1000 = FileTimeFromUnix(1271152800);   // 2010-04-13 10:00:00 UTC
constexpr FileTime k20100413Midnight = FileTimeFromUnix(1271116800); // 2010-04-13 00:00:00 UTC
constexpr FileTime k20120229Last = FileTimeFromUnix(1330559999);     // 2012-02-29 23:59:59 UTC
constexpr FileTime kLargestFileTime = 0x7FFFFFFFFFFFFFFFull;

TEST(FileTime, UnixConversionUsesThe1601Epoch) {
    EXPECT_EQ(FileTimeFromUnix(0), 116444736000000000ull);
    EXPECT_EQ(UnixFromFileTime(k20100413At1000), 1271152800);
    // Ticks below a second are dropped, not rounded.
    EXPECT_EQ(UnixFromFileTime(k20100413At1000 + kFileTimeTicksPerSecond - 1), 1271152800);
}

TEST(FileTime, FormatsUniversalTimeInEachStyle) {
    struct Case {
        FileTime value;
        FileTimeStyle style;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {k20100413At1000, FileTimeStyle::DateTime, "2010-04-13 10:00:00"},
        {k20100413At1000, FileTimeStyle::DateTimeShort, "2010-04-13 10:00:00"},
        {k20100413At1000, FileTimeStyle::DayMonthYear, "13-Apr-2010"},
        {k20100413At1000 + kFileTimeTicksPerSecond - 1, FileTimeStyle::DateTime,
         "2010-04-13 10:00:00"},
        {k20120229Last, FileTimeStyle::DateTime, "2012-02-29 23:59:59"},
        {FileTimeFromUnix(946598400), FileTimeStyle::DayMonthYear, "31-Dec-1999"},
        {FileTimeFromUnix(-11644473600 + 86400 * 31 + 3661), FileTimeStyle::DayMonthYear,
         "01-Feb-1601"},
        {1, FileTimeStyle::DateTime, "1601-01-01 00:00:00"},
        {kLargestFileTime, FileTimeStyle::DateTime, "30828-09-14 02:48:05"},
        // An unset date still gives a text of the usual shape.
        {kNoDate, FileTimeStyle::DateTime, "0000-01-00 00:00:00"},
        {kNoDate, FileTimeStyle::DayMonthYear, "00-Jan-0000"},
        // Beyond the range of the time scale, and an unknown style, give nothing.
        {kLargestFileTime + 1, FileTimeStyle::DateTime, ""},
        {k20100413At1000, static_cast<FileTimeStyle>(13), ""},
        {k20100413At1000, static_cast<FileTimeStyle>(0), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " style " << static_cast<int>(c.style));
        EXPECT_EQ(FormatFileTime(c.value, TimeZoneMode::Universal, c.style), c.expected);
    }
}

TEST(FileTime, ParsesTheAcceptedShapesAndRejectsImpossibleDates) {
    struct Case {
        std::string text;
        std::optional<FileTime> expected; // nothing when the text must be rejected
    };
    const std::vector<Case> cases = {
        {"2010-04-13 10:00:00", k20100413At1000},
        {"2010/4/13 10:00", k20100413At1000},
        {"13-Apr-2010", k20100413Midnight},
        {"13-APR-2010 10:00", k20100413At1000},
        {"13 apr 2010 10:00:00", k20100413At1000},
        {"2010-04-13", k20100413Midnight},
        {"  2010--04//13   10::00  ", k20100413At1000}, // runs of separators count as one
        {"13-Apr-2010x 10h:00m", k20100413At1000},      // leading digits of each part
        {"7x-Apr-2010", FileTimeFromUnix(1270598400)},  // 2010-04-07
        {"2012-02-29 23:59:59", k20120229Last},
        {"1601-01-01 00:00:01", kFileTimeTicksPerSecond},
        {"30827-12-31 23:59:59", FileTimeFromUnix(910670515199)},
        {"13-April-2010", std::nullopt},
        {"13-Avr-2010", std::nullopt},
        {"2010-04-13 10", std::nullopt},
        {"2010-04-13 10:00:00:00", std::nullopt},
        {"2010-04", std::nullopt},
        {"2010-04-13-01", std::nullopt},
        {"2010.04.13", std::nullopt},
        {"", std::nullopt},
        {"2010-13-01", std::nullopt},
        {"2010-00-01", std::nullopt},
        {"2010-04-00", std::nullopt},
        {"2010-04-31", std::nullopt},
        {"2011-02-29", std::nullopt},
        {"1600-12-31 23:59:59", std::nullopt},
        {"30828-01-01", std::nullopt},
        {"0000-01-00 00:00:00", std::nullopt},
        {"2010-04-13 24:00", std::nullopt},
        {"2010-04-13 10:60", std::nullopt},
        {"2010-04-13 10:00:60", std::nullopt},
        // Numbers far out of range must not wrap round into valid fields.
        {"2010-257-13", std::nullopt},
        {"2010-04-257", std::nullopt},
        {"2010-04-13 280:00", std::nullopt},
        {"4294969306-04-13", std::nullopt},
        // The length limit: 127 characters still parse, 128 do not.
        {"2010-04-13" + std::string(117, ' '), k20100413Midnight},
        {"2010-04-13" + std::string(118, ' '), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        FileTime value = 12345;
        const bool ok = ParseFileTime(c.text, TimeZoneMode::Universal, value);
        EXPECT_EQ(ok, c.expected.has_value());
        if (ok && c.expected) {
            EXPECT_EQ(value, *c.expected);
        }
    }
}

TEST(FileTime, UniversalTextRoundTrips) {
    const std::vector<FileTime> values = {kFileTimeTicksPerSecond,
                                          k20100413At1000,
                                          k20120229Last,
                                          FileTimeFromUnix(951782400), // 2000-02-29
                                          FileTimeFromUnix(-1),        // 1969-12-31 23:59:59
                                          FileTimeFromUnix(4102444799),
                                          FileTimeFromUnix(910670515199)};
    for (const FileTime value : values) {
        SCOPED_TRACE(value);
        const std::string text =
            FormatFileTime(value, TimeZoneMode::Universal, FileTimeStyle::DateTime);
        FileTime back = 0;
        ASSERT_TRUE(ParseFileTime(text, TimeZoneMode::Universal, back)) << text;
        EXPECT_EQ(back, value);

        const std::string day =
            FormatFileTime(value, TimeZoneMode::Universal, FileTimeStyle::DayMonthYear);
        ASSERT_TRUE(ParseFileTime(day, TimeZoneMode::Universal, back)) << day;
        EXPECT_EQ(back, value - value % (86400 * kFileTimeTicksPerSecond));
    }
}

using FileTimeInSydney = test::CSydneyTimeTest;

TEST_F(FileTimeInSydney, LocalTextFollowsTheZoneAndItsDaylightSaving) {
    struct Case {
        FileTime universal;
        const char* local;
        const char* localDay;
    };
    const std::vector<Case> cases = {
        // Summer: daylight saving, ten hours plus one.
        {FileTimeFromUnix(1263513600), "2010-01-15 11:00:00", "15-Jan-2010"},
        // Winter: standard time, ten hours.
        {FileTimeFromUnix(1279152000), "2010-07-15 10:00:00", "15-Jul-2010"},
        // The evening in universal time is the next morning there.
        {FileTimeFromUnix(1271188800), "2010-04-14 06:00:00", "14-Apr-2010"},
        // Either side of the switch to daylight saving on 3 October 2010.
        {FileTimeFromUnix(1286035199), "2010-10-03 01:59:59", "03-Oct-2010"},
        {FileTimeFromUnix(1286035200), "2010-10-03 03:00:00", "03-Oct-2010"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.local);
        EXPECT_EQ(FormatFileTime(c.universal, TimeZoneMode::Local, FileTimeStyle::DateTime),
                  c.local);
        EXPECT_EQ(FormatFileTime(c.universal, TimeZoneMode::Local, FileTimeStyle::DayMonthYear),
                  c.localDay);
        FileTime parsed = 0;
        ASSERT_TRUE(ParseFileTime(c.local, TimeZoneMode::Local, parsed));
        EXPECT_EQ(parsed, c.universal);
    }
}

TEST_F(FileTimeInSydney, UniversalModeIgnoresTheZone) {
    EXPECT_EQ(FormatFileTime(k20100413At1000, TimeZoneMode::Universal, FileTimeStyle::DateTime),
              "2010-04-13 10:00:00");
    FileTime parsed = 0;
    ASSERT_TRUE(ParseFileTime("2010-04-13 10:00:00", TimeZoneMode::Universal, parsed));
    EXPECT_EQ(parsed, k20100413At1000);
    // An unset date is not a moment, so no zone applies to it.
    EXPECT_EQ(FormatFileTime(kNoDate, TimeZoneMode::Local, FileTimeStyle::DateTime),
              "0000-01-00 00:00:00");
}

TEST_F(FileTimeInSydney, LocalTimeBeforeTheEpochInUniversalTimeIsRejected) {
    // Local midnight on the first day lies ten hours before 1601 in universal time.
    FileTime parsed = 12345;
    EXPECT_FALSE(ParseFileTime("1601-01-01 00:00:00", TimeZoneMode::Local, parsed));
    ASSERT_TRUE(ParseFileTime("1601-01-02 00:00:00", TimeZoneMode::Local, parsed));
    EXPECT_LT(parsed, 86400 * kFileTimeTicksPerSecond);
}

} // namespace
} // namespace strikeline
