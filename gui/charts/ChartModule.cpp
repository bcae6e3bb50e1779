// The program's charts, in a module of its own: the program loads it when the first chart
// is shown, so that starting the program does not load Qt Charts and the OpenGL libraries
// under it. It draws the figures the program hands it and computes none itself.

#include "gui/charts/ChartFactory.h"
#include "gui/charts/PlanChartDrawing.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFile>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>

namespace strikeline {

namespace {

// Lines across the value axes.
constexpr int kValueTicks = 6;
// The volume bars take the lowest quarter of the price chart.
constexpr double kVolumeShare = 0.25;

void ColourAxis(QAbstractAxis& axis, const CChartColours& colours) {
    if (colours.text.isValid()) {
        axis.setLabelsColor(colours.text);
        axis.setTitleBrush(colours.text);
        axis.setLinePenColor(colours.text);
    }
    if (colours.grid.isValid()) {
        axis.setGridLineColor(colours.grid);
    }
}

// A chart in the given colours inside a view that draws it smoothly.
QChartView* MakeView(QChart* chart, const QString& title, const CChartColours& colours,
                     QWidget* parent) {
    chart->setTitle(title);
    if (colours.background.isValid()) {
        chart->setBackgroundBrush(colours.background);
        chart->setPlotAreaBackgroundVisible(false);
    }
    if (colours.text.isValid()) {
        chart->setTitleBrush(colours.text);
        chart->legend()->setLabelColor(colours.text);
    }
    for (QAbstractAxis* axis : chart->axes()) {
        ColourAxis(*axis, colours);
    }
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    if (colours.background.isValid()) {
        view->setBackgroundBrush(colours.background);
    }
    return view;
}

// Room above and below the figures, so that a flat line does not lie on the frame.
void SetPaddedRange(QValueAxis& axis, double low, double high) {
    const double pad = high > low ? (high - low) * 0.05 : std::max(1.0, std::abs(high) * 0.05);
    axis.setRange(low - pad, high + pad);
    axis.applyNiceNumbers();
}

qint64 MomentOf(const QDate& day) {
    return day.startOfDay().toMSecsSinceEpoch();
}

class CQtChartFactory final : public CChartFactory {
public:
    int InterfaceVersion() const override { return kChartInterfaceVersion; }

    QWidget* MakeBalanceChart(const CBalanceChartData& data, const CChartColours& colours,
                              QWidget* parent) override {
        auto* chart = new QChart;
        auto* line = new QLineSeries(chart);
        line->setName(data.valueTitle);
        line->setPointsVisible(data.balances.size() < 60);
        if (colours.first.isValid()) {
            QPen pen(colours.first);
            pen.setWidth(2);
            line->setPen(pen);
        }
        double low = 0;
        double high = 0;
        for (const CDatedValue& point : data.balances) {
            line->append(static_cast<qreal>(MomentOf(point.day)), point.value);
            low = line->count() == 1 ? point.value : std::min(low, point.value);
            high = line->count() == 1 ? point.value : std::max(high, point.value);
        }
        chart->addSeries(line);
        chart->legend()->hide();

        auto* time = new QDateTimeAxis(chart);
        time->setFormat(QStringLiteral("MMM yy"));
        if (!data.balances.empty()) {
            const QDate first = data.balances.front().day;
            const QDate last = data.balances.back().day;
            // One month either side, so that the first and the last points stand clear.
            time->setRange(QDateTime::fromMSecsSinceEpoch(MomentOf(first.addMonths(-1))),
                           QDateTime::fromMSecsSinceEpoch(MomentOf(last.addMonths(1))));
            time->setTickCount(std::clamp(static_cast<int>(data.balances.size()) + 2, 3, 7));
        }
        chart->addAxis(time, Qt::AlignBottom);
        line->attachAxis(time);
        auto* value = new QValueAxis(chart);
        value->setTitleText(data.valueTitle);
        value->setLabelFormat(QStringLiteral("%.0f"));
        value->setTickCount(kValueTicks);
        SetPaddedRange(*value, low, high);
        chart->addAxis(value, Qt::AlignLeft);
        line->attachAxis(value);
        return MakeView(chart, data.title, colours, parent);
    }

