#pragma once

#include "analytics/AnalyticsSettings.h"
#include "analytics/MarketAnalytics.h"
#include "plan/TradingPlanEntry.h"

#include <optional>
#include <string>

namespace strikeline {

// A written call deeper than this delta leaves the shares less than 30% of their risk, so
// the days stop counting toward the 45 the franking credits need.
inline constexpr double kFrankingDeltaLimit = 0.7;

// What the analytics say of one Trading Plan row.
struct CPlanRowAnalytics {
    // False when the row's series is not in today's market: no figures and no warnings.
    bool inMarket = false;
    long days = 0;
    std::optional<double> annualisedReturn;      // the row's not-exercised return, percent a year
    std::optional<CEarlyExercise> earlyExercise; // written calls
    std::optional<double> frankingAtRisk;        // dollars for the row's shares
};

// `notExercisedReturn` is the row's own not-exercised return in percent (UNSET_VALUE when
// it has none).
CPlanRowAnalytics ComputePlanRowAnalytics(const CTradingPlanEntry& row, double notExercisedReturn,
                                          const CMarketAnalytics& market,
                                          const CAnalyticsSettings& settings);

// The Warnings cell: the early-exercise and franking warnings in one line, or the note that
// the row has no figures; empty when all is well.
std::string PlanRowWarningText(const CPlanRowAnalytics& row);

} // namespace strikeline
