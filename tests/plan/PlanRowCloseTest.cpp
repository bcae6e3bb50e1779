#include "plan/PlanRowClose.h"

#include "journal/DiaryDatabase.h"
#include "plan/PlanTestData.h"
#include "support/TestTimes.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace strikeline {
namespace {

TEST(PlanRowClose, StampsTheRowsDiaryEntryAndUnticksOnlyTheLastRowOfTheSeries) {
    const FileTime opened = test::Utc("2010-04-13 05:30:00");
    const FileTime now = test::Utc("2010-05-01 09:00:00");
    CDiaryDatabase diary;
    CDiaryEntry trade;
    trade.m_ContractID = "bhpxy9";
    trade.m_StartDate = opened;
    diary.AddEntry(trade);
    CDiaryEntry otherTime = trade;
    otherTime.m_StartDate = opened + 1; // one tick later: another trade
    diary.AddEntry(otherTime);

    CTradingPlan plan;
    CTradingPlanEntry first = test::SoldCall("BHP", "BHPXY9");
    first.m_StartDate = opened;
    plan.Append(first);
    plan.Append(test::SoldCall("BHP", "BHPXY9")); // no diary entry of its own
    CTradingPlanEntry put = test::SoldCall("BHP", "BHPXY9");
    put.m_SourceType = TYPE_SELL_PUT;
    plan.Append(put);

    EXPECT_FALSE(ClosePlanEntry(plan, plan.At(0), &diary, now));
    EXPECT_EQ(plan.Count(), 2u);
    EXPECT_EQ(diary.Entries()[0].m_CloseDate, now);
    EXPECT_EQ(diary.Entries()[1].m_CloseDate, kNoDate);

    // The put of the same code is another family: the call series is gone from the plan.
    EXPECT_TRUE(ClosePlanEntry(plan, plan.At(0), &diary, now + 10));
    EXPECT_EQ(plan.Count(), 1u);
    EXPECT_EQ(diary.Entries()[0].m_CloseDate, now);
    EXPECT_EQ(diary.Entries()[1].m_CloseDate, kNoDate);
    EXPECT_TRUE(ClosePlanEntry(plan, plan.At(0), nullptr, now));
    EXPECT_EQ(plan.Count(), 0u);
}

// The plan's rows in file order, for comparing whole plans.
std::vector<CTradingPlanEntry> Rows(const CTradingPlan& plan) {
    std::vector<CTradingPlanEntry> rows;
    for (std::size_t i = 0; i < plan.Count(); ++i) {
        rows.push_back(plan.At(i));
    }
    return rows;
}

TEST(PlanRowClose, ReopeningPutsTheRowAndTheDiaryBackAndRepeatingClosesWithTheSameStamp) {
    const FileTime opened = test::Utc("2010-04-13 05:30:00");
    const FileTime earlier = test::Utc("2010-04-20 10:00:00");
    const FileTime now = test::Utc("2010-05-01 09:00:00");
    struct CCase {
        const char* name;
        bool inDiary;
        FileTime closedBefore;
    };
    for (const CCase& c :
         {CCase{"open trade", true, kNoDate}, CCase{"already closed trade", true, earlier},
          CCase{"no diary entry", false, kNoDate}}) {
        SCOPED_TRACE(c.name);
        CDiaryDatabase diary;
        CDiaryEntry trade;
        trade.m_ContractID = c.inDiary ? "BHPXY9" : "OTHER";
        trade.m_StartDate = opened;
        trade.m_CloseDate = c.closedBefore;
        diary.AddEntry(trade);
        CTradingPlan plan;
        plan.Append(test::SoldCall("ANZ", "ANZXY9"));
        CTradingPlanEntry closed = test::SoldCall("BHP", "BHPXY9");
        closed.m_StartDate = opened;
        closed.SetCellColour("Cost", 2);
        plan.Append(closed);
        plan.Append(test::SoldCall("NAB", "NABXY9"));
        const std::vector<CTradingPlanEntry> before = Rows(plan);

        std::optional<CPlanRowClosing> closing = ClosePlanRow(plan, 1, &diary, now);
        ASSERT_TRUE(closing.has_value());
        EXPECT_EQ(plan.Count(), 2u);
        EXPECT_TRUE(closing->lastOfSeries);
        EXPECT_EQ(closing->previousCloseDate.has_value(), c.inDiary);
        EXPECT_EQ(diary.Entries()[0].m_CloseDate, c.inDiary ? now : kNoDate);

        const CTradingPlanEntry& back = ReopenPlanRow(plan, &diary, *closing);
        EXPECT_EQ(&back, &plan.At(1));
        EXPECT_EQ(Rows(plan), before);
        EXPECT_EQ(diary.Entries()[0].m_CloseDate, c.closedBefore);

        // Done again, exactly as the first time, whatever the time is now.
        ASSERT_TRUE(RepeatPlanRowClose(plan, &diary, *closing));
        EXPECT_EQ(plan.Count(), 2u);
        EXPECT_EQ(plan.At(1).m_ContractID, "NABXY9");
        EXPECT_EQ(diary.Entries()[0].m_CloseDate, c.inDiary ? now : kNoDate);
        ReopenPlanRow(plan, &diary, *closing);
        EXPECT_EQ(Rows(plan), before);
        EXPECT_EQ(diary.Entries()[0].m_CloseDate, c.closedBefore);
    }
}

TEST(PlanRowClose, ReopeningKeepsALaterDiaryChangeAndRepeatingRefusesAChangedRow) {
    const FileTime now = test::Utc("2010-05-01 09:00:00");
    const FileTime typed = test::Utc("2010-05-03 12:00:00");
    CDiaryDatabase diary;
    CDiaryEntry trade;
    trade.m_ContractID = "BHPXY9";
    diary.AddEntry(trade);
    CTradingPlan plan;
    plan.Append(test::SoldCall("BHP", "BHPXY9"));
    plan.Append(test::SoldCall("BHP", "BHPXY9"));
    std::optional<CPlanRowClosing> closing = ClosePlanRow(plan, 0, &diary, now);
    ASSERT_TRUE(closing.has_value());
    // Another row still holds the series.
    EXPECT_FALSE(closing->lastOfSeries);
    // The user typed another closing time in the Diary since: it stays.
    diary.EntryAt(0)->m_CloseDate = typed;
    ReopenPlanRow(plan, &diary, *closing);
    EXPECT_EQ(plan.Count(), 2u);
    EXPECT_EQ(diary.Entries()[0].m_CloseDate, typed);

    // The row at the place changed: nothing is closed.
    plan.At(0).m_Shares = 5;
    EXPECT_FALSE(RepeatPlanRowClose(plan, &diary, *closing));
    EXPECT_EQ(plan.Count(), 2u);
    EXPECT_EQ(diary.Entries()[0].m_CloseDate, typed);
    EXPECT_FALSE(ClosePlanRow(plan, 2, &diary, now).has_value());
}

TEST(TradingPlan, RowsGoBackInPlaceAndAreReplacedOnlyWhileUnchanged) {
    CTradingPlan plan;
    const CTradingPlanEntry& first = plan.Append(test::SoldCall("BHP", "A"));
    plan.Append(test::SoldCall("BHP", "C"));
    const CTradingPlanEntry& inserted = plan.InsertAt(1, test::SoldCall("BHP", "B"));
    plan.InsertAt(99, test::SoldCall("BHP", "D"));
    ASSERT_EQ(plan.Count(), 4u);
    EXPECT_EQ(plan.At(1).m_ContractID, "B");
    EXPECT_EQ(plan.At(3).m_ContractID, "D");
    EXPECT_EQ(plan.IndexOf(&inserted), std::optional<std::size_t>(1));
    EXPECT_EQ(plan.IndexOf(&first), std::optional<std::size_t>(0));
    const CTradingPlanEntry stranger = test::SoldCall("BHP", "A");
    EXPECT_FALSE(plan.IndexOf(&stranger).has_value());
    EXPECT_FALSE(plan.IndexOf(nullptr).has_value());

    CTradingPlanEntry bought = plan.At(0);
    bought.m_SourceType = TYPE_BUY_CALL;
    // Expected to be a sold call: the row is one, so it is replaced in place.
    EXPECT_TRUE(plan.ReplaceAt(0, test::SoldCall("BHP", "A"), bought));
    EXPECT_EQ(first.m_SourceType, std::uint32_t{TYPE_BUY_CALL});
    // Expected as it was before: it changed since, so it stays.
    CTradingPlanEntry sold = bought;
    sold.m_SourceType = TYPE_SELL_CALL;
    EXPECT_FALSE(plan.ReplaceAt(0, sold, sold));
    EXPECT_EQ(first.m_SourceType, std::uint32_t{TYPE_BUY_CALL});
    EXPECT_FALSE(plan.ReplaceAt(4, bought, sold));
}

TEST(PlanTypeChoices, SellOrBuyWithinTheFamily) {
    const auto call = PlanTypeChoices(TYPE_SELL_CALL);
    ASSERT_EQ(call.size(), 2u);
    EXPECT_EQ(call[0].label, "Sell a Call");
    EXPECT_TRUE(call[0].ticked);
    EXPECT_EQ(call[1].label, "Buy a Call");
    EXPECT_EQ(call[1].type, TYPE_BUY_CALL);
    EXPECT_FALSE(call[1].ticked);
    // An old-style call row is offered both, neither ticked.
    const auto old = PlanTypeChoices(TYPE_CALL);
    ASSERT_EQ(old.size(), 2u);
    EXPECT_FALSE(old[0].ticked || old[1].ticked);
    const auto put = PlanTypeChoices(TYPE_BUY_PUT);
    ASSERT_EQ(put.size(), 2u);
    EXPECT_EQ(put[0].label, "Sell a Put");
    EXPECT_EQ(put[1].label, "Buy a Put");
    EXPECT_TRUE(put[1].ticked);
    EXPECT_TRUE(PlanTypeChoices(TYPE_NONE).empty());
}

} // namespace
} // namespace strikeline