    QWidget* MakePriceHistoryChart(const CPriceHistoryChartData& data, const CChartColours& colours,
                                   QWidget* parent) override {
        auto* chart = new QChart;
        // Trading days are placed by their number, so that the line and the bars share one
        // axis and weekends leave no gaps; the axis names the months where they begin.
        auto* days = new QCategoryAxis(chart);
        days->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        const int count = static_cast<int>(data.prices.size());
        days->setRange(-0.5, std::max(0, count - 1) + 0.5);
        days->setStartValue(-0.5);
        // A month is named where it begins (January by its year), but not a first month
        // too short to hold its name.
        constexpr int kShortestNamedMonth = 8;
        for (int i = 0; i < count;) {
            const QDate day = data.prices[static_cast<std::size_t>(i)].day;
            int next = i + 1;
            while (next < count &&
                   data.prices[static_cast<std::size_t>(next)].day.month() == day.month()) {
                ++next;
            }
            if (i > 0 || next - i >= kShortestNamedMonth) {
                days->append(
                    day.toString(day.month() == 1 ? QStringLiteral("yyyy") : QStringLiteral("MMM")),
                    i);
            }
            i = next;
        }

        auto* line = new QLineSeries(chart);
        line->setName(data.priceTitle);
        if (colours.first.isValid()) {
            QPen pen(colours.first);
            pen.setWidth(2);
            line->setPen(pen);
        }
        double low = 0;
        double high = 0;
        for (int i = 0; i < count; ++i) {
            const double price = data.prices[static_cast<std::size_t>(i)].value;
            line->append(i, price);
            low = i == 0 ? price : std::min(low, price);
            high = i == 0 ? price : std::max(high, price);
        }

        auto* volume = new QBarSet(data.volumeTitle);
        double most = 0;
        for (const CDatedValue& day : data.volumes) {
            volume->append(day.value);
            most = std::max(most, day.value);
        }
        if (colours.second.isValid()) {
            volume->setColor(colours.second);
            volume->setBorderColor(colours.second);
        }
        auto* bars = new QBarSeries(chart);
        bars->setBarWidth(0.8);
        bars->append(volume);

        // The bars first, so that the line is drawn over them.
        chart->addSeries(bars);
        chart->addSeries(line);
        chart->addAxis(days, Qt::AlignBottom);
        bars->attachAxis(days);
        line->attachAxis(days);

        auto* price = new QValueAxis(chart);
        price->setTitleText(data.priceTitle);
        price->setTickCount(kValueTicks);
        // The bars below the line: the price axis starts lower than the lowest price by a
        // third of the prices' span, which the volume axis fills with the bars.
        SetPaddedRange(*price, low - (high - low) * kVolumeShare / (1 - kVolumeShare), high);
        price->setLabelFormat(QStringLiteral("%.2f"));
        chart->addAxis(price, Qt::AlignLeft);
        line->attachAxis(price);

        auto* traded = new QValueAxis(chart);
        traded->setTitleText(data.volumeTitle);
        traded->setLabelFormat(QStringLiteral("%.0f"));
        traded->setRange(0, most > 0 ? most / kVolumeShare : 1);
        traded->setTickCount(kValueTicks);
        traded->applyNiceNumbers();
        traded->setGridLineVisible(false);
        chart->addAxis(traded, Qt::AlignRight);
        bars->attachAxis(traded);
        return MakeView(chart, data.title, colours, parent);
    }

    bool WriteSvg(QWidget& chart, const QString& path, const QString& title,
                  QString& error) override {
        QSvgGenerator picture;
        picture.setFileName(path);
        picture.setSize(chart.size());
        picture.setViewBox(QRect(QPoint(0, 0), chart.size()));
        picture.setTitle(title);
        QPainter painter;
        if (!painter.begin(&picture)) {
            error = QStringLiteral("the file could not be written");
            return false;
        }
        chart.render(&painter);
        painter.end();
        // The generator says nothing of a file it could not write.
        if (!QFile::exists(path) || QFile(path).size() == 0) {
            error = QStringLiteral("the file could not be written");
            return false;
        }
        return true;
    }

    QWidget* MakePayoffChart(const CPayoffChartData& data, const CChartColours& colours,
                             QWidget* parent) override {
        return DrawPayoffChart(data, colours, parent);
    }

    QWidget* MakeMonthBarsChart(const CMonthBarsChartData& data, const CChartColours& colours,
                                QWidget* parent) override {
        return DrawMonthBarsChart(data, colours, parent);
    }
};

} // namespace

// For the drawing in the module's other files.
QChartView* MakeChartView(QChart* chart, const QString& title, const CChartColours& colours,
                          QWidget* parent) {
    return MakeView(chart, title, colours, parent);
}

void SetPaddedAxisRange(QValueAxis& axis, double low, double high) {
    SetPaddedRange(axis, low, high);
}

} // namespace strikeline

extern "C" Q_DECL_EXPORT strikeline::CChartFactory* StrikelineChartFactory() {
    static strikeline::CQtChartFactory factory;
    return &factory;
}
