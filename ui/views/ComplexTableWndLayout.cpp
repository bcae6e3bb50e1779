// Layout of the table: cell widths per row, row heights from the cells' contents, and the
// stretch of the last row to the bottom of the table.

#include "ui/views/CellTextMeasurer.h"
#include "ui/views/CellWidths.h"
#include "ui/views/ColumnGrid.h"
#include "ui/views/ComplexTableWnd.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QResizeEvent>
#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>

namespace strikeline {

namespace {

// The height of an embedded-table cell that has lost its table.
constexpr int kMissingTableHeight = 10;

} // namespace

void CComplexTableWnd::RecalcLayout(int width) {
    width = std::max(width, 0);
    m_LayoutWidth = width;
    m_LayoutDirty = false;
    CCellTextMeasurer measurer(font());
    const std::optional<CGrid> grid =
        m_FitColumns || !m_HostUnits.empty() ? FindGrid() : std::nullopt;
    std::vector<int> units;
    if (grid) {
        const auto divisions = static_cast<std::size_t>(grid->m_Divisions);
        if (m_HostUnits.size() == divisions &&
            std::accumulate(m_HostUnits.begin(), m_HostUnits.end(), 0) == width) {
            units = m_HostUnits;
        } else if (m_FitColumns) {
            units = FitUnitWidths(grid->m_Live, GridMinimum(*grid), width);
        }
    }
    int y = 0;
    for (std::size_t r = 0; r < m_Rows.size(); ++r) {
        CRow& row = *m_Rows[r];
        if (!units.empty() && grid->m_Rows[r]) {
            PlaceOnUnits(row, units);
        } else {
            DistributeCellWidths(row.m_Cells, width);
            for (CCell& cell : row.m_Cells) {
                if (cell.m_EmbeddedTable) {
                    cell.m_EmbeddedTable->m_HostUnits.clear();
                }
            }
        }
        int height = 0;
        bool embedded = false;
        for (std::size_t c = 0; c < row.m_Cells.size(); ++c) {
            if (row.m_Cells[c].m_Visible) {
                embedded = embedded || row.m_Cells[c].m_EmbeddedTable != nullptr;
                height = std::max(height,
                                  CellHeight(static_cast<int>(r), static_cast<int>(c), measurer));
            }
        }
        row.m_Y = y;
        row.m_Height = height;
        row.m_NaturalHeight = height;
        for (CCell& cell : row.m_Cells) {
            cell.m_Y = y;
            cell.m_RowHeight = height;
        }
        if (embedded) {
            PlaceEmbeddedTables(row);
        }
        y += height;
    }
    m_NaturalHeight = y;
    FitToHeight();
}

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

int CComplexTableWnd::TotalHeight(int width) {
    RecalcLayout(width);
    return m_NaturalHeight;
}

void CComplexTableWnd::SetStretchLastRow(bool stretch) {
    m_StretchLastRow = stretch;
    FitToHeight();
    update();
}

void CComplexTableWnd::ApplyStretch() {
    if (m_Rows.empty()) {
        return;
    }
    CRow& last = *m_Rows.back();
    const int extra = m_StretchLastRow ? std::max(height() - m_NaturalHeight, 0) : 0;
    last.m_Height = last.m_NaturalHeight + extra;
    for (CCell& cell : last.m_Cells) {
        cell.m_RowHeight = last.m_Height;
    }
}

void CComplexTableWnd::PlaceEmbeddedTables(CRow& row) {
    for (CCell& cell : row.m_Cells) {
        if (CComplexTableWnd* table = cell.m_EmbeddedTable.get(); table && cell.m_Visible) {
            table->setGeometry(cell.Rect());
            // A hidden table gets its resize event only when shown; pictures and pages
            // need its rows fitted to the cell now.
            table->FitToHeight();
        }
    }
}

void CComplexTableWnd::FitToHeight() {
    ApplyStretch();
    if (!m_Rows.empty()) {
        PlaceEmbeddedTables(*m_Rows.back());
    }
}

void CComplexTableWnd::EnsureLayout() {
    if (m_LayoutDirty || m_LayoutWidth != width()) {
        RecalcLayout(width());
    }
}

int CComplexTableWnd::CellHeight(int row, int column, CCellTextMeasurer& measurer) {
    CCell& cell = *Cell(row, column);
    if (!cell.m_AutoHeight) {
        return std::max(cell.m_Height, 0);
    }
    const QMargins& margins = cell.m_Margins;
    switch (cell.m_Kind) {
    case CellKind::CheckBox:
        return cell.m_BoxSize + margins.top() + margins.bottom();
    case CellKind::EmbeddedTable:
        return cell.m_EmbeddedTable ? cell.m_EmbeddedTable->TotalHeight(cell.m_LayoutWidth)
                                    : kMissingTableHeight;
    case CellKind::Text:
        break;
    }
    if (cell.m_FixedHeight >= 0) {
        return cell.m_FixedHeight;
    }
    const QFont* font = cell.m_Font ? &*cell.m_Font : nullptr;
    const int format = cell.m_Format;
    const bool vertical = cell.m_Vertical;
    const int textWidth =
        cell.m_LayoutWidth - margins.left() - margins.right() - cell.m_ExtraRightInset;
    const int verticalMargins = margins.top() + margins.bottom();
    const QString text = cell.m_MeasureText ? DisplayText(row, column) : QStringLiteral("W");
    if (vertical) {
        // Drawn a quarter turn round, the text's length is the cell's height.
        return measurer.TextWidth(font, text) + verticalMargins;
    }
    return measurer.WrappedHeight(font, text, textWidth, format) + verticalMargins;
}

QString CComplexTableWnd::DisplayText(int row, int column) {
    const CCell* cell = Cell(row, column);
    if (cell == nullptr) {
        return {};
    }
    return cell->m_TextFromHook ? GetCellText(row, column) : cell->m_Text;
}

int CComplexTableWnd::VisibleHeight() const {
    if (m_VisibleHeight >= 0) {
        return m_VisibleHeight;
    }
    for (const QWidget* ancestor = parentWidget(); ancestor != nullptr;
         ancestor = ancestor->parentWidget()) {
        if (const auto* area = qobject_cast<const QAbstractScrollArea*>(ancestor)) {
            return area->viewport()->height();
        }
    }
    return height();
}

std::optional<CTableCellIndex> CComplexTableWnd::CellAt(const QPoint& point) const {
    const auto after =
        std::upper_bound(m_Rows.begin(), m_Rows.end(), point.y(),
                         [](int y, const std::unique_ptr<CRow>& row) { return y < row->m_Y; });
    if (after == m_Rows.begin()) {
        return std::nullopt;
    }
    const CRow& row = **(after - 1);
    if (point.y() >= row.m_Y + row.m_Height) {
        return std::nullopt;
    }
    for (std::size_t c = 0; c < row.m_Cells.size(); ++c) {
        const CCell& cell = row.m_Cells[c];
        if (cell.m_Visible && point.x() >= cell.m_X && point.x() < cell.m_X + cell.m_LayoutWidth) {
            return CTableCellIndex{static_cast<int>(after - 1 - m_Rows.begin()),
                                   static_cast<int>(c)};
        }
    }
    return std::nullopt;
}

void CComplexTableWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_LayoutDirty || m_LayoutWidth != width()) {
        RecalcLayout(width());
    } else {
        // Only the stretch of the last row depends on the height.
        FitToHeight();
    }
}

void CComplexTableWnd::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        MarkLayoutDirty();
        update();
    }
}

} // namespace strikeline
