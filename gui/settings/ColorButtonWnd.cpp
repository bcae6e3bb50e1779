#include "gui/settings/ColorButtonWnd.h"

#include "gui/widgets/QtColor.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace strikeline {

namespace {

// Room around the caption, in average character widths and lines.
constexpr int kHorizontalPadding = 3;
constexpr int kVerticalPaddingPercent = 60;
// The swatch is framed so that a white swatch still shows on a light dialog.
constexpr Color kFrameColor = 0x808080;

} // namespace

CColorButtonWnd::CColorButtonWnd(const QString& caption, QWidget* parent)
    : QWidget(parent), m_Caption(caption) {
    setFocusPolicy(Qt::StrongFocus);
    // Right clicks are the swatch's own: no context menu, and none for the dialog either.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAccessibleName(caption);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void CColorButtonWnd::SetColors(Color background, Color text) {
    m_Background = background;
    m_TextColor = text;
    update();
}

QSize CColorButtonWnd::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(m_Caption) +
                2 * kHorizontalPadding * metrics.averageCharWidth(),
            metrics.height() + metrics.height() * 2 * kVerticalPaddingPercent / 100};
}

QSize CColorButtonWnd::minimumSizeHint() const {
    return sizeHint();
}

void CColorButtonWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, ToQColor(m_Background));
    painter.setPen(ToQColor(kFrameColor));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    QRect textArea = area;
    if (IsPressedInside()) {
        textArea.translate(1, 1);
    }
    painter.setPen(ToQColor(m_TextColor));
    painter.setFont(font());
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, m_Caption);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = area.adjusted(3, 3, -3, -3);
        option.backgroundColor = ToQColor(m_Background);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void CColorButtonWnd::mousePressEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::RightButton) {
        event->ignore();
        return;
    }
    // Qt keeps sending the mouse here until the last button is released.
    m_HeldButton = button;
    m_Inside = rect().contains(event->position().toPoint());
    setFocus(Qt::MouseFocusReason);
    update();
}

void CColorButtonWnd::mouseMoveEvent(QMouseEvent* event) {
    if (m_HeldButton == Qt::NoButton) {
        return;
    }
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != m_Inside) {
        m_Inside = inside;
        update();
    }
}

void CColorButtonWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != m_HeldButton || m_HeldButton == Qt::NoButton) {
        return;
    }
    const Qt::MouseButton button = m_HeldButton;
    const bool inside = rect().contains(event->position().toPoint());
    ReleaseHold();
    if (inside) {
        Click(button);
    }
}

void CColorButtonWnd::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Click(shift ? Qt::RightButton : Qt::LeftButton);
        return;
    case Qt::Key_Menu:
        Click(Qt::RightButton);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CColorButtonWnd::focusOutEvent(QFocusEvent* event) {
    // A colour chooser taking the focus ends any hold as well.
    ReleaseHold();
    QWidget::focusOutEvent(event);
}

void CColorButtonWnd::hideEvent(QHideEvent* event) {
    ReleaseHold();
    QWidget::hideEvent(event);
}

void CColorButtonWnd::ReleaseHold() {
    m_HeldButton = Qt::NoButton;
    m_Inside = false;
    update();
}

void CColorButtonWnd::Click(Qt::MouseButton button) {
    m_LastButton = button;
    emit Clicked(button);
}

} // namespace strikeline
