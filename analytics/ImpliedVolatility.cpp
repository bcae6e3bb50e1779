#include "analytics/ImpliedVolatility.h"

#include "analytics/BlackScholes.h"

#include <algorithm>
#include <boost/math/tools/toms748_solve.hpp>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace strikeline {

namespace {

constexpr double kTolerance = 1e-6;
constexpr int kMostEvaluations = 60;

// A first guess from the European formula on the share less its dividends: close for most
// series, and a bracket is found around it in a step or two.
double FirstGuess(const COptionTerms& terms, double premium) {
    const CEuropeanOption european{
        terms.isCall, std::max(terms.spot - PresentValueOfDividends(terms), 0.01 * terms.spot),
        terms.strike, terms.years, terms.rate};
    double volatility = 0.3;
    for (int i = 0; i < 20; ++i) {
        const double gap = EuropeanPrice(european, volatility) - premium;
        const double d1 = (std::log(european.spot / european.strike) +
                           (european.rate + 0.5 * volatility * volatility) * european.years) /
                          (volatility * std::sqrt(european.years));
        const double vega = european.spot * std::sqrt(european.years) * std::exp(-0.5 * d1 * d1) /
                            std::sqrt(2.0 * std::numbers::pi);
        if (!(vega > 1e-8)) {
            break;
        }
        const double next = volatility - gap / vega;
        if (!(next > kLowestVolatility && next < kHighestVolatility)) {
            break;
        }
        if (std::abs(next - volatility) < 1e-5) {
            return next;
        }
        volatility = next;
    }
    return std::clamp(volatility, 0.05, 2.0);
}

} // namespace

CImpliedVolatility SolveImpliedVolatility(const COptionTerms& terms, double premium) {
    CImpliedVolatility result;
    const double exerciseValue =
        terms.isCall ? terms.spot - terms.strike : terms.strike - terms.spot;
    if (premium <= exerciseValue) {
        result.absence = VolatilityAbsence::AtOrBelowExerciseValue;
        return result;
    }
    auto gap = [&](double volatility) {
        return AmericanValue(terms, volatility).price - premium;
    };

    // Bracket the root: price rises with volatility.
    double low = FirstGuess(terms, premium);
    double lowGap = gap(low);
    double high = low, highGap = lowGap;
    if (!std::isfinite(lowGap)) {
        result.absence = VolatilityAbsence::OutsideModelRange;
        return result;
    }
    if (lowGap < 0.0) {
        while (highGap < 0.0) {
            low = high;
            lowGap = highGap;
            if (high >= kHighestVolatility) {
                result.absence = VolatilityAbsence::OutsideModelRange;
                return result;
            }
            high = std::min(high * 1.3 + 0.01, kHighestVolatility);
            highGap = gap(high);
        }
    } else {
        while (lowGap > 0.0) {
            high = low;
            highGap = lowGap;
            if (low <= kLowestVolatility) {
                result.absence = VolatilityAbsence::OutsideModelRange;
                return result;
            }
            low = std::max(low / 1.3 - 0.01, kLowestVolatility);
            lowGap = gap(low);
        }
    }

    if (!std::isfinite(lowGap) || !std::isfinite(highGap)) {
        result.absence = VolatilityAbsence::OutsideModelRange;
        return result;
    }
    if (lowGap == 0.0 || highGap == 0.0) {
        const double exact = lowGap == 0.0 ? low : high;
        result.volatility = exact;
        result.delta = AmericanValue(terms, exact).delta;
        return result;
    }
    // Narrow the bracket to the tolerance (Alefeld, Potra and Shi's method).
    std::uintmax_t iterations = kMostEvaluations;
    std::pair<double, double> bracket;
    try {
        bracket = boost::math::tools::toms748_solve(
            gap, low, high, lowGap, highGap,
            [](double x, double y) { return std::abs(x - y) <= kTolerance; }, iterations);
    } catch (const std::exception&) {
        // Hostile figures can make the price misbehave; they have no volatility.
        result.absence = VolatilityAbsence::OutsideModelRange;
        return result;
    }
    const auto [left, right] = bracket;
    const double b = 0.5 * (left + right);
    result.volatility = b;
    result.delta = AmericanValue(terms, b).delta;
    return result;
}

} // namespace strikeline
