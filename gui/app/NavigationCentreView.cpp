#include "gui/app/NavigationCentreView.h"

#include "gui/app/CommandIds.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QToolTip>
#include <array>
#include <cmath>
#include <future>
#include <limits>
#include <system_error>

namespace strikeline {

namespace {

// What a button does and how it looks. `step` numbers the buttons of the day's main road
// (report, Short List, plan); 0 for the others.
struct CNavigationButton {
    QRect rect;
    int command;
    const char* label;
    const char* name;
    const char* toolTip;
    QRgb accent;
    int step;
};

#define NAV_TR(text) QT_TRANSLATE_NOOP("strikeline::CNavigationCentreView", text)

const std::array<CNavigationButton, CNavigationCentreView::kButtonCount> kButtons = {{
    {QRect(20, 20, 120, 120), ID_YIELD_CALL_REPORTS, NAV_TR("Call Reports"),
     NAV_TR("View Call Reports"),
     NAV_TR("Open the Call Report: the option series worth writing today and their yields"),
     qRgb(0x2E, 0x6D, 0xB4), 1},
    {QRect(180, 20, 120, 120), ID_TREND_CHART, NAV_TR("Trend Chart"), NAV_TR("Trend Chart"),
     NAV_TR("Open the one-year price chart of a company"), qRgb(0x15, 0x85, 0x80), 0},
    {QRect(180, 180, 120, 120), ID_SHORT_LIST_OPEN, NAV_TR("Short List"), NAV_TR("Open Short List"),
     NAV_TR("Open the Short List of companies picked from the reports"), qRgb(0xC2, 0x72, 0x14), 2},
    {QRect(180, 340, 120, 120), ID_TRADING_PLAN_OPEN, NAV_TR("Trading Plan"),
     NAV_TR("Open Trading Plan"),
     NAV_TR("Open the Trading Plan: shares, prices, brokerage and returns"), qRgb(0x2F, 0x8A, 0x4C),
     3},
    {QRect(340, 180, 120, 120), ID_YIELD_DIVIDENDS, NAV_TR("Dividends"), NAV_TR("Dividends"),
     NAV_TR("Open the coming dividends beside your own average trades"), qRgb(0xA8, 0x82, 0x10), 0},
    {QRect(340, 340, 120, 120), ID_CALCULATOR, NAV_TR("Calculator"), NAV_TR("Calculator"),
     NAV_TR("Open a Leverage Calculator for a margin-funded share purchase"),
     qRgb(0x6A, 0x55, 0xA8), 0},
}};

#undef NAV_TR

// Room around a button for the keyboard focus mark, which is drawn outside the button.
constexpr int kFocusMargin = 6;
constexpr int kHoverInterval = 100;
constexpr qreal kCornerRadius = 14.0;

const QColor kInk(0x24, 0x32, 0x3F);
const QColor kMutedInk(0x5B, 0x6B, 0x7A);
const QColor kConnector(0x8C, 0xA0, 0xB3);
const QColor kSideConnector(0xAE, 0xBC, 0xCA);

QColor Mix(const QColor& from, const QColor& to, qreal amount) {
    return QColor::fromRgbF(
        static_cast<float>(from.redF() + (to.redF() - from.redF()) * amount),
        static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * amount),
        static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * amount));
}

