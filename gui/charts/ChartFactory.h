#pragma once

// What the program and its charts module share: plain data for each kind of chart and the
// factory the module hands out. The program works out every figure and the module only
// draws it, so the module links Qt Charts and nothing of the core.
//
// A new chart is a data struct here, one Make... function at the end of CChartFactory
// (with kChartInterfaceVersion raised by one), its drawing in gui/charts/ChartModule.cpp
// and a caller that fills the struct and shows the result in a CChartPanel.

#include <QColor>
#include <QDate>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace strikeline {

// Raised whenever CChartFactory or a struct below changes, so that a program never calls a
// module built from another version of this header.
inline constexpr int kChartInterfaceVersion = 2;

// The colours a chart is drawn in: the program's colour scheme where one applies, the
// application's palette otherwise. An invalid colour leaves Qt's own choice.
struct CChartColours {
    QColor background;
    QColor text;
    QColor grid;
    // The first and the second series of a chart, in the order its struct names them.
    QColor first;
    QColor second;
};

// A figure on a day.
struct CDatedValue {
    QDate day;
    double value = 0;
};

// A balance month by month: one point at the end of each month, oldest first.
struct CBalanceChartData {
    QString title;
    QString valueTitle; // the value axis
    std::vector<CDatedValue> balances;
};

// A share's trading days, oldest first: the last sale of each day as a line and the volume
// as bars below it. Days follow one another without gaps for days without trading.
struct CPriceHistoryChartData {
    QString title;
    QString priceTitle;
    QString volumeTitle;
    std::vector<CDatedValue> prices;
    std::vector<CDatedValue> volumes; // the same days as prices
};

// A dollar figure at a share price.
struct CPricePoint {
    double price = 0;
    double value = 0;
};

// What a position makes or loses against the share price: at expiry, and (when the program
// can price the options) if closed today. The module names each series it draws after its
// part (QObject::objectName "atExpiry", "today", "zero", "breakEven", "strike",
// "sharePrice"), so that what it drew can be found again; hovering over the chart shows the
// price with both figures.
struct CPayoffChartData {
    QString title;
    QString priceTitle; // the price axis
    QString valueTitle; // the dollars axis
    // The lines' names, which the hover text repeats, and the hover text's price.
    QString atExpiryName;
    QString todayName;
    QString priceName;
    // Ascending by price; where the line steps, a price comes twice (the figure just below
    // it, then at it).
    std::vector<CPricePoint> atExpiry;
    // The same prices; empty when there is no today's line.
    std::vector<CPricePoint> today;
    // Upright lines across the chart at the prices that matter, each named in the legend.
    enum class MarkKind { BreakEven, Strike, SharePrice };
    struct CMark {
        MarkKind kind = MarkKind::Strike;
        double price = 0;
        QString name;
    };
    std::vector<CMark> marks;
};

// Figures of each month side by side as bars, the months named along the axis. A click on a
// bar calls `monthClicked` with the month's index.
struct CMonthBarsChartData {
    QString title;
    QString valueTitle;
    std::vector<QString> months; // "Jan 2027"
    // One series of bars per figure, in the order drawn, each with a value for every month.
    struct CBars {
        QString name;
        std::vector<double> values;
    };
    std::vector<CBars> bars;
    std::function<void(int month)> monthClicked;
};

// Makes chart widgets. Each Make... gives a new widget inside `parent` (a view of a Qt
// Charts chart), which the caller owns through its parent. A chart that must tell the
// program something (a bar clicked) takes a callback in its data struct.
class CChartFactory {
public:
    virtual ~CChartFactory() = default;
    // kChartInterfaceVersion of the module's build.
    virtual int InterfaceVersion() const = 0;
    virtual QWidget* MakeBalanceChart(const CBalanceChartData& data, const CChartColours& colours,
                                      QWidget* parent) = 0;
    virtual QWidget* MakePriceHistoryChart(const CPriceHistoryChartData& data,
                                           const CChartColours& colours, QWidget* parent) = 0;
    // Writes `chart` (any widget) as an SVG picture of its present size: the SVG writer is
    // the module's, so that the program does not load it at start. False with the reason
    // in `error`.
    virtual bool WriteSvg(QWidget& chart, const QString& path, const QString& title,
                          QString& error) = 0;
    virtual QWidget* MakePayoffChart(const CPayoffChartData& data, const CChartColours& colours,
                                     QWidget* parent) = 0;
    virtual QWidget* MakeMonthBarsChart(const CMonthBarsChartData& data,
                                        const CChartColours& colours, QWidget* parent) = 0;
};

// The charts module, its one entry and the entry's type: the module's own factory, which
// lives as long as the module (to the end of the program).
inline constexpr const char* kChartModuleName = "strikeline-charts";
inline constexpr const char* kChartFactoryEntry = "StrikelineChartFactory";
using ChartFactoryEntry = CChartFactory*();

} // namespace strikeline
