#include "marketdata/Downloader.h"

#include "marketdata/FieldScan.h"
#include "marketdata/HttpTransfer.h"
#include "marketdata/MarketDataLoaders.h"
#include "marketdata/MarketFile.h"
#include "marketdata/PriceHistory.h"
#include "marketdata/TemporaryDownload.h"
#include "platform/AtomicFile.h"
#include "platform/UserFolders.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <future>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace strikeline {

namespace {

constexpr std::int64_t kSecondsPerHour = 3600;

struct CFileTraits {
    std::string_view fileName;
    const char* status;
    const char* temporaryPrefix;
    CDownloadRecord::Download download;
    MarketFile kind;
    // How the file is named in an outcome's reason.
    const char* description;
};

constexpr CFileTraits kFiles[] = {
    {kCallFileName, "Downloading call data...", "qdl_callput", CDownloadRecord::Download::Call,
     MarketFile::Calls, "The call file"},
    {kPutFileName, "Downloading put data...", "qdl_callput", CDownloadRecord::Download::Put,
     MarketFile::Puts, "The put file"},
    {kDividendsFileName, "Downloading dividends data...", "qdl_dividends",
     CDownloadRecord::Download::Dividends, MarketFile::Dividends, "The dividends file"},
    {kCompanyNamesFileName, "Downloading company names...", "qdl_companynames",
     CDownloadRecord::Download::CompanyNames, MarketFile::CompanyNames, "The company names file"},
    {kTop20FileName, "Downloading top20 names...", "qdl_top20names",
     CDownloadRecord::Download::Top20, MarketFile::Top20, "The Top 20 file"},
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

CDownloader::CDownloader(CDownloaderConfig config, CMarketData& market, CDownloadRecord& record,
                         CDownloaderClock& clock, CDownloaderObserver& observer)
    : m_Config(std::move(config)), m_Market(market), m_Record(record), m_Clock(clock),
      m_Observer(observer) {}

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
    RemoveLeftoverDownloads(folder);
    LoadDataFiles();
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
        const CDownloadRecordLock lock(m_Record);
        for (const CFileTraits& file : kFiles) {
            m_Record.SetLastCheckTime(file.download, 0);
            m_Record.SetLastUrl(file.download, {});
        }
        m_Record.SetLastDataDateStr({});
    }
    m_IgnoreRetryPause = true;
    m_DownloadNow = true;
}

std::string CDownloader::GetStatusText() const {
    {
        const std::lock_guard lock(m_StatusMutex);
        if (!m_Status.empty()) {
            return m_Status;
        }
    }
    return m_Problems.Text();
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
        candidates.push_back(
            {base + day.compact + ".final.csv", day.label + " final", day.compact});
        for (int hour = 23; hour >= 0; --hour) {
            char suffix[8];
            char label[8];
            std::snprintf(suffix, sizeof suffix, ".%02d00", hour);
            std::snprintf(label, sizeof label, " %02d:00", hour);
            candidates.push_back(
                {base + day.compact + suffix + ".csv", day.label + label, day.compact});
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
                              {},
                              {}});
    }
    return candidates;
}

std::vector<CFetchOutcome> CDownloader::RunPass() {
    if (m_IgnoreRetryPause.exchange(false)) {
        std::fill(std::begin(m_FailedSearchTick), std::end(m_FailedSearchTick), 0);
    }
    const std::int64_t now = m_Clock.Now();
    std::vector<CFetchOutcome> outcomes;
    for (int file = kCall; file < kFileCount && !m_Stop; ++file) {
        const auto index = static_cast<FileIndex>(file);
        std::optional<CFetchOutcome> outcome;
        switch (index) {
        case kCall:
        case kPut:
            outcome = Search(index, OptionCandidates(index == kCall, now), now);
            break;
        case kDividends:
            outcome = Search(index, DividendCandidates(now), now);
            break;
        case kCompanyNames:
            // One address each, and no address kept to compare with.
            outcome = Search(index, {{m_Config.siteUrl + "/compcodes.txt", {}, {}}}, now);
            break;
        case kTop20:
            outcome = Search(index, {{m_Config.siteUrl + "/t20.txt", {}, {}}}, now);
            break;
        case kFileCount:
            break;
        }
        if (outcome) {
            outcomes.push_back(std::move(*outcome));
        }
    }
    SetStatus({});
    m_Observer.OnStatusChanged();
    return outcomes;
}

std::string CDownloader::LocalPath(FileIndex file) const {
    return PathInFolder(m_Config.dataFolder, kFiles[file].fileName);
}

