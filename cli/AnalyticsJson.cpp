#include "cli/AnalyticsJson.h"

#include "analytics/ImpliedVolatility.h"

#include <string>

namespace strikeline {

namespace {

using Json = nlohmann::ordered_json;

Json Number(const std::optional<double>& value) {
    return value ? Json(*value) : Json(nullptr);
}

// "YYYY-MM-DD" of a date kept at 00:00.
std::string IsoDate(FileTime date) {
    return FormatFileTime(date, TimeZoneMode::Universal, FileTimeStyle::DateTime).substr(0, 10);
}

} // namespace

Json AnalyticsJson(const CSeriesAnalytics& analytics, bool isCall) {
    Json dividends = Json::array();
    for (const CDividend& dividend : analytics.dividends) {
        dividends.push_back({{"ex_date", IsoDate(dividend.date)},
                             {"amount", dividend.amount},
                             {"franking", dividend.franking}});
    }
    const CImpliedVolatility& volatility = analytics.volatility;
    Json earlyExercise = nullptr;
    if (analytics.earlyExercise) {
        earlyExercise = {{"ex_date", IsoDate(analytics.earlyExercise->exDate)},
                         {"dividend", analytics.earlyExercise->dividend}};
    }
    return {{"days", analytics.days},
            {"annualised_not_exercised", Number(analytics.annualisedNotExercised)},
            {"annualised_exercised", Number(analytics.annualisedExercised)},
            {"cash_secured", isCall ? Json(nullptr) : Number(analytics.cashSecured)},
            {"dividends", std::move(dividends)},
            {"franking_credits", analytics.frankingCredits},
            {"return_with_dividends", isCall ? Number(analytics.returnWithDividends) : nullptr},
            {"return_with_franking", isCall ? Number(analytics.returnWithFranking) : nullptr},
            {"iv", Number(volatility.volatility)},
            {"iv_absent", volatility.absence ? Json(AbsenceText(*volatility.absence)) : nullptr},
            {"delta", Number(analytics.Delta())},
            {"chance_of_exercise", Number(analytics.chanceOfExercise)},
            {"early_exercise", std::move(earlyExercise)},
            {"last_trade_age_days", Number(analytics.lastTradeAgeDays)}};
}

} // namespace strikeline
