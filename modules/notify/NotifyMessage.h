#pragma once

// The call that shows one notice through the desktop's notification service, shared by the
// program (which stays to hear the notice clicked) and the module of the headless command.

#include "session/DesktopNotices.h"

#include <QDBusMessage>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QtGlobal>

namespace strikeline {

inline constexpr const char* kNotificationService = "org.freedesktop.Notifications";
inline constexpr const char* kNotificationPath = "/org/freedesktop/Notifications";
inline constexpr const char* kNotificationInterface = "org.freedesktop.Notifications";
// The action a click on the notice itself invokes.
inline constexpr const char* kDefaultNoticeAction = "default";

// Whether the session has a bus to reach: its address is given, or the user's runtime
// folder holds the bus's socket. Without either the bus library would start a bus daemon
// of its own for the display, which outlives the program and reaches no desktop.
inline bool SessionBusKnown() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        return true;
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

inline QString NoticeWindowTitle(NoticeWindow window) {
    switch (window) {
    case NoticeWindow::CallReport:
        return QStringLiteral("Open the Call Report");
    case NoticeWindow::PutReport:
        return QStringLiteral("Open the Put Report");
    case NoticeWindow::TradingPlan:
        break;
    }
    return QStringLiteral("Open the Trading Plan");
}

inline QDBusMessage NotifyMessage(const CDesktopNotice& notice) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QString::fromLatin1(kNotificationService), QString::fromLatin1(kNotificationPath),
        QString::fromLatin1(kNotificationInterface), QStringLiteral("Notify"));
    QVariantMap hints;
    // The desktop shows the program's name and icon with it, from the menu entry.
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("au.com.varnel.Strikeline"));
    message << QStringLiteral("Strikeline") << quint32{0}
            << QStringLiteral("au.com.varnel.Strikeline") << QString::fromStdString(notice.summary)
            << QString::fromStdString(notice.body)
            << QStringList{QString::fromLatin1(kDefaultNoticeAction),
                           NoticeWindowTitle(notice.window)}
            << hints << qint32{-1};
    return message;
}

} // namespace strikeline
