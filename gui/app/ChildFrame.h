#pragma once

#include <QMdiSubWindow>

namespace strikeline {

// The frame of every tool window inside the main window: a fixed title, and the choice of
// being resizable and closable. A frame that is not closable ignores close requests, so
// "Close All" leaves it open; it goes away with the main window. Frames delete themselves
// (and their view) when closed.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT

public:
    CChildFrame(const QString& title, bool resizable, bool closable, QWidget* parent = nullptr);

    bool IsClosable() const { return m_Closable; }
    void SetView(QWidget* view);
    // Called once the frame is in the main window's area: a frame that is not resizable
    // takes the size that shows its whole view.
    void OnAddedToArea();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString m_Title;
    Qt::WindowFlags m_Flags;
    bool m_Resizable;
    bool m_Closable;
};

} // namespace strikeline
