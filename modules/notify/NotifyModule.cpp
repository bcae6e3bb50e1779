// The headless command's way to the desktop's notification service: Qt's D-Bus client in a
// module of its own, so that the command maps Qt and the bus library only when asked to
// tell the desktop (strikeline-cli fetch --notify).

#include "modules/notify/NotifyMessage.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <memory>

namespace strikeline {

namespace {

std::size_t Send(const CDesktopNotice* notices, std::size_t count, std::string& error) {
    if (!SessionBusKnown()) {
        error = "no session bus to reach the desktop's notification service";
        return 0;
    }
    // Qt's bus connection wants an application object; the command has none of its own.
    std::unique_ptr<QCoreApplication> application;
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "strikeline-cli";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    std::size_t sent = 0;
    {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            error = "no session bus to reach the desktop's notification service";
            return 0;
        }
        for (; sent < count; ++sent) {
            const QDBusReply<quint32> reply = bus.call(NotifyMessage(notices[sent]));
            if (!reply.isValid()) {
                error = "the desktop's notification service did not take the notice: " +
                        reply.error().message().toStdString();
                break;
            }
        }
    }
    QDBusConnection::disconnectFromBus(QDBusConnection::sessionBus().name());
    return sent;
}

} // namespace

} // namespace strikeline

extern "C" __attribute__((visibility("default"))) std::size_t
StrikelineSendNotices(const strikeline::CDesktopNotice* notices, std::size_t count,
                      std::string* error) {
    return strikeline::Send(notices, count, *error);
}
