// Widths that follow the texts: the narrowest width at which every cell shows its whole
// text, and columns sized by their texts for tables that ask for it.

#include "gui/widgets/CellTextMeasurer.h"
#include "gui/widgets/ColumnGrid.h"
#include "gui/widgets/ComplexTableWnd.h"

#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>

namespace strikeline {

void CComplexTableWnd::SetFitColumnsToText(bool fit) {
    m_FitColumns = fit;
    MarkLayoutDirty();
    update();
}

int CComplexTableWnd::MinimumLayoutWidth() {
    if (m_FitColumns) {
        if (const std::optional<CGrid> grid = FindGrid()) {
            const std::vector<int> units = GridMinimum(*grid);
            return std::max(std::accumulate(units.begin(), units.end(), 0),
                            UniformMinimum(&grid->m_Rows));
        }
    }
    return UniformMinimum(nullptr);
}

int CComplexTableWnd::UniformMinimum(const std::vector<bool>* skip) {
    CCellTextMeasurer measurer(font());
    std::int64_t widest = 0;
    for (std::size_t r = 0; r < m_Rows.size(); ++r) {
        if (skip != nullptr && (*skip)[r]) {
            continue;
        }
        const CRow& row = *m_Rows[r];
        for (std::size_t c = 0; c < row.m_Cells.size(); ++c) {
            const CCell& cell = row.m_Cells[c];
            if (!cell.m_Visible || cell.m_Width >= 0 || cell.m_Span <= 0) {
                continue;
            }
            // A cell gets (width / divisions) * span pixels at least.
            const int needed = CellNeededWidth(static_cast<int>(r), static_cast<int>(c), measurer);
            const std::int64_t unit = (needed + cell.m_Span - 1) / cell.m_Span;
            widest = std::max(widest, unit * std::max(cell.m_Divisions, 1));
        }
    }
    return static_cast<int>(std::min<std::int64_t>(widest, QWIDGETSIZE_MAX));
}

int CComplexTableWnd::CellNeededWidth(int row, int column, CCellTextMeasurer& measurer) {
    const CCell& cell = *Cell(row, column);
    const QMargins& margins = cell.m_Margins;
    const int sides = margins.left() + margins.right() + cell.m_ExtraRightInset;
    switch (cell.m_Kind) {
    case CellKind::CheckBox:
        return cell.m_BoxSize + 2;
    case CellKind::EmbeddedTable:
        return cell.m_EmbeddedTable ? cell.m_EmbeddedTable->MinimumLayoutWidth() : 0;
    case CellKind::Text:
        break;
    }
    const QFont* font = cell.m_Font ? &*cell.m_Font : nullptr;
    if (cell.m_Vertical) {
        // A quarter turn round: one line across the cell.
        return measurer.LineHeight(font) + sides;
    }
    const bool wrap = (cell.m_Format & Qt::TextWordWrap) != 0;
    return measurer.WidestPiece(font, DisplayText(row, column), wrap) + sides;
}

std::optional<CComplexTableWnd::CGrid> CComplexTableWnd::FindGrid() const {
    // A row is on the grid when its cells divide the row alike and their spans fill it.
    const auto divisionsOf = [](const CRow& row) {
        if (row.m_Cells.empty()) {
            return 0;
        }
        const int divisions = row.m_Cells.front().m_Divisions;
        int spans = 0;
        for (const CCell& cell : row.m_Cells) {
            if (cell.m_Width >= 0 || cell.m_Span <= 0 || cell.m_Divisions != divisions) {
                return 0;
            }
            spans += cell.m_Span;
        }
        return spans == divisions ? divisions : 0;
    };
    std::map<int, int> rowsPerDivisions;
    for (const auto& row : m_Rows) {
        if (const int divisions = divisionsOf(*row); divisions > 0) {
            ++rowsPerDivisions[divisions];
        }
    }
    if (rowsPerDivisions.empty()) {
        return std::nullopt;
    }
    CGrid grid;
    grid.m_Divisions =
        std::max_element(rowsPerDivisions.begin(), rowsPerDivisions.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; })
            ->first;
    const auto units = static_cast<std::size_t>(grid.m_Divisions);
    grid.m_Rows.resize(m_Rows.size(), false);
    // Units under hidden cells take no width, unless a shown cell has nothing but them.
    std::vector<bool> hidden(units, false);
    for (std::size_t r = 0; r < m_Rows.size(); ++r) {
        grid.m_Rows[r] = divisionsOf(*m_Rows[r]) == grid.m_Divisions;
        if (!grid.m_Rows[r]) {
            continue;
        }
        std::size_t first = 0;
        for (const CCell& cell : m_Rows[r]->m_Cells) {
            const auto span = static_cast<std::size_t>(cell.m_Span);
            if (!cell.m_Visible) {
                std::fill_n(hidden.begin() + static_cast<std::ptrdiff_t>(first), span, true);
            }
            first += span;
        }
    }
    grid.m_Live.assign(units, true);
    for (std::size_t u = 0; u < units; ++u) {
        grid.m_Live[u] = !hidden[u];
    }
    for (std::size_t r = 0; r < m_Rows.size(); ++r) {
        if (!grid.m_Rows[r]) {
            continue;
        }
        std::size_t first = 0;
        for (const CCell& cell : m_Rows[r]->m_Cells) {
            const auto span = static_cast<std::size_t>(cell.m_Span);
            const auto begin = hidden.begin() + static_cast<std::ptrdiff_t>(first);
            if (cell.m_Visible && std::all_of(begin, begin + static_cast<std::ptrdiff_t>(span),
                                              [](bool dead) { return dead; })) {
                std::fill_n(grid.m_Live.begin() + static_cast<std::ptrdiff_t>(first), span, true);
            }
            first += span;
        }
    }
    return grid;
}

