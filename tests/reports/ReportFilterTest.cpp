#include "reports/ReportFilter.h"

#include "reports/ReportTestData.h"
#include "storage/NumberText.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

using test::Series;
using test::Share;
using test::Utc;

TEST(ReportFilter, CurrentMonthNeedsAnExpiryLaterThisMonthInEitherList) {
    CReportSettings settings;
    const std::vector<CCompanyInfo> none;
    // The last series of June expires on the 20th: on the 20th the current month is July.
    const std::vector<CCompanyInfo> calls = {Share("A", 1, {Series("A1", 1, 0.1, "2010-06-20")})};
    const CReportFilter on20th(settings, Utc("2010-06-20 09:00:00"), calls, none);
    EXPECT_EQ(on20th.CurrentMonth(), 7u);
    EXPECT_EQ(on20th.NextMonth(), 8u);
    const CReportFilter on19th(settings, Utc("2010-06-19 09:00:00"), none, calls);
    EXPECT_EQ(on19th.CurrentMonth(), 6u) << "the put list counts too";

    // December without a later December expiry: January and February of the next year.
    const CReportFilter december(settings, Utc("2010-12-28 09:00:00"), none, none);
    EXPECT_EQ(december.CurrentYear(), 2011);
    EXPECT_EQ(december.CurrentMonth(), 1u);
    EXPECT_EQ(december.NextMonth(), 2u);
}

TEST(ReportFilter, ExpiryRulesByTheExpireSetting) {
    struct Case {
        std::int32_t expire;
        const char* now;
        bool laterThisMonth;
        const char* expiry;
        bool accepted;
    };
    const Case cases[] = {
        {CReportSettings::CurrentMonth, "2010-12-28", false, "2011-01-27", true},
        {CReportSettings::CurrentMonth, "2010-12-28", false, "2010-01-27", false},
        {CReportSettings::NextMonth, "2010-12-28", false, "2011-02-24", true},
        {CReportSettings::NextMonth, "2010-12-28", false, "2010-02-24", false},
        // Current month November: November and December of this year.
        {CReportSettings::CurrentAndNextMonth, "2010-11-02", true, "2010-11-25", true},
        {CReportSettings::CurrentAndNextMonth, "2010-11-02", true, "2010-12-22", true},
        {CReportSettings::CurrentAndNextMonth, "2010-11-02", true, "2011-12-22", false},
        {CReportSettings::CurrentAndNextMonth, "2010-11-02", true, "2011-01-27", false},
        // Current month December: December of this year and January of the next.
        {CReportSettings::CurrentAndNextMonth, "2010-12-02", true, "2010-12-22", true},
        {CReportSettings::CurrentAndNextMonth, "2010-12-02", true, "2011-01-27", true},
        {CReportSettings::CurrentAndNextMonth, "2010-12-02", true, "2010-01-27", false},
        {CReportSettings::AllMonths, "2010-12-02", true, "2015-03-01", true},
        {17, "2010-12-02", true, "2015-03-01", true}, // outside the list: no expiry rule
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.now) + " expiry " + c.expiry + " mode " +
                     std::to_string(c.expire));
        CReportSettings settings;
        settings.SetExpire(c.expire);
        settings.SetRemoveOld(CReportSettings::kRemoveOldOff);
        const CReportFilter filter(settings, Utc(std::string(c.now) + " 09:00:00"),
                                   c.laterThisMonth);
        EXPECT_EQ(filter.Accepts(Series("S", 1, 0.1, c.expiry)), c.accepted);
    }
}

