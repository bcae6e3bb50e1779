#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace strikeline {

// What a start asks of the program beyond showing itself (the menu entry's actions). A
// second copy hands it to the running one with the activation message.
enum class StartRequest : quint32 {
    None = 0,
    OpenCallReport = 1,
    OpenTradingPlan = 2,
    FetchNow = 3,
};

// Keeps the program to one copy per user. The first copy listens on a local socket; a
// second copy connects, sends the activation message and is told to exit, and the first
// raises its main window when that exact message arrives, then does what the message's
// last word asks (a StartRequest; an unknown one is taken as none).
class CSingleInstance : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kServerName = "StrikelineAppRunning";
    static constexpr const char* kActivationMessage = "StrikelineGlobalMsg";
    static constexpr quint32 kActivationCode = 0x1F35CA29;

    // `name` is the socket's name; the default is per user (in the runtime folder).
    explicit CSingleInstance(QString name = DefaultName(), QObject* parent = nullptr);

    // True when this is the first copy (it now listens); false when another copy runs
    // (it has been asked to come to the front, and to do `request`).
    bool Claim(StartRequest request = StartRequest::None);

    static QString DefaultName();

signals:
    void ActivationRequested();
    // After ActivationRequested, when the other copy asked for more.
    void StartRequested(strikeline::StartRequest request);

private:
    void ReadMessage(QLocalSocket* socket);

    QString m_Name;
    QLocalServer* m_Server = nullptr;
};

} // namespace strikeline
