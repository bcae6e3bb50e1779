#include "marketdata/ExchangeTime.h"

#include "support/ScopedEnvironment.h"

#include <chrono>
#include <gtest/gtest.h>

namespace strikeline {
namespace {

std::string Utc(const CExchangeMoment& moment) {
    FileTime value = kNoDate;
    if (!ExchangeTimeToUniversal(moment, value)) {
        return "invalid";
    }
    return FormatFileTime(value, TimeZoneMode::Universal, FileTimeStyle::DateTime);
}

TEST(ExchangeTime, FollowsTheNewSouthWalesRules) {
    struct Case {
        CExchangeMoment local;
        const char* universal;
    };
    const Case cases[] = {
        {{2009, 11, 2, 10, 0, 0}, "2009-11-01 23:00:00"}, // daylight saving
        {{2009, 6, 2, 10, 0, 0}, "2009-06-02 00:00:00"},  // standard time
        // Since 2008 daylight saving starts on the first Sunday of October (4 Oct 2009) and
        // ends on the first Sunday of April (5 Apr 2009, 4 Apr 2010): the days a fixed
        // last-Sunday rule gets an hour wrong.
        {{2009, 10, 5, 10, 0, 0}, "2009-10-04 23:00:00"},
        {{2009, 10, 3, 10, 0, 0}, "2009-10-03 00:00:00"},
        {{2009, 4, 2, 10, 0, 0}, "2009-04-01 23:00:00"},
        {{2009, 4, 6, 10, 0, 0}, "2009-04-06 00:00:00"},
        {{2010, 4, 3, 16, 0, 0}, "2010-04-03 05:00:00"},
        {{2010, 3, 30, 10, 0, 0}, "2010-03-29 23:00:00"},
        // Before 2008: last Sunday of October (28 Oct 2007) to last Sunday of March (25 Mar 2007).
        {{2007, 10, 29, 10, 0, 0}, "2007-10-28 23:00:00"},
        {{2007, 10, 27, 10, 0, 0}, "2007-10-27 00:00:00"},
        {{2007, 3, 24, 10, 0, 0}, "2007-03-23 23:00:00"},
        {{2007, 3, 26, 10, 0, 0}, "2007-03-26 00:00:00"},
        // The change itself, at 02:00 on the exchange's clock.
        {{2009, 10, 4, 1, 59, 59}, "2009-10-03 15:59:59"},
        {{2009, 10, 4, 3, 0, 0}, "2009-10-03 16:00:00"},
        {{2024, 2, 29, 12, 0, 0}, "2024-02-29 01:00:00"},
        {{2009, 2, 29, 12, 0, 0}, "invalid"},
        {{2009, 13, 1, 12, 0, 0}, "invalid"},
        {{2009, 1, 1, 24, 0, 0}, "invalid"},
        {{2009, 1, 1, 23, 60, 0}, "invalid"},
        {{1600, 12, 31, 23, 0, 0}, "invalid"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.local.year << "-" << c.local.month << "-" << c.local.day << " "
                     << c.local.hour << ":" << c.local.minute);
        EXPECT_EQ(Utc(c.local), c.universal);
    }
}

using ExchangeTimeAgainstTheZoneDatabase = test::CSydneyTimeTest;

// Every trading hour of every day from 2008 to 2030 agrees with the system's own rules for
// Australia/Sydney.
TEST_F(ExchangeTimeAgainstTheZoneDatabase, AgreesOnEveryDay) {
    using namespace std::chrono;
    for (sys_days day = sys_days{year{2008} / 1 / 1}; day < sys_days{year{2031} / 1 / 1};
         day += days{1}) {
        const year_month_day date{day};
        for (unsigned hour : {10u, 16u}) {
            const CExchangeMoment moment{static_cast<unsigned>(static_cast<int>(date.year())),
                                         static_cast<unsigned>(date.month()),
                                         static_cast<unsigned>(date.day()),
                                         hour,
                                         0,
                                         0};
            FileTime ours = kNoDate;
            FileTime system = kNoDate;
            ASSERT_TRUE(ExchangeTimeToUniversal(moment, ours));
            const std::string local =
                FormatFileTime(FileTimeFromUnix((day.time_since_epoch().count()) * 86400 +
                                                static_cast<std::int64_t>(hour) * 3600),
                               TimeZoneMode::Universal, FileTimeStyle::DateTime);
            ASSERT_TRUE(ParseFileTime(local, TimeZoneMode::Local, system));
            ASSERT_EQ(ours, system) << local;
        }
    }
}

} // namespace
} // namespace strikeline
