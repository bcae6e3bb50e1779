#include "gui/app/QtDownloaderObserver.h"

namespace strikeline {

// Signals emitted from the worker reach receivers on the user-interface thread through
// queued connections (the receivers live there), so emitting is all it takes.
void CQtDownloaderObserver::OnFetchOutcome(const CFetchOutcome& outcome) {
    if (outcome.result == FetchResult::Fetched) {
        emit FileFetched(QString::fromStdString(outcome.fileName),
                         QString::fromStdString(outcome.label));
    }
}

void CQtDownloaderObserver::OnMarketPublished(MarketPart part) {
    emit MarketPublished(part);
}

void CQtDownloaderObserver::OnLoadProblem(const std::string& message) {
    emit LoadProblem(QString::fromStdString(message));
}

void CQtDownloaderObserver::OnStatusChanged() {
    emit StatusTextChanged();
}

} // namespace strikeline
