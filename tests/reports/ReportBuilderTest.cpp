#include "reports/ReportBuilder.h"

#include "reports/ReportTestData.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

using test::Series;
using test::Share;
using test::Utc;

// Tuesday 22 June 2010; July series are of the current month once no June series is left.
const FileTime kNow = Utc("2010-06-22 06:00:00");

class ReportBuilderTest : public ::testing::Test {
protected:
    ReportBuilderTest() {
        m_Settings.SetRemoveOld(CReportSettings::kRemoveOldOff);
        m_Settings.SetExpire(CReportSettings::AllMonths);
    }

    CReport Build(std::vector<CCompanyInfo> calls, ReportKind kind = ReportKind::Call) {
        m_Market.PublishCompanies(kind == ReportKind::Call, std::move(calls));
        m_Market.PublishTop20(m_Top20);
        return BuildReport(kind, m_Settings, *m_Market.Current(), kNow);
    }

    static std::vector<std::string> Codes(const CReport& report) {
        std::vector<std::string> codes;
        for (const CReportBlock& block : report.blocks) {
            codes.push_back(block.company->Code());
        }
        return codes;
    }

    CReportSettings m_Settings;
    CMarketData m_Market;
    CCompanyNameTable m_Top20;
};

TEST_F(ReportBuilderTest, SeriesInStrikeOrderWithTheFirstClosestAtTheMoney) {
    const CReport report =
        Build({Share("BHP", 10.0,
                     {Series("HI", 10.5, 0.3, "2010-07-29"), Series("LO", 9.5, 0.9, "2010-07-29"),
                      Series("LO2", 9.5, 1.1, "2010-08-26"), Series("FAR", 20, 0.01, "2010-07-29"),
                      Series("NOSTRIKE", UNSET_VALUE, 0.5, "2010-07-29")})});
    ASSERT_EQ(report.blocks.size(), 1u);
    const CReportBlock& block = report.blocks[0];
    std::vector<std::string> order;
    for (std::size_t i = 0; i < block.series.size(); ++i) {
        order.push_back(block.Series(i).Code());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"LO2", "LO", "HI", "FAR"}))
        << "equal strikes: dearer first";
    ASSERT_TRUE(block.atTheMoney);
    EXPECT_EQ(block.Series(*block.atTheMoney).Code(), "LO2")
        << "equally close: the lower strike, listed first";
    EXPECT_FALSE(block.leveraged);
    EXPECT_EQ(Build({}).blocks.size(), 0u);
}

TEST_F(ReportBuilderTest, CompaniesWithoutQualifyingSeriesNeverShow) {
    m_Settings.SetExpire(CReportSettings::NextMonth); // August
    for (std::int32_t stocks : {0, 1, 2, 3, -1, 8}) {
        SCOPED_TRACE(stocks);
        m_Settings.SetStocks(stocks);
        m_Settings.SetCompanyList({"bhp", "RIO"});
        m_Top20 = CCompanyNameTable();
        m_Top20.Add("BHP", "BHP Group");
        m_Top20.Add("RIO", "Rio Tinto");
        const CReport report = Build({Share("BHP", 10, {Series("B", 10, 0.5, "2010-08-26")}),
                                      Share("RIO", 10, {Series("R", 10, 0.5, "2010-07-29")})});
        EXPECT_EQ(Codes(report), std::vector<std::string>{"BHP"});
    }
}

TEST_F(ReportBuilderTest, StockModesChooseTheCompanies) {
    std::vector<CCompanyInfo> market;
    for (const char* code : {"ZZZ", "AAA", "MMM", "bbb"}) {
        market.push_back(Share(code, 10, {Series(code, 10, 0.5, "2010-07-29")}));
    }
    m_Settings.SetStocks(CReportSettings::SelectStocks);
    m_Settings.SetCompanyList({"BBB", "zzz"});
    EXPECT_EQ(Codes(Build(market)), (std::vector<std::string>{"bbb", "ZZZ"}))
        << "codes match in any case";

    // The Top 20 keeps the order of the data and looks codes up in upper case.
    m_Settings.SetStocks(CReportSettings::Top20);
    m_Top20.Add("mmm", "M");
    m_Top20.Add("BBB", "B");
    m_Top20.Add("AAA", "");
    EXPECT_EQ(Codes(Build(market)), (std::vector<std::string>{"MMM", "bbb"}))
        << "an empty entry is no entry";
}

TEST_F(ReportBuilderTest, HighestTenKeepsTheBestPayingThenSorts) {
    std::vector<CCompanyInfo> market;
    for (int i = 0; i < 14; ++i) {
        const std::string code = std::string(1, static_cast<char>('A' + i)) + "X";
        // Yields 1% to 14%; the at-the-money series is the one at 10.
        market.push_back(Share(code, 10,
                               {Series(code + "1", 10, 0.1 * (i + 1), "2010-07-29"),
                                Series(code + "2", 12, 5.0, "2010-07-29")}));
    }
    m_Settings.SetStocks(CReportSettings::ListHighest10);
    m_Settings.SetSortMode(CReportSettings::ByName);
    m_Settings.SetSortAscending(false);
    const CReport report = Build(market);
    EXPECT_EQ(Codes(report), (std::vector<std::string>{"NX", "MX", "LX", "KX", "JX", "IX", "HX",
                                                       "GX", "FX", "EX"}));

    // Only four companies with qualifying series: four, in the chosen order.
    market.resize(4);
    market.push_back(Share("NONE", 10, {Series("OLD", 10, 1, "2009-07-29")}));
    m_Settings.SetExpire(CReportSettings::CurrentMonth);
    m_Settings.SetSortAscending(true);
    EXPECT_EQ(Codes(Build(market)), (std::vector<std::string>{"AX", "BX", "CX", "DX"}));
}

