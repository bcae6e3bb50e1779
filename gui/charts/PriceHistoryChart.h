#pragma once

#include "gui/charts/ChartFactory.h"

#include <string>

namespace strikeline {

// The price chart of the share `code` from the price history of the data folder `folder`:
// the stored days of the year up to the last stored day (a day a year before it is left
// out). No stored day gives no points; false with the reason in `error` when the history
// cannot be read.
bool PriceHistoryChartData(const std::string& folder, const std::string& code, const QString& title,
                           CPriceHistoryChartData& data, QString& error);

} // namespace strikeline
