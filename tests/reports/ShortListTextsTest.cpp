#include "reports/ShortListTexts.h"

#include "reports/ReportTestData.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

using test::Series;
using test::Share;
using test::Utc;

using Strings = std::vector<std::string>;
using Row = std::array<std::string, kShortListColumns>;

// Dates are shown in local time: read in Sydney's.
using ShortListTexts = test::CSydneyTimeTest;

TEST_F(ShortListTexts, CompanyRowsShowFiveDecimalsAndTheCloseColumn) {
    CCompanyInfo share = Share("BHP", 38.125, {});
    share.SetLow(37.987654321);
    share.SetVolume(1234567.891234);
    CCompanyNameTable names;
    names.Add("BHP", "BHP Group Limited");

    EXPECT_EQ(ShortListCompanyHeaderTexts(share).back(), "Close");
    EXPECT_EQ(ShortListCompanyHeaderTexts(share).size(), 10u);
    Strings values = ShortListCompanyValueTexts(share, names);
    ASSERT_EQ(values.size(), 10u);
    EXPECT_EQ(values[0], "BHP - BHP Group Limited");
    EXPECT_EQ(values[1], "38.125");
    EXPECT_EQ(values[7], "37.98765");
    EXPECT_EQ(values[8], "1234567.89123") << "the volume too has five decimals here";
    EXPECT_EQ(values[9], "") << "the close box's cell";

    share.SetPriceEarnings(15.456789);
    values = ShortListCompanyValueTexts(share, CCompanyNameTable());
    ASSERT_EQ(values.size(), 11u);
    EXPECT_EQ(values[0], "BHP");
    EXPECT_EQ(values[9], "15.45679");
    EXPECT_EQ(ShortListCompanyHeaderTexts(share)[9], "P/E");
}

TEST_F(ShortListTexts, SeriesRowsWithAndWithoutADividend) {
    const CCompanyInfo call =
        Share("BHP", 10, {Series("BHPG0A", 9.5, 0.826, "2010-07-29", "2010-06-21 23:00:00")});
    const CDividend dividend{"BHP", Utc("2010-08-19 14:00:00"), 0.8512};
    EXPECT_EQ(ShortListSeriesTexts(call, call.Contracts()[0], dividend),
              (Row{"", "BHPG0A", "2010-06-22 09:00:00", "29-Jul-2010", "$9.5", "$0.83", "100", "10",
                   "$82.6", "8.26%", "$32.6", "3.26%", "$0.85", "20-Aug-2010", "$9.17"}));
    // A put's break-even here is also last sale less premium.
    const CCompanyInfo put =
        Share("BHP", 10, {Series("BHPS0A", 10.5, 0.75, "2010-07-29", "")}, /*call=*/false);
    EXPECT_EQ(ShortListSeriesTexts(put, put.Contracts()[0], std::nullopt),
              (Row{"", "BHPS0A", "-", "29-Jul-2010", "$10.5", "$0.75", "100", "10", "$75", "7.5%",
                   "$25", "2.5%", "", "", "$9.25"}));
}

TEST_F(ShortListTexts, MissingFiguresShowNothing) {
    CCompanyInfo share =
        Share("XYZ", UNSET_VALUE, {Series("XYZG0A", 1.0, UNSET_VALUE, "2010-07-29")});
    const Row texts =
        ShortListSeriesTexts(share, share.Contracts()[0], CDividend{"XYZ", kNoDate, 0.1});
    EXPECT_EQ(texts[kShortListPriceColumn], "");
    EXPECT_EQ(texts[14], "");
    EXPECT_EQ(texts[kShortListDividendValueColumn], "$0.1");
    EXPECT_EQ(texts[kShortListDividendDateColumn], "");
}

} // namespace
} // namespace strikeline
