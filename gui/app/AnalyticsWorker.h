#pragma once

#include "analytics/MarketAnalytics.h"
#include "storage/FileTime.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace strikeline {

class CSession;

// Works out the analytics of the session's current market on a worker thread of the lowest
// priority (the windows' thread goes first) and publishes them to the session, so the
// windows never wait for them: a report shows at once and its analytics columns fill in on
// Ready. A newer request cancels the one under way; only the
// newest result is published.
class CAnalyticsWorker final : public QObject {
    Q_OBJECT

public:
    // `clock` gives "now" (universal time); the system clock when empty.
    explicit CAnalyticsWorker(CSession& session, std::function<FileTime()> clock = {},
                              QObject* parent = nullptr);
    ~CAnalyticsWorker() override;

    // After a new market or new analytics settings.
    void Recompute();
    // Waits for the work under way (tests).
    void Wait();

signals:
    // The session's analytics are new.
    void Ready();

private:
    struct CJob;

    CSession& m_Session;
    std::function<FileTime()> m_Clock;
    std::shared_ptr<CJob> m_Current;
    // Cancelled runs finish on their own; they are joined once done, or at the end.
    std::vector<std::shared_ptr<CJob>> m_Retired;
};

} // namespace strikeline
