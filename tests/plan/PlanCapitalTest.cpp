#include "plan/PlanCapital.h"

#include "plan/PlanFigures.h"
#include "plan/PlanTestData.h"
#include "support/ScopedEnvironment.h"
#include "support/TestTimes.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace strikeline {
namespace {

constexpr double kTolerance = 1e-9;

CTradingPlanEntry Row(std::uint32_t type, const char* expiry, double shares, double sharePrice,
                      double strike, double premium) {
    CTradingPlanEntry e = test::SoldCall();
    e.m_SourceType = type;
    e.m_DateExpiry = expiry == nullptr ? kNoDate : test::Utc(expiry);
    e.m_Shares = shares;
    e.m_SharePrice = sharePrice;
    e.m_StrikePrice = strike;
    e.m_Premium = premium;
    return e;
}

// Sydney's clock: 2027-03-10 20:00 there is already the 11th, and 2027-03-31 20:00 UTC is
// the first of April.
class PlanCapitalTest : public ::testing::Test {
protected:
    test::CScopedEnv m_Zone{"TZ", "Australia/Sydney"};
    const FileTime m_Now = test::Utc("2027-03-10 20:00:00");
    const std::vector<CTradingPlanEntry> m_Rows = {
        // 0: 1000 shares at $10 (capital 10000), premium 500.
        Row(TYPE_SELL_CALL, "2027-05-20 00:00:00", 1000, 10, 11, 0.5),
        // 1: strike 5 over 2000 shares (capital 10000), premium 400; April in Sydney.
        Row(TYPE_SELL_PUT, "2027-03-31 20:00:00", 2000, 4.8, 5, 0.2),
        // 2: expired the day before.
        Row(TYPE_SELL_CALL, "2027-03-09 00:00:00", 1000, 10, 11, 0.5),
        // 3: bought: premium paid 300, no capital.
        Row(TYPE_BUY_CALL, "2027-05-20 00:00:00", 1000, 10, 11, 0.3),
        // 4: no premium yet: the shares' cost 6000 counts, the premium nothing.
        Row(TYPE_SELL_CALL, "2027-05-27 00:00:00", 500, 12, 13, UNSET_VALUE),
        // 5: no expiry date.
        Row(TYPE_SELL_CALL, nullptr, 1000, 10, 11, 0.5),
        // 6: an older file's row, a buy-write: 4000 and 200.
        Row(TYPE_NONE, "2027-04-16 00:00:00", 500, 8, 9, 0.4),
        // 7: no strike: no capital, premium 300.
        Row(TYPE_SELL_PUT, "2027-06-17 00:00:00", 1000, 7, UNSET_VALUE, 0.3),
        // 8: expires today on Sydney's clock, earlier than now: still open. 3000 and 100.
        Row(TYPE_SELL_CALL, "2027-03-10 14:00:00", 1000, 3, 3.5, 0.1),
    };
};

TEST_F(PlanCapitalTest, MonthsInOrderWithTheirRowsAndFigures) {
    std::vector<const CTradingPlanEntry*> rows;
    for (const CTradingPlanEntry& row : m_Rows) {
        rows.push_back(&row);
    }
    struct Expected {
        int year;
        unsigned month;
        std::vector<std::size_t> rows;
        double capital, premiumIncome, premiumPaid;
    };
    const std::vector<Expected> expected = {
        {2027, 3, {8}, 3000, 100, 0},
        {2027, 4, {1, 6}, 10000 + 4000, 400 + 200, 0},
        {2027, 5, {0, 3, 4}, 10000 + 6000, 500, 300},
        {2027, 6, {7}, 0, 300, 0},
    };
    const std::vector<CPlanMonth> months = PlanCapitalByMonth(rows, m_Now);
    ASSERT_EQ(months.size(), expected.size());
    for (std::size_t i = 0; i < months.size(); ++i) {
        EXPECT_EQ(months[i].year, expected[i].year) << i;
        EXPECT_EQ(months[i].month, expected[i].month) << i;
        EXPECT_EQ(months[i].rows, expected[i].rows) << i;
        EXPECT_NEAR(months[i].capital, expected[i].capital, kTolerance) << i;
        EXPECT_NEAR(months[i].premiumIncome, expected[i].premiumIncome, kTolerance) << i;
        EXPECT_NEAR(months[i].premiumPaid, expected[i].premiumPaid, kTolerance) << i;
    }
    // Each row's month is the one its expiry date shows in the plan.
    const char* names[] = {"", "Jan", "Feb", "Mar", "Apr", "May", "Jun"};
    for (const CPlanMonth& month : months) {
        for (const std::size_t row : month.rows) {
            EXPECT_NE(PlanDateText(m_Rows[row].m_DateExpiry).find(names[month.month]),
                      std::string::npos)
                << row;
        }
    }
}

// The bars add up to the plan's own figures over its open rows.
TEST_F(PlanCapitalTest, BarsSumToThePlansOpenTotals) {
    std::vector<const CTradingPlanEntry*> rows;
    for (const CTradingPlanEntry& row : m_Rows) {
        rows.push_back(&row);
    }
    const std::vector<std::size_t> open = {0, 1, 3, 4, 6, 7, 8};
    double premium = 0.0;
    double capital = 0.0;
    for (const std::size_t i : open) {
        const CTradingPlanEntry& row = m_Rows[i];
        if (IsBuyType(row.m_SourceType)) {
            continue;
        }
        if (IsValue(row.m_Premium)) {
            premium += row.m_Shares * row.m_Premium;
        }
        if (row.m_SourceType == TYPE_SELL_PUT) {
            capital += IsValue(row.m_StrikePrice) ? row.m_StrikePrice * row.m_Shares : 0.0;
        } else {
            capital += PlanCost(row);
        }
    }
    double barPremium = 0.0;
    double barCapital = 0.0;
    std::size_t listed = 0;
    for (const CPlanMonth& month : PlanCapitalByMonth(rows, m_Now)) {
        barPremium += month.premiumIncome;
        barCapital += month.capital;
        listed += month.rows.size();
    }
    EXPECT_NEAR(barPremium, premium, kTolerance);
    EXPECT_NEAR(barCapital, capital, kTolerance);
    EXPECT_EQ(listed, open.size());
}

TEST_F(PlanCapitalTest, NothingOpenGivesNoMonths) {
    const CTradingPlanEntry expired = m_Rows[2];
    const CTradingPlanEntry undated = m_Rows[5];
    const std::vector<const CTradingPlanEntry*> rows = {&expired, &undated};
    EXPECT_TRUE(PlanCapitalByMonth(rows, m_Now).empty());
    EXPECT_TRUE(PlanCapitalByMonth({}, m_Now).empty());
}

} // namespace
} // namespace strikeline
