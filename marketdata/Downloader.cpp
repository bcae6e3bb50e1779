#include "marketdata/Downloader.h"

#include "marketdata/FieldScan.h"
#include "marketdata/HttpTransfer.h"
#include "marketdata/MarketDataLoaders.h"
#include "platform/AtomicFile.h"
#include "platform/UserFolders.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace strikeline {

namespace {

constexpr std::int64_t kSecondsPerHour = 3600;

struct CFileTraits {
    std::string_view fileName;
    const char* status;
    const char* temporaryPrefix;
    CApplicationState::Download download;
};

constexpr CFileTraits kFiles[] = {
    {kCallFileName, "Downloading call data...", "qdl_callput", CApplicationState::Download::Call},
    {kPutFileName, "Downloading put data...", "qdl_callput", CApplicationState::Download::Put},
    {kDividendsFileName, "Downloading dividends data...", "qdl_dividends",
     CApplicationState::Download::Dividends},
    {kCompanyNamesFileName, "Downloading company names...", "qdl_companynames",
     CApplicationState::Download::CompanyNames},
    {kTop20FileName, "Downloading top20 names...", "qdl_top20names",
     CApplicationState::Download::Top20},
};

// The local calendar day `offset` days from now's, as "%Y%m%d" and as "%d-%b-%Y" (the
// month as the user's locale abbreviates it).
struct CLocalDay {
    std::string compact;
    std::string label;
};

CLocalDay LocalDay(std::int64_t now, int offset) {
    const std::time_t time = static_cast<std::time_t>(now);
    std::tm day{};
    localtime_r(&time, &day);
    day.tm_mday += offset;
    day.tm_hour = 12; // midday: no daylight-saving change can move it to another day
    day.tm_min = day.tm_sec = 0;
    day.tm_isdst = -1;
    std::mktime(&day);
    char compact[16];
    char label[64];
    std::strftime(compact, sizeof compact, "%Y%m%d", &day);
    std::strftime(label, sizeof label, "%d-%b-%Y", &day);
    return {compact, label};
}

std::int64_t FileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

} // namespace

void CSystemClock::Sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

CDownloader::CDownloader(CDownloaderConfig config, CMarketDataTargets targets,
                         CApplicationState& state, CNotifier& notifier, CDownloaderClock& clock)
    : m_Config(std::move(config)), m_Targets(targets), m_State(state), m_Notifier(notifier),
      m_Clock(clock) {}

CDownloader::~CDownloader() {
    Stop();
}

bool CDownloader::Start(std::string& error) {
    if (m_Worker.joinable()) {
        return true;
    }
    SetStatus({});
    m_DownloadNow = false;
    const std::string& folder = m_Config.dataFolder;
    LoadOptionFile(true, folder, m_Targets.calls, m_Notifier);
    LoadOptionFile(false, folder, m_Targets.puts, m_Notifier);
    LoadDividendsFile(folder, m_Targets.dividends, m_Notifier);
    LoadCompanyNamesFile(folder, m_Targets.companyNames, m_Notifier);
    LoadTop20File(folder, m_Targets.top20, m_Notifier);
    m_Stop = false;
    try {
        m_Worker = std::thread(&CDownloader::WorkerLoop, this);
    } catch (const std::system_error& failure) {
        error = failure.what();
        return false;
    }
    return true;
}

void CDownloader::Stop() {
    if (!m_Worker.joinable()) {
        return;
    }
    m_Stop = true;
    m_Worker.join();
}

void CDownloader::RequestFullDownload() {
    {
        const CApplicationStateLock lock(m_State);
        for (const CFileTraits& file : kFiles) {
            m_State.SetLastCheckTime(file.download, 0);
            m_State.SetLastUrl(file.download, {});
        }
        m_State.SetLastDataDateStr({});
    }
    m_IgnoreRetryPause = true;
    m_DownloadNow = true;
}

std::string CDownloader::GetStatusText() const {
    const std::lock_guard lock(m_StatusMutex);
    if (!m_Status.empty()) {
        return m_Status;
    }
    for (const std::string& problem : m_Problems) {
        if (!problem.empty()) {
            return problem;
        }
    }
    return {};
}

