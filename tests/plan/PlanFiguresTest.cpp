#include "plan/PlanFigures.h"

#include "plan/PlanColumns.h"
#include "plan/PlanTestData.h"
#include "plan/TradingPlan.h"
#include "storage/ColorScheme.h"
#include "support/ScopedEnvironment.h"
#include "support/TestTimes.h"

#include <gtest/gtest.h>
#include <map>
#include <utility>
#include <vector>

namespace strikeline {
namespace {

namespace C = PlanColumn;

std::map<std::string_view, std::string> Texts(const CTradingPlanEntry& e) {
    std::map<std::string_view, std::string> texts;
    for (const std::string_view key :
         {C::SrcType, C::Shares, C::OptionContracts, C::Cost, C::NEProfit, C::NEReturn,
          C::EBrokerage, C::EProfit, C::EReturn, C::BEP}) {
        texts[key] = PlanCellText(e, key);
    }
    return texts;
}

TEST(PlanFigures, SoldCallShowsEveryOutcome) {
    const std::map<std::string_view, std::string> expected = {
        {C::SrcType, "C (Sell)"}, {C::Shares, "1000"},   {C::OptionContracts, "1"},
        {C::Cost, "$10000"},      {C::NEProfit, "$450"}, {C::NEReturn, "4.5%"},
        {C::EBrokerage, "$60"},   {C::EProfit, "$1390"}, {C::EReturn, "13.9%"},
        {C::BEP, "$9.5"}};
    EXPECT_EQ(Texts(test::SoldCall()), expected);
}

TEST(PlanFigures, BoughtCallHasNoExercisedOutcome) {
    CTradingPlanEntry e = test::SoldCall();
    e.m_SourceType = TYPE_BUY_CALL;
    const std::map<std::string_view, std::string> expected = {
        {C::SrcType, "C (Buy)"}, {C::Shares, "1000"},    {C::OptionContracts, "1"},
        {C::Cost, "$500"},       {C::NEProfit, "$-500"}, {C::NEReturn, "N/A"},
        {C::EBrokerage, "N/A"},  {C::EProfit, "N/A"},    {C::EReturn, "N/A"},
        {C::BEP, "$9.5"}};
    EXPECT_EQ(Texts(e), expected);
}

// Each side of a sold row worked out by hand: a buy-write hands its shares over at the
// strike, a sold put is assigned shares worth less than the strike it pays.
TEST(PlanFigures, SoldPutAndSoldCallOutcomesByHand) {
    struct Case {
        const char* name;
        std::uint32_t type;
        double shares, sharePrice, brokerage, strike, premium, optionBrokerage, exercise;
        std::map<std::string_view, double> figures;
    };
    const std::vector<Case> cases = {
        // 1000 × 0.40 − 20 − 50 = 330; (9 − 10) × 1000 + 330 − 60 = −730; 10 − 0.40 = 9.60.
        {"sold put",
         TYPE_SELL_PUT,
         1000,
         9,
         50,
         10,
         0.4,
         20,
         60,
         {{C::Cost, 9000},
          {C::NEProfit, 330},
          {C::NEReturn, 330.0 / 9000 * 100},
          {C::EProfit, -730},
          {C::EReturn, -730.0 / 9000 * 100},
          {C::BEP, 9.6}}},
        // 2000 × 0.25 − 30 − 40 = 430; (5.5 − 5) × 2000 + 430 − 60 = 1370; 5 − 0.25 = 4.75.
        {"sold call",
         TYPE_SELL_CALL,
         2000,
         5,
         40,
         5.5,
         0.25,
         30,
         60,
         {{C::Cost, 10000},
          {C::NEProfit, 430},
          {C::NEReturn, 4.3},
          {C::EProfit, 1370},
          {C::EReturn, 13.7},
          {C::BEP, 4.75}}},
        // Older files' codes take the buy-write formulas.
        {"old call code",
         TYPE_CALL,
         2000,
         5,
         40,
         5.5,
         0.25,
         30,
         60,
         {{C::EProfit, 1370}, {C::BEP, 4.75}}},
    };
    for (const Case& c : cases) {
        CTradingPlanEntry e = test::SoldCall();
        e.m_SourceType = c.type;
        e.m_Shares = c.shares;
        e.m_SharePrice = c.sharePrice;
        e.m_Brokerage = c.brokerage;
        e.m_StrikePrice = c.strike;
        e.m_Premium = c.premium;
        e.m_NEBrokerage = c.optionBrokerage;
        e.m_EBrokerage = c.exercise;
        for (const auto& [key, figure] : c.figures) {
            EXPECT_NEAR(PlanCellFigure(e, key), figure, 1e-9) << c.name << " " << key;
        }
    }
    CTradingPlanEntry put = test::SoldCall();
    put.m_SourceType = TYPE_SELL_PUT;
    EXPECT_EQ(PlanCellText(put, C::EProfit), "$-610");
    EXPECT_EQ(PlanCellText(put, C::BEP), "$10.5");
    put.m_StrikePrice = UNSET_VALUE;
    EXPECT_EQ(PlanCellText(put, C::BEP), "");
}

TEST(PlanFigures, RowWithoutSharesKeepsOnlyTheBreakEven) {
    CTradingPlanEntry e = test::SoldCall();
    e.m_Shares = UNSET_VALUE;
    for (const std::string_view key : {C::Shares, C::OptionContracts, C::Cost, C::NEProfit,
                                       C::NEReturn, C::EProfit, C::EReturn}) {
        EXPECT_EQ(PlanCellText(e, key), "") << key;
    }
    EXPECT_EQ(PlanCellText(e, C::BEP), "$9.5");
}

TEST(PlanFigures, ZeroCostLeavesReturnsEmpty) {
    CTradingPlanEntry e = test::SoldCall();
    e.m_SharePrice = 0;
    EXPECT_EQ(PlanCellText(e, C::Cost), "$0");
    EXPECT_EQ(PlanCellText(e, C::NEReturn), "");
    EXPECT_EQ(PlanCellText(e, C::EReturn), "");
}

TEST(PlanFigures, TypeLabels) {
    const std::vector<std::pair<std::uint32_t, std::string_view>> cases = {
        {0, "?"},        {1, "C"},       {2, "P (Sell)"}, {3, "P (Buy)"},
        {4, "C (Sell)"}, {5, "C (Buy)"}, {6, "?"},        {99, "?"}};
    for (const auto& [type, label] : cases) {
        EXPECT_EQ(PlanTypeLabel(type), label) << type;
    }
}

TEST(PlanTotals, SoldAndBoughtRows) {
    const CTradingPlanEntry sold = test::SoldCall();
    CTradingPlanEntry bought = test::SoldCall();
    bought.m_SourceType = TYPE_BUY_CALL;
    const std::vector<const CTradingPlanEntry*> rows = {&sold, &bought};
    const CPlanTotals totals = ComputePlanTotals(rows);
    const std::map<std::string_view, std::string> expected = {
        {C::Cost, "$10500"},   {C::EquityBrokerage, "$100"}, {C::NEBrokerage, "$0"},
        {C::NEProfit, "$-50"}, {C::NEReturn, "-0.48%"},      {C::EBrokerage, "$60"},
        {C::EProfit, "$890"},  {C::EReturn, "8.48%"}};
    for (const auto& [key, text] : expected) {
        EXPECT_EQ(PlanTotalText(totals, key), text) << key;
    }
    EXPECT_EQ(PlanTotalText(totals, C::BEP), "");
}

TEST(PlanTotals, EmptyRowsGiveZerosNotBlanks) {
    const CTradingPlanEntry empty;
    const std::vector<const CTradingPlanEntry*> rows = {&empty};
    const CPlanTotals totals = ComputePlanTotals(rows);
    EXPECT_EQ(PlanTotalText(totals, C::Cost), "$0");
    EXPECT_EQ(PlanTotalText(totals, C::NEReturn), "0%");
    EXPECT_EQ(PlanTotalText(totals, C::EReturn), "0%");
}

TEST(PlanDisplayOrder, CompaniesAlphabeticallyThenHighestProfitFirst) {
    CTradingPlan plan;
    plan.Append(test::RowWithProfit("BHP", 50));
    CTradingPlanEntry noProfit = test::RowWithProfit("anz", 0);
    noProfit.m_Shares = UNSET_VALUE;
    plan.Append(noProfit);
    plan.Append(test::RowWithProfit("BHP", 450));
    plan.Append(test::RowWithProfit("ANZ", -20));
    std::vector<std::pair<std::string, std::string>> shown;
    for (const CTradingPlanEntry* e : plan.DisplayOrder()) {
        shown.emplace_back(e->m_CompanyID, PlanCellText(*e, C::NEProfit));
    }
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"ANZ", "$-20"}, {"anz", ""}, {"BHP", "$450"}, {"BHP", "$50"}};
    EXPECT_EQ(shown, expected);
    // Groups follow the exact code, so "anz" after "ANZ" heads a group of its own.
    const auto order = plan.DisplayOrder();
    EXPECT_TRUE(OpensCompanyGroup(nullptr, *order[0]));
    EXPECT_TRUE(OpensCompanyGroup(order[0], *order[1]));
    EXPECT_TRUE(OpensCompanyGroup(order[1], *order[2]));
    EXPECT_FALSE(OpensCompanyGroup(order[2], *order[3]));
}

