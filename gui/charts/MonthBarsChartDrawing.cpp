// Bars of figures month by month: each month's figures side by side, the months named
// along the axis; a click on a bar tells the program which month it was.

#include "gui/charts/PlanChartDrawing.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QLegend>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>

namespace strikeline {

QWidget* DrawMonthBarsChart(const CMonthBarsChartData& data, const CChartColours& colours,
                            QWidget* parent) {
    auto* chart = new QChart;
    auto* bars = new QBarSeries(chart);
    bars->setBarWidth(0.8);
    double highest = 0;
    const QColor first[] = {colours.first, colours.second};
    for (std::size_t i = 0; i < data.bars.size(); ++i) {
        const CMonthBarsChartData::CBars& figure = data.bars[i];
        auto* set = new QBarSet(figure.name);
        for (const double value : figure.values) {
            set->append(value);
            highest = std::max(highest, value);
        }
        // The third and later take Qt's own colours.
        if (i < std::size(first) && first[i].isValid()) {
            set->setColor(first[i]);
            set->setBorderColor(first[i]);
        }
        const QString name = figure.name;
        const std::vector<QString> months = data.months;
        QObject::connect(set, &QBarSet::hovered, set, [set, name, months](bool over, int index) {
            if (!over || index < 0 || static_cast<std::size_t>(index) >= months.size()) {
                QToolTip::hideText();
                return;
            }
            QToolTip::showText(QCursor::pos(), QStringLiteral("%1\n%2: %3")
                                                   .arg(months[static_cast<std::size_t>(index)],
                                                        name, ChartMoney(set->at(index))));
        });
        if (data.monthClicked) {
            QObject::connect(set, &QBarSet::clicked, set,
                             [clicked = data.monthClicked](int index) { clicked(index); });
        }
        bars->append(set);
    }
    chart->addSeries(bars);

    auto* months = new QBarCategoryAxis(chart);
    for (const QString& month : data.months) {
        months->append(month);
    }
    chart->addAxis(months, Qt::AlignBottom);
    bars->attachAxis(months);
    auto* value = new QValueAxis(chart);
    value->setTitleText(data.valueTitle);
    value->setLabelFormat(QStringLiteral("%.0f"));
    value->setTickCount(6);
    value->setRange(0, highest > 0 ? highest * 1.05 : 1);
    value->applyNiceNumbers();
    chart->addAxis(value, Qt::AlignLeft);
    bars->attachAxis(value);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return MakeChartView(chart, data.title, colours, parent);
}

} // namespace strikeline
