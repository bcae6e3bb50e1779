#include "gui/app/LinkLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace strikeline {

namespace {

// Screen readers announce the label as a link that can be pressed, not as plain text.
class CLinkLabelAccessible : public QAccessibleWidget {
public:
    explicit CLinkLabelAccessible(CLinkLabel* label)
        : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text which) const override {
        switch (which) {
        case QAccessible::Name:
            return Label()->accessibleName().isEmpty() ? Label()->text()
                                                       : Label()->accessibleName();
        case QAccessible::Description:
            return Label()->Target().toDisplayString();
        default:
            return QAccessibleWidget::text(which);
        }
    }
    QAccessible::State state() const override {
        QAccessible::State result = QAccessibleWidget::state();
        result.linked = true;
        return result;
    }
    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            Label()->OpenTarget();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    CLinkLabel* Label() const { return static_cast<CLinkLabel*>(widget()); }
};

QAccessibleInterface* LinkLabelAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(CLinkLabel::staticMetaObject.className())) {
        if (auto* label = qobject_cast<CLinkLabel*>(object)) {
            return new CLinkLabelAccessible(label);
        }
    }
    return nullptr;
}

} // namespace

CLinkLabel::CLinkLabel(const QString& caption, const QUrl& target, QWidget* parent)
    : QLabel(caption, parent), m_Target(target), m_Opener(&QDesktopServices::openUrl) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&LinkLabelAccessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    // Plain text only: the caption is an address or a name, never markup.
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setToolTip(target.toDisplayString());
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
}

void CLinkLabel::SetTarget(const QUrl& target) {
    m_Target = target;
    setToolTip(target.toDisplayString());
}

bool CLinkLabel::OpenTarget() {
    if (!m_Target.isValid() || m_Target.isEmpty() || !m_Opener) {
        return false;
    }
    return m_Opener(m_Target);
}

void CLinkLabel::paintEvent(QPaintEvent*) {
    // Drawn here rather than by QLabel so the colour is the palette's link colour of the
    // current state (active, inactive, disabled), following palette and theme changes.
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QRect textRect = style()->itemTextRect(fontMetrics(), area, static_cast<int>(alignment()),
                                                 isEnabled(), text());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Link));
    painter.drawText(textRect, static_cast<int>(alignment()) | Qt::TextSingleLine, text());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = textRect.adjusted(-2, 0, 2, 0).intersected(rect());
        option.backgroundColor = palette().color(backgroundRole());
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void CLinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_Pressed = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void CLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        // A press that is dragged off the link and let go elsewhere is no click.
        const bool click = m_Pressed && rect().contains(event->position().toPoint());
        m_Pressed = false;
        event->accept();
        if (click) {
            OpenTarget();
        }
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void CLinkLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!event->isAutoRepeat()) {
            OpenTarget();
        }
        event->accept();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

} // namespace strikeline
