#pragma once

// Inside the charts module: the drawing of the plan's charts, kept apart from the
// factory in ChartModule.cpp, and the factory's helpers they share.

#include "gui/charts/ChartFactory.h"

class QChart;
class QChartView;
class QValueAxis;

namespace strikeline {

QWidget* DrawPayoffChart(const CPayoffChartData& data, const CChartColours& colours,
                         QWidget* parent);
QWidget* DrawMonthBarsChart(const CMonthBarsChartData& data, const CChartColours& colours,
                            QWidget* parent);

// The view every chart of the module is shown in, in the given colours, titled.
QChartView* MakeChartView(QChart* chart, const QString& title, const CChartColours& colours,
                          QWidget* parent);
// The axis spans low to high with room either side, on round figures.
void SetPaddedAxisRange(QValueAxis& axis, double low, double high);
// "$1,234.50", "-$80.00".
QString ChartMoney(double value);

} // namespace strikeline
