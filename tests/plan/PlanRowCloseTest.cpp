#include "plan/PlanRowClose.h"

#include "journal/DiaryDatabase.h"
#include "plan/PlanTestData.h"
#include "support/TestTimes.h"

#include <gtest/gtest.h>

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
