#pragma once

#include "analytics/SeriesAnalytics.h"

#include <nlohmann/json.hpp>

namespace strikeline {

// The "analytics" object the headless report adds beside each series' cells: numbers at
// full precision, null where a figure does not apply.
nlohmann::ordered_json AnalyticsJson(const CSeriesAnalytics& analytics, bool isCall);

} // namespace strikeline