bool CDownloader::CheckedThisHour(FileIndex file, std::int64_t now) {
    std::int64_t last = 0;
    {
        const CDownloadRecordLock lock(m_Record);
        last = m_Record.LastCheckTime(kFiles[file].download);
    }
    return now / kSecondsPerHour == last / kSecondsPerHour && PathExists(LocalPath(file));
}

bool CDownloader::Backing(FileIndex file) const {
    const std::uint64_t failed = m_FailedSearchTick[file];
    return failed != 0 && m_Clock.TickCount() - failed < kRetryAfterMs;
}

void CDownloader::Report(const CFetchOutcome& outcome) {
    m_Problems.OnFetchOutcome(outcome);
    m_Observer.OnFetchOutcome(outcome);
}

std::optional<CFetchOutcome>
CDownloader::Search(FileIndex file, const std::vector<CCandidate>& candidates, std::int64_t now) {
    if (CheckedThisHour(file, now) || Backing(file)) {
        return std::nullopt;
    }
    SetStatus(kFiles[file].status);
    m_Observer.OnStatusChanged();
    const CFileTraits& traits = kFiles[file];
    CFetchOutcome outcome{std::string(traits.fileName), FetchResult::Failed, {}, {}, {}};
    const auto finish = [&]() -> std::optional<CFetchOutcome> {
        const bool searchAgainSoon = outcome.result == FetchResult::Failed || outcome.url.empty();
        m_FailedSearchTick[file] =
            searchAgainSoon ? std::max<std::uint64_t>(m_Clock.TickCount(), 1) : 0;
        Report(outcome);
        return outcome;
    };

    CTemporaryDownload temporary(m_Config.dataFolder, traits.temporaryPrefix);
    if (temporary.Path().empty()) {
        outcome.reason = "Unable to make a temporary file in " + m_Config.dataFolder;
        return finish();
    }
    const bool held = FileSize(LocalPath(file)) > 0;
    const bool onSite = file == kCompanyNames || file == kTop20;
    CHttpTransfer transfer(&m_Stop, m_Config.limits);
    // An address that answered with an error or broke off: the search goes on to older
    // files, but finding none, or only the one held, is then no success.
    std::string skipped;
    for (const CCandidate& candidate : candidates) {
        if (held) {
            const CDownloadRecordLock lock(m_Record);
            if (EqualsIgnoringCase(m_Record.LastUrl(traits.download), candidate.url)) {
                if (!skipped.empty()) {
                    break;
                }
                // The newest published file is the one already held.
                m_Record.SetLastCheckTime(traits.download, static_cast<std::int32_t>(now));
                outcome.result = FetchResult::Unchanged;
                outcome.url = candidate.url;
                return finish();
            }
        }
        std::string error;
        if (transfer.DownloadToFile(candidate.url, temporary.Path(), error)) {
            if (FileSize(temporary.Path()) > 0) {
                outcome = Install(file, temporary, candidate, now);
                return finish();
            }
            continue; // an empty answer publishes nothing
        }
        if (m_Stop) {
            return std::nullopt;
        }
        const std::string where = std::string(traits.description) + " at " + candidate.url;
        switch (transfer.LastFailure()) {
        case TransferFailure::NotFound:
            continue;
        case TransferFailure::HttpError:
        case TransferFailure::Broken:
            if (skipped.empty()) {
                skipped = where + " could not be fetched (" + error + ")";
                outcome.url = candidate.url;
            }
            continue;
        case TransferFailure::Unreachable:
            // Every other address is on the same server: a silent one would hold the search
            // for the connect timeout of each.
            outcome.reason = "Cannot reach " + (onSite ? m_Config.siteUrl : m_Config.feedUrl) +
                             " (" + error + ")";
            break;
        case TransferFailure::WriteFailed:
            outcome.reason = where + " could not be saved (" + error + ")";
            break;
        case TransferFailure::TooSlow:
        case TransferFailure::TooLarge:
        case TransferFailure::Aborted:
        case TransferFailure::None:
            outcome.reason = where + " could not be fetched (" + error + ")";
            break;
        }
        outcome.url = candidate.url;
        return finish();
    }
    if (!skipped.empty()) {
        outcome.reason = skipped;
    } else if (held) {
        // Nothing newer is published yet.
        outcome.result = FetchResult::Unchanged;
    } else if (file == kCall || file == kPut) {
        outcome.reason = "No " + std::string(file == kCall ? "call" : "put") +
                         " option prices on " + m_Config.feedUrl + " for the last " +
                         std::to_string(kOptionDays) + " days";
    } else if (file == kDividends) {
        outcome.reason = "No dividends on " + m_Config.feedUrl + " for the last " +
                         std::to_string(kDividendDays) + " days";
    } else {
        outcome.reason = "Nothing is published at " + candidates.front().url;
    }
    return finish();
}

