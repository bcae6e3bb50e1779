#pragma once

#include "storage/Color.h"

#include <QWidget>

namespace strikeline {

// A colour swatch that works as a button: its caption drawn in its text colour on its
// background colour. It tells which mouse button clicked it, so that one swatch can edit
// both of its colours. A click counts only when the button is released over the swatch;
// while it is held there the caption sits one pixel lower and to the right. From the
// keyboard, Space or Enter is a primary click, the same with Shift (or the menu key) a
// secondary one.
class CColorButtonWnd : public QWidget {
    Q_OBJECT

public:
    explicit CColorButtonWnd(const QString& caption, QWidget* parent = nullptr);

    const QString& Caption() const { return m_Caption; }
    Color Background() const { return m_Background; }
    Color TextColor() const { return m_TextColor; }
    void SetColors(Color background, Color text);

    // The button of the last click: Qt::LeftButton (primary) or Qt::RightButton.
    Qt::MouseButton LastButton() const { return m_LastButton; }
    // A button is held down on the swatch with the pointer over it.
    bool IsPressedInside() const { return m_HeldButton != Qt::NoButton && m_Inside; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void Clicked(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Click(Qt::MouseButton button);
    void ReleaseHold();

    QString m_Caption;
    Color m_Background = 0xFFFFFF;
    Color m_TextColor = 0x000000;
    Qt::MouseButton m_HeldButton = Qt::NoButton;
    Qt::MouseButton m_LastButton = Qt::NoButton;
    bool m_Inside = false;
};

} // namespace strikeline
