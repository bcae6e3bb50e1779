// The pricer and the implied-volatility solver against an independent finite-difference
// reference: the reference's price at a chosen volatility is taken as the premium, and our
// volatility and delta for that premium must match the reference's.

#include "QuantLibReference.h"
#include "analytics/AmericanPricer.h"
#include "analytics/ImpliedVolatility.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace strikeline {
namespace {

using test::CReferenceOption;
using test::ReferenceImpliedVolatility;
using test::ReferenceValue;

constexpr double kRate = 0.04;
constexpr double kVolatilityTolerance = 0.005;
constexpr double kDeltaTolerance = 0.01;

COptionTerms TermsOf(const CReferenceOption& option) {
    COptionTerms terms{option.isCall,       option.spot, option.strike,
                       option.days / 365.0, option.rate, {}};
    for (const test::CReferenceDividend& dividend : option.dividends) {
        terms.dividends.push_back({dividend.days / 365.0, dividend.amount});
    }
    return terms;
}

double ExerciseValue(const CReferenceOption& option) {
    return std::max(option.isCall ? option.spot - option.strike : option.strike - option.spot, 0.0);
}

struct CReferenceCase {
    std::string name;
    CReferenceOption option;
    double volatility = 0.0;
};

// Each with real time value, so a volatility point moves the premium by a clear amount
// and the volatility is well defined by it.
const std::vector<CReferenceCase> kCases = {
    {"CallAtTheMoneyMonthNoDividend", {true, 10.0, 10.0, 30, kRate, {}}, 0.25},
    {"CallOutOfTheMoneyYearNoDividend", {true, 10.0, 13.0, 365, kRate, {}}, 0.30},
    {"CallAtTheMoneyFiveDays", {true, 30.0, 30.0, 5, kRate, {}}, 0.25},
    {"CallInTheMoneyOneDividend", {true, 50.0, 45.0, 90, kRate, {{40, 1.0}}}, 0.30},
    {"CallDeepInTheMoneyOneDividend", {true, 50.0, 35.0, 180, kRate, {{90, 1.0}}}, 0.40},
    {"CallDeepOutOfTheMoneyOneDividend", {true, 10.0, 15.0, 300, kRate, {{150, 0.3}}}, 0.30},
    {"CallTwoDividendsTenMonths", {true, 50.0, 45.0, 300, kRate, {{60, 0.8}, {240, 0.9}}}, 0.25},
    {"PutInTheMoneyYearNoDividend", {false, 36.0, 40.0, 365, kRate, {}}, 0.20},
    {"PutDeepInTheMoneyHalfYear", {false, 30.0, 40.0, 180, kRate, {}}, 0.45},
    {"PutDeepOutOfTheMoneyNoDividend", {false, 10.0, 6.0, 200, kRate, {}}, 0.40},
    {"PutInTheMoneyOneDividend", {false, 20.0, 22.0, 90, kRate, {{40, 0.5}}}, 0.35},
    {"PutDeepOutOfTheMoneyOneDividend", {false, 25.0, 20.0, 30, kRate, {{10, 0.5}}}, 0.50},
    {"PutFourDaysDividendInTwo", {false, 30.0, 30.5, 4, kRate, {{2, 0.3}}}, 0.30},
    {"PutAtTheMoneyYearTwoDividends",
     {false, 40.0, 40.0, 365, kRate, {{90, 1.0}, {270, 1.0}}},
     0.30},
};

// Cases print by name in test listings.
void PrintTo(const CReferenceCase& named, std::ostream* out) {
    *out << named.name;
}

class ReferenceCaseTest : public ::testing::TestWithParam<CReferenceCase> {};

TEST_P(ReferenceCaseTest, VolatilityAndDeltaMatchTheReference) {
    const CReferenceCase& c = GetParam();
    const test::CReferenceValue reference = ReferenceValue(c.option, c.volatility);
    // The case is well conditioned: a volatility point is worth at least a tenth of a cent
    // above the exercise value.
    const double vegaPerPoint =
        ReferenceValue(c.option, c.volatility + 0.01).price - reference.price;
    ASSERT_GT(reference.price, ExerciseValue(c.option) + 0.01);
    ASSERT_GT(vegaPerPoint, 0.001);

    const double referenceVolatility = ReferenceImpliedVolatility(c.option, reference.price);
    const CImpliedVolatility ours = SolveImpliedVolatility(TermsOf(c.option), reference.price);
    ASSERT_TRUE(ours.volatility.has_value())
        << "absence " << static_cast<int>(ours.absence.value_or(VolatilityAbsence::NoTrade));
    EXPECT_FALSE(ours.absence.has_value());
    EXPECT_NEAR(*ours.volatility, referenceVolatility, kVolatilityTolerance);
    EXPECT_NEAR(ours.delta, reference.delta, kDeltaTolerance);
    std::printf("%-34s premium %9.5f  IV ours %.5f ref %.5f diff %+.5f  delta ours %+.4f ref "
                "%+.4f diff %+.5f\n",
                c.name.c_str(), reference.price, *ours.volatility, referenceVolatility,
                *ours.volatility - referenceVolatility, ours.delta, reference.delta,
                ours.delta - reference.delta);
}

INSTANTIATE_TEST_SUITE_P(Analytics, ReferenceCaseTest, ::testing::ValuesIn(kCases),
                         [](const auto& named) { return named.param.name; });

struct CAbsenceCase {
    std::string name;
    CReferenceOption option;
    double premium = 0.0;
    VolatilityAbsence absence = VolatilityAbsence::NoTrade;
};

// No volatility fits a premium at or below what exercising now gives, nor one above what
// the highest volatility gives: a call never worth more than its share, a put never more
// than its strike.
const std::vector<CAbsenceCase> kAbsenceCases = {
    {"CallAtExerciseValue",
     {true, 50.0, 40.0, 90, kRate, {}},
     10.0,
     VolatilityAbsence::AtOrBelowExerciseValue},
    {"CallBelowExerciseValueWithDividend",
     {true, 50.0, 40.0, 90, kRate, {{30, 1.0}}},
     9.5,
     VolatilityAbsence::AtOrBelowExerciseValue},
    {"PutAtExerciseValue",
     {false, 30.0, 45.0, 60, kRate, {}},
     15.0,
     VolatilityAbsence::AtOrBelowExerciseValue},
    {"PutBelowExerciseValue",
     {false, 30.0, 45.0, 60, kRate, {{20, 0.5}}},
     14.0,
     VolatilityAbsence::AtOrBelowExerciseValue},
    {"CallAboveTheSharePrice",
     {true, 20.0, 20.0, 90, kRate, {}},
     20.5,
     VolatilityAbsence::OutsideModelRange},
    {"CallWithDividendAboveTheSharePrice",
     {true, 20.0, 18.0, 180, kRate, {{60, 0.5}}},
     21.0,
     VolatilityAbsence::OutsideModelRange},
    {"PutAboveTheStrike",
     {false, 20.0, 22.0, 90, kRate, {{40, 0.5}}},
     22.5,
     VolatilityAbsence::OutsideModelRange},
};

// Cases print by name in test listings.
void PrintTo(const CAbsenceCase& named, std::ostream* out) {
    *out << named.name;
}

class AbsenceCaseTest : public ::testing::TestWithParam<CAbsenceCase> {};

TEST_P(AbsenceCaseTest, GivesTheReasonAndNoVolatility) {
    const CAbsenceCase& c = GetParam();
    const CImpliedVolatility ours = SolveImpliedVolatility(TermsOf(c.option), c.premium);
    EXPECT_FALSE(ours.volatility.has_value()) << *ours.volatility;
    ASSERT_TRUE(ours.absence.has_value());
    EXPECT_EQ(*ours.absence, c.absence);
    if (c.absence == VolatilityAbsence::OutsideModelRange) {
        // The reference finds none either.
        EXPECT_ANY_THROW(ReferenceImpliedVolatility(c.option, c.premium));
    }
}

INSTANTIATE_TEST_SUITE_P(Analytics, AbsenceCaseTest, ::testing::ValuesIn(kAbsenceCases),
                         [](const auto& named) { return named.param.name; });

// Figures a damaged or hostile file can hold never hang or crash the solver: each gives a
// volatility in the model's range with a delta an option can have, or a reason for none.
TEST(AnalyticsReference, HostileFiguresGiveAnAnswerOrAReason) {
    constexpr double kHuge = 1e12, kTiny = 1e-9;
    const double infinity = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct CHostile {
        const char* name;
        COptionTerms terms;
        double premium;
    };
    const std::vector<CHostile> cases = {
        {"tiny share, huge strike", {false, kTiny, kHuge, 0.5, kRate, {}}, kHuge},
        {"huge share, tiny strike", {true, kHuge, kTiny, 0.5, kRate, {{0.1, 1.0}}}, kHuge},
        {"a minute to expiry", {false, 10, 11, 1e-6, kRate, {}}, 1.5},
        {"a century to expiry", {false, 10, 11, 100, kRate, {{50, 0.5}}}, 3},
        {"dividend above the share", {true, 10, 9, 0.5, kRate, {{0.1, 50}}}, 2},
        {"huge premium", {true, 10, 10, 0.5, kRate, {}}, kHuge},
        {"infinite premium", {false, 10, 10, 0.5, kRate, {{0.2, 0.3}}}, infinity},
        {"not a number", {false, 10, 10, 0.5, kRate, {{0.2, 0.3}}}, nan},
        {"infinite strike", {false, 10, infinity, 0.5, kRate, {}}, 1},
        {"rate of 100%", {false, 10, 10, 0.5, 1.0, {}}, 1},
        {"negative rate", {true, 10, 10, 0.5, -0.1, {{0.3, 0.4}}}, 1},
    };
    for (const CHostile& hostile : cases) {
        SCOPED_TRACE(hostile.name);
        const CImpliedVolatility implied = SolveImpliedVolatility(hostile.terms, hostile.premium);
        EXPECT_NE(implied.volatility.has_value(), implied.absence.has_value());
        if (implied.volatility) {
            EXPECT_GE(*implied.volatility, kLowestVolatility);
            EXPECT_LE(*implied.volatility, kHighestVolatility);
            EXPECT_TRUE(hostile.terms.isCall ? implied.delta >= 0 && implied.delta <= 1
                                             : implied.delta >= -1 && implied.delta <= 0)
                << implied.delta;
        }
    }
}

// The reference library's own equity-option example: an American put, S 36, K 40, rate 6%,
// no yield, volatility 20%, one year, 4.486113 by its finite differences.
TEST(AnalyticsReference, LibraryExamplePut) {
    const CReferenceOption put{false, 36.0, 40.0, 365, 0.06, {}};
    constexpr double kExampleValue = 4.486113;
    EXPECT_NEAR(ReferenceValue(put, 0.20).price, kExampleValue, 0.002);
    // Its value read back as a volatility, by us and by the reference.
    const CImpliedVolatility implied = SolveImpliedVolatility(TermsOf(put), kExampleValue);
    ASSERT_TRUE(implied.volatility.has_value());
    EXPECT_NEAR(*implied.volatility, ReferenceImpliedVolatility(put, kExampleValue),
                kVolatilityTolerance);
    // A good American method lands within a cent of it.
    EXPECT_NEAR(AmericanValue(TermsOf(put), 0.20).price, kExampleValue, 0.01);
}

} // namespace
} // namespace strikeline
