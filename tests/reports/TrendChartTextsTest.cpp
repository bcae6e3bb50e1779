#include "reports/TrendChartTexts.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

using Strings = std::vector<std::string>;

TEST(TrendChartTexts, AddressKeepsTheCodeAsGiven) {
    EXPECT_EQ(TrendChartUrl("http://127.0.0.1:8642", "BHP"),
              "http://127.0.0.1:8642/call/chart.php?code=BHP&span=year1");
    EXPECT_EQ(TrendChartUrl("http://127.0.0.1:8642", "bhp"),
              "http://127.0.0.1:8642/call/chart.php?code=bhp&span=year1");
    EXPECT_EQ(TrendChartUrl("https://example.com/", "NaB"),
              "https://example.com/call/chart.php?code=NaB&span=year1");
    EXPECT_EQ(TrendChartUrl("example.com", "CBA"),
              "http://example.com/call/chart.php?code=CBA&span=year1");
}

TEST(TrendChartTexts, TitleNamesTheCompanyOrElseTheCode) {
    CCompanyNameTable names;
    names.Add("BHP", "BHP Group Limited");
    names.Add("XYZ", "");
    EXPECT_EQ(TrendChartTitle("BHP", names), "Trend Chart for BHP Group Limited");
    EXPECT_EQ(TrendChartTitle("bhp", names), "Trend Chart for BHP Group Limited");
    EXPECT_EQ(TrendChartTitle("XYZ", names), "Trend Chart for XYZ");
    EXPECT_EQ(TrendChartTitle("qqq", names), "Trend Chart for qqq");
}

TEST(TrendChartTexts, ChoiceLinesMarkTheTop20AndSortByBytes) {
    CCompanyNameTable names;
    names.Add("NAB", "National Bank");
    names.Add("BHP", "BHP Group Limited");
    names.Add("1AL", "OneAll");
    names.Add("XYZ", "");
    names.Add("bhp", "BHP Group Limited"); // the same line again
    names.Add("CBA", "Commonwealth Bank");
    CCompanyNameTable top20;
    top20.Add("bhp", "BHP Group Limited");
    top20.Add("CBA", "Commonwealth Bank");
    top20.Add("ZZZ", ""); // listed without a name: not in the Top 20
    EXPECT_EQ(CompanyChoiceLines(names, top20),
              (Strings{"1AL - OneAll", "NAB - National Bank", "XYZ", "^BHP - BHP Group Limited",
                       "^CBA - Commonwealth Bank"}));
    EXPECT_TRUE(CompanyChoiceLines(CCompanyNameTable(), top20).empty());
}

TEST(TrendChartTexts, CodeOfAChoiceIsTheTextUpToItsFirstBlank) {
    EXPECT_EQ(CodeFromCompanyChoice("^BHP - BHP Group Limited"), "BHP");
    EXPECT_EQ(CodeFromCompanyChoice("NAB - National Bank"), "NAB");
    EXPECT_EQ(CodeFromCompanyChoice("bhp"), "bhp");
    EXPECT_EQ(CodeFromCompanyChoice("XYZ"), "XYZ");
    EXPECT_EQ(CodeFromCompanyChoice("  cba  "), "cba");
    EXPECT_EQ(CodeFromCompanyChoice("^^A"), "^A");
    EXPECT_EQ(CodeFromCompanyChoice(""), "");
    EXPECT_EQ(CodeFromCompanyChoice("   "), "");
    EXPECT_EQ(CodeFromCompanyChoice("^"), "");
    EXPECT_EQ(CodeFromCompanyChoice("^ - Name"), "");
}

} // namespace
} // namespace strikeline
