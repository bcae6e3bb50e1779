#pragma once

#include "analytics/AnalyticsSettings.h"
#include "analytics/MarketAnalytics.h"
#include "plan/PlanColumns.h"
#include "plan/TradingPlanEntry.h"

#include <string>

namespace strikeline {

// What the analytics columns of a plan row show: the days to expiry, the row's
// not-exercised return a year and its warnings. Worked out from the market's analytics
// whenever they are shown; the plan never stores them.
struct CPlanAnalyticsCells {
    std::string days;
    std::string annualReturn;
    // The warnings in one line, or the note of a row whose series is not in the market.
    std::string warnings;
    // The figures behind the texts, UNSET_VALUE where the cell is blank.
    double daysFigure = UNSET_VALUE;
    double annualReturnFigure = UNSET_VALUE;
    // The warnings cell holds a warning (rather than the note, or nothing).
    bool warned = false;

    // The text and the figure of an analytics column; "" and UNSET_VALUE for the others.
    std::string Text(PlanColumnId id) const;
    double Figure(PlanColumnId id) const;
};

CPlanAnalyticsCells PlanAnalyticsCells(const CTradingPlanEntry& row, const CMarketAnalytics& market,
                                       const CAnalyticsSettings& settings);

} // namespace strikeline