TEST(ReportFilter, OldTradesAreThoseBeforeTwoWeekdaysBack) {
    struct Case {
        const char* now;
        const char* threshold;
    };
    const Case cases[] = {
        {"2010-06-21 15:30:20", "2010-06-17 00:00:00"}, // Monday: back to Thursday
        {"2010-06-22 15:30:20", "2010-06-18 00:00:00"}, // Tuesday: Friday
        {"2010-06-23 15:30:20", "2010-06-21 00:00:00"}, // Wednesday: Monday
        {"2010-06-26 15:30:20", "2010-06-24 00:00:00"}, // Saturday: Thursday
        {"2010-06-27 15:30:20", "2010-06-24 00:00:00"}, // Sunday: Thursday
    };
    CReportSettings settings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.now);
        EXPECT_EQ(CReportFilter(settings, Utc(c.now), true).OldTradeThreshold(), Utc(c.threshold));
    }
    // Below a second, now's ticks stay in the threshold.
    EXPECT_EQ(CReportFilter(settings, Utc("2010-06-21 15:30:20") + 1234, true).OldTradeThreshold(),
              Utc("2010-06-17 00:00:00") + 1234);

    settings.SetExpire(CReportSettings::AllMonths);
    const CReportFilter monday(settings, Utc("2010-06-21 09:00:00"), true);
    EXPECT_TRUE(monday.Accepts(Series("THU", 1, 0.1, "2010-07-29", "2010-06-17 00:00:00")));
    EXPECT_FALSE(monday.Accepts(Series("WED", 1, 0.1, "2010-07-29", "2010-06-16 23:59:59")));
    EXPECT_FALSE(monday.Accepts(Series("NEVER", 1, 0.1, "2010-07-29", "")));
    settings.SetRemoveOld(CReportSettings::kRemoveOldOff);
    EXPECT_TRUE(CReportFilter(settings, Utc("2010-06-21 09:00:00"), true)
                    .Accepts(Series("NEVER", 1, 0.1, "2010-07-29", "")));
}

TEST(ReportFilter, PriceRangeIsInclusiveAndStrikesMustBeReal) {
    struct Case {
        std::int32_t range;
        double strike;
        bool accepted;
    };
    const Case cases[] = {
        {1, 5.0, true},   {1, 5.01, false},  {6, 50.0, true},         {6, 50.5, false},
        {0, 500.0, true}, {9, 1.0, false},   {-1, 1.0, false}, // outside the list: nothing
        {0, 0.02, true},  {0, 0.019, false}, {0, UNSET_VALUE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "range " << c.range << " strike " << c.strike);
        CReportSettings settings;
        settings.SetRange(c.range);
        settings.SetExpire(CReportSettings::AllMonths);
        settings.SetRemoveOld(CReportSettings::kRemoveOldOff);
        EXPECT_EQ(CReportFilter(settings, Utc("2010-06-21 09:00:00"), true)
                      .Accepts(Series("S", c.strike, 0.1, "2010-07-29")),
                  c.accepted);
    }
}

// The least open interest and the least premium: off at 0 (or below), so that every series
// qualifies as before; when set, a series at the floor qualifies and one below it does not,
// and a figure the data did not give counts as 0.
TEST(ReportFilter, LiquidityFloorsRefuseSeriesBelowThem) {
    struct Case {
        std::int32_t minOpenInterest;
        double minPremium;
        double openInterest;
        double premium;
        bool accepted;
    };
    const Case cases[] = {
        {0, 0.0, 0, 0.0, true},
        {0, 0.0, UNSET_VALUE, UNSET_VALUE, true},
        {-5, -1.0, 0, 0.0, true},
        {100, 0.0, 99, 0.0, false},
        {100, 0.0, 100, 0.0, true},
        {100, 0.0, 5000.5, 0.0, true},
        {1, 0.0, UNSET_VALUE, 1.0, false},
        {1, 0.0, NA_VALUE, 1.0, false},
        {0, 0.05, 0, 0.045, false},
        {0, 0.05, 0, 0.05, true},
        {0, 0.05, 0, 2.5, true},
        {0, 0.001, 0, UNSET_VALUE, false},
        {0, 0.001, 0, NA_VALUE, false},
        {100, 0.05, 100, 0.049, false}, // both set: each must hold
        {100, 0.05, 99, 0.05, false},
        {100, 0.05, 100, 0.05, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "floors " << c.minOpenInterest << " " << c.minPremium
                                        << " series " << c.openInterest << " " << c.premium);
        CReportSettings settings;
        settings.SetExpire(CReportSettings::AllMonths);
        settings.SetRemoveOld(CReportSettings::kRemoveOldOff);
        settings.SetMinOpenInterest(c.minOpenInterest);
        settings.SetMinPremium(c.minPremium);
        CContractInfo series = Series("S", 1, c.premium, "2010-07-29");
        series.SetOpenInterest(c.openInterest);
        EXPECT_EQ(CReportFilter(settings, Utc("2010-06-21 09:00:00"), true).Accepts(series),
                  c.accepted);
    }
}

} // namespace
} // namespace strikeline
