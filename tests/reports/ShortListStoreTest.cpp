#include "reports/ShortListStore.h"

#include "plan/TradingPlan.h"
#include "reports/ReportTestData.h"
#include "reports/ShortListRules.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>
#include <memory>

namespace strikeline {
namespace {

using test::Series;
using test::Share;
using test::Utc;

using Entries = std::vector<CShortListEntry>;
using Keys = std::set<std::string>;

TEST(ShortListStore, CallAndPutOfOneCompanyAreTwoEntries) {
    CShortListStore store;
    EXPECT_TRUE(store.Add("BHP", ReportKind::Call));
    EXPECT_TRUE(store.Add("BHP", ReportKind::Put));
    EXPECT_TRUE(store.Add("NAB", ReportKind::Call));
    EXPECT_EQ(
        store.Entries(),
        (Entries{{"BHP", ReportKind::Call}, {"BHP", ReportKind::Put}, {"NAB", ReportKind::Call}}));
}

TEST(ShortListStore, AddingTheSameCompanyAndKindAgainKeepsOneEntry) {
    CShortListStore store;
    EXPECT_TRUE(store.Add("BHP", ReportKind::Call));
    EXPECT_FALSE(store.Add("bhp", ReportKind::Call));
    EXPECT_FALSE(store.Add("BHP", ReportKind::Call));
    EXPECT_EQ(store.Entries(), (Entries{{"BHP", ReportKind::Call}}));
}

TEST(ShortListStore, FindIgnoresLetterCaseButNotKind) {
    CShortListStore store;
    store.Add("BHP", ReportKind::Call);
    store.Add("nab", ReportKind::Put);
    EXPECT_EQ(store.Find("bhp", ReportKind::Call), 0u);
    EXPECT_EQ(store.Find("Bhp", ReportKind::Call), 0u);
    EXPECT_EQ(store.Find("NAB", ReportKind::Put), 1u);
    EXPECT_FALSE(store.Find("BHP", ReportKind::Put).has_value());
    EXPECT_FALSE(store.Find("NAB", ReportKind::Call).has_value());
    EXPECT_FALSE(store.Find("BH", ReportKind::Call).has_value());
}

TEST(ShortListStore, RemoveTakesOnlyThatKind) {
    CShortListStore store;
    store.Add("BHP", ReportKind::Call);
    store.Add("BHP", ReportKind::Put);
    store.Add("NAB", ReportKind::Call);
    EXPECT_TRUE(store.Remove("bhp", ReportKind::Put));
    EXPECT_FALSE(store.Remove("bhp", ReportKind::Put));
    EXPECT_EQ(store.Entries(), (Entries{{"BHP", ReportKind::Call}, {"NAB", ReportKind::Call}}));
    EXPECT_EQ(store.Find("NAB", ReportKind::Call), 1u);
}

TEST(ShortListStore, TickKeysAreUpperCasedWithCOrP) {
    EXPECT_EQ(CShortListStore::SeriesKey("bhpzs9", ReportKind::Call), "BHPZS9C");
    EXPECT_EQ(CShortListStore::SeriesKey("BHPZS9", ReportKind::Put), "BHPZS9P");

    CShortListStore store;
    store.SetTicked("bhpzs9", ReportKind::Call, true);
    store.SetTicked("BHPZS9", ReportKind::Put, true);
    EXPECT_EQ(store.TickedKeys(), (Keys{"BHPZS9C", "BHPZS9P"}));
    EXPECT_TRUE(store.IsTicked("BhpZs9", ReportKind::Call));
    EXPECT_TRUE(store.IsTicked("bhpzs9", ReportKind::Put));

    store.SetTicked("BHPZS9", ReportKind::Call, false);
    EXPECT_FALSE(store.IsTicked("BHPZS9", ReportKind::Call));
    EXPECT_TRUE(store.IsTicked("BHPZS9", ReportKind::Put));
}

TEST(ShortListStore, UntickingLeavesTheCompaniesAndOtherTicks) {
    CShortListStore store;
    store.Add("BHP", ReportKind::Call);
    store.SetTicked("BHPZS9", ReportKind::Call, true);
    store.SetTicked("NABZT1", ReportKind::Put, true);
    EXPECT_TRUE(store.UntickSeries("bhpzs9", ReportKind::Call));
    EXPECT_FALSE(store.UntickSeries("bhpzs9", ReportKind::Call));
    EXPECT_FALSE(store.UntickSeries("NABZT1", ReportKind::Call));
    EXPECT_EQ(store.TickedKeys(), (Keys{"NABZT1P"}));

    store.UntickAll();
    EXPECT_TRUE(store.TickedKeys().empty());
    EXPECT_EQ(store.Entries(), (Entries{{"BHP", ReportKind::Call}}));

    store.SetTicked("BHPZS9", ReportKind::Call, true);
    store.Clear();
    EXPECT_TRUE(store.IsEmpty());
    EXPECT_TRUE(store.Entries().empty());
    EXPECT_TRUE(store.TickedKeys().empty());
}

TEST(ShortListStore, ReplaceTakesTheWindowsOrderAndTicks) {
    CShortListStore store;
    store.Add("AAA", ReportKind::Call);
    store.SetTicked("AAAZZ1", ReportKind::Call, true);

    store.Replace({{"NAB", ReportKind::Put}, {"BHP", ReportKind::Call}, {"nab", ReportKind::Put}},
                  {"bhpzs9C", "NABZT1P"});
    EXPECT_EQ(store.Entries(), (Entries{{"NAB", ReportKind::Put}, {"BHP", ReportKind::Call}}));
    EXPECT_EQ(store.TickedKeys(), (Keys{"BHPZS9C", "NABZT1P"}));
    EXPECT_FALSE(store.Find("AAA", ReportKind::Call).has_value());
    EXPECT_TRUE(store.IsTicked("bhpzs9", ReportKind::Call));

    store.Replace({}, {});
    EXPECT_TRUE(store.IsEmpty());
}

// Tests that need the Trading Plan: a fresh one each.
class ShortListWithPlan : public test::CSydneyTimeTest {
protected:
    void AddPlanRow(const std::string& company, PlanEntryType type) {
        CTradingPlanEntry entry;
        entry.m_CompanyID = company;
        entry.m_ContractID = company + "ZS9";
        entry.m_SourceType = type;
        m_Plan.Append(entry);
    }