QPen RoundPen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QFont PixelFont(int pixelSize, QFont::Weight weight) {
    QFont font;
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

void DrawBackground(QPainter& painter) {
    const QRectF area(0, 0, CNavigationCentreView::kPictureSize,
                      CNavigationCentreView::kPictureSize);
    QLinearGradient sky(area.topLeft(), area.bottomRight());
    sky.setColorAt(0.0, QColor(0xF6, 0xF9, 0xFC));
    sky.setColorAt(1.0, QColor(0xE2, 0xEA, 0xF2));
    painter.fillRect(area, sky);

    // A faint dotted grid, like chart paper.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xC9, 0xD5, 0xE1, 150));
    for (int y = 10; y < CNavigationCentreView::kPictureSize; y += 20) {
        for (int x = 10; x < CNavigationCentreView::kPictureSize; x += 20) {
            painter.drawEllipse(QPointF(x, y), 0.9, 0.9);
        }
    }

    // A wide, soft price curve rising behind the buttons: the theme, barely there. It keeps
    // clear of the title corner so the text there stays clean.
    QPainterPath curve(QPointF(100, 490));
    curve.cubicTo(QPointF(150, 400), QPointF(170, 270), QPointF(260, 260));
    curve.cubicTo(QPointF(360, 270), QPointF(380, 90), QPointF(490, 60));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(RoundPen(QColor(0x2E, 0x6D, 0xB4, 26), 18));
    painter.drawPath(curve);
}

void DrawArrowHead(QPainter& painter, QPointF tip, QPointF direction, const QColor& colour) {
    const qreal length = std::hypot(direction.x(), direction.y());
    const QPointF unit = direction / length;
    const QPointF normal(-unit.y(), unit.x());
    const QPointF base = tip - unit * 9.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(QPolygonF({tip, base + normal * 5.0, base - normal * 5.0}));
}

// The lines between the buttons tell the day's road: from the Call Report to the Short
// List and on to the Trading Plan (solid, with arrows); the chart, the dividends and the
// calculator help along the way (dashed).
void DrawConnectors(QPainter& painter) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(RoundPen(kConnector, 3.0));
    QPainterPath reportToList(QPointF(80, 142));
    reportToList.lineTo(80, 226);
    reportToList.quadTo(80, 240, 94, 240);
    reportToList.lineTo(170, 240);
    painter.drawPath(reportToList);
    DrawArrowHead(painter, QPointF(179, 240), QPointF(1, 0), kConnector);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(RoundPen(kConnector, 3.0));
    painter.drawLine(QPointF(240, 302), QPointF(240, 330));
    DrawArrowHead(painter, QPointF(240, 339), QPointF(0, 1), kConnector);

    QPen dashed = RoundPen(kSideConnector, 2.0);
    dashed.setDashPattern({2.0, 3.0});
    const std::array<QLineF, 3> helpers = {QLineF(240, 144, 240, 176), QLineF(304, 240, 336, 240),
                                           QLineF(304, 400, 336, 400)};
    for (const QLineF& line : helpers) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(dashed);
        painter.drawLine(line);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kSideConnector);
        painter.drawEllipse(line.p1(), 2.5, 2.5);
        painter.drawEllipse(line.p2(), 2.5, 2.5);
    }
}

