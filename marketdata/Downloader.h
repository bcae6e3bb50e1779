#pragma once

#include "marketdata/DownloadRecord.h"
#include "marketdata/DownloaderClock.h"
#include "marketdata/FetchOutcome.h"
#include "marketdata/FetchProblems.h"
#include "marketdata/MarketSnapshot.h"
#include "marketdata/TransferLimits.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace strikeline {

class CTemporaryDownload;
struct CMarketFileContents;

struct CDownloaderConfig {
    std::string dataFolder;
    std::string feedUrl; // http://host[:port], no trailing '/'
    std::string siteUrl;
    CTransferLimits limits;
};

// Keeps the five data files current: about once per clock hour per file it looks for the
// newest file the feed server or the web site publishes, downloads it into a temporary
// file in the data folder, reads it whole, and only when it reads without fault and holds
// at least one record installs it over the data file and publishes what it read as a new
// market snapshot. What it took is remembered in the download record, under its lock, so
// that an unchanged file is not fetched twice. It tells its observer what happened (each
// file's outcome, each market published, the status text) and leaves it to the observer
// what to refresh or show.
//
// Every file a pass looks at has an outcome (fetched, unchanged, or failed and why),
// returned by RunPass and told to the observer as it is known. A failed file keeps the
// data file and the market as they were. A file whose search fails or finds nothing is
// searched again no sooner than a minute later unless a full download is asked for. A
// transfer gives up on a silent server, at the time limit and at the size limit, and
// Stop() aborts a transfer under way; the search of a file stops at a server that cannot
// be reached, a transfer too slow or too large, a disk that cannot take the file, or a
// file that does not read, and goes on past an address that answers with an error or
// breaks off.
class CDownloader {
public:
    static constexpr std::uint64_t kRetryAfterMs = 60'000;
    static constexpr int kOptionDays = 11;
    static constexpr int kDividendDays = 120;

    // `market`, `record`, `clock` and `observer` must outlive the downloader.
    CDownloader(CDownloaderConfig config, CMarketData& market, CDownloadRecord& record,
                CDownloaderClock& clock, CDownloaderObserver& observer);
    ~CDownloader();
    CDownloader(const CDownloader&) = delete;
    CDownloader& operator=(const CDownloader&) = delete;

    // Deletes the temporary downloads a killed run left behind, publishes the data files
    // already on disk (telling the observer of each part published and each file that did
    // not read), then starts the worker thread. Starting a running downloader
    // succeeds at once.
    bool Start(std::string& error);
    // Asks the worker to stop, aborting a transfer under way, and waits for it.
    void Stop();
    // "Download Call/Put Data": forgets every check and address, so the next pass (at once)
    // fetches every file again.
    void RequestFullDownload();
    // "Downloading call data..." and the like while a file is searched; between searches,
    // in plain words, why the last search of a file failed (the feed cannot be reached, it
    // holds no option prices, a file was too slow, too large or did not read), else "".
    std::string GetStatusText() const;

    // One pass over the five files on the caller's thread (the worker and the headless
    // command use it). Returns the outcome of each file the pass looked at, in search
    // order; a file checked this hour, or pausing after a failed search, has none.
    std::vector<CFetchOutcome> RunPass();

    // The candidate addresses of an option file, newest first, with their labels.
    struct CCandidate {
        std::string url;
        std::string label;
        // The trading day of a price list, "%Y%m%d".
        std::string day;
    };
    std::vector<CCandidate> OptionCandidates(bool call, std::int64_t now) const;
    std::vector<CCandidate> DividendCandidates(std::int64_t now) const;

private:
    enum FileIndex { kCall, kPut, kDividends, kCompanyNames, kTop20, kFileCount };

    void WorkerLoop();
    void SetStatus(std::string text);
    // The search of one file; no outcome when it was skipped or stopped.
    std::optional<CFetchOutcome> Search(FileIndex file, const std::vector<CCandidate>& candidates,
                                        std::int64_t now);
    // Reads the downloaded file and installs it; the outcome is Fetched or Failed.
    CFetchOutcome Install(FileIndex file, CTemporaryDownload& temporary,
                          const CCandidate& candidate, std::int64_t now);
    void Publish(FileIndex file, CMarketFileContents contents);
    // Keeps the shares' day of a fetched price list in the data folder's price history.
    void RecordHistory(const std::vector<CCompanyInfo>& companies, const std::string& day);
    void LoadDataFiles();
    void Report(const CFetchOutcome& outcome);
    bool CheckedThisHour(FileIndex file, std::int64_t now);
    bool Backing(FileIndex file) const;
    std::string LocalPath(FileIndex file) const;

    CDownloaderConfig m_Config;
    CMarketData& m_Market;
    CDownloadRecord& m_Record;
    CDownloaderClock& m_Clock;
    CDownloaderObserver& m_Observer;

    std::thread m_Worker;
    std::atomic<bool> m_Stop{false};
    std::atomic<bool> m_DownloadNow{false};
    std::atomic<bool> m_IgnoreRetryPause{false};
    mutable std::mutex m_StatusMutex;
    std::string m_Status;
    // Why each file's last search failed, until one succeeds.
    CFetchProblems m_Problems;
    // Tick of the last search of each file that found nothing (0: none), for the pause.
    std::uint64_t m_FailedSearchTick[kFileCount] = {};
};

} // namespace strikeline
