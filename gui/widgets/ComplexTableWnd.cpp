#include "gui/widgets/ComplexTableWnd.h"

#include "gui/widgets/InPlaceEdit.h"
#include "gui/widgets/SchemeFont.h"

#include <QPalette>
#include <algorithm>

namespace strikeline {

void CComplexTableWnd::CDeleteLater::operator()(QObject* object) const {
    // The editor may be closing from inside one of its own event handlers.
    object->deleteLater();
}

CComplexTableWnd::CComplexTableWnd(QWidget* parent)
    : QWidget(parent),
      m_SelectionBackground(palette().color(QPalette::Active, QPalette::Highlight)),
      m_SelectionText(palette().color(QPalette::Active, QPalette::HighlightedText)) {
    // Every pixel is painted explicitly.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

CComplexTableWnd::~CComplexTableWnd() {
    // The editor must not commit into rows that are going away.
    m_Editor.reset();
}

int CComplexTableWnd::AddRow(int index) {
    if (index < 0 || index >= RowCount()) {
        index = RowCount();
    }
    m_Rows.insert(m_Rows.begin() + index, std::make_unique<CRow>());
    if (m_CurrentRow >= index) {
        ++m_CurrentRow;
    }
    if (m_EditRow >= index) {
        ++m_EditRow;
    }
    MarkLayoutDirty();
    return index;
}

void CComplexTableWnd::RemoveAllRows() {
    EndEditing(false);
    m_CurrentRow = -1;
    m_CurrentColumn = -1;
    m_Rows.clear();
    MarkLayoutDirty();
    update();
}

void CComplexTableWnd::ReserveCells(int row, int count) {
    if (CRow* target = Row(row); target != nullptr && count > 0) {
        target->m_Cells.reserve(static_cast<std::size_t>(count));
    }
}

int CComplexTableWnd::AddCell(int row, const QString& text, int divisions, int span,
                              Color background, Color textColor, bool selectable, bool editable) {
    CRow* target = Row(row);
    if (target == nullptr) {
        return -1;
    }
    CCell& cell = target->m_Cells.emplace_back();
    cell.m_Text = text;
    cell.m_Divisions = divisions;
    cell.m_Span = span;
    cell.m_Background = background;
    cell.m_TextColor = textColor;
    cell.m_Selectable = selectable;
    cell.m_Editable = editable;
    MarkLayoutDirty();
    return static_cast<int>(target->m_Cells.size()) - 1;
}

template <typename Change>
void CComplexTableWnd::ChangeCell(int row, int column, bool redraw, Change change) {
    if (CCell* cell = Cell(row, column)) {
        change(*cell);
        if (redraw) {
            RedrawCell(row, column);
        }
    }
}

void CComplexTableWnd::SetText(int row, int column, const QString& text, bool redraw) {
    CCell* cell = Cell(row, column);
    if (cell == nullptr) {
        return;
    }
    if (cell->m_TextFromHook) {
        SetCellText(row, column, text);
    } else {
        cell->m_Text = text;
    }
    if (redraw) {
        RedrawCell(row, column);
    }
}

void CComplexTableWnd::SetTextByName(int row, const QString& name, const QString& text,
                                     bool redraw) {
    if (const CRow* target = Row(row)) {
        if (const int column = target->FindCell(name); column >= 0) {
            SetText(row, column, text, redraw);
        }
    }
}

void CComplexTableWnd::SetName(int row, int column, const QString& name) {
    ChangeCell(row, column, false, [&](CCell& cell) { cell.m_Name = name; });
}

void CComplexTableWnd::SetTextFromHook(int row, int column, bool fromHook, bool redraw) {
    ChangeCell(row, column, redraw, [&](CCell& cell) { cell.m_TextFromHook = fromHook; });
}

void CComplexTableWnd::SetMeasureText(int row, int column, bool measure) {
    ChangeCell(row, column, false, [&](CCell& cell) {
        cell.m_MeasureText = measure;
        MarkLayoutDirty();
    });
}

void CComplexTableWnd::SetCheckBox(int row, int column, bool ticked, bool redraw) {
    ChangeCell(row, column, redraw, [&](CCell& cell) {
        cell.m_Kind = CellKind::CheckBox;
        cell.m_Ticked = ticked;
        cell.m_EmbeddedTable.reset();
        MarkLayoutDirty();
    });
}

void CComplexTableWnd::SetEmbeddedTable(int row, int column,
                                        std::unique_ptr<CComplexTableWnd> table, bool redraw) {
    ChangeCell(row, column, redraw, [&](CCell& cell) {
        cell.m_Kind = CellKind::EmbeddedTable;
        if (table) {
            table->setParent(this);
            table->setVisible(cell.m_Visible);
        }
        cell.m_EmbeddedTable = std::move(table);
        MarkLayoutDirty();
    });
}

void CComplexTableWnd::SetBackground(int row, int column, Color color, bool redraw) {
    ChangeCell(row, column, redraw, [&](CCell& cell) { cell.m_Background = color; });
}

void CComplexTableWnd::SetTextColor(int row, int column, Color color, bool redraw) {
    ChangeCell(row, column, redraw, [&](CCell& cell) { cell.m_TextColor = color; });
}

void CComplexTableWnd::SetVisible(int row, int column, bool visible, bool redraw) {
    ChangeCell(row, column, false, [&](CCell& cell) {
        cell.m_Visible = visible;
        if (cell.m_EmbeddedTable) {
            cell.m_EmbeddedTable->setVisible(visible);
        }
        MarkLayoutDirty();
    });
    if (redraw) {
        // The row's other cells move as well.
        update();
    }
}

void CComplexTableWnd::SetSelectable(int row, int column, bool selectable) {
    ChangeCell(row, column, false, [&](CCell& cell) { cell.m_Selectable = selectable; });
}

void CComplexTableWnd::SetEditable(int row, int column, bool editable) {
    ChangeCell(row, column, false, [&](CCell& cell) { cell.m_Editable = editable; });
}

void CComplexTableWnd::SetVertical(int row, int column, bool vertical, bool redraw) {
    ChangeCell(row, column, redraw, [&](CCell& cell) {
        cell.m_Vertical = vertical;
        MarkLayoutDirty();
    });
}

void CComplexTableWnd::SetCellFont(int row, int column, const QFont& font, bool redraw) {
    ChangeCell(row, column, redraw, [&](CCell& cell) {
        cell.m_Font = font;
        MarkLayoutDirty();
    });
}

void CComplexTableWnd::SetCellFont(int row, int column, const CSchemeFont& font, bool redraw) {
    ChangeCell(row, column, redraw, [&](CCell& cell) {
        cell.m_Font = font.m_Font;
        cell.m_Vertical = font.m_Vertical;
        MarkLayoutDirty();
    });
}

void CComplexTableWnd::SetFormat(int row, int column, int format, bool redraw) {
    ChangeCell(row, column, redraw, [&](CCell& cell) { cell.m_Format = format; });
}

void CComplexTableWnd::SetCellCursor(int row, int column, const QCursor& cursor) {
    ChangeCell(row, column, false, [&](CCell& cell) { cell.m_Cursor = cursor; });
}

void CComplexTableWnd::SetCornerMarker(int row, int column, int size, Color color, bool redraw) {
    ChangeCell(row, column, redraw, [&](CCell& cell) {
        cell.m_CornerMarkerSize = size;
        cell.m_CornerMarkerColor = color;
    });
}

void CComplexTableWnd::SetDivisions(int row, int column, int divisions, int span) {
    ChangeCell(row, column, false, [&](CCell& cell) {
        cell.m_Divisions = divisions;
        cell.m_Span = span;
        MarkLayoutDirty();
    });
}

void CComplexTableWnd::SetFixedHeight(int row, int column, int height) {
    ChangeCell(row, column, false, [&](CCell& cell) {
        cell.m_FixedHeight = height;
        MarkLayoutDirty();
    });
}

void CComplexTableWnd::SetBorders(int row, int column, int left, int right, int top, int bottom,
                                  Color color, bool redraw) {
    ChangeCell(row, column, redraw, [&](CCell& cell) {
        cell.m_LeftBorder = {left, color};
        cell.m_RightBorder = {right, color};
        cell.m_TopBorder = {top, color};
        cell.m_BottomBorder = {bottom, color};
    });
}

void CComplexTableWnd::SetMargins(int row, int column, const QMargins& margins) {
    ChangeCell(row, column, false, [&](CCell& cell) {
        cell.m_Margins = margins;
        MarkLayoutDirty();
    });
}

void CComplexTableWnd::SetRowValue(int row, std::uintptr_t value) {
    if (CRow* target = Row(row)) {
        target->m_Value = value;
    }
}

std::uintptr_t CComplexTableWnd::RowValue(int row) const {
    const CRow* target = Row(row);
    return target == nullptr ? 0 : target->m_Value;
}

QRect CComplexTableWnd::CellRect(int row, int column) const {
    const CCell* cell = Cell(row, column);
    return cell == nullptr ? QRect() : cell->Rect();
}

int CComplexTableWnd::RowHeight(int row) const {
    const CRow* target = Row(row);
    return target == nullptr ? 0 : target->m_Height;
}

int CComplexTableWnd::CellCount(int row) const {
    const CRow* target = Row(row);
    return target == nullptr ? 0 : static_cast<int>(target->m_Cells.size());
}

CComplexTableWnd::CRow* CComplexTableWnd::Row(int row) {
    return row >= 0 && row < RowCount() ? m_Rows[static_cast<std::size_t>(row)].get() : nullptr;
}

const CComplexTableWnd::CRow* CComplexTableWnd::Row(int row) const {
    return row >= 0 && row < RowCount() ? m_Rows[static_cast<std::size_t>(row)].get() : nullptr;
}

CComplexTableWnd::CCell* CComplexTableWnd::Cell(int row, int column) {
    CRow* target = Row(row);
    if (target == nullptr || column < 0 || column >= static_cast<int>(target->m_Cells.size())) {
        return nullptr;
    }
    return &target->m_Cells[static_cast<std::size_t>(column)];
}

const CComplexTableWnd::CCell* CComplexTableWnd::Cell(int row, int column) const {
    const CRow* target = Row(row);
    if (target == nullptr || column < 0 || column >= static_cast<int>(target->m_Cells.size())) {
        return nullptr;
    }
    return &target->m_Cells[static_cast<std::size_t>(column)];
}

void CComplexTableWnd::SetCurrentCell(int row, int column) {
    if (Cell(row, column) == nullptr) {
        row = -1;
        column = -1;
    }
    if (IsCurrent(row, column)) {
        return;
    }
    const int oldRow = m_CurrentRow;
    const int oldColumn = m_CurrentColumn;
    m_CurrentRow = row;
    m_CurrentColumn = column;
    RedrawCell(oldRow, oldColumn);
    RedrawCell(row, column);
    emit CurrentCellChanged(row, column);
}

std::optional<CTableCellIndex> CComplexTableWnd::FirstEditableCell() const {
    for (int row = 0; row < RowCount(); ++row) {
        for (int column = 0; column < CellCount(row); ++column) {
            const CCell& cell = *Cell(row, column);
            if (cell.m_Visible && cell.m_Selectable && cell.m_Editable) {
                return CTableCellIndex{row, column};
            }
        }
    }
    return std::nullopt;
}

void CComplexTableWnd::RedrawCell(int row, int column) {
    if (const CCell* cell = Cell(row, column)) {
        update(cell->Rect());
    }
}

} // namespace strikeline
