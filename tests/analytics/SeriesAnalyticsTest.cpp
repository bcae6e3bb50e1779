// The figures the analytics add to a series and to a Trading Plan row, on hand-made shares:
// each expected figure is worked out here from its definition, or by the reference pricer.

#include "analytics/SeriesAnalytics.h"

#include "QuantLibReference.h"
#include "analytics/AnalyticsTexts.h"
#include "analytics/FrankingRisk.h"
#include "analytics/MarketAnalytics.h"
#include "reports/ReportTestData.h"
#include "support/TestTimes.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace strikeline {
namespace {

using test::Series;
using test::Share;
using test::Utc;

constexpr FileTime kTicksPerDay = 86400 * kFileTimeTicksPerSecond;
constexpr FileTime kTicksPerHour = 3600 * kFileTimeTicksPerSecond;

// 20:00 in universal time on Wednesday 10 March: already 07:00 on Thursday 11 March in
// Sydney, in daylight saving. Series dates below count from that Thursday.
const std::string kNowText = "2027-03-10 20:00:00";
const std::string kExchangeTodayText = "2027-03-11";

FileTime Now() {
    return Utc(kNowText);
}
// Midnight `days` after the exchange's today, as the files keep expiries and ex-dates.
FileTime Day(int days) {
    return Utc(kExchangeTodayText) + static_cast<FileTime>(days) * kTicksPerDay;
}
std::string DayText(int days) {
    return FormatFileTime(Day(days), TimeZoneMode::Universal, FileTimeStyle::DateTime);
}
std::string HoursAgo(int hours) {
    return FormatFileTime(Now() - static_cast<FileTime>(hours) * kTicksPerHour,
                          TimeZoneMode::Universal, FileTimeStyle::DateTime);
}

CAnalyticsContext Context() {
    return MakeAnalyticsContext(Now(), CAnalyticsSettings());
}

CDividend Dividend(const std::string& code, int day, double amount, double franking) {
    return {code, Day(day), amount, franking};
}

// The analytics of a share's only series.
CSeriesAnalytics Analyse(const CCompanyInfo& share, const std::vector<CDividend>& dividends = {},
                         const CAnalyticsContext& context = Context()) {
    return ComputeSeriesAnalytics(share, share.Contracts().front(), dividends, context);
}

// The reason given for no volatility, for a failure's message.
std::string WhyNone(const CSeriesAnalytics& a) {
    return a.volatility.absence ? AbsenceText(*a.volatility.absence) : "no reason given";
}

double Credits(double amount, double frankingPercent, double taxRate) {
    return amount * frankingPercent / 100.0 * taxRate / (1.0 - taxRate);
}

double NormalCdfOf(double x) {
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

double Annualised(double percent, long days) {
    return percent * 365.0 / static_cast<double>(days);
}

// ---- The days to expiry, on the exchange's calendar ----

struct CDaysCase {
    std::string name;
    std::string now;
    std::string exchangeToday;
    std::string expiry;
    long days;
};

// Cases print by name in test listings.
void PrintTo(const CDaysCase& named, std::ostream* out) {
    *out << named.name;
}

class ExchangeDaysTest : public ::testing::TestWithParam<CDaysCase> {};

TEST_P(ExchangeDaysTest, CountFromTheExchangesToday) {
    const CDaysCase& c = GetParam();
    const CAnalyticsContext context = MakeAnalyticsContext(Utc(c.now), CAnalyticsSettings());
    EXPECT_EQ(context.today, DayNumber(Utc(c.exchangeToday)));
    const CCompanyInfo share = Share("ABC", 20.0, {Series("ABCD1", 20.0, 1.0, c.expiry, c.now)});
    EXPECT_EQ(Analyse(share, {}, context).days, c.days);
}

INSTANTIATE_TEST_SUITE_P(
    SeriesAnalytics, ExchangeDaysTest,
    ::testing::Values(
        // Daylight saving, eleven hours ahead: 20:00 universal is 07:00 the next day in
        // Sydney, and so is 13:30 (00:30), which ten hours ahead would not be.
        CDaysCase{"SummerEvening", "2027-03-10 20:00:00", "2027-03-11", "2027-03-25", 14},
        CDaysCase{"SummerJustPastMidnight", "2027-03-10 13:30:00", "2027-03-11", "2027-03-25", 14},
        // Winter, ten hours ahead: 13:00 universal is 23:00 the same day, 15:00 is 01:00 the
        // next.
        CDaysCase{"WinterBeforeMidnight", "2027-06-10 13:00:00", "2027-06-10", "2027-06-24", 14},
        CDaysCase{"WinterAfterMidnight", "2027-06-10 15:00:00", "2027-06-11", "2027-06-24", 13},
        // Expiring today, and yesterday.
        CDaysCase{"ExpiresToday", "2027-03-10 20:00:00", "2027-03-11", "2027-03-11", 0},
        CDaysCase{"ExpiredYesterday", "2027-03-10 20:00:00", "2027-03-11", "2027-03-10", -1}),
    [](const auto& named) { return named.param.name; });

TEST(SeriesAnalytics, ContextTakesTheSettingsRates) {
    CAnalyticsSettings settings;
    settings.SetRatePercent(5.5);
    settings.SetTaxRatePercent(25.0);
    const CAnalyticsContext context = MakeAnalyticsContext(Now(), settings);
    EXPECT_DOUBLE_EQ(context.rate, 0.055);
    EXPECT_DOUBLE_EQ(context.taxRate, 0.25);
    EXPECT_EQ(context.now, Now());
}

// ---- Annualised returns ----

TEST(SeriesAnalytics, CallReturnsAreTheReportsReturnsAYear) {
    const double last = 20.0, strike = 19.0, premium = 1.6;
    const CCompanyInfo share =
        Share("ABC", last, {Series("ABCD1", strike, premium, DayText(14), HoursAgo(2))});
    const CSeriesAnalytics a = Analyse(share);
    ASSERT_EQ(a.days, 14);
    ASSERT_TRUE(a.annualisedNotExercised && a.annualisedExercised);
    EXPECT_DOUBLE_EQ(*a.annualisedNotExercised, Annualised(premium / last * 100.0, 14));
    EXPECT_DOUBLE_EQ(*a.annualisedExercised,
                     Annualised((strike - last + premium) / last * 100.0, 14));
    EXPECT_FALSE(a.cashSecured);
}

TEST(SeriesAnalytics, PutReturnsAndTheCashSecuringThePut) {
    const double last = 20.0, strike = 21.0, premium = 1.5;
    const CCompanyInfo share =
        Share("ABC", last, {Series("ABCP1", strike, premium, DayText(40), HoursAgo(2))}, false);
    const CSeriesAnalytics a = Analyse(share);
    ASSERT_EQ(a.days, 40);
    ASSERT_TRUE(a.annualisedNotExercised && a.annualisedExercised && a.cashSecured);
    EXPECT_DOUBLE_EQ(*a.annualisedNotExercised, Annualised(premium / last * 100.0, 40));
    EXPECT_DOUBLE_EQ(*a.annualisedExercised,
                     Annualised((last - strike + premium) / last * 100.0, 40));
    EXPECT_DOUBLE_EQ(*a.cashSecured, Annualised(premium / strike * 100.0, 40));
    EXPECT_FALSE(a.returnWithDividends);
}

TEST(SeriesAnalytics, NoAnnualisedReturnsOnceExpired) {
    for (const int expiry : {0, -3}) {
        const CCompanyInfo share =
            Share("ABC", 20.0, {Series("ABCP1", 21.0, 1.5, DayText(expiry), HoursAgo(2))}, false);
        const CSeriesAnalytics a = Analyse(share);
        EXPECT_EQ(a.days, expiry);
        EXPECT_FALSE(a.annualisedNotExercised);
        EXPECT_FALSE(a.annualisedExercised);
        EXPECT_FALSE(a.cashSecured);
    }
}

// ---- Dividends to expiry and their franking ----

TEST(SeriesAnalytics, DividendsAfterTodayToExpiryWithFranking) {
    const double last = 30.0, premium = 0.9;
    const CCompanyInfo share =
        Share("ABC", last, {Series("ABCD1", 31.0, premium, DayText(60), HoursAgo(2))});
    // Out of order: after expiry, on expiry, today, tomorrow, yesterday.
    const std::vector<CDividend> dividends = {
        Dividend("ABC", 61, 0.70, 100.0), Dividend("ABC", 60, 0.40, 50.0),
        Dividend("ABC", 0, 0.90, 100.0), Dividend("ABC", 1, 0.25, 100.0),
        Dividend("ABC", -1, 0.30, 100.0)};
    const CSeriesAnalytics a = Analyse(share, dividends);
    const std::vector<CDividend> expected = {dividends[3], dividends[1]};
    EXPECT_EQ(a.dividends, expected);
    const double credits = Credits(0.25, 100.0, 0.3) + Credits(0.40, 50.0, 0.3);
    EXPECT_NEAR(a.frankingCredits, credits, 1e-12);
    ASSERT_TRUE(a.returnWithDividends && a.returnWithFranking);
    EXPECT_NEAR(*a.returnWithDividends, (premium + 0.65) / last * 100.0, 1e-12);
    EXPECT_NEAR(*a.returnWithFranking, (premium + 0.65 + credits) / last * 100.0, 1e-12);
}

TEST(SeriesAnalytics, FrankingAtTheContextsTaxRate) {
    CAnalyticsSettings settings;
    settings.SetTaxRatePercent(25.0);
    const CCompanyInfo share =
        Share("ABC", 30.0, {Series("ABCD1", 31.0, 0.9, DayText(60), HoursAgo(2))});
    const CSeriesAnalytics a =
        Analyse(share, {Dividend("ABC", 10, 1.0, 80.0)}, MakeAnalyticsContext(Now(), settings));
    EXPECT_NEAR(a.frankingCredits, Credits(1.0, 80.0, 0.25), 1e-12);
}

TEST(SeriesAnalytics, PutsListDividendsButHaveNoReturnWithThem) {
    const CCompanyInfo share =
        Share("ABC", 30.0, {Series("ABCP1", 29.0, 0.5, DayText(60), HoursAgo(2))}, false);
    const CSeriesAnalytics a = Analyse(share, {Dividend("ABC", 20, 1.0, 100.0)});
    EXPECT_EQ(a.dividends.size(), 1u);
    EXPECT_FALSE(a.returnWithDividends);
    EXPECT_FALSE(a.returnWithFranking);
}

// ---- Why a series has no implied volatility ----

struct CAbsenceCase {
    std::string name;
    bool isCall;
    double shareLast;
    double strike;
    double premium;
    int expiry;         // days from today
    int tradedHoursAgo; // < 0: never traded
    double size;
    VolatilityAbsence absence;
};

// Cases print by name in test listings.
void PrintTo(const CAbsenceCase& named, std::ostream* out) {
    *out << named.name;
}

class SeriesAbsenceTest : public ::testing::TestWithParam<CAbsenceCase> {};

TEST_P(SeriesAbsenceTest, NoVolatilityDeltaOrChance) {
    const CAbsenceCase& c = GetParam();
    const CCompanyInfo share =
        Share("ABC", c.shareLast,
              {Series("ABCX1", c.strike, c.premium, DayText(c.expiry),
                      c.tradedHoursAgo < 0 ? std::string() : HoursAgo(c.tradedHoursAgo), c.size)},
              c.isCall);
    const CSeriesAnalytics a = Analyse(share);
    ASSERT_TRUE(a.volatility.absence);
    EXPECT_EQ(*a.volatility.absence, c.absence) << WhyNone(a);
    EXPECT_FALSE(a.volatility.volatility);
    EXPECT_FALSE(a.Delta());
    EXPECT_FALSE(a.chanceOfExercise);
    EXPECT_FALSE(a.earlyExercise);
}

INSTANTIATE_TEST_SUITE_P(
    SeriesAnalytics, SeriesAbsenceTest,
    ::testing::Values(CAbsenceCase{"ExpiresToday", true, 20.0, 20.0, 0.5, 0, 2, 100.0,
                                   VolatilityAbsence::Expired},
                      CAbsenceCase{"Expired", false, 20.0, 20.0, 0.5, -2, 2, 100.0,
                                   VolatilityAbsence::Expired},
                      CAbsenceCase{"NoSharePrice", true, 0.0, 20.0, 0.5, 30, 2, 100.0,
                                   VolatilityAbsence::MissingInput},
                      CAbsenceCase{"UnsetSharePrice", true, UNSET_VALUE, 20.0, 0.5, 30, 2, 100.0,
                                   VolatilityAbsence::MissingInput},
                      CAbsenceCase{"NoStrike", false, 20.0, 0.0, 0.5, 30, 2, 100.0,
                                   VolatilityAbsence::MissingInput},
                      CAbsenceCase{"NoContractSize", true, 20.0, 20.0, 0.5, 30, 2, 0.0,
                                   VolatilityAbsence::MissingInput},
                      CAbsenceCase{"NeverTraded", true, 20.0, 20.0, 0.5, 30, -1, 100.0,
                                   VolatilityAbsence::NoTrade},
                      CAbsenceCase{"TradedWithoutAPrice", true, 20.0, 20.0, UNSET_VALUE, 30, 2,
                                   100.0, VolatilityAbsence::NoTrade},
                      CAbsenceCase{"ZeroPremium", false, 20.0, 20.0, 0.0, 30, 2, 100.0,
                                   VolatilityAbsence::NoPremium},
                      CAbsenceCase{"CallAtExerciseValue", true, 20.0, 15.0, 5.0, 30, 2, 100.0,
                                   VolatilityAbsence::AtOrBelowExerciseValue},
                      CAbsenceCase{"PutBelowExerciseValue", false, 20.0, 26.0, 5.5, 30, 2, 100.0,
                                   VolatilityAbsence::AtOrBelowExerciseValue},
                      CAbsenceCase{"CallAboveTheSharePrice", true, 20.0, 20.0, 21.0, 30, 2, 100.0,
                                   VolatilityAbsence::OutsideModelRange}),
    [](const auto& named) { return named.param.name; });

// ---- The last trade ----

TEST(SeriesAnalytics, LastTradeAgeAndStaleness) {
    struct {
        int hoursAgo; // < 0: never
        bool stale;
    } const cases[] = {{6, false}, {240, true}, {-1, true}};
    for (const auto& c : cases) {
        const CCompanyInfo share =
            Share("ABC", 20.0,
                  {Series("ABCD1", 20.0, 0.8, DayText(30),
                          c.hoursAgo < 0 ? std::string() : HoursAgo(c.hoursAgo))});
        const CSeriesAnalytics a = Analyse(share);
        if (c.hoursAgo < 0) {
            EXPECT_FALSE(a.lastTradeAgeDays);
        } else {
            ASSERT_TRUE(a.lastTradeAgeDays) << c.hoursAgo;
            EXPECT_NEAR(*a.lastTradeAgeDays, c.hoursAgo / 24.0, 1e-9);
        }
        EXPECT_EQ(a.stale, c.stale) << c.hoursAgo;
    }
}

// ---- Implied volatility, delta and chance of exercise ----

TEST(SeriesAnalytics, VolatilityDeltaAndChanceOfExerciseWithADividend) {
    // A put priced by the reference at 35%, with a dividend 20 days out.
    const double last = 20.0, strike = 21.0, amount = 0.6, volatility = 0.35;
    const test::CReferenceOption reference{false, last, strike, 75, 0.04, {{20, amount}}};
    const test::CReferenceValue value = test::ReferenceValue(reference, volatility);
    const CCompanyInfo share =
        Share("ABC", last, {Series("ABCP1", strike, value.price, DayText(75), HoursAgo(2))}, false);
    const CSeriesAnalytics a = Analyse(share, {Dividend("ABC", 20, amount, 100.0)});

    ASSERT_TRUE(a.volatility.volatility) << WhyNone(a);
    EXPECT_NEAR(*a.volatility.volatility, volatility, 0.005);
    ASSERT_TRUE(a.Delta());
    EXPECT_NEAR(*a.Delta(), value.delta, 0.01);
    // N(−d2) on the share less the present value of its dividends, at the volatility found.
    const double years = 75.0 / 365.0, sigma = *a.volatility.volatility;
    const double netSpot = last - amount * std::exp(-0.04 * 20.0 / 365.0);
    const double d2 = (std::log(netSpot / strike) + (0.04 - 0.5 * sigma * sigma) * years) /
                      (sigma * std::sqrt(years));
    ASSERT_TRUE(a.chanceOfExercise);
    EXPECT_NEAR(*a.chanceOfExercise, NormalCdfOf(-d2), 1e-9);
    EXPECT_FALSE(a.earlyExercise);
}

// ---- The early-exercise warning ----

TEST(SeriesAnalytics, DeepInTheMoneyCallWarnsBeforeALargeDividend) {
    // A small dividend early on is not worth exercising for; the large one three days
    // before expiry is: the share then drops well below what exercising gives.
    const std::vector<CDividend> dividends = {Dividend("ABC", 57, 3.0, 100.0),
                                              Dividend("ABC", 2, 0.02, 100.0)};
    const CCompanyInfo share =
        Share("ABC", 50.0, {Series("ABCD1", 30.0, 20.8, DayText(60), HoursAgo(2))});
    const CSeriesAnalytics a = Analyse(share, dividends);
    ASSERT_TRUE(a.volatility.volatility) << WhyNone(a);
    ASSERT_TRUE(a.earlyExercise);
    EXPECT_EQ(a.earlyExercise->exDate, Day(57));
    EXPECT_DOUBLE_EQ(a.earlyExercise->dividend, 3.0);
}

TEST(SeriesAnalytics, OutOfTheMoneyCallDoesNotWarn) {
    const std::vector<CDividend> dividends = {Dividend("ABC", 57, 3.0, 100.0)};
    const CCompanyInfo share =
        Share("ABC", 50.0, {Series("ABCD1", 55.0, 0.8, DayText(60), HoursAgo(2))});
    const CSeriesAnalytics a = Analyse(share, dividends);
    ASSERT_TRUE(a.volatility.volatility) << WhyNone(a);
    EXPECT_FALSE(a.earlyExercise);
}

// ---- Trading Plan rows through the market's analytics ----

class PlanRowAnalyticsTest : public ::testing::Test {
protected:
    static constexpr double kShares = 2000.0;
    static constexpr double kDividend = 1.2;

    void SetUp() override {
        // A deep in-the-money call over a fully franked ex-date, priced by the reference.
        const test::CReferenceOption reference{true, 50.0, 35.0, 90, 0.04, {{30, kDividend}}};
        const test::CReferenceValue value = test::ReferenceValue(reference, 0.3);
        ASSERT_GT(value.delta, kFrankingDeltaLimit);
        std::vector<CCompanyInfo> calls = {
            Share("ABC", 50.0, {Series("ABCXX1", 35.0, value.price, DayText(90), HoursAgo(2))})};
        m_Market = CMarketSnapshot()
                       .WithCalls(std::move(calls))
                       ->WithDividends({Dividend("XYZ", 30, 5.0, 100.0),
                                        Dividend("ABC", 30, kDividend, 100.0)});
        m_Analytics = ComputeMarketAnalytics(*m_Market, Context(), 1);
        ASSERT_TRUE(m_Analytics);
    }

    CTradingPlanEntry Row(const std::string& code) const {
        CTradingPlanEntry row;
        row.m_SourceType = TYPE_SELL_CALL;
        row.m_CompanyID = "ABC";
        row.m_ContractID = code;
        row.m_DateExpiry = Day(90);
        row.m_Shares = kShares;
        return row;
    }

    std::shared_ptr<const CMarketSnapshot> m_Market;
    std::shared_ptr<const CMarketAnalytics> m_Analytics;
};

TEST_F(PlanRowAnalyticsTest, WrittenDeepCallOverAnExDatePutsTheFrankingAtRisk) {
    const CPlanRowAnalytics row =
        ComputePlanRowAnalytics(Row("ABCXX1"), 3.0, *m_Analytics, CAnalyticsSettings());
    EXPECT_TRUE(row.inMarket);
    EXPECT_EQ(row.days, 90);
    ASSERT_TRUE(row.annualisedReturn);
    EXPECT_DOUBLE_EQ(*row.annualisedReturn, Annualised(3.0, 90));
    const double atRisk = Credits(kDividend, 100.0, 0.3) * kShares;
    ASSERT_TRUE(row.frankingAtRisk);
    EXPECT_NEAR(*row.frankingAtRisk, atRisk, 1e-9);

    // Exercising before the ex-date beats holding a European call on the share less the
    // dividend for the 60 days left, at the volatility found.
    const std::optional<CSeriesAnalytics> series = m_Analytics->Find(true, "ABCXX1");
    ASSERT_TRUE(series && series->volatility.volatility);
    const double sigma = *series->volatility.volatility, years = 60.0 / 365.0;
    const double after = 50.0 - kDividend;
    const double d1 = (std::log(after / 35.0) + (0.04 + 0.5 * sigma * sigma) * years) /
                      (sigma * std::sqrt(years));
    const double held = after * NormalCdfOf(d1) -
                        35.0 * std::exp(-0.04 * years) * NormalCdfOf(d1 - sigma * std::sqrt(years));
    ASSERT_GE(50.0 - 35.0, held);
    ASSERT_TRUE(row.earlyExercise);
    EXPECT_EQ(row.earlyExercise->exDate, Day(30));
    EXPECT_EQ(PlanRowWarningText(row),
              EarlyExerciseText(*row.earlyExercise) + "; " + FrankingAtRiskText(atRisk));
}

TEST_F(PlanRowAnalyticsTest, NoFrankingAtRiskWithoutSharesOrForABoughtCall) {
    CTradingPlanEntry noShares = Row("ABCXX1");
    noShares.m_Shares = UNSET_VALUE;
    CTradingPlanEntry bought = Row("ABCXX1");
    bought.m_SourceType = TYPE_BUY_CALL;
    for (const CTradingPlanEntry& entry : {noShares, bought}) {
        const CPlanRowAnalytics row =
            ComputePlanRowAnalytics(entry, 3.0, *m_Analytics, CAnalyticsSettings());
        EXPECT_TRUE(row.inMarket);
        EXPECT_FALSE(row.frankingAtRisk) << entry.m_SourceType;
    }
}

TEST_F(PlanRowAnalyticsTest, NoFrankingAtRiskUnderTheExemption) {
    CAnalyticsSettings settings;
    settings.SetSmallShareholderExemption(true);
    const CPlanRowAnalytics row =
        ComputePlanRowAnalytics(Row("ABCXX1"), 3.0, *m_Analytics, settings);
    EXPECT_TRUE(row.inMarket);
    EXPECT_FALSE(row.frankingAtRisk);
    EXPECT_EQ(PlanRowWarningText(row).find("Franking"), std::string::npos);
}

TEST_F(PlanRowAnalyticsTest, RowNotInTheMarketHasOnlyTheNote) {
    const CPlanRowAnalytics row =
        ComputePlanRowAnalytics(Row("ABCZZ9"), 3.0, *m_Analytics, CAnalyticsSettings());
    EXPECT_FALSE(row.inMarket);
    EXPECT_FALSE(row.annualisedReturn);
    EXPECT_FALSE(row.frankingAtRisk);
    EXPECT_FALSE(row.earlyExercise);
    EXPECT_EQ(PlanRowWarningText(row), kNoAnalyticsNote);
}

// ---- The whole market on several threads ----

// A market of calls and puts over a spread of strikes and expiries, some shares paying a
// dividend before some expiries.
std::shared_ptr<const CMarketSnapshot> SpreadMarket() {
    std::vector<CCompanyInfo> calls, puts;
    std::vector<CDividend> dividends;
    for (int share = 0; share < 12; ++share) {
        const std::string code = "S" + std::to_string(share);
        const double last = 5.0 + 3.0 * share;
        for (const bool isCall : {true, false}) {
            std::vector<CContractInfo> series;
            for (int i = 0; i < 8; ++i) {
                const double strike = last * (0.8 + 0.05 * i);
                const double premium = std::max(isCall ? last - strike : strike - last, 0.0) +
                                       0.02 * last * (1 + i % 3);
                series.push_back(Series(code + (isCall ? "C" : "P") + std::to_string(i), strike,
                                        premium, DayText(10 + 40 * (i % 4)), HoursAgo(3)));
            }
            (isCall ? calls : puts).push_back(Share(code, last, std::move(series), isCall));
        }
        if (share % 2 == 0) {
            dividends.push_back(Dividend(code, 25 + share, 0.02 * last, 100.0));
        }
    }
    return CMarketSnapshot()
        .WithCalls(std::move(calls))
        ->WithPuts(std::move(puts))
        ->WithDividends(std::move(dividends));
}

// Every figure of `a` equals its own in `b`.
void ExpectSameAnalytics(const CSeriesAnalytics& a, const CSeriesAnalytics& b) {
    EXPECT_EQ(a.days, b.days);
    EXPECT_EQ(a.annualisedNotExercised, b.annualisedNotExercised);
    EXPECT_EQ(a.annualisedExercised, b.annualisedExercised);
    EXPECT_EQ(a.cashSecured, b.cashSecured);
    EXPECT_EQ(a.dividends, b.dividends);
    EXPECT_EQ(a.frankingCredits, b.frankingCredits);
    EXPECT_EQ(a.returnWithDividends, b.returnWithDividends);
    EXPECT_EQ(a.returnWithFranking, b.returnWithFranking);
    EXPECT_EQ(a.volatility.volatility, b.volatility.volatility);
    EXPECT_EQ(a.volatility.absence, b.volatility.absence);
    EXPECT_EQ(a.volatility.delta, b.volatility.delta);
    EXPECT_EQ(a.chanceOfExercise, b.chanceOfExercise);
    EXPECT_EQ(a.earlyExercise.has_value(), b.earlyExercise.has_value());
    if (a.earlyExercise && b.earlyExercise) {
        EXPECT_EQ(a.earlyExercise->exDate, b.earlyExercise->exDate);
        EXPECT_EQ(a.earlyExercise->dividend, b.earlyExercise->dividend);
    }
    EXPECT_EQ(a.lastTradeAgeDays, b.lastTradeAgeDays);
    EXPECT_EQ(a.stale, b.stale);
}

// The market keeps what each series' analytics gave, in full, found by its code; a code
// not in the market finds nothing.
TEST(MarketAnalytics, KeepsEachSeriesFiguresWhole) {
    const auto market = SpreadMarket();
    const auto analytics = ComputeMarketAnalytics(*market, Context(), 2);
    ASSERT_TRUE(analytics);
    const CDividendIndex dividends(market->Dividends());
    std::size_t withEarlyExercise = 0;
    for (const bool isCall : {true, false}) {
        for (const CCompanyInfo& company : market->Companies(isCall)) {
            for (const CContractInfo& series : company.Contracts()) {
                SCOPED_TRACE(series.Code());
                const std::optional<CSeriesAnalytics> kept = analytics->Find(isCall, series.Code());
                ASSERT_TRUE(kept);
                const CSeriesAnalytics alone = ComputeSeriesAnalytics(
                    company, series, dividends.Of(company.Code()), Context());
                ExpectSameAnalytics(*kept, alone);
                withEarlyExercise += alone.earlyExercise ? 1 : 0;
            }
        }
    }
    EXPECT_GT(withEarlyExercise, 0u);
    EXPECT_FALSE(analytics->Find(true, "S0P1"));
    EXPECT_FALSE(analytics->Find(false, "S0C1"));
    EXPECT_FALSE(analytics->Find(true, "S0C"));
    EXPECT_FALSE(analytics->Find(true, ""));
}

// Every thread count gives each series the same figures, and a cancelled run gives none.
TEST(MarketAnalytics, EveryThreadCountGivesTheSameFigures) {
    const auto market = SpreadMarket();
    const auto alone = ComputeMarketAnalytics(*market, Context(), 1);
    ASSERT_TRUE(alone);
    ASSERT_EQ(alone->Size(), 12u * 2 * 8);
    std::size_t withVolatility = 0;
    for (const unsigned threads : {2u, 3u}) {
        SCOPED_TRACE(threads);
        const auto shared = ComputeMarketAnalytics(*market, Context(), threads);
        ASSERT_TRUE(shared);
        ASSERT_EQ(shared->Size(), alone->Size());
        for (const bool isCall : {true, false}) {
            for (const CCompanyInfo& company : market->Companies(isCall)) {
                for (const CContractInfo& series : company.Contracts()) {
                    const std::optional<CSeriesAnalytics> a = alone->Find(isCall, series.Code());
                    const std::optional<CSeriesAnalytics> b = shared->Find(isCall, series.Code());
                    ASSERT_TRUE(a && b) << series.Code();
                    EXPECT_EQ(a->days, b->days);
                    EXPECT_EQ(a->volatility.volatility, b->volatility.volatility);
                    EXPECT_EQ(a->Delta(), b->Delta());
                    EXPECT_EQ(a->dividends.size(), b->dividends.size());
                    withVolatility += a->volatility.volatility ? 1 : 0;
                }
            }
        }
    }
    EXPECT_GT(withVolatility, 0u);

    const std::atomic<bool> cancelled{true};
    EXPECT_EQ(ComputeMarketAnalytics(*market, Context(), 2, &cancelled), nullptr);
}

} // namespace
} // namespace strikeline
