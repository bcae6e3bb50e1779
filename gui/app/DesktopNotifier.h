#pragma once

#include "session/DesktopNotices.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace strikeline {

class CSession;

// Tells the desktop what the program has news of, through the desktop's notification
// service on the session bus: new price lists the downloader installed, coming ex-dividend
// dates and expiries of the Trading Plan, and sold calls likely to be exercised early. Each
// event is told once (the data folder's notice log), never while switched off, and the bus
// is reached only when there is something to tell. A click on a notice asks for its window.
class CDesktopNotifier : public QObject {
    Q_OBJECT

public:
    // `settings` are the program's own and outlive the notifier; `clock` gives "now"
    // (universal time), the system clock when empty.
    CDesktopNotifier(CSession& session, const CNotificationSettings& settings,
                     std::function<FileTime()> clock = {}, QObject* parent = nullptr);

    // Tells the notices not told yet.
    void Tell(const std::vector<CDesktopNotice>& notices);
    // The plan's ex-dividend dates and expiries due now.
    void CheckPlan();
    // The plan's sold calls at early-exercise risk, from the session's analytics.
    void CheckEarlyExercise();
    // A data file the downloader installed: the price lists of one pass are told together,
    // with the plan's events after them.
    void NoteFetched(const QString& fileName, const QString& label);

    // Why the last notice could not be told, empty when it was.
    const QString& LastError() const { return m_LastError; }

signals:
    void WindowRequested(strikeline::NoticeWindow window);
    // Each notice the service took (tests and the status of the day).
    void NoticeShown(QString key);

private slots:
    void OnActionInvoked(uint id, const QString& action);
    void OnNotificationClosed(uint id, uint reason);

private:
    bool ConnectBus();
    void TellFetchedLists();

    CSession& m_Session;
    const CNotificationSettings& m_Settings;
    std::function<FileTime()> m_Clock;
    bool m_Connected = false;
    QString m_LastError;
    // The window of each notice on show, by the service's id.
    std::map<uint, NoticeWindow> m_OnShow;
    // Notices sent and not yet answered: not sent again meanwhile.
    std::set<std::string> m_Pending;
    QTimer m_PassEnd;
    bool m_FetchedCalls = false;
    bool m_FetchedPuts = false;
    std::string m_FetchedLabel;
};

} // namespace strikeline
