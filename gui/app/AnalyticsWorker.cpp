#include "gui/app/AnalyticsWorker.h"

#include "session/Session.h"

#include <QMetaObject>
#include <malloc.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace strikeline {

namespace {

// The analytics take every core for a second or more on a large market; the windows'
// thread goes first, so a report that opens meanwhile builds and paints at full speed. The
// threads the work starts take this priority on.
constexpr int kAnalyticsNice = 19;

void LowerThisThreadsPriority() {
    // On Linux the priority belongs to the thread; a failure leaves the usual one.
    [[maybe_unused]] const int lowered =
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kAnalyticsNice);
}

} // namespace

struct CAnalyticsWorker::CJob {
    std::atomic<bool> cancelled{false};
    std::atomic<bool> done{false};
    std::thread thread;
};

CAnalyticsWorker::CAnalyticsWorker(CSession& session, std::function<FileTime()> clock,
                                   QObject* parent)
    : QObject(parent), m_Session(session), m_Clock(std::move(clock)) {
    if (!m_Clock) {
        m_Clock = CurrentFileTime;
    }
}

CAnalyticsWorker::~CAnalyticsWorker() {
    if (m_Current) {
        m_Current->cancelled = true;
        m_Retired.push_back(std::move(m_Current));
    }
    for (const auto& job : m_Retired) {
        // Wait may have joined it already.
        if (job->thread.joinable()) {
            job->thread.join();
        }
    }
}

void CAnalyticsWorker::Wait() {
    if (m_Current && m_Current->thread.joinable()) {
        m_Current->thread.join();
    }
}

void CAnalyticsWorker::Recompute() {
    // Never waits here: a cancelled run stops within a small batch of series on its own.
    std::erase_if(m_Retired, [](const std::shared_ptr<CJob>& old) {
        if (!old->done) {
            return false;
        }
        if (old->thread.joinable()) {
            old->thread.join();
        }
        return true;
    });
    if (m_Current) {
        m_Current->cancelled = true;
        m_Retired.push_back(std::move(m_Current));
    }
    auto job = std::make_shared<CJob>();
    m_Current = job;
    std::shared_ptr<const CMarketSnapshot> market = m_Session.Market().Current();
    const CAnalyticsContext context =
        MakeAnalyticsContext(m_Clock(), m_Session.AnalyticsSettings());
    // The worker object outlives the thread (its destructor joins it), so the result may be
    // posted to it.
    job->thread = std::thread([job, market = std::move(market), context, this] {
        LowerThisThreadsPriority();
        auto analytics = ComputeMarketAnalytics(*market, context, 0, &job->cancelled);
        // The model's grids and the per-series figures, freed by now, are left in the C
        // library's arenas of the pool's threads; give those pages back, as the program
        // keeps running for hours with what it holds now.
        ::malloc_trim(0);
        if (analytics) {
            QMetaObject::invokeMethod(
                this,
                [this, job, market, analytics = std::move(analytics)]() mutable {
                    if (job != m_Current || job->cancelled) {
                        return; // a newer market is on its way
                    }
                    m_Session.PublishAnalytics(std::move(analytics), market);
                    emit Ready();
                },
                Qt::QueuedConnection);
        }
        job->done = true;
    });
}

} // namespace strikeline
