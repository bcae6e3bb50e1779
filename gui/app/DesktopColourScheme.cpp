#include "gui/app/DesktopColourScheme.h"

#include "gui/app/MainFrame.h"
#include "gui/app/RefreshKind.h"
#include "gui/charts/ChartPanel.h"
#include "session/Session.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QStyleHints>

namespace strikeline {

namespace {

// A window colour at most this light (0 black to 255 white) is a dark desktop's.
constexpr int kDarkestLightWindow = 128;

} // namespace

CDesktopColourScheme::CDesktopColourScheme(CMainFrame& frame) : QObject(&frame), m_Frame(frame) {
    m_Frame.Session().SetDarkDesktop(DesktopIsDark());
    m_Frame.installEventFilter(this);
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    connect(QGuiApplication::styleHints(), &QStyleHints::colorSchemeChanged, this,
            &CDesktopColourScheme::FollowSoon);
#endif
}

bool CDesktopColourScheme::DesktopIsDark() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    switch (QGuiApplication::styleHints()->colorScheme()) {
    case Qt::ColorScheme::Dark:
        return true;
    case Qt::ColorScheme::Light:
        return false;
    case Qt::ColorScheme::Unknown:
        break;
    }
#endif
    return IsDark(QApplication::palette());
}

bool CDesktopColourScheme::IsDark(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Window).lightness() < kDarkestLightWindow;
}

bool CDesktopColourScheme::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_Frame && (event->type() == QEvent::ApplicationPaletteChange ||
                                event->type() == QEvent::PaletteChange)) {
        FollowSoon();
    }
    return QObject::eventFilter(watched, event);
}

void CDesktopColourScheme::FollowSoon() {
    if (!m_Pending) {
        m_Pending = true;
        QMetaObject::invokeMethod(this, &CDesktopColourScheme::Follow, Qt::QueuedConnection);
    }
}

void CDesktopColourScheme::Follow() {
    m_Pending = false;
    CSession& session = m_Frame.Session();
    const bool dark = DesktopIsDark();
    if (dark == session.DarkDesktop()) {
        return;
    }
    const CColorScheme before = session.ColorScheme();
    session.SetDarkDesktop(dark);
    // Charts take their grid from the palette, so they follow with any scheme.
    RecolourCharts(m_Frame, session.ColorScheme());
    if (session.ColorScheme() == before) {
        return; // a scheme of the user's own looks the same on either desktop
    }
    // The windows the colour scheme command rebuilds, in its order.
    for (const RefreshKind kind :
         {RefreshKind::CallReport, RefreshKind::PutReport, RefreshKind::ShortList,
          RefreshKind::Dividends, RefreshKind::TradingPlan}) {
        m_Frame.RefreshView(kind);
    }
}

} // namespace strikeline
