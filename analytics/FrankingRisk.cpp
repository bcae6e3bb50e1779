#include "analytics/FrankingRisk.h"

#include "analytics/AnalyticsTexts.h"
#include "storage/NumberText.h"

namespace strikeline {

namespace {

bool WritesCall(std::uint32_t type) {
    return type == TYPE_CALL || type == TYPE_SELL_CALL;
}

} // namespace

CPlanRowAnalytics ComputePlanRowAnalytics(const CTradingPlanEntry& row, double notExercisedReturn,
                                          const CMarketAnalytics& market,
                                          const CAnalyticsSettings& settings) {
    CPlanRowAnalytics result;
    const PlanFamily family = PlanFamilyOf(row.m_SourceType);
    const std::optional<CSeriesAnalytics> series =
        family == PlanFamily::None ? std::nullopt
                                   : market.Find(family == PlanFamily::Call, row.m_ContractID);
    if (!series) {
        return result;
    }
    result.inMarket = true;
    result.days = DayNumber(row.m_DateExpiry) - market.Context().today;
    if (result.days > 0 && IsValue(notExercisedReturn)) {
        result.annualisedReturn = notExercisedReturn * 365.0 / static_cast<double>(result.days);
    }
    if (!WritesCall(row.m_SourceType)) {
        return result;
    }
    result.earlyExercise = series->earlyExercise;
    const auto delta = series->Delta();
    const bool holdsShares = IsValue(row.m_Shares) && row.m_Shares > 0.0;
    if (holdsShares && !settings.SmallShareholderExemption() && delta &&
        *delta > kFrankingDeltaLimit && !series->dividends.empty() &&
        series->frankingCredits > 0.0) {
        result.frankingAtRisk = series->frankingCredits * row.m_Shares;
    }
    return result;
}

std::string PlanRowWarningText(const CPlanRowAnalytics& row) {
    if (!row.inMarket) {
        return std::string(kNoAnalyticsNote);
    }
    std::string text;
    if (row.earlyExercise) {
        text = EarlyExerciseText(*row.earlyExercise);
    }
    if (row.frankingAtRisk) {
        if (!text.empty()) {
            text += "; ";
        }
        text += FrankingAtRiskText(*row.frankingAtRisk);
    }
    return text;
}

} // namespace strikeline
