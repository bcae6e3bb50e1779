#pragma once

#include "marketdata/MarketPart.h"

#include <string>
#include <string_view>

namespace strikeline {

// What became of one data file in a downloader pass.
enum class FetchResult {
    // A newer file was downloaded, read without fault and installed; the lists hold it.
    Fetched,
    // The newest file published is the one already held, or nothing newer is published
    // yet: not a failure.
    Unchanged,
    // Nothing was installed and the file held before stays as it was; `reason` says why.
    Failed,
};

// One data file's outcome, as the status bar and the headless command report it.
struct CFetchOutcome {
    std::string fileName; // "call.csv", "put.csv", "dividends.csv", "companyname.txt", "top20.txt"
    FetchResult result = FetchResult::Unchanged;
    // Fetched: the address taken; Unchanged: the address found to be the one held (empty
    // when nothing newer was found); Failed: the address that failed, empty when the
    // search found nothing at all.
    std::string url;
    // The data date of an option file fetched ("24-Jun-2010 10:00"), else empty.
    std::string label;
    // Failed only: why, in plain words.
    std::string reason;
};

// "fetched", "unchanged" or "failed".
std::string_view FetchResultName(FetchResult result);

// Told each file's outcome as soon as it is known, on the thread that runs the pass (the
// downloader's worker in the program): an implementation that touches a window hands the
// value over to the user-interface thread and returns at once.
class CFetchObserver {
public:
    virtual ~CFetchObserver() = default;
    virtual void OnFetchOutcome(const CFetchOutcome& outcome) = 0;
};

// What the downloader tells whoever runs it, besides each file's outcome. It steers no
// window: the program decides what to refresh and what to show, the headless command
// what to print. Called on the thread that runs the downloader's work, as outcomes are.
class CDownloaderObserver : public CFetchObserver {
public:
    // A new market was published with `part` replaced: a file was fetched, or read from
    // the data folder when the downloader started.
    virtual void OnMarketPublished(MarketPart part) = 0;
    // A data file in the data folder did not read when the downloader started; `message`
    // names it and says why ("Error when parsing .csv file ...").
    virtual void OnLoadProblem(const std::string& message) = 0;
    // The status text changed.
    virtual void OnStatusChanged() = 0;
};

} // namespace strikeline
