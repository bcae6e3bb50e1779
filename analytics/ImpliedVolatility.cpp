#include "analytics/ImpliedVolatility.h"

#include "analytics/BlackScholes.h"

#include <algorithm>
#include <boost/math/tools/toms748_solve.hpp>
#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <utility>
#include <variant>

namespace strikeline {

namespace {

constexpr double kTolerance = 1e-6;
constexpr double kCoarseTolerance = 1e-3;
constexpr double kFineTolerance = 1e-2;
// A volatility step below which the delta is taken as it is.
constexpr double kDeltaTolerance = 5e-4;
constexpr int kMostFineSteps = 6;
constexpr int kMostCoarseSteps = 8;
// Dollars of premium per unit of volatility per dollar of share price.
constexpr double kFlattestSlope = 1e-5;
constexpr int kMostEvaluations = 60;

// The European option on the share less the present value of its dividends: what the
// first guess and the first slope are taken from.
CEuropeanOption NetOfDividends(const COptionTerms& terms) {
    return {terms.isCall, std::max(terms.spot - PresentValueOfDividends(terms), 0.01 * terms.spot),
            terms.strike, terms.years, terms.rate};
}

// A first guess from the European formula on the share less its dividends: close for most
// series, and a bracket is found around it in a step or two.
double FirstGuess(const COptionTerms& terms, double premium) {
    const CEuropeanOption european = NetOfDividends(terms);
    double volatility = 0.3;
    for (int i = 0; i < 20; ++i) {
        const double gap = EuropeanPrice(european, volatility) - premium;
        const double vega = EuropeanVega(european, volatility);
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

// The volatility at which `price` (rising with volatility) gives `premium`, to `tolerance`,
// searched from `guess`; or why there is none.
template <typename Price>
std::variant<double, VolatilityAbsence> Solve(const Price& price, double premium, double guess,
                                              double tolerance) {
    const auto gap = [&](double volatility) {
        return price(volatility) - premium;
    };
    double low = guess;
    double lowGap = gap(low);
    if (!std::isfinite(lowGap)) {
        return VolatilityAbsence::OutsideModelRange;
    }
    double high = low, highGap = lowGap;
    // Step outward from the guess until the gap changes sign.
    while (highGap < 0.0) {
        if (high >= kHighestVolatility) {
            return VolatilityAbsence::OutsideModelRange;
        }
        low = high;
        lowGap = highGap;
        high = std::min(high * 1.3 + 0.01, kHighestVolatility);
        highGap = gap(high);
    }
    while (lowGap > 0.0) {
        if (low <= kLowestVolatility) {
            return VolatilityAbsence::OutsideModelRange;
        }
        high = low;
        highGap = lowGap;
        low = std::max(low / 1.3 - 0.01, kLowestVolatility);
        lowGap = gap(low);
    }
    if (!std::isfinite(lowGap) || !std::isfinite(highGap)) {
        return VolatilityAbsence::OutsideModelRange;
    }
    if (lowGap == 0.0 || highGap == 0.0) {
        return lowGap == 0.0 ? low : high;
    }
    // Narrow the bracket (Alefeld, Potra and Shi's method).
    std::uintmax_t iterations = kMostEvaluations;
    try {
        const auto [left, right] = boost::math::tools::toms748_solve(
            gap, low, high, lowGap, highGap,
            [tolerance](double x, double y) { return std::abs(x - y) <= tolerance; }, iterations);
        return 0.5 * (left + right);
    } catch (const std::exception&) {
        // Hostile figures can make the price misbehave; they have no volatility.
        return VolatilityAbsence::OutsideModelRange;
    }
}

struct CSecantRoot {
    double volatility;
    double slope; // of the price in the volatility there
};

// Secant steps on the coarse grid from the guess, the first along the European vega: three
// or four prices for most series. Empty when a step leaves the model's range or the steps do
// not settle, which the bracketing search then answers.
template <typename Price>
std::optional<CSecantRoot> CoarseSecant(const Price& price, const COptionTerms& terms,
                                        double premium, double guess) {
    double slope = EuropeanVega(NetOfDividends(terms), guess);
    double previous = guess;
    double previousGap = price(previous) - premium;
    for (int step = 0; step < kMostCoarseSteps; ++step) {
        if (!(slope > 1e-9) || !std::isfinite(previousGap)) {
            return std::nullopt;
        }
        const double next = previous - previousGap / slope;
        if (!(next > kLowestVolatility && next < kHighestVolatility)) {
            return std::nullopt;
        }
        const double gap = price(next) - premium;
        if (gap != previousGap) {
            slope = (gap - previousGap) / (next - previous);
        }
        if (std::abs(next - previous) < kCoarseTolerance) {
            return CSecantRoot{next, slope};
        }
        previous = next;
        previousGap = gap;
    }
    return std::nullopt;
}

CImpliedVolatility Result(const std::variant<double, VolatilityAbsence>& solved) {
    CImpliedVolatility result;
    if (const auto* absence = std::get_if<VolatilityAbsence>(&solved)) {
        result.absence = *absence;
    } else {
        result.volatility = std::get<double>(solved);
    }
    return result;
}

} // namespace

CImpliedVolatility SolveImpliedVolatility(const COptionTerms& terms, double premium) {
    const double exerciseValue =
        terms.isCall ? terms.spot - terms.strike : terms.strike - terms.spot;
    if (premium <= exerciseValue) {
        CImpliedVolatility result;
        result.absence = VolatilityAbsence::AtOrBelowExerciseValue;
        return result;
    }
    const double guess = FirstGuess(terms, premium);

    if (!MayExerciseEarly(terms)) {
        const CEuropeanOption european{terms.isCall, terms.spot, terms.strike, terms.years,
                                       terms.rate};
        CImpliedVolatility result =
            Result(Solve([&](double volatility) { return EuropeanPrice(european, volatility); },
                         premium, guess, kTolerance));
        if (result.volatility) {
            result.delta = EuropeanDelta(european, *result.volatility);
        }
        return result;
    }

    // On the grid: search on a coarse one, then secant steps on the fine one from there,
    // the first with the coarse slope, which the two grids share closely. Most series take
    // three or four coarse prices and one or two fine ones; the delta comes with the last.
    // The last coarse price is kept: the search ends where it was taken.
    double lastCoarseVolatility = -1.0;
    COptionValue lastCoarse;
    const auto coarseValue = [&](double volatility) {
        if (volatility != lastCoarseVolatility) {
            lastCoarse = GridValue(terms, volatility, kCoarseSpaceNodes, kCoarseTimeSteps);
            lastCoarseVolatility = volatility;
        }
        return lastCoarse;
    };
    const auto coarse = [&](double volatility) {
        return coarseValue(volatility).price;
    };
    CImpliedVolatility result;
    double previous = 0.0, slope = 0.0;
    if (const auto quick = CoarseSecant(coarse, terms, premium, guess)) {
        previous = quick->volatility;
        slope = quick->slope;
        result.volatility = previous;
    } else {
        // The secant strayed: the bracketing search settles it, or finds there is no answer.
        result = Result(Solve(coarse, premium, guess, kCoarseTolerance));
        if (!result.volatility) {
            return result;
        }
        previous = *result.volatility;
        const double bump = std::max(0.005, 0.02 * previous);
        const double below = std::max(previous - bump, kLowestVolatility);
        slope = (coarse(previous + bump) - coarse(below)) / (previous + bump - below);
    }
    if (!(slope > kFlattestSlope * terms.spot)) {
        // The price hardly moves with the volatility: the premium is its exercise value in
        // all but name, and any volatility would fit it.
        result.volatility.reset();
        result.absence = VolatilityAbsence::AtOrBelowExerciseValue;
        return result;
    }
    COptionValue value = AmericanValue(terms, previous);
    double previousGap = value.price - premium;
    double current = previous;
    for (int step = 0; step < kMostFineSteps && slope > 1e-12; ++step) {
        // A step this short is taken along the coarse slope without pricing again: the
        // slopes of the two grids differ by a few percent, so it lands within a small part
        // of the step. The delta moves with it as the coarse grid's does.
        const double move = previousGap / slope;
        current = std::clamp(previous - move, kLowestVolatility, kHighestVolatility);
        if (std::abs(move) < kFineTolerance) {
            if (std::abs(move) > kDeltaTolerance) {
                const double before = coarseValue(previous).delta;
                value.delta += coarseValue(current).delta - before;
            }
            break;
        }
        value = AmericanValue(terms, current);
        const double gap = value.price - premium;
        if (gap == previousGap) {
            break;
        }
        slope = (gap - previousGap) / (current - previous);
        previous = current;
        previousGap = gap;
    }
    result.volatility = current;
    result.delta = value.delta;
    return result;
}

} // namespace strikeline
