#pragma once

#include <QBasicTimer>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

namespace strikeline {

// The first window after start-up: a picture of the day's work with six buttons that issue
// the same commands as the menu. The picture comes in three states (normal, hot, pressed);
// each button is drawn by copying its rectangle out of the picture of its state, so the
// three pictures must agree everywhere outside the buttons.
//
// Mouse: a press (or double click) on a button marks it pressed; releasing over the same
// button emits commandRequested with its command. Keyboard: Tab, Backtab and the arrow keys
// move a focus mark between the buttons; Enter or Space activates the focused one.
class CNavigationCentreView : public QWidget {
    Q_OBJECT

public:
    enum class PictureState { Normal, Hot, Pressed };

    static constexpr int kButtonCount = 6;
    static constexpr int kPictureSize = 480;

    explicit CNavigationCentreView(QWidget* parent = nullptr);

    // Button geometry and texts, by index 0..kButtonCount-1.
    static QRect ButtonRect(int button);
    static int ButtonCommand(int button);
    // The command's name, as the menu spells it ("View Call Reports"); also the button's
    // accessible name.
    static QString ButtonName(int button);
    static QString ButtonToolTip(int button);
    // The button whose rectangle holds `point` (widget coordinates), or -1.
    static int ButtonAt(QPoint point);

    // One of the three pictures, drawn for a screen of that device pixel ratio.
    static QPixmap RenderPicture(PictureState state, qreal devicePixelRatio);
    // The same as an image, which any thread may draw.
    static QImage RenderImage(PictureState state, qreal devicePixelRatio);
    // Starts drawing the normal picture for a screen of that ratio on a thread of its own,
    // so that the first view painted at that ratio finds it ready: drawing it takes about a
    // frame, which start-up would otherwise wait for.
    static void PrepareStartPicture(qreal devicePixelRatio);
    // Waits for a picture still being drawn and drops it. Its thread draws with the
    // application's fonts, so it may not outlive the application.
    static void DiscardStartPicture();

    int PressedButton() const { return m_PressedButton; }
    int HotButton() const { return m_HotButton; }
    int FocusedButton() const { return m_FocusedButton; }
    void SetFocusedButton(int button);
    // Emits the button's command, as a click on it does.
    void ActivateButton(int button);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void commandRequested(int commandId);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Hover effects follow the main window: none while it is disabled or a modal dialog
    // has the user's attention.
    bool IsInteractive() const;
    void SetHotButton(int button);
    // The button under the mouse cursor, or -1 when the cursor is not over this view (it
    // may be over a window that covers it).
    int ButtonUnderCursor() const;
    void ClearPressed();
    void EnsurePictures();
    void UpdateButton(int button);
    // The nearest button from the focused one in the direction of an arrow key, or -1.
    int NeighbourButton(int key) const;

    QPixmap m_Normal;
    QPixmap m_Hot;
    QPixmap m_Pressed;
    qreal m_PictureRatio = 0.0;
    QBasicTimer m_HoverTimer;
    int m_PressedButton = -1;
    int m_HotButton = -1;
    int m_FocusedButton = 0;
    // The focus mark shows once the keyboard is used, not after every click.
    bool m_ShowFocusMark = false;
    bool m_WasInteractive = true;
    // Space activates on release, as a push button does; Enter at once.
    bool m_SpacePressed = false;
};

} // namespace strikeline
