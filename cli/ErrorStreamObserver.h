#pragma once

#include "marketdata/FetchOutcome.h"

#include <ostream>

namespace strikeline {

// The headless command's downloader observer: a data file that does not read goes to
// standard error; there is no window to refresh and no status bar, and the outcomes are
// printed from what the pass returns.
class CErrorStreamObserver final : public CDownloaderObserver {
public:
    explicit CErrorStreamObserver(std::ostream& err) : m_Err(err) {}
    void OnFetchOutcome(const CFetchOutcome&) override {}
    void OnMarketPublished(MarketPart) override {}
    void OnLoadProblem(const std::string& message) override { m_Err << message << '\n'; }
    void OnStatusChanged() override {}

private:
    std::ostream& m_Err;
};

} // namespace strikeline
