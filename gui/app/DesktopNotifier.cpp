#include "gui/app/DesktopNotifier.h"

#include "marketdata/MarketDataLoaders.h"
#include "modules/notify/NotifyMessage.h"
#include "session/Session.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <iostream>

namespace strikeline {

namespace {

// The files of one downloader pass arrive within moments of each other.
constexpr int kPassEndMs = 1500;

} // namespace

CDesktopNotifier::CDesktopNotifier(CSession& session, const CNotificationSettings& settings,
                                   std::function<FileTime()> clock, QObject* parent)
    : QObject(parent), m_Session(session), m_Settings(settings), m_Clock(std::move(clock)) {
    if (!m_Clock) {
        m_Clock = [] {
            return CurrentFileTime();
        };
    }
    m_PassEnd.setSingleShot(true);
    m_PassEnd.setInterval(kPassEndMs);
    connect(&m_PassEnd, &QTimer::timeout, this, &CDesktopNotifier::TellFetchedLists);
}

bool CDesktopNotifier::ConnectBus() {
    if (m_Connected) {
        return true;
    }
    if (!SessionBusKnown()) {
        m_LastError = QStringLiteral("no session bus to reach the desktop's notification service");
        return false;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        m_LastError = QStringLiteral("no session bus to reach the desktop's notification service");
        return false;
    }
    const QString service = QString::fromLatin1(kNotificationService);
    const QString path = QString::fromLatin1(kNotificationPath);
    const QString interface = QString::fromLatin1(kNotificationInterface);
    bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                SLOT(OnActionInvoked(uint, QString)));
    bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                SLOT(OnNotificationClosed(uint, uint)));
    m_Connected = true;
    return true;
}

void CDesktopNotifier::Tell(const std::vector<CDesktopNotice>& notices) {
    if (!m_Settings.Enabled() || notices.empty()) {
        return;
    }
    CNoticeLog log(m_Session.DataFolder());
    std::vector<CDesktopNotice> unsent;
    for (CDesktopNotice& notice : log.Unsent(notices)) {
        if (m_Pending.count(notice.key) == 0) {
            unsent.push_back(std::move(notice));
        }
    }
    if (unsent.empty() || !ConnectBus()) {
        return;
    }
    const QDBusConnection bus = QDBusConnection::sessionBus();
    for (const CDesktopNotice& notice : unsent) {
        m_Pending.insert(notice.key);
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(NotifyMessage(notice)), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, notice](QDBusPendingCallWatcher* call) {
                    call->deleteLater();
                    m_Pending.erase(notice.key);
                    const QDBusPendingReply<uint> reply = *call;
                    if (reply.isError()) {
                        // Told again next time: the desktop may have a service by then.
                        m_LastError = reply.error().message();
                        return;
                    }
                    m_LastError.clear();
                    m_OnShow[reply.value()] = notice.window;
                    std::string error;
                    if (!CNoticeLog(m_Session.DataFolder()).MarkSent({notice}, m_Clock(), error)) {
                        std::cerr << "strikeline: " << error << '\n';
                    }
                    emit NoticeShown(QString::fromStdString(notice.key));
                });
    }
}

void CDesktopNotifier::CheckPlan() {
    if (m_Settings.Enabled()) {
        Tell(PlanEventNotices(m_Session.TradingPlan(), m_Clock(), m_Settings.LeadDays()));
    }
}

void CDesktopNotifier::CheckEarlyExercise() {
    if (!m_Settings.Enabled()) {
        return;
    }
    if (const auto analytics = m_Session.Analytics()) {
        Tell(EarlyExerciseNotices(m_Session.TradingPlan(), *analytics,
                                  m_Session.AnalyticsSettings()));
    }
}

void CDesktopNotifier::NoteFetched(const QString& fileName, const QString& label) {
    const std::string name = fileName.toStdString();
    if (name == kCallFileName) {
        m_FetchedCalls = true;
    } else if (name == kPutFileName) {
        m_FetchedPuts = true;
    } else {
        return;
    }
    if (!label.isEmpty()) {
        m_FetchedLabel = label.toStdString();
    }
    m_PassEnd.start();
}

void CDesktopNotifier::TellFetchedLists() {
    std::vector<CDesktopNotice> notices =
        NewPriceListNotices(m_FetchedCalls, m_FetchedPuts, m_FetchedLabel);
    m_FetchedCalls = m_FetchedPuts = false;
    m_FetchedLabel.clear();
    if (m_Settings.Enabled()) {
        for (CDesktopNotice& notice :
             PlanEventNotices(m_Session.TradingPlan(), m_Clock(), m_Settings.LeadDays())) {
            notices.push_back(std::move(notice));
        }
    }
    Tell(notices);
}

void CDesktopNotifier::OnActionInvoked(uint id, const QString& action) {
    const auto shown = m_OnShow.find(id);
    if (shown == m_OnShow.end() || action != QLatin1String(kDefaultNoticeAction)) {
        return; // another program's notice, or an action this one does not offer
    }
    emit WindowRequested(shown->second);
}

void CDesktopNotifier::OnNotificationClosed(uint id, uint) {
    m_OnShow.erase(id);
}

} // namespace strikeline