TEST(PlanDisplayOrder, EditableOrderIsTheSameRowsOfThePlan) {
    CTradingPlan plan;
    plan.Append(test::RowWithProfit("BHP", 50));
    plan.Append(test::RowWithProfit("ANZ", 10));
    plan.Append(test::RowWithProfit("BHP", 450));
    const std::vector<const CTradingPlanEntry*> shown = std::as_const(plan).DisplayOrder();
    const std::vector<CTradingPlanEntry*> editable = plan.DisplayOrder();
    ASSERT_EQ(editable.size(), shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(editable[i], shown[i]);
    }
    EXPECT_EQ(editable[0], &plan.At(1));
    EXPECT_EQ(editable[1], &plan.At(2));
    EXPECT_EQ(editable[2], &plan.At(0));
}

TEST(TradingPlanList, ContainsOnlyItsOwnRows) {
    CTradingPlan plan;
    plan.Append(test::SoldCall("BHP", "BHPXY9"));
    plan.Append(test::SoldCall("ANZ", "ANZXY9"));
    const CTradingPlanEntry outside = test::SoldCall("BHP", "BHPXY9");
    const CTradingPlanEntry* second = &plan.At(1);
    EXPECT_TRUE(plan.Contains(&plan.At(0)));
    EXPECT_TRUE(plan.Contains(second));
    // An equal row that is not the plan's own is not in it.
    EXPECT_FALSE(plan.Contains(&outside));
    EXPECT_FALSE(plan.Contains(nullptr));
    ASSERT_TRUE(plan.Remove(second));
    EXPECT_FALSE(plan.Contains(second));
    EXPECT_TRUE(plan.Contains(&plan.At(0)));
}