// The program's name and the three steps of the day, in the free corner.
void DrawTitleBlock(QPainter& painter) {
    // The mark: a rising price line struck through by a level line.
    const QColor blue(0x2E, 0x6D, 0xB4);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(RoundPen(blue, 3.0));
    painter.drawPolyline(
        QPolygonF({QPointF(22, 336), QPointF(32, 326), QPointF(40, 331), QPointF(56, 312)}));
    painter.setPen(RoundPen(QColor(0xC2, 0x72, 0x14), 2.5));
    painter.drawLine(QPointF(20, 322), QPointF(60, 322));

    painter.setPen(kInk);
    painter.setFont(PixelFont(22, QFont::Bold));
    painter.drawText(QPointF(20, 370), QStringLiteral("Strikeline"));
    painter.setPen(RoundPen(QColor(0xC2, 0xCF, 0xDC), 1.0));
    painter.drawLine(QPointF(20, 382), QPointF(150, 382));

    const std::array<const char*, 3> steps = {
        QT_TRANSLATE_NOOP("strikeline::CNavigationCentreView", "Find the yields"),
        QT_TRANSLATE_NOOP("strikeline::CNavigationCentreView", "Pick a short list"),
        QT_TRANSLATE_NOOP("strikeline::CNavigationCentreView", "Plan the trades")};
    const std::array<int, 3> stepButtons = {0, 2, 3};
    for (int i = 0; i < 3; ++i) {
        const qreal baseline = 406.0 + i * 22.0;
        const QPointF centre(28, baseline - 4.5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(
            QColor(kButtons[static_cast<size_t>(stepButtons[static_cast<size_t>(i)])].accent));
        painter.drawEllipse(centre, 8.0, 8.0);
        painter.setPen(Qt::white);
        painter.setFont(PixelFont(11, QFont::Bold));
        painter.drawText(QRectF(centre.x() - 8, centre.y() - 8, 16, 16), Qt::AlignCenter,
                         QString::number(i + 1));
        painter.setPen(kMutedInk);
        painter.setFont(PixelFont(12, QFont::Normal));
        painter.drawText(QPointF(42, baseline),
                         CNavigationCentreView::tr(steps[static_cast<size_t>(i)]));
    }
}

// Each pictogram fits a 36 x 36 box at `box`; `ink` is the stroke colour, `fill` a light
// tint of it.
void DrawPictogram(QPainter& painter, int button, QPointF box, const QColor& ink,
                   const QColor& fill) {
    const qreal x = box.x();
    const qreal y = box.y();
    painter.setPen(RoundPen(ink, 2.6));
    painter.setBrush(Qt::NoBrush);
    switch (button) {
    case 0: { // Call reports: a small rising bar chart.
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        const std::array<qreal, 4> heights = {9, 15, 21, 29};
        for (size_t i = 0; i < heights.size(); ++i) {
            const qreal left = x + 3 + static_cast<qreal>(i) * 8.5;
            painter.drawRoundedRect(QRectF(left, y + 33 - heights[i], 6, heights[i]), 1.5, 1.5);
        }
        painter.setPen(RoundPen(ink, 2.0));
        painter.drawLine(QPointF(x, y + 35), QPointF(x + 36, y + 35));
        break;
    }
    case 1: { // Trend chart: axes and a rising line.
        painter.setPen(RoundPen(Mix(ink, Qt::white, 0.35), 2.0));
        painter.drawPolyline(
            QPolygonF({QPointF(x + 1, y + 1), QPointF(x + 1, y + 35), QPointF(x + 36, y + 35)}));
        painter.setPen(RoundPen(ink, 2.8));
        painter.drawPolyline(
            QPolygonF({QPointF(x + 6, y + 28), QPointF(x + 13, y + 20), QPointF(x + 19, y + 24),
                       QPointF(x + 26, y + 12), QPointF(x + 32, y + 7)}));
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(QPointF(x + 32, y + 7), 3.2, 3.2);
        break;
    }
    case 2: { // Short list: ticked rows.
        for (int row = 0; row < 3; ++row) {
            const qreal top = y + 2 + row * 12.0;
            painter.setPen(RoundPen(ink, 2.0));
            painter.setBrush(row < 2 ? fill : QColor(Qt::white));
            painter.drawRoundedRect(QRectF(x + 1, top, 9, 9), 2, 2);
            if (row < 2) {
                painter.setPen(RoundPen(ink, 2.2));
                painter.drawPolyline(
                    QPolygonF({QPointF(x + 3, top + 4.5), QPointF(x + 5, top + 6.8),
                               QPointF(x + 8.5, top + 2)}));
            }
            painter.setPen(RoundPen(ink, 2.6));
            painter.drawLine(QPointF(x + 15, top + 4.5),
                             QPointF(row < 2 ? x + 35 : x + 28, top + 4.5));
        }
        break;
    }
    case 3: { // Trading plan: a clipboard with lines.
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(x + 5, y + 4, 26, 31), 3, 3);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawRoundedRect(QRectF(x + 11.5, y + 0.5, 13, 7.5), 2, 2);
        painter.setPen(RoundPen(ink, 2.2));
        painter.drawPolyline(QPolygonF(
            {QPointF(x + 10, y + 16), QPointF(x + 12, y + 18), QPointF(x + 15.5, y + 13.5)}));
        painter.drawLine(QPointF(x + 19, y + 16), QPointF(x + 26, y + 16));
        painter.drawLine(QPointF(x + 10, y + 23), QPointF(x + 26, y + 23));
        painter.drawLine(QPointF(x + 10, y + 29), QPointF(x + 21, y + 29));
        break;
    }
    case 4: { // Dividends: a coin in front of another.
        painter.setBrush(Mix(fill, ink, 0.25));
        painter.drawEllipse(QPointF(x + 24, y + 22), 11.5, 11.5);
        painter.setBrush(fill);
        painter.drawEllipse(QPointF(x + 15, y + 17), 14, 14);
        painter.setPen(RoundPen(ink, 1.2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(x + 15, y + 17), 10, 10);
        painter.setPen(ink);
        painter.setFont(PixelFont(16, QFont::Bold));
        painter.drawText(QRectF(x + 1, y + 3, 28, 28), Qt::AlignCenter, QStringLiteral("$"));
        break;
    }
    default: { // Calculator: a body, a display and keys.
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(x + 6, y + 1, 24, 34), 3.5, 3.5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawRoundedRect(QRectF(x + 10, y + 5, 16, 7), 1.5, 1.5);
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                painter.drawRoundedRect(QRectF(x + 10.5 + column * 5.5, y + 16 + row * 5.5, 4, 4),
                                        1, 1);
            }
        }
        break;
    }
    }
}

