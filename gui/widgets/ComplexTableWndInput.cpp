// The table's mouse and keyboard handling, the base behaviour of its hooks and in-place
// editing.

#include "gui/widgets/CellTextMeasurer.h"
#include "gui/widgets/ComplexTableWnd.h"
#include "gui/widgets/InPlaceEdit.h"

#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <algorithm>

namespace strikeline {

bool CComplexTableWnd::event(QEvent* event) {
    // Tab and Shift+Tab move between cells while there is a current cell; only without one
    // do they move the focus on to the next control.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
            Cell(m_CurrentRow, m_CurrentColumn) != nullptr) {
            keyPressEvent(key);
            return true;
        }
    }
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (ShowCellToolTip(help->pos(), help->globalPos())) {
            return true;
        }
    }
    return QWidget::event(event);
}

bool CComplexTableWnd::ShowCellToolTip(const QPoint& point, const QPoint& globalPoint) {
    EnsureLayout();
    const std::optional<CTableCellIndex> hit = CellAt(point);
    const CCell* cell = hit ? Cell(hit->m_Row, hit->m_Column) : nullptr;
    if (cell == nullptr || cell->m_Kind != CellKind::Text) {
        return false;
    }
    const QString text = DisplayText(hit->m_Row, hit->m_Column);
    // A cut text shows whole while the mouse stays over its cell, and the cell's own tooltip
    // after it.
    QString tip = ShownText(hit->m_Row, hit->m_Column) == text ? QString() : text;
    if (!cell->m_ToolTip.isEmpty()) {
        tip = tip.isEmpty() ? cell->m_ToolTip : tip + QLatin1Char('\n') + cell->m_ToolTip;
    }
    if (tip.isEmpty()) {
        return false;
    }
    QToolTip::showText(globalPoint, tip, this, cell->Rect());
    return true;
}

void CComplexTableWnd::keyPressEvent(QKeyEvent* event) {
    const CCell* current = Cell(m_CurrentRow, m_CurrentColumn);
    if (current == nullptr) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (HandleCellKey(event)) {
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    std::optional<TableDirection> direction;
    switch (event->key()) {
    case Qt::Key_Up:
        direction = TableDirection::Up;
        break;
    case Qt::Key_Down:
        direction = TableDirection::Down;
        break;
    case Qt::Key_Left:
        direction = TableDirection::Left;
        break;
    case Qt::Key_Right:
        direction = TableDirection::Right;
        break;
    case Qt::Key_PageUp:
        direction = TableDirection::PageUp;
        break;
    case Qt::Key_PageDown:
        direction = TableDirection::PageDown;
        break;
    case Qt::Key_Tab:
        direction = shift ? TableDirection::Previous : TableDirection::Next;
        break;
    case Qt::Key_Backtab:
        direction = TableDirection::Previous;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current->m_Editable) {
            BeginEditing(m_CurrentRow, m_CurrentColumn);
            return;
        }
        break;
    default:
        break;
    }
    if (!direction) {
        QWidget::keyPressEvent(event);
        return;
    }
    EnsureLayout();
    MoveSelection(m_CurrentRow, m_CurrentColumn, *direction);
}

bool CComplexTableWnd::HandleCellKey(QKeyEvent* event) {
    const int row = m_CurrentRow;
    const int column = m_CurrentColumn;
    const CCell& cell = *Cell(row, column);
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    EnsureLayout();
    const QRect rect = cell.Rect();
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        OnRightButtonDown(row, column, rect.center(), Qt::NoModifier);
        return true;
    }
    if (event->key() == kCornerMarkerKey && modifiers == kCornerMarkerModifiers) {
        if (cell.m_CornerMarkerSize > 0) {
            OnCornerMarkerClicked(row, column, rect.bottomRight(), Qt::NoModifier);
        }
        return true;
    }
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    if (cell.m_Kind == CellKind::CheckBox) {
        // Only the box's own cell: typing elsewhere in the row must never tick it.
        if (event->key() == Qt::Key_Space) {
            ToggleCheckBox(row, column);
            return true;
        }
        return false;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && std::all_of(typed.begin(), typed.end(),
                                                           [](QChar c) { return c.isPrint(); });
    if (!printable || !cell.m_Editable || cell.m_Kind != CellKind::Text) {
        return false;
    }
    // The first key typed on a cell starts the new text, as in a spreadsheet.
    BeginEditing(row, column);
    if (m_Editor && m_EditRow == row && m_EditColumn == column) {
        m_Editor->StartWith(typed);
    }
    return true;
}

void CComplexTableWnd::ToggleCheckBox(int row, int column) {
    if (!MayToggleCheckBox(row, column)) {
        return;
    }
    if (CCell* box = Cell(row, column); box != nullptr && box->m_Kind == CellKind::CheckBox) {
        box->m_Ticked = !box->m_Ticked;
        RedrawCell(row, column);
        OnCheckBoxToggled(row, column);
    }
}

void CComplexTableWnd::mousePressEvent(QMouseEvent* event) {
    HandleMousePress(event);
}

void CComplexTableWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    HandleMousePress(event);
}

