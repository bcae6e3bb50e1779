#include "reports/ReportTexts.h"

#include "reports/ReportTestData.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

using test::Series;
using test::Share;
using test::Utc;

using Strings = std::vector<std::string>;

// Texts are shown in local time: these tests read them in Sydney's.
using ReportTexts = test::CSydneyTimeTest;

TEST_F(ReportTexts, CompanyRowsWithAndWithoutPriceEarnings) {
    CCompanyInfo share = Share("BHP", 38.125, {});
    share.SetChange(-0.25);
    share.SetBid(38.12);
    share.SetOffer(38.13);
    share.SetOpen(38.4);
    share.SetHigh(38.5);
    share.SetLow(37.987654321);
    share.SetVolume(1234567.891);
    CCompanyNameTable names;
    names.Add("bhp", "BHP Group Limited");

    EXPECT_EQ(CompanyHeaderTexts(share), (Strings{"Company Name", "Last Sale", "$ +/-", "Bid",
                                                  "Offer", "Open", "High", "Low", "Volume"}));
    EXPECT_EQ(CompanyValueTexts(share, names),
              (Strings{"BHP - BHP Group Limited", "38.125", "-0.25", "38.12", "38.13", "38.4",
                       "38.5", "37.98765", "1234567.89"}));
    share.SetPriceEarnings(15.456);
    EXPECT_EQ(CompanyHeaderTexts(share).back(), "P/E");
    const Strings values = CompanyValueTexts(share, CCompanyNameTable());
    EXPECT_EQ(values.size(), 10u);
    EXPECT_EQ(values.front(), "BHP") << "no name: the code alone";
    EXPECT_EQ(values.back(), "15.46");
}

TEST_F(ReportTexts, SeriesRowsForCallsAndPuts) {
    const CCompanyInfo call =
        Share("BHP", 10, {Series("BHPG0A", 9.5, 0.82, "2010-07-29", "2010-06-21 23:00:00")});
    EXPECT_EQ(
        SeriesRowTexts(call, call.Contracts()[0]),
        (std::array<std::string, 12>{"BHPG0A", "2010-06-22 09:00:00", "29-Jul-2010", "$9.5",
                                     "$0.82", "100", "10", "$82", "8.2%", "$32", "3.2%", "$9.18"}));
    // Put: E = (last − strike + premium) × size, BEP = strike − premium.
    const CCompanyInfo put =
        Share("BHP", 10, {Series("BHPS0A", 10.5, 0.75, "2010-07-29", "")}, /*call=*/false);
    EXPECT_EQ(SeriesRowTexts(put, put.Contracts()[0]),
              (std::array<std::string, 12>{"BHPS0A", "-", "29-Jul-2010", "$10.5", "$0.75", "100",
                                           "10", "$75", "7.5%", "$25", "2.5%", "$9.75"}));
}

TEST_F(ReportTexts, FiguresThatCannotBeWorkedOutShowNothing) {
    CCompanyInfo share = Share("XYZ", UNSET_VALUE, {Series("X", 1, UNSET_VALUE, "2010-07-29")});
    const auto noPrices = SeriesRowTexts(share, share.Contracts()[0]);
    for (std::size_t cell : {4u, 7u, 8u, 9u, 10u, 11u}) {
        EXPECT_EQ(noPrices[cell], "") << "cell " << cell;
    }
    share.SetLast(0);
    CContractInfo zeroSize = Series("Z", 1, 0.5, "2010-07-29", "", 0);
    share.AddContract(zeroSize);
    const auto zero = SeriesRowTexts(share, share.Contracts()[1]);
    EXPECT_EQ(zero[7], "$0");
    EXPECT_EQ(zero[8], "") << "no share price: no return, not an infinity";
    EXPECT_EQ(zero[10], "");
    for (const auto& text : zero) {
        EXPECT_EQ(text.find("inf"), std::string::npos);
        EXPECT_EQ(text.find("nan"), std::string::npos);
    }
}

TEST_F(ReportTexts, LeveragedRow) {
    const CCompanyInfo call = Share("BHP", 10, {Series("A", 9.5, 0.82, "2010-07-29")});
    // NL = 2 × 82 − 123.7 = 40.3 → $40; EL = 2 × 32 − 123.7 = −59.7 → $-59.
    EXPECT_EQ(
        LeveragedRowTexts(call, call.Contracts()[0], 123.7),
        (std::array<std::string, 6>{
            "50% Leveraged Position. Cost of leverage equals approximately $123 (9% Interest).",
            "$40", "4.03%", "$-59", "-5.97%", ""}));

    // A premium of 0 and, for a put, an exercised profit of 0 leave their returns empty.
    const CCompanyInfo put = Share("BHP", 10, {Series("P", 10, 0, "2010-07-29")}, /*call=*/false);
    const auto texts = LeveragedRowTexts(put, put.Contracts()[0], 5);
    EXPECT_EQ(texts[1], "$-5");
    EXPECT_EQ(texts[2], "");
    EXPECT_EQ(texts[3], "$-5");
    EXPECT_EQ(texts[4], "");
}

TEST(StockList, CodesOfTheDataAndOfTheNamesInAlphabeticalOrder) {
    CCompanyNameTable names;
    names.Add("RIO", "Rio Tinto");
    names.Add("ANZ", "ANZ Bank");
    names.Add("RIO", "Rio Tinto Limited");
    const std::vector<CCompanyInfo> data = {Share("XYZ", 1, {}), Share("RIO", 1, {}),
                                            Share("bhp", 1, {})};
    std::vector<std::string> lines;
    std::vector<std::string> codes;
    for (const CStockListLine& line : BuildStockList(data, names)) {
        lines.push_back(line.text);
        codes.push_back(line.code);
    }
    EXPECT_EQ(lines, (Strings{"ANZ - ANZ Bank", "bhp", "RIO - Rio Tinto Limited", "XYZ"}));
    EXPECT_EQ(codes, (Strings{"ANZ", "bhp", "RIO", "XYZ"}));
}

} // namespace
} // namespace strikeline
