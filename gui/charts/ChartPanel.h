#pragma once

#include "gui/charts/ChartFactory.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPalette;
class QPrinter;
class QPushButton;
class QVBoxLayout;

namespace strikeline {

class CColorScheme;

// The colours of a chart: the scheme's report colours for the paper, the writing and the
// series, the palette's for the grid.
CChartColours ChartColoursOf(const CColorScheme& scheme, const QPalette& palette);
// Draws every chart shown inside `window` again in the colours of `scheme` and the window's
// palette: the scheme was changed, or the desktop turned dark or light.
void RecolourCharts(QWidget& window, const CColorScheme& scheme);

// The charts module's factory, loaded the first time and kept to the end; null with the
// reason in `error` when the module cannot be loaded or is of another version. `folders`
// overrides where the module is looked for (the program's own module folders otherwise).
CChartFactory* LoadChartFactory(const std::optional<std::vector<std::string>>& folders,
                                QString& error);

// Where a window shows one chart of the charts module, with buttons that save it as a
// PNG or SVG picture and print it. The module is loaded by the first chart shown, not by
// the panel itself; should it be missing, the panel says so in place of the chart.
class CChartPanel : public QWidget {
    Q_OBJECT

public:
    // Makes the chart from the module's factory, inside `parent`.
    using CChartMaker =
        std::function<QWidget*(CChartFactory&, const CChartColours&, QWidget* parent)>;

    explicit CChartPanel(QWidget* parent = nullptr,
                         std::optional<std::vector<std::string>> moduleFolders = std::nullopt);

    // Draws in the colours given (the palette's until then).
    void SetColours(const CChartColours& colours) { m_Colours = colours; }
    const CChartColours& Colours() const { return m_Colours; }
    // The same, and draws the chart shown again in them (the desktop turned dark or light).
    void Recolour(const CChartColours& colours);

    // Replaces what the panel shows with the chart `make` makes; false, with the reason
    // shown instead, when the module cannot be loaded. `make` is kept for Recolour, so it
    // holds its figures itself.
    bool ShowChart(CChartMaker make);
    // Shows a sentence in place of a chart (there is nothing to draw).
    void ShowMessage(const QString& text);

    // The module's chart (a QChartView), or null while a sentence is shown.
    QWidget* Chart() const { return m_Chart; }
    // The sentence shown instead of a chart; empty while a chart is shown.
    QString Message() const;

    // Writes the chart as it is drawn now: SVG when `path` ends in ".svg", PNG otherwise.
    // False with the reason in `error`.
    bool SavePicture(const QString& path, QString& error) const;
    // Prints the chart on one page, as large as the page allows.
    bool PrintChart(QPrinter& printer) const;

    // The buttons' work: asks for a file or a printer first.
    void SavePictureAs();
    void Print();
    QPushButton* SaveButton() const { return m_Save; }
    QPushButton* PrintButton() const { return m_Print; }

private:
    void Clear();

    std::optional<std::vector<std::string>> m_ModuleFolders;
    CChartColours m_Colours;
    CChartMaker m_Maker;
    QVBoxLayout* m_Area;
    QWidget* m_Chart = nullptr;
    QLabel* m_Message = nullptr;
    QPushButton* m_Save;
    QPushButton* m_Print;
};

} // namespace strikeline
