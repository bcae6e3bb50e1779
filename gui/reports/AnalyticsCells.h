#pragma once

#include "analytics/AnalyticsTexts.h"
#include "storage/Color.h"

#include <string_view>

namespace strikeline {

class CComplexTableWnd;
class CMarketAnalytics;

// The analytics columns of the report and Short List blocks stand after BEP: they are the
// last kAnalyticsColumnCount cells of the series header, of every series row and of the
// leveraged line.

// The warning mark stands out in red: this deep red on the light schemes, a light red on a
// dark background, where the deep one cannot be read.
inline constexpr Color kAnalyticsWarningColor = Rgb(204, 0, 0);
inline constexpr Color kAnalyticsWarningColorOnDark = Rgb(255, 180, 180);
// Whichever of the two reads better on `background`.
Color AnalyticsWarningColor(Color background);
// The column of the warning mark.
inline constexpr std::size_t kAnalyticsWarningColumn = kAnalyticsColumnCount - 1;

// Figures from an old trade are dimmed: the desktop's grey for text that is not in use.
Color StaleAnalyticsColor();

// Fills the analytics cells of a series row with the series' figures and their tooltip.
// Without analytics the cells are empty; when the analytics lack the series they are empty
// too and the tooltip says why. `foreground` is the text colour of the row's own figures.
void FillAnalyticsCells(CComplexTableWnd& table, int row, const CMarketAnalytics* analytics,
                        bool isCall, std::string_view seriesCode, Color foreground);

// Shows or hides the analytics cells at the end of a row. Its cells share the width as
// `divisions` units while they show and as that many less the analytics columns while they
// are hidden, so the other columns keep the shape they had without them.
void ShowAnalyticsCells(CComplexTableWnd& table, int row, int divisions, bool shown);

} // namespace strikeline