void DrawButton(QPainter& painter, int button, CNavigationCentreView::PictureState state) {
    using State = CNavigationCentreView::PictureState;
    const CNavigationButton& info = kButtons[static_cast<size_t>(button)];
    const QColor accent(info.accent);
    const QRectF rect(info.rect);
    const QRectF face = rect.adjusted(1.5, 1.5, -1.5, -1.5);

    // The same soft shadow in every picture: it falls partly outside the button, where only
    // the normal picture is ever shown.
    painter.setPen(Qt::NoPen);
    for (int layer = 3; layer >= 1; --layer) {
        painter.setBrush(QColor(0x1E, 0x33, 0x4A, 14));
        const qreal grow = layer;
        painter.drawRoundedRect(face.translated(0, 2.0).adjusted(-grow, -grow + 1, grow, grow),
                                kCornerRadius + grow, kCornerRadius + grow);
    }

    QLinearGradient gradient(face.topLeft(), face.bottomLeft());
    QColor border;
    qreal borderWidth = 1.0;
    QColor ink = accent;
    QColor tile = Mix(Qt::white, accent, 0.13);
    QColor labelColour = kInk;
    switch (state) {
    case State::Normal:
        gradient.setColorAt(0.0, Qt::white);
        gradient.setColorAt(1.0, QColor(0xEE, 0xF2, 0xF6));
        border = QColor(0xB9, 0xC7, 0xD5);
        break;
    case State::Hot:
        gradient.setColorAt(0.0, Mix(Qt::white, accent, 0.07));
        gradient.setColorAt(1.0, Mix(Qt::white, accent, 0.18));
        border = accent;
        borderWidth = 2.0;
        ink = accent.darker(112);
        tile = Mix(Qt::white, accent, 0.26);
        labelColour = accent.darker(150);
        break;
    case State::Pressed:
        gradient.setColorAt(0.0, Mix(QColor(0xD2, 0xDB, 0xE4), accent, 0.22));
        gradient.setColorAt(1.0, Mix(QColor(0xE4, 0xEA, 0xF0), accent, 0.14));
        border = accent.darker(130);
        borderWidth = 1.5;
        ink = accent.darker(135);
        tile = Mix(Qt::white, accent, 0.36);
        labelColour = accent.darker(175);
        break;
    }

    QPainterPath facePath;
    facePath.addRoundedRect(face, kCornerRadius, kCornerRadius);
    painter.fillPath(facePath, gradient);
    if (state == State::Pressed) {
        // Sunken: a shade along the inside of the top edge.
        QLinearGradient shade(face.topLeft(), face.topLeft() + QPointF(0, 12));
        shade.setColorAt(0.0, QColor(0, 0, 0, 46));
        shade.setColorAt(1.0, QColor(0, 0, 0, 0));
        painter.fillPath(facePath, shade);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(border, borderWidth));
    painter.drawPath(facePath);

    painter.save();
    if (state == State::Pressed) {
        painter.translate(1, 1);
    }
    // The button's centre falls on the tile just below the pictogram, so every state shows
    // there in its own colour.
    const QRectF tileRect(rect.center().x() - 26, rect.top() + 14, 52, 52);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(tileRect, 12, 12);
    DrawPictogram(painter, button, QPointF(tileRect.left() + 8, tileRect.top() + 6), ink,
                  Mix(Qt::white, accent, 0.32));

    painter.setPen(labelColour);
    painter.setFont(PixelFont(13, QFont::DemiBold));
    painter.drawText(QRectF(rect.left() + 4, rect.top() + 74, rect.width() - 8, 30),
                     Qt::AlignCenter, CNavigationCentreView::tr(info.label));

    if (info.step > 0) {
        const QPointF centre(rect.left() + 17, rect.top() + 17);
        painter.setPen(Qt::NoPen);
        painter.setBrush(state == State::Normal ? accent : accent.darker(120));
        painter.drawEllipse(centre, 9.0, 9.0);
        painter.setPen(Qt::white);
        painter.setFont(PixelFont(11, QFont::Bold));
        painter.drawText(QRectF(centre.x() - 9, centre.y() - 9, 18, 18), Qt::AlignCenter,
                         QString::number(info.step));
    }
    painter.restore();
}

