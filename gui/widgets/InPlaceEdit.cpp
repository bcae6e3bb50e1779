#include "gui/widgets/InPlaceEdit.h"

#include "gui/widgets/ComplexTableWnd.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <algorithm>

namespace strikeline {

namespace {

// Room left after the text while the editor widens.
constexpr int kWidthBeyondText = 10;

} // namespace

CInPlaceEdit::CInPlaceEdit(CComplexTableWnd& table, const QRect& cellRect, const QFont& font,
                           const QString& text)
    : QLineEdit(&table), m_Table(table), m_CellWidth(cellRect.width()) {
    setFont(font);
    setGeometry(cellRect);
    // Setting the text also leaves nothing to undo.
    setText(text);
    selectAll();
    connect(this, &QLineEdit::textEdited, this, &CInPlaceEdit::Widen);
}

void CInPlaceEdit::StartWith(const QString& typed) {
    // Setting the text leaves nothing to undo: Escape is the way back to the old text.
    setText(typed);
    deselect();
    end(false);
    Widen();
}

bool CInPlaceEdit::IsActive() const {
    return m_Table.ActiveEditor() == this;
}

bool CInPlaceEdit::event(QEvent* event) {
    // Enter, Delete, Escape and Ctrl combinations belong to the editor, not to the
    // shortcuts of the window around it.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Delete:
            event->accept();
            return true;
        default:
            if (key->modifiers() & Qt::ControlModifier) {
                event->accept();
                return true;
            }
            break;
        }
    }
    return QLineEdit::event(event);
}

void CInPlaceEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        if (IsActive()) {
            m_Table.EndEditing(false);
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (IsActive()) {
            m_Table.EndEditing(true);
        }
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void CInPlaceEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // The editor's own context menu takes the focus for a moment; that is no leaving.
    if (event->reason() != Qt::PopupFocusReason && IsActive()) {
        m_Table.EndEditing(true);
    }
}

void CInPlaceEdit::Widen() {
    const int wanted = fontMetrics().horizontalAdvance(text()) + kWidthBeyondText;
    const int room = std::max(m_Table.width() - x(), 0);
    const int newWidth = std::min(std::max(wanted, m_CellWidth), room);
    if (newWidth != width()) {
        resize(newWidth, height());
    }
}

} // namespace strikeline
