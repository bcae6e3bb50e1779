// The payoff chart: the position's outcome at expiry and its value today against the share
// price, a zero line, upright marks at the break-evens, strikes and share prices, and the
// figures of both lines at the price under the mouse.

#include "gui/charts/PlanChartDrawing.h"

#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QMouseEvent>
#include <QPen>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace strikeline {

namespace {

using CMarkKind = CPayoffChartData::MarkKind;

// The figure of a line at `price`: straight between its points, and where the line steps,
// the figure at the price itself.
double ValueAt(const std::vector<CPricePoint>& line, double price) {
    const auto after =
        std::upper_bound(line.begin(), line.end(), price,
                         [](double p, const CPricePoint& point) { return p < point.price; });
    if (after == line.begin()) {
        return line.front().value;
    }
    if (after == line.end()) {
        return line.back().value;
    }
    const CPricePoint& a = *(after - 1);
    const CPricePoint& b = *after;
    return a.value + (b.value - a.value) * (price - a.price) / (b.price - a.price);
}

QLineSeries* AddLine(QChart& chart, const QString& objectName, const QString& name,
                     const QPen& pen) {
    auto* line = new QLineSeries(&chart);
    line->setObjectName(objectName);
    line->setName(name);
    line->setPen(pen);
    chart.addSeries(line);
    return line;
}

QPen LinePen(const QColor& colour, int width, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour.isValid() ? colour : QColor(Qt::darkGray));
    pen.setWidth(width);
    pen.setStyle(style);
    return pen;
}

// Shows the price under the mouse with both lines' figures there.
class CPayoffHover final : public QObject {
public:
    CPayoffHover(QChartView& view, QLineSeries& atExpiry, const CPayoffChartData& data)
        : QObject(&view), m_View(view), m_Line(atExpiry), m_Name(data.atExpiryName),
          m_TodayName(data.todayName), m_PriceName(data.priceName), m_AtExpiry(data.atExpiry),
          m_Today(data.today) {
        view.viewport()->setMouseTracking(true);
        view.viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove && !m_AtExpiry.empty()) {
            const auto* move = static_cast<QMouseEvent*>(event);
            QChart& chart = *m_View.chart();
            const QPointF at = chart.mapFromScene(m_View.mapToScene(move->position().toPoint()));
            if (chart.plotArea().contains(at)) {
                const double price = chart.mapToValue(at, &m_Line).x();
                QToolTip::showText(move->globalPosition().toPoint(), Text(price),
                                   m_View.viewport());
            } else {
                QToolTip::hideText();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString Text(double price) const {
        QString text = QStringLiteral("%1 %2\n%3: %4")
                           .arg(m_PriceName, ChartMoney(price), m_Name,
                                ChartMoney(ValueAt(m_AtExpiry, price)));
        if (!m_Today.empty()) {
            text +=
                QStringLiteral("\n%1: %2").arg(m_TodayName, ChartMoney(ValueAt(m_Today, price)));
        }
        return text;
    }

    QChartView& m_View;
    QLineSeries& m_Line;
    QString m_Name;
    QString m_TodayName;
    QString m_PriceName;
    std::vector<CPricePoint> m_AtExpiry;
    std::vector<CPricePoint> m_Today;
};

} // namespace

QString ChartMoney(double value) {
    const QString digits = QLocale(QLocale::English).toString(std::abs(value), 'f', 2);
    return value < 0 && digits != QStringLiteral("0.00") ? QStringLiteral("-$") + digits
                                                         : QStringLiteral("$") + digits;
}

QWidget* DrawPayoffChart(const CPayoffChartData& data, const CChartColours& colours,
                         QWidget* parent) {
    auto* chart = new QChart;
    double low = 0;
    double high = 0;
    double lowest = 0;
    double highest = 0;
    const auto take = [&](const std::vector<CPricePoint>& points) {
        for (const CPricePoint& point : points) {
            lowest = std::min(lowest, point.value);
            highest = std::max(highest, point.value);
        }
    };
    take(data.atExpiry);
    take(data.today);
    if (!data.atExpiry.empty()) {
        low = data.atExpiry.front().price;
        high = data.atExpiry.back().price;
    }

    QLineSeries* zero =
        AddLine(*chart, QStringLiteral("zero"), QString(),
                LinePen(colours.text.isValid() ? colours.text : QColor(Qt::black), 1));
    zero->append(low, 0);
    zero->append(high, 0);
    QLineSeries* atExpiry =
        AddLine(*chart, QStringLiteral("atExpiry"), data.atExpiryName, LinePen(colours.first, 2));
    for (const CPricePoint& point : data.atExpiry) {
        atExpiry->append(point.price, point.value);
    }
    if (!data.today.empty()) {
        QLineSeries* today =
            AddLine(*chart, QStringLiteral("today"), data.todayName, LinePen(colours.second, 2));
        for (const CPricePoint& point : data.today) {
            today->append(point.price, point.value);
        }
    }

    auto* prices = new QValueAxis(chart);
    prices->setTitleText(data.priceTitle);
    prices->setLabelFormat(QStringLiteral("%.2f"));
    prices->setRange(low, high > low ? high : low + 1);
    prices->setTickCount(7);
    prices->applyNiceNumbers();
    chart->addAxis(prices, Qt::AlignBottom);
    // The zero line runs across the whole axis.
    zero->replace(0, prices->min(), 0);
    zero->replace(1, prices->max(), 0);
    auto* dollars = new QValueAxis(chart);
    dollars->setTitleText(data.valueTitle);
    dollars->setLabelFormat(QStringLiteral("%.0f"));
    dollars->setTickCount(7);
    SetPaddedAxisRange(*dollars, lowest, highest);
    chart->addAxis(dollars, Qt::AlignLeft);

    // The marks run from the bottom of the value axis to its top.
    for (const CPayoffChartData::CMark& mark : data.marks) {
        QString objectName;
        QPen pen;
        switch (mark.kind) {
        case CMarkKind::BreakEven:
            objectName = QStringLiteral("breakEven");
            pen = LinePen(QColor(0x2e, 0x7d, 0x32), 1, Qt::DashLine);
            break;
        case CMarkKind::Strike:
            objectName = QStringLiteral("strike");
            pen = LinePen(QColor(0xc6, 0x28, 0x28), 1, Qt::DashLine);
            break;
        case CMarkKind::SharePrice:
            objectName = QStringLiteral("sharePrice");
            pen = LinePen(QColor(0x45, 0x5a, 0x64), 1, Qt::DotLine);
            break;
        }
        QLineSeries* line = AddLine(*chart, objectName, mark.name, pen);
        line->append(mark.price, dollars->min());
        line->append(mark.price, dollars->max());
    }
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(prices);
        series->attachAxis(dollars);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    for (QLegendMarker* marker : chart->legend()->markers(zero)) {
        marker->setVisible(false);
    }
    QChartView* view = MakeChartView(chart, data.title, colours, parent);
    new CPayoffHover(*view, *atExpiry, data);
    return view;
}

} // namespace strikeline