// One accessible element per picture button, so that screen readers can find, name and
// press the buttons of a view that is a single widget.
class CNavigationButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CNavigationButtonAccessible(CNavigationCentreView* view, int button)
        : m_View(view), m_Button(button) {}

    bool isValid() const override { return !m_View.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_View ? m_View->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_View.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text which) const override {
        switch (which) {
        case QAccessible::Name:
            return CNavigationCentreView::ButtonName(m_Button);
        case QAccessible::Description:
            return CNavigationCentreView::ButtonToolTip(m_Button);
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!m_View) {
            return {};
        }
        const QRect local = CNavigationCentreView::ButtonRect(m_Button);
        return QRect(m_View->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State result;
        if (!m_View) {
            result.invalid = true;
            return result;
        }
        result.focusable = true;
        result.focused = m_View->hasFocus() && m_View->FocusedButton() == m_Button;
        result.pressed = m_View->PressedButton() == m_Button;
        result.hotTracked = m_View->HotButton() == m_Button;
        result.invisible = !m_View->isVisible();
        result.disabled = !m_View->isEnabled();
        return result;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface) {
            return static_cast<QAccessibleActionInterface*>(this);
        }
        return nullptr;
    }
    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& action) override {
        if (!m_View) {
            return;
        }
        if (action == pressAction()) {
            m_View->ActivateButton(m_Button);
        } else if (action == setFocusAction()) {
            m_View->setFocus(Qt::OtherFocusReason);
            m_View->SetFocusedButton(m_Button);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<CNavigationCentreView> m_View;
    int m_Button;
};

class CNavigationCentreAccessible : public QAccessibleWidget {
public:
    explicit CNavigationCentreAccessible(CNavigationCentreView* view)
        : QAccessibleWidget(view, QAccessible::Pane) {}
    ~CNavigationCentreAccessible() override {
        for (QAccessible::Id id : m_Children) {
            if (id != 0) {
                QAccessible::deleteAccessibleInterface(id);
            }
        }
    }

    int childCount() const override { return CNavigationCentreView::kButtonCount; }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= CNavigationCentreView::kButtonCount) {
            return nullptr;
        }
        QAccessible::Id& id = m_Children[static_cast<size_t>(index)];
        if (id == 0) {
            id = QAccessible::registerAccessibleInterface(
                new CNavigationButtonAccessible(View(), index));
        }
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < CNavigationCentreView::kButtonCount; ++i) {
            const QAccessible::Id id = m_Children[static_cast<size_t>(i)];
            if (id != 0 && QAccessible::accessibleInterface(id) == child) {
                return i;
            }
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const int button = CNavigationCentreView::ButtonAt(View()->mapFromGlobal(QPoint(x, y)));
        return button >= 0 ? child(button) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        return View()->hasFocus() ? child(View()->FocusedButton()) : nullptr;
    }

private:
    CNavigationCentreView* View() const { return static_cast<CNavigationCentreView*>(widget()); }

    mutable std::array<QAccessible::Id, CNavigationCentreView::kButtonCount> m_Children{};
};

QAccessibleInterface* NavigationCentreAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(CNavigationCentreView::staticMetaObject.className())) {
        if (auto* view = qobject_cast<CNavigationCentreView*>(object)) {
            return new CNavigationCentreAccessible(view);
        }
    }
    return nullptr;
}

bool IsValidButton(int button) {
    return button >= 0 && button < CNavigationCentreView::kButtonCount;
}

} // namespace