void CDownloader::SetProblem(FileIndex file, std::string text) {
    const std::lock_guard lock(m_StatusMutex);
    m_Problems[file] = std::move(text);
}

void CDownloader::SetStatus(std::string text) {
    const std::lock_guard lock(m_StatusMutex);
    m_Status = std::move(text);
}

void CDownloader::WorkerLoop() {
    m_Clock.Sleep(std::chrono::milliseconds(1000));
    std::uint64_t lastPass = m_Clock.TickCount();
    while (!m_Stop) {
        m_Clock.Sleep(std::chrono::milliseconds(100));
        if (!m_DownloadNow && m_Clock.TickCount() - lastPass < 1000) {
            continue;
        }
        m_DownloadNow = false;
        lastPass = m_Clock.TickCount();
        RunPass();
    }
    SetStatus({});
}

std::vector<CDownloader::CCandidate> CDownloader::OptionCandidates(bool call,
                                                                   std::int64_t now) const {
    const std::string base = m_Config.feedUrl + (call ? "/datafeed/velomir/velomir.asx."
                                                      : "/datafeed/velomir/put/velomir.asx.put.");
    std::vector<CCandidate> candidates;
    candidates.reserve(kOptionDays * 25);
    for (int offset = 1; offset > 1 - kOptionDays; --offset) {
        const CLocalDay day = LocalDay(now, offset);
        candidates.push_back({base + day.compact + ".final.csv", day.label + " final"});
        for (int hour = 23; hour >= 0; --hour) {
            char suffix[8];
            char label[8];
            std::snprintf(suffix, sizeof suffix, ".%02d00", hour);
            std::snprintf(label, sizeof label, " %02d:00", hour);
            candidates.push_back({base + day.compact + suffix + ".csv", day.label + label});
        }
    }
    return candidates;
}

std::vector<CDownloader::CCandidate> CDownloader::DividendCandidates(std::int64_t now) const {
    std::vector<CCandidate> candidates;
    candidates.reserve(kDividendDays);
    for (int offset = 1; offset > 1 - kDividendDays; --offset) {
        candidates.push_back({m_Config.feedUrl + "/datafeed/velomirdiv/velomir.asxdividend." +
                                  LocalDay(now, offset).compact + ".csv",
                              {}});
    }
    return candidates;
}

std::vector<CTakenFile> CDownloader::RunPass() {
    if (m_IgnoreRetryPause.exchange(false)) {
        std::fill(std::begin(m_FailedSearchTick), std::end(m_FailedSearchTick), 0);
    }
    const std::int64_t now = m_Clock.Now();
    std::vector<CTakenFile> taken;
    for (int file = kCall; file < kFileCount && !m_Stop; ++file) {
        const auto index = static_cast<FileIndex>(file);
        switch (index) {
        case kCall:
        case kPut:
            SearchAndInstall(index, OptionCandidates(index == kCall, now), now, taken);
            break;
        case kDividends:
            SearchAndInstall(index, DividendCandidates(now), now, taken);
            break;
        case kCompanyNames:
            // One address each, and no address kept to compare with.
            SearchAndInstall(index, {{m_Config.siteUrl + "/compcodes.txt", {}}}, now, taken);
            break;
        case kTop20:
            SearchAndInstall(index, {{m_Config.siteUrl + "/t20.txt", {}}}, now, taken);
            break;
        case kFileCount:
            break;
        }
    }
    SetStatus({});
    m_Notifier.StatusChanged();
    return taken;
}

std::string CDownloader::LocalPath(FileIndex file) const {
    return PathInFolder(m_Config.dataFolder, kFiles[file].fileName);
}

bool CDownloader::CheckedThisHour(FileIndex file, std::int64_t now) {
    std::int64_t last = 0;
    {
        const CApplicationStateLock lock(m_State);
        last = m_State.LastCheckTime(kFiles[file].download);
    }
    return now / kSecondsPerHour == last / kSecondsPerHour && PathExists(LocalPath(file));
}

bool CDownloader::Backing(FileIndex file) const {
    const std::uint64_t failed = m_FailedSearchTick[file];
    return failed != 0 && m_Clock.TickCount() - failed < kRetryAfterMs;
}

