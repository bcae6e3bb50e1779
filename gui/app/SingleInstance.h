#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace strikeline {

// Keeps the program to one copy per user. The first copy listens on a local socket; a
// second copy connects, sends the activation message and is told to exit, and the first
// raises its main window when that exact message arrives.
class CSingleInstance : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kServerName = "StrikelineAppRunning";
    static constexpr const char* kActivationMessage = "StrikelineGlobalMsg";
    static constexpr quint32 kActivationCode = 0x1F35CA29;

    // `name` is the socket's name; the default is per user (in the runtime folder).
    explicit CSingleInstance(QString name = DefaultName(), QObject* parent = nullptr);

    // True when this is the first copy (it now listens); false when another copy runs
    // (it has been asked to come to the front).
    bool Claim();

    static QString DefaultName();

signals:
    void ActivationRequested();

private:
    void ReadMessage(QLocalSocket* socket);

    QString m_Name;
    QLocalServer* m_Server = nullptr;
};

} // namespace strikeline