CNavigationCentreView::CNavigationCentreView(QWidget* parent) : QWidget(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&NavigationCentreAccessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    setAccessibleName(tr("Navigation centre"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QRect CNavigationCentreView::ButtonRect(int button) {
    return IsValidButton(button) ? kButtons[static_cast<size_t>(button)].rect : QRect();
}

int CNavigationCentreView::ButtonCommand(int button) {
    return IsValidButton(button) ? kButtons[static_cast<size_t>(button)].command : 0;
}

QString CNavigationCentreView::ButtonName(int button) {
    return IsValidButton(button) ? tr(kButtons[static_cast<size_t>(button)].name) : QString();
}

QString CNavigationCentreView::ButtonToolTip(int button) {
    return IsValidButton(button) ? tr(kButtons[static_cast<size_t>(button)].toolTip) : QString();
}

int CNavigationCentreView::ButtonAt(QPoint point) {
    for (int i = 0; i < kButtonCount; ++i) {
        if (kButtons[static_cast<size_t>(i)].rect.contains(point)) {
            return i;
        }
    }
    return -1;
}

QPixmap CNavigationCentreView::RenderPicture(PictureState state, qreal devicePixelRatio) {
    return QPixmap::fromImage(RenderImage(state, devicePixelRatio));
}

namespace {

// The normal picture drawn ahead of the first paint, and the ratio it is drawn for.
struct CStartPicture {
    qreal ratio = 0.0;
    std::future<QImage> image;
};

CStartPicture& StartPicture() {
    static CStartPicture picture;
    return picture;
}

} // namespace

void CNavigationCentreView::PrepareStartPicture(qreal devicePixelRatio) {
    CStartPicture& start = StartPicture();
    if (start.image.valid()) {
        return;
    }
    try {
        start.image = std::async(std::launch::async, [devicePixelRatio] {
            return RenderImage(PictureState::Normal, devicePixelRatio);
        });
        start.ratio = devicePixelRatio;
    } catch (const std::system_error&) {
        // No thread to spare: the first paint draws it.
    }
}

void CNavigationCentreView::DiscardStartPicture() {
    CStartPicture& start = StartPicture();
    if (start.image.valid()) {
        start.image.wait();
    }
    start.image = {};
}

QImage CNavigationCentreView::RenderImage(PictureState state, qreal devicePixelRatio) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int side = static_cast<int>(std::ceil(kPictureSize * ratio));
    QImage picture(side, side, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    DrawBackground(painter);
    DrawConnectors(painter);
    DrawTitleBlock(painter);
    for (int i = 0; i < kButtonCount; ++i) {
        DrawButton(painter, i, state);
    }
    return picture;
}

void CNavigationCentreView::SetFocusedButton(int button) {
    if (!IsValidButton(button) || button == m_FocusedButton) {
        return;
    }
    const int previous = m_FocusedButton;
    m_FocusedButton = button;
    UpdateButton(previous);
    UpdateButton(button);
    if (hasFocus()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(button);
        QAccessible::updateAccessibility(&focus);
    }
}

void CNavigationCentreView::ActivateButton(int button) {
    if (IsValidButton(button)) {
        emit commandRequested(ButtonCommand(button));
    }
}

QSize CNavigationCentreView::sizeHint() const {
    return {kPictureSize, kPictureSize};
}

QSize CNavigationCentreView::minimumSizeHint() const {
    return sizeHint();
}

bool CNavigationCentreView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int button = ButtonAt(help->pos());
        if (button >= 0) {
            QToolTip::showText(help->globalPos(), ButtonToolTip(button), this, ButtonRect(button));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void CNavigationCentreView::paintEvent(QPaintEvent*) {
    EnsurePictures();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_Normal);
    if (width() > kPictureSize) {
        painter.fillRect(QRect(kPictureSize, 0, width() - kPictureSize, height()), Qt::white);
    }
    if (height() > kPictureSize) {
        painter.fillRect(QRect(0, kPictureSize, kPictureSize, height() - kPictureSize), Qt::white);
    }

    // The hot and pressed pictures are drawn when first shown, not with the normal one:
    // each costs as much, and at start-up (at 200% four times as much) only that one shows.
    const auto picture = [this](QPixmap& cached, PictureState state) {
        if (cached.isNull()) {
            cached = RenderPicture(state, m_PictureRatio);
        }
        return &cached;
    };
    int shown = -1;
    const QPixmap* source = nullptr;
    if (m_PressedButton >= 0) {
        shown = m_PressedButton;
        source = picture(m_Pressed, PictureState::Pressed);
    } else if (m_HotButton >= 0 && IsInteractive()) {
        shown = m_HotButton;
        source = picture(m_Hot, PictureState::Hot);
    }
    if (source != nullptr) {
        painter.save();
        painter.setClipRect(ButtonRect(shown));
        painter.drawPixmap(0, 0, *source);
        painter.restore();
    }

    if (hasFocus() && m_ShowFocusMark) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(ButtonRect(m_FocusedButton)).adjusted(-4, -4, 4, 4),
                                kCornerRadius + 3, kCornerRadius + 3);
    }
}

void CNavigationCentreView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_ShowFocusMark = false;
    const int button = ButtonAt(event->position().toPoint());
    if (button >= 0) {
        // Qt keeps delivering the mouse to the widget that got the press until the button
        // goes up (an implicit grab), so the release below arrives even outside the view.
        m_PressedButton = button;
        m_SpacePressed = false;
        SetFocusedButton(button);
        UpdateButton(button);
    }
    event->accept();
}

