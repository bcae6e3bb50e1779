#include "gui/app/SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

namespace strikeline {

namespace {

constexpr int kConnectTimeoutMs = 1000;

// The message, then the request as its last word (0 for none, as ever).
QByteArray ActivationBytes(StartRequest request) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << QByteArray(CSingleInstance::kActivationMessage) << CSingleInstance::kActivationCode
        << static_cast<quint32>(request);
    return bytes;
}

constexpr int kRequestBytes = sizeof(quint32);

} // namespace

CSingleInstance::CSingleInstance(QString name, QObject* parent)
    : QObject(parent), m_Name(std::move(name)) {}

QString CSingleInstance::DefaultName() {
    // The runtime folder belongs to the user alone, so two users each get their own copy.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return QDir(folder).filePath(QStringLiteral("%1-%2").arg(kServerName).arg(::getuid()));
}

bool CSingleInstance::Claim(StartRequest request) {
    QLocalSocket other;
    other.connectToServer(m_Name);
    if (other.waitForConnected(kConnectTimeoutMs)) {
        other.write(ActivationBytes(request));
        other.waitForBytesWritten(kConnectTimeoutMs);
        other.disconnectFromServer();
        return false;
    }
    // Nobody answers: a socket left by a copy that crashed is in the way, not a copy.
    QLocalServer::removeServer(m_Name);
    m_Server = new QLocalServer(this);
    m_Server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_Server->listen(m_Name)) {
        // Without the socket a second copy cannot find this one; running is still better
        // than refusing to start.
        return true;
    }
    connect(m_Server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_Server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { ReadMessage(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (socket->bytesAvailable() > 0) {
                ReadMessage(socket);
            }
        }
    });
    return true;
}

void CSingleInstance::ReadMessage(QLocalSocket* socket) {
    const QByteArray expected = ActivationBytes(StartRequest::None).chopped(kRequestBytes);
    if (socket->bytesAvailable() < expected.size() + kRequestBytes) {
        return;
    }
    // Only the exact message raises the window; anything else is dropped.
    const QByteArray message = socket->read(expected.size() + kRequestBytes);
    socket->readAll();
    if (!message.startsWith(expected)) {
        return;
    }
    quint32 word = 0;
    QDataStream(message.right(kRequestBytes)) >> word;
    emit ActivationRequested();
    switch (static_cast<StartRequest>(word)) {
    case StartRequest::OpenCallReport:
    case StartRequest::OpenTradingPlan:
    case StartRequest::FetchNow:
        emit StartRequested(static_cast<StartRequest>(word));
        break;
    case StartRequest::None:
        break;
    }
}

} // namespace strikeline
