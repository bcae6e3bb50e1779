#pragma once

#include "analytics/SeriesAnalytics.h"

#include <array>
#include <string>
#include <string_view>

namespace strikeline {

// The analytics columns the reports and the Short List show after BEP.
inline constexpr std::size_t kAnalyticsColumnCount = 7;
inline constexpr std::array<std::string_view, kAnalyticsColumnCount> kAnalyticsHeadings = {
    "Days", "Ann. % not exercised", "Ann. % exercised", "IV", "Delta", "Chance of exercise", "!"};

inline constexpr std::string_view kNoAnalyticsNote =
    "No analytics: the series is not in today's market data";

struct CAnalyticsTexts {
    std::array<std::string, kAnalyticsColumnCount> cells;
    // Everything behind the figures: the last trade's age, why a volatility is missing, the
    // dividends to expiry with their franking, and the warning in words.
    std::string tooltip;
    // The price is an old trade: the cells are shown dimmed with its age.
    bool stale = false;
};

CAnalyticsTexts SeriesAnalyticsTexts(const CSeriesAnalytics& analytics, bool isCall);

// "Early exercise likely before the ex-date 20-Feb-2027 (dividend $0.850)".
std::string EarlyExerciseText(const CEarlyExercise& warning);
// "Franking credits at risk: $123.45 (the call's delta is above 0.7 over an ex-date)".
std::string FrankingAtRiskText(double dollars);
// "5.2 days" or "3 hours": how long ago the last trade was.
std::string TradeAgeText(double days);

} // namespace strikeline