void CNavigationCentreView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double click presses the button again, so both clicks count.
    mousePressEvent(event);
}

void CNavigationCentreView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint position = event->position().toPoint();
    const int pressed = m_PressedButton;
    const int released = rect().contains(position) ? ButtonAt(position) : -1;
    ClearPressed();
    SetHotButton(released);
    event->accept();
    // Last, because the command may open a window or a modal dialog before it returns.
    if (pressed >= 0 && pressed == released) {
        emit commandRequested(ButtonCommand(pressed));
    }
}

void CNavigationCentreView::mouseMoveEvent(QMouseEvent* event) {
    if (m_PressedButton < 0) {
        const QPoint position = event->position().toPoint();
        SetHotButton(rect().contains(position) ? ButtonAt(position) : -1);
    }
    event->accept();
}

void CNavigationCentreView::enterEvent(QEnterEvent* event) {
    if (m_PressedButton < 0) {
        SetHotButton(ButtonAt(event->position().toPoint()));
    }
    QWidget::enterEvent(event);
}

void CNavigationCentreView::leaveEvent(QEvent* event) {
    if (m_PressedButton < 0) {
        SetHotButton(-1);
    }
    QWidget::leaveEvent(event);
}

void CNavigationCentreView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        m_ShowFocusMark = true;
        const int next = NeighbourButton(event->key());
        if (next >= 0) {
            SetFocusedButton(next);
        }
        UpdateButton(m_FocusedButton);
        event->accept();
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat()) {
            m_ShowFocusMark = true;
            UpdateButton(m_FocusedButton);
            ActivateButton(m_FocusedButton);
        }
        event->accept();
        return;
    case Qt::Key_Space:
        if (!event->isAutoRepeat() && m_PressedButton < 0) {
            m_ShowFocusMark = true;
            m_PressedButton = m_FocusedButton;
            m_SpacePressed = true;
            UpdateButton(m_FocusedButton);
        }
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CNavigationCentreView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        if (m_SpacePressed) {
            const int pressed = m_PressedButton;
            ClearPressed();
            ActivateButton(pressed);
        }
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void CNavigationCentreView::focusInEvent(QFocusEvent* event) {
    switch (event->reason()) {
    case Qt::TabFocusReason:
        m_FocusedButton = 0;
        m_ShowFocusMark = true;
        break;
    case Qt::BacktabFocusReason:
        m_FocusedButton = kButtonCount - 1;
        m_ShowFocusMark = true;
        break;
    case Qt::ShortcutFocusReason:
        m_ShowFocusMark = true;
        break;
    default:
        break;
    }
    update();
    QWidget::focusInEvent(event);
}

void CNavigationCentreView::focusOutEvent(QFocusEvent* event) {
    // A popup or another window taking over ends the press, as losing a mouse capture does.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) {
        ClearPressed();
    } else if (m_SpacePressed) {
        ClearPressed();
    }
    update();
    QWidget::focusOutEvent(event);
}

void CNavigationCentreView::showEvent(QShowEvent* event) {
    m_HoverTimer.start(kHoverInterval, this);
    QWidget::showEvent(event);
}

void CNavigationCentreView::hideEvent(QHideEvent* event) {
    // A hidden view has no mouse to follow; the timer would only wake the program.
    m_HoverTimer.stop();
    ClearPressed();
    SetHotButton(-1);
    QWidget::hideEvent(event);
}

