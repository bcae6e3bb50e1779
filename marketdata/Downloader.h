#pragma once

#include "app/ApplicationState.h"
#include "app/Notifier.h"
#include "marketdata/CompanyList.h"
#include "marketdata/CompanyNameTable.h"
#include "marketdata/DividendList.h"
#include "marketdata/DownloaderClock.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace strikeline {

// Where the downloader puts what it fetches.
struct CMarketDataTargets {
    CCompanyList& calls;
    CCompanyList& puts;
    CDividendList& dividends;
    CSharedNameTable& companyNames;
    CSharedNameTable& top20;
};

struct CDownloaderConfig {
    std::string dataFolder;
    std::string feedUrl; // http://host[:port], no trailing '/'
    std::string siteUrl;
};

// What one pass took: the data file, the address and the label of each file installed.
struct CTakenFile {
    std::string fileName;
    std::string url;
    std::string label;
    bool parsed = true;
};

// Keeps the five data files current: about once per clock hour per file it looks for the
// newest file the feed server or the web site publishes, downloads it, replaces the data
// file, reloads the model and tells the windows (refresh 0, 1 or 3; status changes;
// parse messages). What it took is remembered in the application state, under its lock,
// so that an unchanged file is not fetched twice.
//
// A file whose search finds nothing is searched again no sooner than a minute later
// unless a full download is asked for; every transfer gives up on a silent server, and
// Stop() aborts a transfer under way.
class CDownloader {
public:
    static constexpr std::uint64_t kRetryAfterMs = 60'000;
    static constexpr int kOptionDays = 11;
    static constexpr int kDividendDays = 120;

    CDownloader(CDownloaderConfig config, CMarketDataTargets targets, CApplicationState& state,
                CNotifier& notifier, CDownloaderClock& clock);
    ~CDownloader();
    CDownloader(const CDownloader&) = delete;
    CDownloader& operator=(const CDownloader&) = delete;

    // Loads the data files already on disk, then starts the worker thread. Starting a
    // running downloader succeeds at once.
    bool Start(std::string& error);
    // Asks the worker to stop, aborting a transfer under way, and waits for it.
    void Stop();
    // "Download Call/Put Data": forgets every check and address, so the next pass (at once)
    // fetches every file again.
    void RequestFullDownload();
    // "Downloading call data..." and the like while a file is searched; between searches,
    // in plain words, why the last search of a file found nothing (the feed cannot be
    // reached, or it holds no option prices), else "".
    std::string GetStatusText() const;

    // One pass over the five files on the caller's thread (the worker and the headless
    // command use it). Returns the files installed.
    std::vector<CTakenFile> RunPass();

    // The candidate addresses of an option file, newest first, with their labels.
    struct CCandidate {
        std::string url;
        std::string label;
    };
    std::vector<CCandidate> OptionCandidates(bool call, std::int64_t now) const;
    std::vector<CCandidate> DividendCandidates(std::int64_t now) const;

private:
    enum FileIndex { kCall, kPut, kDividends, kCompanyNames, kTop20, kFileCount };

    void WorkerLoop();
    void SetStatus(std::string text);
    void SetProblem(FileIndex file, std::string text);
    bool SearchAndInstall(FileIndex file, const std::vector<CCandidate>& candidates,
                          std::int64_t now, std::vector<CTakenFile>& taken);
    bool Install(FileIndex file, const std::string& temporary, const CCandidate& candidate,
                 std::int64_t now, std::vector<CTakenFile>& taken);
    bool CheckedThisHour(FileIndex file, std::int64_t now);
    bool Backing(FileIndex file) const;
    std::string MakeTemporary(FileIndex file) const;
    std::string LocalPath(FileIndex file) const;

    CDownloaderConfig m_Config;
    CMarketDataTargets m_Targets;
    CApplicationState& m_State;
    CNotifier& m_Notifier;
    CDownloaderClock& m_Clock;

    std::thread m_Worker;
    std::atomic<bool> m_Stop{false};
    std::atomic<bool> m_DownloadNow{false};
    std::atomic<bool> m_IgnoreRetryPause{false};
    mutable std::mutex m_StatusMutex;
    std::string m_Status;
    // Why each file's last search failed; empty once a search succeeds.
    std::string m_Problems[kFileCount];
    // Tick of the last search of each file that found nothing (0: none), for the pause.
    std::uint64_t m_FailedSearchTick[kFileCount] = {};
};

} // namespace strikeline