// The temporary file sits in the data folder, so that installing it is one atomic rename
// (a rename from another file system would fail).
std::string CDownloader::MakeTemporary(FileIndex file) const {
    return CreateTemporaryFile(PathInFolder(m_Config.dataFolder, kFiles[file].temporaryPrefix));
}

bool CDownloader::SearchAndInstall(FileIndex file, const std::vector<CCandidate>& candidates,
                                   std::int64_t now, std::vector<CTakenFile>& taken) {
    if (CheckedThisHour(file, now) || Backing(file)) {
        return false;
    }
    SetStatus(kFiles[file].status);
    m_Notifier.StatusChanged();
    const std::string temporary = MakeTemporary(file);
    if (temporary.empty()) {
        return false;
    }
    const bool held = FileSize(LocalPath(file)) > 0;
    CHttpTransfer transfer(&m_Stop);
    for (const CCandidate& candidate : candidates) {
        if (held) {
            const CApplicationStateLock lock(m_State);
            if (EqualsIgnoringCase(m_State.LastUrl(kFiles[file].download), candidate.url)) {
                // The newest published file is the one already held.
                SetProblem(file, {});
                m_State.SetLastCheckTime(kFiles[file].download, static_cast<std::int32_t>(now));
                ::unlink(temporary.c_str());
                return false;
            }
        }
        std::string error;
        if (transfer.DownloadToFile(candidate.url, temporary, error) && FileSize(temporary) > 0) {
            SetProblem(file, {});
            return Install(file, temporary, candidate, now, taken);
        }
        if (m_Stop) {
            break;
        }
        if (transfer.LastFailureWasUnreachable()) {
            // Every other address is on the same server: a silent one would hold the search
            // for the connect timeout of each.
            const std::string server =
                file == kCompanyNames || file == kTop20 ? m_Config.siteUrl : m_Config.feedUrl;
            const std::size_t reason = error.find(": ");
            SetProblem(file, "Cannot reach " + server + " (" +
                                 (reason == std::string::npos ? error : error.substr(reason + 2)) +
                                 "); trying again in a minute");
            break;
        }
        if (&candidate == &candidates.back() && (file == kCall || file == kPut) && !held) {
            SetProblem(file, "No " + std::string(file == kCall ? "call" : "put") +
                                 " option prices on " + m_Config.feedUrl + " for the last " +
                                 std::to_string(kOptionDays) + " days; trying again in a minute");
        }
    }
    ::unlink(temporary.c_str());
    if (!m_Stop) {
        m_FailedSearchTick[file] = std::max<std::uint64_t>(m_Clock.TickCount(), 1);
    }
    return false;
}

bool CDownloader::Install(FileIndex file, const std::string& temporary, const CCandidate& candidate,
                          std::int64_t now, std::vector<CTakenFile>& taken) {
    if (::rename(temporary.c_str(), LocalPath(file).c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    m_FailedSearchTick[file] = 0;
    const std::string& folder = m_Config.dataFolder;
    bool parsed = true;
    switch (file) {
    case kCall:
    case kPut:
        parsed = LoadOptionFile(file == kCall, folder,
                                file == kCall ? m_Targets.calls : m_Targets.puts, m_Notifier);
        break;
    case kDividends:
        parsed = LoadDividendsFile(folder, m_Targets.dividends, m_Notifier);
        break;
    case kCompanyNames:
        parsed = LoadCompanyNamesFile(folder, m_Targets.companyNames, m_Notifier);
        break;
    case kTop20:
        parsed = LoadTop20File(folder, m_Targets.top20, m_Notifier);
        break;
    case kFileCount:
        break;
    }
    {
        // A file that does not parse is still taken: it is not fetched again until a newer
        // one is published.
        const CApplicationStateLock lock(m_State);
        const auto download = kFiles[file].download;
        if (file == kCall || file == kPut) {
            m_State.SetLastDataDateStr(candidate.label);
        }
        if (file == kCall || file == kPut || file == kDividends) {
            m_State.SetLastUrl(download, candidate.url);
        }
        m_State.SetLastCheckTime(download, static_cast<std::int32_t>(now));
    }
    taken.push_back({std::string(kFiles[file].fileName), candidate.url, candidate.label, parsed});
    return true;
}

} // namespace strikeline