void CNavigationCentreView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            ClearPressed();
        }
        update();
    }
    QWidget::changeEvent(event);
}

void CNavigationCentreView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_HoverTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    // Not every way out of the view sends a leave event (a window opening on top, the
    // pointer moving fast across windows), so the view also looks where the mouse is.
    if (m_PressedButton < 0) {
        SetHotButton(ButtonUnderCursor());
    }
    // A modal dialog opening or closing changes whether the hot button shows.
    const bool interactive = IsInteractive();
    if (interactive != m_WasInteractive) {
        m_WasInteractive = interactive;
        UpdateButton(m_HotButton);
    }
}

bool CNavigationCentreView::focusNextPrevChild(bool next) {
    if (hasFocus()) {
        m_ShowFocusMark = true;
        if (next && m_FocusedButton < kButtonCount - 1) {
            SetFocusedButton(m_FocusedButton + 1);
            return true;
        }
        if (!next && m_FocusedButton > 0) {
            SetFocusedButton(m_FocusedButton - 1);
            return true;
        }
    }
    const bool moved = QWidget::focusNextPrevChild(next);
    if (hasFocus()) {
        // Nothing else in the window takes focus: go round the buttons again.
        SetFocusedButton(next ? 0 : kButtonCount - 1);
        return true;
    }
    return moved;
}

bool CNavigationCentreView::IsInteractive() const {
    if (!isEnabled() || !window()->isEnabled()) {
        return false;
    }
    const QWidget* modal = QApplication::activeModalWidget();
    return modal == nullptr || modal == window() || modal->isAncestorOf(this);
}

void CNavigationCentreView::SetHotButton(int button) {
    if (button == m_HotButton) {
        return;
    }
    const int previous = m_HotButton;
    m_HotButton = button;
    UpdateButton(previous);
    UpdateButton(button);
}

int CNavigationCentreView::ButtonUnderCursor() const {
    const QPoint global = QCursor::pos();
    if (QApplication::widgetAt(global) != this) {
        return -1;
    }
    return ButtonAt(mapFromGlobal(global));
}

void CNavigationCentreView::ClearPressed() {
    const int previous = m_PressedButton;
    m_PressedButton = -1;
    m_SpacePressed = false;
    UpdateButton(previous);
}

void CNavigationCentreView::EnsurePictures() {
    const qreal ratio = devicePixelRatioF();
    if (ratio == m_PictureRatio && !m_Normal.isNull()) {
        return;
    }
    m_PictureRatio = ratio;
    CStartPicture& start = StartPicture();
    if (start.image.valid() && start.ratio == ratio) {
        m_Normal = QPixmap::fromImage(start.image.get());
    } else {
        m_Normal = RenderPicture(PictureState::Normal, ratio);
    }
    m_Hot = QPixmap();
    m_Pressed = QPixmap();
}

void CNavigationCentreView::UpdateButton(int button) {
    if (IsValidButton(button)) {
        update(
            ButtonRect(button).adjusted(-kFocusMargin, -kFocusMargin, kFocusMargin, kFocusMargin));
    }
}

int CNavigationCentreView::NeighbourButton(int key) const {
    const QPoint from = ButtonRect(m_FocusedButton).center();
    int best = -1;
    int bestCost = std::numeric_limits<int>::max();
    for (int i = 0; i < kButtonCount; ++i) {
        const QPoint to = ButtonRect(i).center();
        int along = 0;
        int across = 0;
        switch (key) {
        case Qt::Key_Left:
            along = from.x() - to.x();
            across = std::abs(from.y() - to.y());
            break;
        case Qt::Key_Right:
            along = to.x() - from.x();
            across = std::abs(from.y() - to.y());
            break;
        case Qt::Key_Up:
            along = from.y() - to.y();
            across = std::abs(from.x() - to.x());
            break;
        default:
            along = to.y() - from.y();
            across = std::abs(from.x() - to.x());
            break;
        }
        if (along <= 0) {
            continue;
        }
        // Straight ahead wins over the same distance off to the side.
        const int cost = along + 2 * across;
        if (cost < bestCost) {
            bestCost = cost;
            best = i;
        }
    }
    return best;
}

} // namespace strikeline