    CTradingPlan m_Plan;
};

TEST_F(ShortListWithPlan, ClearAsksOnlyWhenAStoredCompanyIsInThePlanForItsKind) {
    CShortListStore store;
    store.Add("BHP", ReportKind::Call);
    store.Add("NAB", ReportKind::Put);
    EXPECT_FALSE(ClearNeedsQuestion(store, &m_Plan));

    // A row of another company, or of the other family, is no reason to ask.
    AddPlanRow("CBA", TYPE_SELL_CALL);
    AddPlanRow("BHP", TYPE_SELL_PUT);
    AddPlanRow("NAB", TYPE_BUY_CALL);
    EXPECT_FALSE(ClearNeedsQuestion(store, &m_Plan));

    AddPlanRow("nab", TYPE_BUY_PUT);
    EXPECT_TRUE(ClearNeedsQuestion(store, &m_Plan));

    // Nothing stored, nothing to ask about; no plan at all, nothing either.
    EXPECT_FALSE(ClearNeedsQuestion(CShortListStore(), &m_Plan));
    EXPECT_FALSE(ClearNeedsQuestion(store, nullptr));
    EXPECT_EQ(std::string(kClearShortListQuestion),
              "There are options on the Short List that appear in the Trading Plan, do you "
              "still want to clear your Short List?");
}

TEST_F(ShortListWithPlan, CloseBoxAsksWhenTheCompanyIsInThePlanForItsKind) {
    AddPlanRow("BHP", TYPE_SELL_CALL);
    EXPECT_TRUE(RemoveNeedsQuestion("bhp", ReportKind::Call, &m_Plan));
    EXPECT_FALSE(RemoveNeedsQuestion("BHP", ReportKind::Put, &m_Plan));
    EXPECT_FALSE(RemoveNeedsQuestion("NAB", ReportKind::Call, &m_Plan));
    EXPECT_FALSE(RemoveNeedsQuestion("BHP", ReportKind::Call, nullptr));
    EXPECT_EQ(RemoveCompanyQuestion("BHP"),
              "BHP appears in the Trading Plan.\n\nAre you sure you want to remove it?");
}

TEST_F(ShortListWithPlan, TickingASeriesTwiceAppendsTwoRows) {
    const CCompanyInfo share =
        Share("BHP", 38.5, {Series("BHPZS9", 40.0, 0.85, "2010-07-29", "", 1000.75)}, true);
    const CContractInfo& series = share.Contracts().front();
    const FileTime now = Utc("2010-06-24 01:00:00");

    const CPlanSeriesSource source =
        MakeSeriesSource(share, series, ReportKind::Call, "$0.85", "2010-08-30");
    EXPECT_EQ(source.companyCode, "BHP");
    EXPECT_EQ(source.contractCode, "BHPZS9");
    EXPECT_EQ(source.lastPrice, 38.5);
    EXPECT_EQ(source.strikePrice, 40.0);
    EXPECT_EQ(source.premium, 0.85);
    EXPECT_EQ(source.contractSize, 1000.75);
    EXPECT_EQ(source.expiry, Utc("2010-07-29"));
    EXPECT_TRUE(source.isCall);

    CTradingPlanEntry* first = AppendSeriesToPlan(&m_Plan, source, now);
    ASSERT_NE(first, nullptr);
    CTradingPlanEntry* second = AppendSeriesToPlan(&m_Plan, source, now);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    ASSERT_EQ(m_Plan.Count(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const CTradingPlanEntry& row = m_Plan.At(i);
        EXPECT_EQ(row.m_SourceType, TYPE_SELL_CALL);
        EXPECT_EQ(row.m_CompanyID, "BHP");
        EXPECT_EQ(row.m_ContractID, "BHPZS9");
        EXPECT_EQ(row.m_ContractSize, 1000.0);
        EXPECT_EQ(row.m_SharePrice, 38.5);
        EXPECT_EQ(row.m_StrikePrice, 40.0);
        EXPECT_EQ(row.m_Premium, 0.85);
        EXPECT_EQ(row.m_Shares, UNSET_VALUE);
        EXPECT_EQ(row.m_DividendsValue, 0.85);
        EXPECT_EQ(row.m_DividendsDate, Utc("2010-08-29 14:00:00")); // midnight in Sydney
        EXPECT_EQ(row.m_RecordDate, now);
    }
    EXPECT_TRUE(m_Plan.ContainsCompany("bhp", PlanFamily::Call));
}

TEST_F(ShortListWithPlan, APutSeriesBecomesASoldPutWithoutDividends) {
    const CCompanyInfo share =
        Share("NAB", 25.0, {Series("NABZT1", 24.0, 0.4, "2010-07-29")}, false);
    const CPlanSeriesSource source =
        MakeSeriesSource(share, share.Contracts().front(), ReportKind::Put, "", "");
    EXPECT_FALSE(source.isCall);
    const CTradingPlanEntry* row = AppendSeriesToPlan(&m_Plan, source, Utc("2010-06-24 01:00:00"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->m_SourceType, TYPE_SELL_PUT);
    EXPECT_EQ(row->m_DividendsValue, UNSET_VALUE);
    EXPECT_EQ(row->m_DividendsDate, kNoDate);
    EXPECT_TRUE(RemoveNeedsQuestion("NAB", ReportKind::Put, &m_Plan));

    EXPECT_EQ(AppendSeriesToPlan(nullptr, source, Utc("2010-06-24 01:00:00")), nullptr);
}

TEST(ShortListDividendEdits, ValueIsTrimmedAndShownWithADollarSign) {
    EXPECT_EQ(EditDividendValue("0.85"), "$0.85");
    EXPECT_EQ(EditDividendValue("  1.5 \t"), "$1.5");
    EXPECT_EQ(EditDividendValue("12"), "$12");
    // Editing the text the cell shows keeps one sign.
    EXPECT_EQ(EditDividendValue("$0.90"), "$0.90");
    EXPECT_EQ(EditDividendValue(" $ 2 "), "$2");
    EXPECT_EQ(EditDividendValue("$1,234.50"), "$1,234.50");
}

TEST(ShortListDividendEdits, ValueThatIsNoNumberIsDropped) {
    EXPECT_EQ(EditDividendValue("abc"), std::nullopt);
    EXPECT_EQ(EditDividendValue("$"), std::nullopt);
    EXPECT_EQ(EditDividendValue("$$1"), std::nullopt);
    EXPECT_EQ(EditDividendValue("-"), std::nullopt);
    EXPECT_EQ(EditDividendValue("nan"), std::nullopt);
    // Read as far as they go these would be 1 and 12.
    EXPECT_EQ(EditDividendValue("1,23"), std::nullopt);
    EXPECT_EQ(EditDividendValue("12abc"), std::nullopt);
}

TEST(ShortListDividendEdits, DateMustReadAsADate) {
    EXPECT_EQ(EditDividendDate("2010-08-30"), "2010-08-30");
    EXPECT_EQ(EditDividendDate(" 2010/8/30 "), "2010/8/30");
    EXPECT_EQ(EditDividendDate("2010 8 30"), "2010 8 30");
    EXPECT_EQ(EditDividendDate("30-Aug-2010"), "30-Aug-2010");
    EXPECT_EQ(EditDividendDate("30 aug 2010 10:00"), "30 aug 2010 10:00");
    EXPECT_EQ(EditDividendDate("soon"), std::nullopt);
    EXPECT_EQ(EditDividendDate("2010-02-30"), std::nullopt);
    EXPECT_EQ(EditDividendDate("30-Foo-2010"), std::nullopt);
    EXPECT_EQ(EditDividendDate("0.85"), std::nullopt);
}

TEST(ShortListDividendEdits, EmptyTextIsKept) {
    EXPECT_EQ(EditDividendValue(""), "");
    EXPECT_EQ(EditDividendValue("   "), "");
    EXPECT_EQ(EditDividendDate(""), "");
    EXPECT_EQ(EditDividendDate(" \t "), "");
}

} // namespace
} // namespace strikeline
