#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace strikeline {

struct CDailyClose {
    std::chrono::sys_days m_Day{};
    double m_Close = 0.0;
};

// The daily closes of the trading days in the year up to `lastDay`. A code of the sample
// market follows the same price model as the generated market (default seed), so its chart
// agrees with the files; any other text gets a history of its own drawn from the code, so
// every code has a chart and the same code always the same one.
std::vector<CDailyClose> OneYearPriceHistory(const std::string& code,
                                             std::chrono::sys_days lastDay);

// The trend chart page: an HTML page titled "CODE - one year" holding an inline SVG line
// chart of OneYearPriceHistory.
std::string BuildPriceChartPage(const std::string& code, std::chrono::sys_days lastDay);

} // namespace strikeline
