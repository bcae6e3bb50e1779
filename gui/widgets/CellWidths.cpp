#include "gui/widgets/CellWidths.h"

#include <QWidget>
#include <algorithm>
#include <cstdint>

namespace strikeline {

namespace {

bool TakesAutomaticWidth(const CComplexTableCell& cell) {
    return cell.m_Visible && cell.m_Width < 0;
}

// Spans and divisions come from code, but a zero or negative one must neither divide by
// zero nor stall the hand-out of spare pixels.
int SpanOf(const CComplexTableCell& cell) {
    return std::max(cell.m_Span, 0);
}

int UnitOf(const CComplexTableCell& cell, int tableWidth) {
    return tableWidth / std::max(cell.m_Divisions, 1);
}

int ClampWidth(std::int64_t width) {
    return static_cast<int>(std::clamp<std::int64_t>(width, 0, QWIDGETSIZE_MAX));
}

} // namespace

void DistributeCellWidths(std::vector<CComplexTableCell>& cells, int tableWidth) {
    tableWidth = std::max(tableWidth, 0);
    std::int64_t used = 0;
    std::int64_t spareTakers = 0; // the spans of the cells that share spare pixels
    for (CComplexTableCell& cell : cells) {
        if (!cell.m_Visible) {
            cell.m_LayoutWidth = 0;
        } else if (cell.m_Width >= 0) {
            cell.m_LayoutWidth = ClampWidth(cell.m_Width);
        } else {
            cell.m_LayoutWidth = ClampWidth(std::int64_t{UnitOf(cell, tableWidth)} * SpanOf(cell));
            spareTakers += SpanOf(cell);
        }
        used += cell.m_LayoutWidth;
    }

    std::int64_t spare = tableWidth - used;
    if (spare > 0 && spareTakers > 0) {
        // Whole walks at once, where every cell takes its full span, then the last,
        // partial walk in order.
        const std::int64_t wholeWalks = spare / spareTakers;
        spare -= wholeWalks * spareTakers;
        for (CComplexTableCell& cell : cells) {
            if (!TakesAutomaticWidth(cell)) {
                continue;
            }
            std::int64_t extra = wholeWalks * SpanOf(cell);
            const std::int64_t last = std::min<std::int64_t>(SpanOf(cell), spare);
            extra += last;
            spare -= last;
            cell.m_LayoutWidth = ClampWidth(cell.m_LayoutWidth + extra);
        }
    }

    std::int64_t x = 0;
    for (CComplexTableCell& cell : cells) {
        cell.m_X = ClampWidth(x);
        x += cell.m_LayoutWidth;
    }
}

} // namespace strikeline
