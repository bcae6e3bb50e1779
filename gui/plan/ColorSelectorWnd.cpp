#include "gui/plan/ColorSelectorWnd.h"

#include "gui/widgets/QtColor.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>

namespace strikeline {

CColorSelectorWnd::CColorSelectorWnd(std::vector<Color> colours, QWidget* parent)
    : QWidget(parent, Qt::Popup), m_Colours(std::move(colours)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(ColourCount() * kBandWidth + 2 * kFrameWidth, kHeight);
}

void CColorSelectorWnd::ShowAt(const QPoint& globalPoint) {
    move(globalPoint);
    show();
    raise();
    activateWindow();
    setFocus(Qt::PopupFocusReason);
}

QRect CColorSelectorWnd::BandArea() const {
    return rect().adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
}

QRect CColorSelectorWnd::BandRect(int index) const {
    const QRect area = BandArea();
    if (index < 0 || index >= ColourCount() || area.isEmpty()) {
        return {};
    }
    const int width = area.width() / ColourCount();
    const int left = area.left() + index * width;
    // The last band takes what the division leaves over.
    const int right = index == ColourCount() - 1 ? area.right() : left + width - 1;
    return QRect(QPoint(left, area.top()), QPoint(right, area.bottom()));
}

int CColorSelectorWnd::BandAt(const QPoint& point) const {
    const QRect area = BandArea();
    if (m_Colours.empty() || !area.contains(point)) {
        return -1;
    }
    const int width = std::max(area.width() / ColourCount(), 1);
    return std::min((point.x() - area.left()) / width, ColourCount() - 1);
}

void CColorSelectorWnd::OnColourSelected(int /*index*/) {}

void CColorSelectorWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::WindowText));
    for (int i = 0; i < ColourCount(); ++i) {
        painter.fillRect(BandRect(i), ToQColor(m_Colours[static_cast<std::size_t>(i)]));
    }
    if (const QRect marked = BandRect(m_Marked); !marked.isNull()) {
        // Dashed black over white, seen on every colour.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(marked.adjusted(1, 1, -2, -2));
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawRect(marked.adjusted(1, 1, -2, -2));
    }
}

void CColorSelectorWnd::Pick(int band) {
    OnColourSelected(band);
    emit ColourSelected(band);
    close();
}

void CColorSelectorWnd::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (!rect().contains(point)) {
        // A press outside a popup closes it, as Qt does for every popup.
        close();
        return;
    }
    const int band = BandAt(point);
    if (event->button() != Qt::LeftButton || band < 0) {
        return;
    }
    Pick(band);
}

void CColorSelectorWnd::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    switch (key) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        m_Marked = std::clamp(m_Marked + (key == Qt::Key_Left ? -1 : 1), 0,
                              std::max(ColourCount() - 1, 0));
        update();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_Marked < ColourCount()) {
            Pick(m_Marked);
        }
        return;
    default:
        break;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9 && key - Qt::Key_1 < ColourCount()) {
        Pick(key - Qt::Key_1);
        return;
    }
    QWidget::keyPressEvent(event);
}

void CColorSelectorWnd::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    close();
}

} // namespace strikeline