TEST_F(ReportBuilderTest, SortKeysAndTieBreaks) {
    const std::vector<CCompanyInfo> market = {
        Share("CCC", 30, {Series("C", 30, 0.9, "2010-07-29")}), // yield 3%, fair price 0.9
        Share("aaa", 10, {Series("A", 10, 0.5, "2010-07-29")}), // yield 5%, fair price 0.5
        Share("BBB", 20, {Series("B", 20, 0.5, "2010-07-29")}), // yield 2.5%, fair price 0.5
        Share("DDD", 5, {Series("D", 5, 0.05, "2010-07-29")}),  // yield 1%, fair price 0.05
    };
    struct Case {
        std::int32_t mode;
        bool ascending;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {CReportSettings::ByName, true, {"aaa", "BBB", "CCC", "DDD"}},
        {CReportSettings::ByName, false, {"DDD", "CCC", "BBB", "aaa"}},
        {CReportSettings::ByPrice, true, {"DDD", "aaa", "BBB", "CCC"}},
        {CReportSettings::ByYield, false, {"aaa", "CCC", "BBB", "DDD"}},
        {CReportSettings::ByStrikePrice, true, {"DDD", "aaa", "BBB", "CCC"}},
        // ASX Fair Price: the at-the-money option price, then the code.
        {CReportSettings::ByFairPrice, true, {"DDD", "aaa", "BBB", "CCC"}},
        {CReportSettings::ByFairPrice, false, {"CCC", "BBB", "aaa", "DDD"}},
        {42, true, {"DDD", "aaa", "BBB", "CCC"}}, // outside the list: as ASX Fair Price
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "mode " << c.mode << (c.ascending ? " ascending" : " descending"));
        m_Settings.SetSortMode(c.mode);
        m_Settings.SetSortAscending(c.ascending);
        EXPECT_EQ(Codes(Build(market)), c.expected);
    }
}

TEST_F(ReportBuilderTest, YieldOrderFollowsTheMarkedSeries) {
    // Both companies list a July series before a dearer August one at the nearest strike;
    // the block marks the dearer one (equal strikes: dearer first), and the order must
    // follow the yields of the marked series: 1.5/10 = 15% before 1.2/10 = 12%.
    const std::vector<CCompanyInfo> market = {
        Share("LOW", 10,
              {Series("L7", 10, 0.9, "2010-07-29"), Series("L8", 10, 1.2, "2010-08-26")}),
        Share("HIGH", 10,
              {Series("H7", 10, 0.1, "2010-07-29"), Series("H8", 10, 1.5, "2010-08-26")}),
    };
    m_Settings.SetSortMode(CReportSettings::ByYield);
    m_Settings.SetSortAscending(false);
    const CReport report = Build(market);
    EXPECT_EQ(Codes(report), (std::vector<std::string>{"HIGH", "LOW"}));
    const std::shared_ptr<const CMarketSnapshot> snapshot = m_Market.Current();
    const CReportFilter filter(m_Settings, kNow, snapshot->Calls(), snapshot->Puts());
    for (const CReportBlock& block : report.blocks) {
        ASSERT_TRUE(block.atTheMoney);
        EXPECT_EQ(block.Series(*block.atTheMoney).Last(),
                  SortKeysOf(*block.company, filter).optionPrice)
            << block.company->Code() << ": the key is the marked series' price";
        // The block shows the market's own share, not a copy of it.
        const auto& calls = snapshot->Calls();
        EXPECT_TRUE(block.company.get() >= calls.data() &&
                    block.company.get() < calls.data() + calls.size());
    }
}

TEST_F(ReportBuilderTest, LeverageCostComesFromTheLowestStrike) {
    m_Settings.SetDisplayLeveragedBar(true);
    // 36 whole days from now to the lowest strike's expiry; 100 × $10 at 9% a year.
    const CReport report = Build({Share(
        "BHP", 10, {Series("ATM", 10, 0.5, "2010-08-26"), Series("LOW", 8, 2.2, "2010-07-29")})});
    ASSERT_EQ(report.blocks.size(), 1u);
    EXPECT_TRUE(report.blocks[0].leveraged);
    EXPECT_DOUBLE_EQ(report.blocks[0].costOfLeverage, 100 * 10 * 0.09 / 365 * 36);

    const CReport expired = Build({Share("BHP", 10, {Series("OLD", 8, 2.2, "2010-06-21")})});
    EXPECT_EQ(expired.blocks[0].costOfLeverage, 0.0);
}

TEST_F(ReportBuilderTest, TheMarketDataIsNeverChanged) {
    m_Settings.SetExpire(CReportSettings::CurrentMonth);
    Build(
        {Share("BHP", 10, {Series("A", 10, 0.5, "2010-07-29"), Series("B", 10, 0.5, "2011-07-28")}),
         Share("RIO", 10, {Series("R", 10, 0.5, "2011-07-28")})});
    const std::vector<CCompanyInfo>& calls = m_Market.Current()->Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Contracts().size(), 2u);
    EXPECT_EQ(calls[0].AtTheMoneyStrike(), UNSET_VALUE);
}

} // namespace
} // namespace strikeline
