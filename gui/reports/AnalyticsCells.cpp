#include "gui/reports/AnalyticsCells.h"

#include "analytics/MarketAnalytics.h"
#include "gui/widgets/ComplexTableWnd.h"
#include "gui/widgets/QtColor.h"
#include "storage/BuiltInSchemes.h"

#include <QApplication>
#include <QPalette>

namespace strikeline {

namespace {

constexpr int kColumns = static_cast<int>(kAnalyticsColumnCount);

// The first analytics cell of the row, or -1 when the row has none.
int FirstAnalyticsCell(const CComplexTableWnd& table, int row) {
    const int first = table.CellCount(row) - kColumns;
    return first >= 0 ? first : -1;
}

} // namespace

Color AnalyticsWarningColor(Color background) {
    return ContrastRatio(kAnalyticsWarningColor, background) >=
                   ContrastRatio(kAnalyticsWarningColorOnDark, background)
               ? kAnalyticsWarningColor
               : kAnalyticsWarningColorOnDark;
}

Color StaleAnalyticsColor() {
    return FromQColor(QApplication::palette().color(QPalette::Disabled, QPalette::Text));
}

void FillAnalyticsCells(CComplexTableWnd& table, int row, const CMarketAnalytics* analytics,
                        bool isCall, std::string_view seriesCode, Color foreground) {
    const int first = FirstAnalyticsCell(table, row);
    if (first < 0) {
        return;
    }
    if (analytics == nullptr) {
        // Nothing to show yet: a new block's cells are empty already.
        bool empty = true;
        for (int cell = first; cell < first + kColumns && empty; ++cell) {
            const CComplexTableWnd::CCell& current = *table.Cell(row, cell);
            empty = current.m_Text.isEmpty() && current.m_ToolTip.isEmpty();
        }
        if (empty) {
            return;
        }
    }
    const std::optional<CSeriesAnalytics> figures =
        analytics != nullptr ? analytics->Find(isCall, seriesCode) : std::nullopt;
    CAnalyticsTexts texts;
    if (figures) {
        texts = SeriesAnalyticsTexts(*figures, isCall);
    } else if (analytics != nullptr) {
        texts.tooltip = std::string(kNoAnalyticsNote);
    }
    // One shared copy for the whole row.
    const QString tooltip = QString::fromStdString(texts.tooltip);
    const Color figureColor = texts.stale ? StaleAnalyticsColor() : foreground;
    for (int i = 0; i < kColumns; ++i) {
        const int cell = first + i;
        const QString text = QString::fromStdString(texts.cells[static_cast<std::size_t>(i)]);
        table.SetText(row, cell, text);
        // A stale volatility carries the trade's age after a space: it may take two lines.
        const bool wrap = text.contains(QLatin1Char(' '));
        table.SetFormat(row, cell, wrap ? Qt::AlignHCenter | Qt::TextWordWrap : Qt::AlignHCenter);
        // A warning is never dimmed.
        table.SetTextColor(row, cell,
                           static_cast<std::size_t>(i) == kAnalyticsWarningColumn
                               ? AnalyticsWarningColor(table.Cell(row, cell)->m_Background)
                               : figureColor);
        table.Cell(row, cell)->m_ToolTip = tooltip;
    }
}

void ShowAnalyticsCells(CComplexTableWnd& table, int row, int divisions, bool shown) {
    const int first = FirstAnalyticsCell(table, row);
    if (first < 0) {
        return;
    }
    // A selection in a column that goes steps back onto the last column that stays.
    if (!shown && table.CurrentRow() == row && table.CurrentColumn() >= first) {
        table.SetCurrentCell(row, first - 1);
    }
    const int units = shown ? divisions : divisions - kColumns;
    for (int cell = 0; cell < table.CellCount(row); ++cell) {
        const CComplexTableWnd::CCell& current = *table.Cell(row, cell);
        if (current.m_Divisions != units) {
            table.SetDivisions(row, cell, units, current.m_Span);
        }
        if (cell >= first && current.m_Visible != shown) {
            table.SetVisible(row, cell, shown);
        }
    }
}

} // namespace strikeline
