#include "plan/PlanPayoff.h"

#include "EuropeanReference.h"
#include "analytics/MarketAnalytics.h"
#include "plan/PlanFigures.h"
#include "plan/PlanTestData.h"
#include "support/TestTimes.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace strikeline {
namespace {

constexpr double kTolerance = 1e-9;
const CPayoffOptions kBeforeCosts{false, false};

// A row of `type` over 1000 shares priced at $10, strike $11, premium $0.50, $50 equity,
// $20 option and $60 exercise brokerage.
CTradingPlanEntry Row(std::uint32_t type, double sharePrice = 10, double strike = 11) {
    CTradingPlanEntry e = test::SoldCall();
    e.m_SourceType = type;
    e.m_SharePrice = sharePrice;
    e.m_StrikePrice = strike;
    e.m_NEBrokerage = 20;
    return e;
}

std::vector<const CTradingPlanEntry*> Pointers(const std::vector<CTradingPlanEntry>& rows) {
    std::vector<const CTradingPlanEntry*> pointers;
    for (const CTradingPlanEntry& row : rows) {
        pointers.push_back(&row);
    }
    return pointers;
}

// The outcome at expiry at prices worked out by hand from the trades themselves.
TEST(PlanPayoff, OutcomeAtExpiryByHand) {
    struct Case {
        const char* name;
        CTradingPlanEntry row;
        double price;
        double expected;
    };
    // Premium 500 in; a sold row pays 50 + 20 brokerage, a bought row 20.
    const std::vector<Case> cases = {
        // Shares worth 9.00 (−1000), the call lapses.
        {"buy-write below strike", Row(TYPE_SELL_CALL), 9.0, -1000 + 500 - 70},
        // Shares called away at 11 (+1000), exercise brokerage 60.
        {"buy-write at strike", Row(TYPE_SELL_CALL), 11.0, 1000 + 500 - 70 - 60},
        {"buy-write above strike", Row(TYPE_SELL_CALL), 14.0, 1000 + 500 - 70 - 60},
        {"old call code", Row(TYPE_CALL), 14.0, 1000 + 500 - 70 - 60},
        {"no type", Row(TYPE_NONE), 9.0, -1000 + 500 - 70},
        // Assigned 1000 shares at 11 worth 8.00.
        {"sold put below strike", Row(TYPE_SELL_PUT), 8.0, -3000 + 500 - 70 - 60},
        {"sold put at strike", Row(TYPE_SELL_PUT), 11.0, 500 - 70},
        {"sold put above strike", Row(TYPE_SELL_PUT), 13.0, 500 - 70},
        {"bought call above strike", Row(TYPE_BUY_CALL), 13.0, 2000 - 500 - 20},
        {"bought call below strike", Row(TYPE_BUY_CALL), 10.0, -500 - 20},
        {"bought put below strike", Row(TYPE_BUY_PUT), 7.5, 3500 - 500 - 20},
        {"bought put above strike", Row(TYPE_BUY_PUT), 12.0, -500 - 20},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(PayoffAtExpiry(c.row, c.price), c.expected, kTolerance) << c.name;
    }
}

// The picture's marked prices agree with the plan's own figures for the row.
TEST(PlanPayoff, AgreesWithThePlanFiguresAtTheMarkedPrices) {
    struct Case {
        const char* name;
        CTradingPlanEntry row;
        // Prices at which the plan's not-exercised and exercised profits hold.
        std::vector<double> notExercisedAt;
        std::vector<double> exercisedAt;
        bool breaksEvenAtPlanPrice;
    };
    const std::vector<Case> cases = {
        {"sold call", Row(TYPE_SELL_CALL), {10.0}, {11.0, 12.5}, true},
        {"old call code", Row(TYPE_CALL), {10.0}, {11.0, 20.0}, true},
        {"no type", Row(TYPE_NONE), {10.0}, {11.0}, true},
        {"sold put", Row(TYPE_SELL_PUT), {11.0, 15.0}, {10.0}, true},
        {"sold put far below", Row(TYPE_SELL_PUT, 6.0), {11.0}, {6.0}, true},
        {"bought call", Row(TYPE_BUY_CALL), {5.0, 11.0}, {}, false},
        {"bought put", Row(TYPE_BUY_PUT), {11.0, 16.0}, {}, false},
    };
    for (const Case& c : cases) {
        for (const double price : c.notExercisedAt) {
            EXPECT_NEAR(PayoffAtExpiry(c.row, price), NotExercisedProfit(c.row), kTolerance)
                << c.name << " at " << price;
        }
        for (const double price : c.exercisedAt) {
            EXPECT_NEAR(PayoffAtExpiry(c.row, price), ExercisedProfit(c.row), kTolerance)
                << c.name << " at " << price;
        }
        const std::vector<const CTradingPlanEntry*> rows = {&c.row};
        if (c.breaksEvenAtPlanPrice) {
            const double price = BreakEvenPrice(c.row);
            EXPECT_NEAR(PayoffAtExpiry(c.row, price, kBeforeCosts), 0.0, kTolerance) << c.name;
            const std::vector<double> found = PayoffBreakEvens(rows, kBeforeCosts);
            ASSERT_EQ(found.size(), 1u) << c.name;
            EXPECT_NEAR(found[0], price, kTolerance) << c.name;
        }
        for (const double price : PayoffBreakEvens(rows)) {
            EXPECT_NEAR(PayoffAtExpiry(c.row, price), 0.0, 1e-7) << c.name << " at " << price;
        }
    }
}

TEST(PlanPayoff, BreakEvensWithBrokerageByHand) {
    struct Case {
        const char* name;
        CTradingPlanEntry row;
        std::vector<double> expected;
    };
    // A buy-write needs the premium less its 70 brokerage over 1000 shares below 10; a sold
    // put the same below 11; a bought call 520 over 1000 shares above 11.
    const std::vector<Case> cases = {
        {"sold call", Row(TYPE_SELL_CALL), {10.0 - 0.43}},
        {"sold put", Row(TYPE_SELL_PUT), {11.0 - 0.43 + 0.06}},
        {"bought call", Row(TYPE_BUY_CALL), {11.52}},
        {"bought put", Row(TYPE_BUY_PUT), {10.48}},
    };
    for (const Case& c : cases) {
        const std::vector<const CTradingPlanEntry*> rows = {&c.row};
        const std::vector<double> found = PayoffBreakEvens(rows);
        ASSERT_EQ(found.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_NEAR(found[i], c.expected[i], kTolerance) << c.name;
        }
    }
}

// Where the exercise brokerage's step at the strike takes the outcome from profit to loss,
// the strike is where it breaks even.
TEST(PlanPayoff, StepAcrossZeroAtTheStrikeBreaksEven) {
    CTradingPlanEntry put = Row(TYPE_SELL_PUT);
    put.m_Premium = 0.1; // 100 − 70 = 30 at the strike, −30 just below it
    const std::vector<const CTradingPlanEntry*> rows = {&put};
    EXPECT_EQ(PayoffBreakEvens(rows), std::vector<double>{11.0});
}

TEST(PlanPayoff, DividendsLiftOnlyRowsHoldingSharesUpToExpiry) {
    const FileTime expiry = test::Utc("2027-06-24 00:00:00");
    struct Case {
        const char* name;
        std::uint32_t type;
        const char* dividendDate;
        CPayoffOptions options;
        double lift;
    };
    // 0.25 a share over 1000 shares.
    const std::vector<Case> cases = {
        {"before expiry", TYPE_SELL_CALL, "2027-05-02 00:00:00", {}, 250},
        {"on expiry", TYPE_SELL_CALL, "2027-06-24 00:00:00", {}, 250},
        {"old call code", TYPE_CALL, "2027-05-02 00:00:00", {}, 250},
        {"after expiry", TYPE_SELL_CALL, "2027-06-25 00:00:00", {}, 0},
        {"left out", TYPE_SELL_CALL, "2027-05-02 00:00:00", {true, false}, 0},
        {"sold put holds no shares", TYPE_SELL_PUT, "2027-05-02 00:00:00", {}, 0},
        {"bought call holds no shares", TYPE_BUY_CALL, "2027-05-02 00:00:00", {}, 0},
    };
    for (const Case& c : cases) {
        CTradingPlanEntry row = Row(c.type);
        row.m_DateExpiry = expiry;
        const CTradingPlanEntry plain = row;
        row.m_DividendsValue = 0.25;
        row.m_DividendsDate = test::Utc(c.dividendDate);
        // Below the strike and above it alike.
        for (const double price : {10.0, 12.0}) {
            EXPECT_NEAR(PayoffAtExpiry(row, price, c.options),
                        PayoffAtExpiry(plain, price, c.options) + c.lift, kTolerance)
                << c.name << " at " << price;
        }
    }
}

TEST(PlanPayoff, RowsWithMarkersTakeNoPart) {
    std::vector<CTradingPlanEntry> rows = {Row(TYPE_SELL_CALL), Row(TYPE_SELL_PUT, 10, 9),
                                           Row(TYPE_SELL_CALL), Row(TYPE_SELL_PUT),
                                           Row(TYPE_BUY_CALL)};
    rows[2].m_Shares = UNSET_VALUE;
    rows[3].m_StrikePrice = NA_VALUE;
    rows[4].m_Premium = UNSET_VALUE;
    // Brokerage that is a marker counts as none.
    rows[1].m_Brokerage = UNSET_VALUE;
    EXPECT_EQ(PayoffAtExpiry(rows[2], 10.0), UNSET_VALUE);
    EXPECT_NEAR(PayoffAtExpiry(rows[1], 12.0), 500 - 20, kTolerance);
    const std::vector<const CTradingPlanEntry*> all = Pointers(rows);
    EXPECT_NEAR(PayoffAtExpiry(all, 12.0), PayoffAtExpiry(rows[0], 12.0) + 480, kTolerance);
    const CPayoffChart chart = BuildPayoffChart(all, nullptr);
    EXPECT_EQ(chart.rows, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(chart.strikes, (std::vector<double>{9.0, 11.0}));

    const std::vector<const CTradingPlanEntry*> none = {&rows[2], &rows[3]};
    const CPayoffChart empty = BuildPayoffChart(none, nullptr);
    EXPECT_TRUE(empty.points.empty());
    EXPECT_TRUE(empty.breakEvens.empty());
    EXPECT_EQ(PayoffAtExpiry(none, 10.0), 0.0);
}

// A company's rows together: a buy-write and a sold put at another strike. Joining the
// points draws the line exactly, and every marked price is a point.
TEST(PlanPayoff, ChartOfACompanysRowsIsExactBetweenItsPoints) {
    const std::vector<CTradingPlanEntry> rows = {Row(TYPE_SELL_CALL, 10, 11),
                                                 Row(TYPE_SELL_PUT, 10, 9)};
    const std::vector<const CTradingPlanEntry*> all = Pointers(rows);
    const CPayoffChart chart = BuildPayoffChart(all, nullptr);
    EXPECT_FALSE(chart.hasToday);
    EXPECT_EQ(chart.strikes, (std::vector<double>{9.0, 11.0}));
    EXPECT_EQ(chart.sharePrices, std::vector<double>{10.0});
    ASSERT_FALSE(chart.breakEvens.empty());
    const double lowest = std::min(9.0, chart.breakEvens.front());
    const double highest = std::max(11.0, chart.breakEvens.back());
    EXPECT_NEAR(chart.low, 0.6 * lowest, kTolerance);
    EXPECT_NEAR(chart.high, 1.4 * highest, kTolerance);
    ASSERT_GT(chart.points.size(), 100u);
    EXPECT_EQ(chart.points.front().price, chart.low);
    EXPECT_EQ(chart.points.back().price, chart.high);

    const auto isPoint = [&](double price) {
        return std::any_of(chart.points.begin(), chart.points.end(),
                           [&](const CPayoffPoint& p) { return p.price == price; });
    };
    for (const double price : {9.0, 10.0, 11.0}) {
        EXPECT_TRUE(isPoint(price)) << price;
    }
    for (const double price : chart.breakEvens) {
        EXPECT_TRUE(isPoint(price)) << price;
        EXPECT_NEAR(PayoffAtExpiry(all, price), 0.0, 1e-7);
    }
    int steps = 0;
    for (std::size_t i = 0; i + 1 < chart.points.size(); ++i) {
        const CPayoffPoint& a = chart.points[i];
        const CPayoffPoint& b = chart.points[i + 1];
        ASSERT_LE(a.price, b.price);
        if (a.price == b.price) {
            // The exercise brokerage's step: 60 at each strike, the value at the price last.
            ++steps;
            EXPECT_NEAR(std::abs(a.atExpiry - b.atExpiry), 60.0, kTolerance);
            EXPECT_NEAR(b.atExpiry, PayoffAtExpiry(all, b.price), kTolerance);
            continue;
        }
        EXPECT_NEAR(a.atExpiry, PayoffAtExpiry(all, a.price), kTolerance);
        const double middle = (a.price + b.price) / 2.0;
        EXPECT_NEAR(PayoffAtExpiry(all, middle), (a.atExpiry + b.atExpiry) / 2.0, 1e-7)
            << "between " << a.price << " and " << b.price;
    }
    EXPECT_EQ(steps, 2);
}

// Pricing today against the reference, for a written call and a sold put of one share.
class PlanPayoffTodayTest : public ::testing::Test {
protected:
    static constexpr double kShareLast = 20.0;
    static constexpr int kExpiryDays = 60;
    static constexpr double kShares = 1000.0;

    PlanPayoffTodayTest() {
        const long today = MakeAnalyticsContext(m_Now, m_Settings).today;
        m_Expiry = FileTimeFromUnix((today + kExpiryDays) * 86400L);
        std::vector<CCompanyInfo> calls = {Share(true, "XYZXC1", 21.0, 0.8)};
        std::vector<CCompanyInfo> puts = {Share(false, "XYZXP1", 19.0, 0.6)};
        const std::shared_ptr<const CMarketSnapshot> snapshot =
            CMarketSnapshot().WithCalls(std::move(calls))->WithPuts(std::move(puts));
        m_Market = ComputeMarketAnalytics(*snapshot, MakeAnalyticsContext(m_Now, m_Settings), 1);
    }

    CCompanyInfo Share(bool isCall, const char* code, double strike, double premium) const {
        CContractInfo series;
        series.SetCode(code);
        series.SetExercise(strike);
        series.SetLast(premium);
        series.SetExpiry(m_Expiry);
        series.SetLastTraded(m_Now - 3600 * kFileTimeTicksPerSecond);
        series.SetContractSize(1000);
        series.SetOpenInterest(10);
        CCompanyInfo share;
        share.SetCode("XYZ");
        share.SetLast(kShareLast);
        share.SetIsCall(isCall);
        share.AddContract(std::move(series));
        return share;
    }

    CTradingPlanEntry PlanRow(std::uint32_t type, const char* code, double strike,
                              double premium) const {
        CTradingPlanEntry row = test::SoldCall("XYZ", code);
        row.m_SourceType = type;
        row.m_Shares = kShares;
        row.m_SharePrice = kShareLast;
        row.m_StrikePrice = strike;
        row.m_Premium = premium;
        row.m_NEBrokerage = 20;
        row.m_DateExpiry = m_Expiry;
        return row;
    }

    const FileTime m_Now = test::Utc("2027-03-10 01:00:00");
    const CAnalyticsSettings m_Settings;
    FileTime m_Expiry = kNoDate;
    std::shared_ptr<const CMarketAnalytics> m_Market;
};

TEST_F(PlanPayoffTodayTest, ValueTodayAgreesWithTheReference) {
    struct Case {
        const char* name;
        CTradingPlanEntry row;
        bool isCall;
        // The trade's opening outcome by hand at share price `price`: the shares' change,
        // premium 1000 × premium, brokerage 50 + 20.
        double (*opening)(double price);
    };
    const std::vector<Case> cases = {
        {"written call", PlanRow(TYPE_SELL_CALL, "XYZXC1", 21.0, 0.8), true,
         [](double price) {
             return (price - kShareLast) * kShares + 800.0 - 70.0;
         }},
        {"sold put", PlanRow(TYPE_SELL_PUT, "XYZXP1", 19.0, 0.6), false,
         [](double) {
             return 600.0 - 70.0;
         }},
    };
    for (const Case& c : cases) {
        const std::optional<CTodayTerms> terms = PlanTodayTerms(c.row, *m_Market);
        ASSERT_TRUE(terms.has_value()) << c.name;
        const auto series = m_Market->Find(c.isCall, c.row.m_ContractID);
        ASSERT_TRUE(series && series->volatility.volatility) << c.name;
        EXPECT_EQ(terms->volatility, *series->volatility.volatility);
        EXPECT_NEAR(terms->years, kExpiryDays / 365.0, kTolerance);
        EXPECT_EQ(terms->rate, m_Market->Context().rate);

        const std::vector<const CTradingPlanEntry*> rows = {&c.row};
        const CPayoffChart chart = BuildPayoffChart(rows, m_Market.get());
        ASSERT_TRUE(chart.hasToday) << c.name;
        int checked = 0;
        for (std::size_t i = 0; i < chart.points.size(); ++i) {
            const CPayoffPoint& point = chart.points[i];
            ASSERT_TRUE(point.today.has_value());
            // Every twentieth point, and today's share price.
            if (i % 20 != 0 && point.price != kShareLast) {
                continue;
            }
            const double option = test::EuropeanReferencePrice(
                {c.isCall, point.price, c.row.m_StrikePrice, kExpiryDays, terms->rate},
                terms->volatility);
            EXPECT_NEAR(*point.today, c.opening(point.price) - kShares * option, 1e-6)
                << c.name << " at " << point.price;
            ++checked;
        }
        EXPECT_GT(checked, 10) << c.name;
    }
}

TEST_F(PlanPayoffTodayTest, NoTodayLineWithoutAVolatility) {
    struct Case {
        const char* name;
        std::uint32_t type;
        const char* series;
    };
    const std::vector<Case> cases = {
        {"series not in the market", TYPE_SELL_CALL, "XYZZZ9"},
        {"row of no family", TYPE_NONE, "XYZXC1"},
        {"other family's list", TYPE_SELL_PUT, "XYZXC1"},
    };
    const CTradingPlanEntry priced = PlanRow(TYPE_SELL_CALL, "XYZXC1", 21.0, 0.8);
    for (const Case& c : cases) {
        const CTradingPlanEntry row = PlanRow(c.type, c.series, 21.0, 0.8);
        EXPECT_FALSE(PlanTodayTerms(row, *m_Market).has_value()) << c.name;
        // One row without a volatility leaves the whole position without a today's line.
        const std::vector<const CTradingPlanEntry*> rows = {&priced, &row};
        const CPayoffChart chart = BuildPayoffChart(rows, m_Market.get());
        EXPECT_FALSE(chart.hasToday) << c.name;
        ASSERT_FALSE(chart.points.empty());
        EXPECT_FALSE(chart.points.front().today.has_value()) << c.name;
    }
}

} // namespace
} // namespace strikeline
