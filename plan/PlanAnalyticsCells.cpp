#include "plan/PlanAnalyticsCells.h"

#include "analytics/FrankingRisk.h"
#include "plan/PlanFigures.h"
#include "storage/NumberText.h"

namespace strikeline {

std::string CPlanAnalyticsCells::Text(PlanColumnId id) const {
    switch (id) {
    case PlanColumnId::Days:
        return days;
    case PlanColumnId::AnnualReturn:
        return annualReturn;
    case PlanColumnId::Warnings:
        return warnings;
    default:
        return {};
    }
}

double CPlanAnalyticsCells::Figure(PlanColumnId id) const {
    switch (id) {
    case PlanColumnId::Days:
        return daysFigure;
    case PlanColumnId::AnnualReturn:
        return annualReturnFigure;
    default:
        return UNSET_VALUE;
    }
}

CPlanAnalyticsCells PlanAnalyticsCells(const CTradingPlanEntry& row, const CMarketAnalytics& market,
                                       const CAnalyticsSettings& settings) {
    const CPlanRowAnalytics analytics =
        ComputePlanRowAnalytics(row, NotExercisedReturn(row), market, settings);
    CPlanAnalyticsCells cells;
    cells.warnings = PlanRowWarningText(analytics);
    if (!analytics.inMarket) {
        return cells;
    }
    cells.warned = !cells.warnings.empty();
    // Shown as the plan shows its other counts and percentages, so that a workbook's
    // number reads as the text does.
    const CPlanColumn& days = PlanColumnOf(PlanColumnId::Days);
    const CPlanColumn& annualReturn = PlanColumnOf(PlanColumnId::AnnualReturn);
    cells.daysFigure = static_cast<double>(analytics.days);
    cells.days = FormatNumber(cells.daysFigure, days.decimals);
    if (analytics.annualisedReturn) {
        cells.annualReturnFigure = *analytics.annualisedReturn;
        cells.annualReturn = FormatPercent(cells.annualReturnFigure, annualReturn.decimals);
    }
    return cells;
}

} // namespace strikeline
