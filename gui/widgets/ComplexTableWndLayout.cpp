// Layout of the table: cell widths per row, row heights from the cells' contents, and the
// stretch of the last row to the bottom of the table.

#include "gui/widgets/CellTextMeasurer.h"
#include "gui/widgets/CellWidths.h"
#include "gui/widgets/ColumnGrid.h"
#include "gui/widgets/ComplexTableWnd.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QResizeEvent>
#include <algorithm>
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