void CComplexTableWnd::CollectGridNeeds(const CGrid& grid, int offset,
                                        std::vector<CGridNeed>& needs) {
    CCellTextMeasurer measurer(font());
    for (std::size_t r = 0; r < m_Rows.size(); ++r) {
        if (!grid.m_Rows[r]) {
            continue;
        }
        int first = 0;
        for (std::size_t c = 0; c < m_Rows[r]->m_Cells.size(); ++c) {
            const CCell& cell = m_Rows[r]->m_Cells[c];
            const int span = cell.m_Span;
            if (cell.m_Visible) {
                CComplexTableWnd* embedded = cell.m_EmbeddedTable.get();
                const std::optional<CGrid> inner = embedded ? embedded->FindGrid() : std::nullopt;
                if (inner && inner->m_Divisions == span) {
                    // Its columns stand over ours: its texts claim our units.
                    embedded->CollectGridNeeds(*inner, offset + first, needs);
                    needs.push_back(
                        {offset + first, span, embedded->UniformMinimum(&inner->m_Rows)});
                } else {
                    needs.push_back(
                        {offset + first, span,
                         CellNeededWidth(static_cast<int>(r), static_cast<int>(c), measurer)});
                }
            }
            first += span;
        }
    }
}

std::vector<int> CComplexTableWnd::GridMinimum(const CGrid& grid) {
    std::vector<CGridNeed> needs;
    CollectGridNeeds(grid, 0, needs);
    return MinimumUnitWidths(grid.m_Live, needs);
}

void CComplexTableWnd::PlaceOnUnits(CRow& row, const std::vector<int>& units) {
    std::size_t first = 0;
    int x = 0;
    for (CCell& cell : row.m_Cells) {
        const auto span = static_cast<std::size_t>(cell.m_Span);
        const auto begin = units.begin() + static_cast<std::ptrdiff_t>(first);
        const auto end = begin + static_cast<std::ptrdiff_t>(span);
        cell.m_X = x;
        cell.m_LayoutWidth = cell.m_Visible ? std::accumulate(begin, end, 0) : 0;
        if (cell.m_EmbeddedTable) {
            cell.m_EmbeddedTable->m_HostUnits.assign(begin, end);
            cell.m_EmbeddedTable->MarkLayoutDirty();
        }
        x += cell.m_LayoutWidth;
        first += span;
    }
}

} // namespace strikeline
