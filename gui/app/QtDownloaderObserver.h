#pragma once

#include "marketdata/FetchOutcome.h"

#include <QObject>
#include <QString>

namespace strikeline {

// Carries what the downloader tells to the user-interface thread: every call is queued
// there as a signal and returns at once, so the downloader's worker never waits for, or
// touches, a window. The application decides what each signal refreshes or shows.
class CQtDownloaderObserver final : public QObject, public CDownloaderObserver {
    Q_OBJECT

public:
    explicit CQtDownloaderObserver(QObject* parent = nullptr) : QObject(parent) {}

    // The status bar reads the outcomes through the downloader's status text; a file
    // installed is told on.
    void OnFetchOutcome(const CFetchOutcome& outcome) override;
    void OnMarketPublished(MarketPart part) override;
    void OnLoadProblem(const std::string& message) override;
    void OnStatusChanged() override;

signals:
    void MarketPublished(strikeline::MarketPart part);
    // A newer `fileName` ("call.csv") of the data date `label` was fetched and installed.
    void FileFetched(QString fileName, QString label);
    void LoadProblem(QString message);
    void StatusTextChanged();
};

} // namespace strikeline