void CComplexTableWnd::HandleMousePress(QMouseEvent* event) {
    EnsureLayout();
    const QPoint point = event->position().toPoint();
    const std::optional<CTableCellIndex> hit = CellAt(point);
    if (!hit) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        OnLeftButtonDown(hit->m_Row, hit->m_Column, point, event->modifiers());
    } else if (event->button() == Qt::RightButton) {
        OnRightButtonDown(hit->m_Row, hit->m_Column, point, event->modifiers());
    }
}

void CComplexTableWnd::mouseMoveEvent(QMouseEvent* event) {
    UpdateCursor(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void CComplexTableWnd::UpdateCursor(const QPoint& point) {
    EnsureLayout();
    const std::optional<CTableCellIndex> hit = CellAt(point);
    const CCell* cell = hit ? Cell(hit->m_Row, hit->m_Column) : nullptr;
    if (cell != nullptr && cell->m_Cursor) {
        setCursor(*cell->m_Cursor);
        m_CellCursorShown = true;
    } else if (m_CellCursorShown) {
        unsetCursor();
        m_CellCursorShown = false;
    }
}

void CComplexTableWnd::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    OnTableFocus();
}

void CComplexTableWnd::OnLeftButtonDown(int row, int column, const QPoint& point,
                                        Qt::KeyboardModifiers modifiers) {
    const CCell* cell = Cell(row, column);
    if (cell == nullptr || !cell->m_Visible) {
        return;
    }
    const bool wasCurrent = IsCurrent(row, column);
    if (cell->m_Selectable) {
        SetCurrentCell(row, column);
    }
    if (cell->m_Kind == CellKind::CheckBox && CheckBoxRect(*cell).contains(point)) {
        ToggleCheckBox(row, column);
        return;
    }
    if (InCornerMarker(*cell, point)) {
        OnCornerMarkerClicked(row, column, point, modifiers);
        return;
    }
    if (wasCurrent && cell->m_Selectable && cell->m_Editable) {
        BeginEditing(row, column);
    }
}

void CComplexTableWnd::OnRightButtonDown(int row, int column, const QPoint& /*point*/,
                                         Qt::KeyboardModifiers /*modifiers*/) {
    const CCell* cell = Cell(row, column);
    if (cell != nullptr && cell->m_Visible && cell->m_Selectable) {
        SetCurrentCell(row, column);
    }
}

void CComplexTableWnd::OnCornerMarkerClicked(int /*row*/, int /*column*/, const QPoint& /*point*/,
                                             Qt::KeyboardModifiers /*modifiers*/) {}

bool CComplexTableWnd::MoveSelection(int row, int column, TableDirection direction) {
    const std::optional<CTableCellIndex> target =
        FindNavigationTarget(m_Rows, row, column, direction, VisibleHeight());
    if (!target) {
        return false;
    }
    SetCurrentCell(target->m_Row, target->m_Column);
    return true;
}

bool CComplexTableWnd::MayToggleCheckBox(int /*row*/, int /*column*/) {
    return true;
}

void CComplexTableWnd::OnCheckBoxToggled(int /*row*/, int /*column*/) {}

void CComplexTableWnd::BeginEditing(int row, int column) {
    EnsureLayout();
    const CCell* cell = Cell(row, column);
    if (cell == nullptr || cell->m_Kind != CellKind::Text || !cell->m_Visible) {
        return;
    }
    // One editor at a time: a second one first commits the first.
    EndEditing(true);
    const QString text = DisplayText(row, column);
    cell = Cell(row, column);
    if (cell == nullptr) {
        return;
    }
    m_EditRow = row;
    m_EditColumn = column;
    m_Editor.reset(
        new CInPlaceEdit(*this, cell->Rect(), cell->m_Font ? *cell->m_Font : font(), text));
    m_Editor->show();
    m_Editor->setFocus(Qt::OtherFocusReason);
}

void CComplexTableWnd::CommitEditedText(int row, int column, const QString& text) {
    SetText(row, column, text, true);
}

void CComplexTableWnd::OnTableFocus() {}

QString CComplexTableWnd::GetCellText(int row, int column) {
    const CCell* cell = Cell(row, column);
    return cell == nullptr ? QString() : cell->m_Text;
}

void CComplexTableWnd::SetCellText(int /*row*/, int /*column*/, const QString& /*text*/) {}

void CComplexTableWnd::EndEditing(bool commit) {
    if (!m_Editor) {
        return;
    }
    // Leave the editing state first: hiding the editor moves the focus, and the editor's
    // focus-out must find nothing left to commit.
    const std::unique_ptr<CInPlaceEdit, CDeleteLater> editor = std::move(m_Editor);
    const int row = m_EditRow;
    const int column = m_EditColumn;
    m_EditRow = -1;
    m_EditColumn = -1;
    const QString text = editor->text();
    if (editor->hasFocus()) {
        setFocus(Qt::OtherFocusReason);
    }
    editor->hide();
    if (commit) {
        CommitEditedText(row, column, text);
        RedrawCell(row, column);
    }
}

} // namespace strikeline