CFetchOutcome CDownloader::Install(FileIndex file, CTemporaryDownload& temporary,
                                   const CCandidate& candidate, std::int64_t now) {
    const CFileTraits& traits = kFiles[file];
    CFetchOutcome outcome{std::string(traits.fileName), FetchResult::Failed, candidate.url, {}, {}};
    CMarketFileContents contents;
    std::string problem;
    if (!ReadMarketFile(traits.kind, temporary.Path(), contents, problem) ||
        !temporary.InstallAs(LocalPath(file), problem)) {
        outcome.reason = std::string(traits.description) + " at " + candidate.url +
                         " was not installed (" + problem + ")";
        return outcome;
    }
    if (file == kCall || file == kPut) {
        RecordHistory(contents.companies, candidate.day);
    }
    Publish(file, std::move(contents));
    {
        const CDownloadRecordLock lock(m_Record);
        if (file == kCall || file == kPut) {
            m_Record.SetLastDataDateStr(candidate.label);
        }
        if (file == kCall || file == kPut || file == kDividends) {
            m_Record.SetLastUrl(traits.download, candidate.url);
        }
        m_Record.SetLastCheckTime(traits.download, static_cast<std::int32_t>(now));
    }
    outcome.result = FetchResult::Fetched;
    outcome.label = candidate.label;
    return outcome;
}

void CDownloader::RecordHistory(const std::vector<CCompanyInfo>& companies,
                                const std::string& day) {
    int year = 0;
    unsigned month = 0;
    unsigned date = 0;
    if (std::sscanf(day.c_str(), "%4d%2u%2u", &year, &month, &date) != 3) {
        return;
    }
    std::vector<CPriceHistoryShare> shares;
    shares.reserve(companies.size());
    for (const CCompanyInfo& company : companies) {
        shares.push_back({company.Code(), company.Last(), company.Volume()});
    }
    std::string error;
    if (!RecordPriceHistory(m_Config.dataFolder,
                            std::chrono::year_month_day{std::chrono::year(year),
                                                        std::chrono::month(month),
                                                        std::chrono::day(date)},
                            shares, error)) {
        // The prices themselves are installed; only their history is missing a day.
        m_Observer.OnLoadProblem("The price history could not be saved.\n\n" + error);
    }
}

void CDownloader::LoadDataFiles() {
    const std::string& folder = m_Config.dataFolder;
    const auto tell = [this](MarketPart part, const CMarketFileLoad& load) {
        if (load.problem) {
            m_Observer.OnLoadProblem(*load.problem);
        }
        if (load.published) {
            m_Observer.OnMarketPublished(part);
        }
    };
    // The two price lists are the bulk of the reading: the puts are read on a thread of
    // their own meanwhile (publishing is safe from any thread), or here when there is none.
    std::future<CMarketFileLoad> puts;
    try {
        puts = std::async(std::launch::async,
                          [this, &folder] { return LoadOptionFile(false, folder, m_Market); });
    } catch (const std::system_error&) {
    }
    tell(MarketPart::Calls, LoadOptionFile(true, folder, m_Market));
    tell(MarketPart::Puts, puts.valid() ? puts.get() : LoadOptionFile(false, folder, m_Market));
    tell(MarketPart::Dividends, LoadDividendsFile(folder, m_Market));
    tell(MarketPart::CompanyNames, LoadCompanyNamesFile(folder, m_Market));
    tell(MarketPart::Top20, LoadTop20File(folder, m_Market));
}

void CDownloader::Publish(FileIndex file, CMarketFileContents contents) {
    switch (file) {
    case kCall:
        m_Market.PublishCalls(std::move(contents.companies));
        m_Observer.OnMarketPublished(MarketPart::Calls);
        break;
    case kPut:
        m_Market.PublishPuts(std::move(contents.companies));
        m_Observer.OnMarketPublished(MarketPart::Puts);
        break;
    case kDividends:
        m_Market.PublishDividends(std::move(contents.dividends));
        m_Observer.OnMarketPublished(MarketPart::Dividends);
        break;
    case kCompanyNames:
        m_Market.PublishCompanyNames(std::move(contents.names));
        m_Observer.OnMarketPublished(MarketPart::CompanyNames);
        break;
    case kTop20:
        m_Market.PublishTop20(std::move(contents.names));
        m_Observer.OnMarketPublished(MarketPart::Top20);
        break;
    case kFileCount:
        break;
    }
}

} // namespace strikeline
