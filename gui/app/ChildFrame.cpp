#include "gui/app/ChildFrame.h"

#include "gui/app/ProgramIcon.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>

namespace strikeline {

CChildFrame::CChildFrame(const QString& title, bool resizable, bool closable, QWidget* parent)
    : QMdiSubWindow(parent), m_Title(title), m_Resizable(resizable), m_Closable(closable) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    // Without its own icon the frame would show the toolkit's.
    setWindowIcon(ProgramIcon());
    Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowMinimizeButtonHint;
    if (resizable) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    if (closable) {
        // The system menu carries "Close" with it.
        flags |= Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint;
    }
    m_Flags = flags;
    setWindowFlags(flags);
}

void CChildFrame::SetView(QWidget* view) {
    setWidget(view);
}

void CChildFrame::OnAddedToArea() {
    // The area gives its windows the usual buttons: take back the ones this frame lacks.
    setWindowFlags(m_Flags);
    // The main window closes the active window on the same keys; bound twice, the keys
    // would be ambiguous and close nothing.
    if (QMenu* menu = systemMenu()) {
        for (QAction* action : menu->actions()) {
            if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_F4) ||
                QKeySequence::keyBindings(QKeySequence::Close).contains(action->shortcut())) {
                action->setShortcuts({});
            }
        }
    }
    if (!m_Resizable && widget() != nullptr) {
        // The title bar and borders are known only once the frame is in its area.
        const QMargins margins = contentsMargins();
        const QSize view = widget()->sizeHint();
        setFixedSize(view.width() + margins.left() + margins.right(),
                     view.height() + margins.top() + margins.bottom());
    }
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!m_Closable) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

void CChildFrame::changeEvent(QEvent* event) {
    // The title is the window's name, not a document's: put it back whatever changed it.
    if (event->type() == QEvent::WindowTitleChange && windowTitle() != m_Title) {
        setWindowTitle(m_Title);
    }
    QMdiSubWindow::changeEvent(event);
}

} // namespace strikeline