TEST(TradingPlanList, FindsSeriesAndCompaniesByFamilyIgnoringCase) {
    CTradingPlan plan;
    plan.Append(test::SoldCall("BHP", "BHPXY9"));
    CTradingPlanEntry put = test::SoldCall("ANZ", "ANZPQ1");
    put.m_SourceType = TYPE_BUY_PUT;
    plan.Append(put);
    EXPECT_EQ(plan.FindSeries("bhpxy9", PlanFamily::Call), 0);
    EXPECT_EQ(plan.FindSeries("BHPXY9", PlanFamily::Put), -1);
    EXPECT_EQ(plan.FindSeries("anzpq1", PlanFamily::Put), 1);
    EXPECT_TRUE(plan.ContainsCompany("anz", PlanFamily::Put));
    EXPECT_FALSE(plan.ContainsCompany("anz", PlanFamily::Call));
    EXPECT_TRUE(plan.Remove(&plan.At(0)));
    EXPECT_EQ(plan.FindSeries("BHPXY9", PlanFamily::Call), -1);
    EXPECT_EQ(plan.FindSeries("anzpq1", PlanFamily::Put), 0);
}

class PlanEntryFromShortList : public test::CSydneyTimeTest {};

TEST_F(PlanEntryFromShortList, TakesTheSeriesAndTheDividendCells) {
    CPlanSeriesSource series;
    series.companyCode = "BHP";
    series.lastPrice = 41.5;
    series.contractCode = "BHPXY9";
    series.expiry = test::Utc("2010-06-24");
    series.contractSize = 1000.7;
    series.strikePrice = 42;
    series.premium = 1.25;
    series.isCall = false;
    series.dividendValueText = "$0.85";
    series.dividendDateText = "05-May-2010";
    const FileTime now = test::Utc("2010-04-13 07:05:09");
    const CTradingPlanEntry e = MakePlanEntry(series, now);
    EXPECT_EQ(e.m_SourceType, TYPE_SELL_PUT);
    EXPECT_EQ(e.m_RecordDate, now);
    EXPECT_EQ(e.m_StartDate, kNoDate);
    EXPECT_EQ(e.m_Shares, UNSET_VALUE);
    EXPECT_EQ(e.m_ContractSize, 1000);
    EXPECT_EQ(e.m_SharePrice, 41.5);
    EXPECT_EQ(e.m_Brokerage, 50);
    EXPECT_EQ(e.m_NEBrokerage, 0);
    EXPECT_EQ(e.m_EBrokerage, 60);
    EXPECT_EQ(e.m_DividendsValue, 0.85);
    // The date is read as Sydney's local midnight.
    EXPECT_EQ(e.m_DividendsDate, test::Utc("2010-05-04 14:00:00"));
    EXPECT_EQ(e.CellColour(C::FairPrice), 4);

    series.isCall = true;
    series.dividendValueText = "";
    series.dividendDateText = "soon";
    const CTradingPlanEntry call = MakePlanEntry(series, now);
    EXPECT_EQ(call.m_SourceType, TYPE_SELL_CALL);
    EXPECT_EQ(call.m_DividendsValue, UNSET_VALUE);
    EXPECT_EQ(call.m_DividendsDate, kNoDate);

    series.dividendValueText = "$1,234.50";
    EXPECT_EQ(MakePlanEntry(series, now).m_DividendsValue, 1234.5);
}

TEST(PlanCellPalette, IndexesOutsideThePaletteShowNoHighlight) {
    CColorScheme scheme;
    const Color background = scheme.Get(SchemeColor::ReportBk);
    EXPECT_EQ(PlanCellPalette(scheme, 0), background);
    EXPECT_EQ(PlanCellPalette(scheme, 1), scheme.Get(SchemeColor::ReturnPercentsBk));
    EXPECT_EQ(PlanCellPalette(scheme, 2), scheme.Get(SchemeColor::StrikePriceBk));
    EXPECT_EQ(PlanCellPalette(scheme, 3), Rgb(255, 0, 0));
    EXPECT_EQ(PlanCellPalette(scheme, 4), Rgb(0, 255, 255));
    EXPECT_EQ(PlanCellPalette(scheme, 5), background);
    EXPECT_EQ(PlanCellPalette(scheme, -1), background);
}

} // namespace
} // namespace strikeline
