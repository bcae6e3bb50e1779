#pragma once

#include "analytics/AmericanPricer.h"

#include <optional>

namespace strikeline {

// Why a premium has no implied volatility.
enum class VolatilityAbsence {
    NoTrade,   // never traded, or no premium given
    NoPremium, // a premium of 0
    Expired,   // no days left
    AtOrBelowExerciseValue,
    OutsideModelRange, // no volatility from kLowestVolatility to kHighestVolatility fits
    MissingInput,      // last sale, strike or contract size missing or 0
};

inline constexpr double kLowestVolatility = 0.001;
inline constexpr double kHighestVolatility = 5.0;

struct CImpliedVolatility {
    std::optional<double> volatility; // a fraction a year
    std::optional<VolatilityAbsence> absence;
    double delta = 0.0; // at the volatility found
};

// The volatility at which AmericanValue gives `premium`, to about 1e-6, with the delta
// there; or why there is none. `terms.years` must be above 0.
CImpliedVolatility SolveImpliedVolatility(const COptionTerms& terms, double premium);

} // namespace strikeline
