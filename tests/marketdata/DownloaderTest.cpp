#include "marketdata/Downloader.h"

#include "marketdata/PriceHistory.h"
#include "session/ApplicationState.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "tools/FeedServer.h"
#include "tools/MarketFiles.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace strikeline {
namespace {

using namespace std::chrono_literals;
using Download = CApplicationState::Download;

// A clock that stands where the test puts it; sleeping only moves the tick count on.
class CFakeClock final : public CDownloaderClock {
public:
    std::int64_t Now() const override { return m_Now; }
    std::uint64_t TickCount() const override { return m_Tick; }
    void Sleep(std::chrono::milliseconds duration) override {
        m_Tick += static_cast<std::uint64_t>(duration.count());
        std::this_thread::sleep_for(1ms); // let a worker thread breathe
    }

    std::atomic<std::int64_t> m_Now{0};
    std::atomic<std::uint64_t> m_Tick{1'000'000};
};

// Keeps what the downloader tells whoever runs it.
class CRecordingObserver final : public CDownloaderObserver {
public:
    void OnFetchOutcome(const CFetchOutcome& outcome) override {
        const std::lock_guard lock(m_Mutex);
        m_Outcomes.push_back(outcome);
    }
    void OnMarketPublished(MarketPart part) override {
        const std::lock_guard lock(m_Mutex);
        published.push_back(part);
    }
    void OnLoadProblem(const std::string& message) override {
        const std::lock_guard lock(m_Mutex);
        problems.push_back(message);
    }
    void OnStatusChanged() override { ++statusChanges; }

    std::vector<CFetchOutcome> Take() {
        const std::lock_guard lock(m_Mutex);
        return std::exchange(m_Outcomes, {});
    }

    std::mutex m_Mutex;
    std::vector<MarketPart> published;
    std::vector<std::string> problems;
    std::atomic<int> statusChanges{0};

private:
    std::vector<CFetchOutcome> m_Outcomes;
};

// The server's request log. The server writes it from its own threads, and a line can
// follow the answer by a moment, so reading waits until no line has come for a while.
class CRequestLog final : public std::streambuf {
public:
    // Lines holding `part`.
    int Count(const std::string& part) {
        std::istringstream lines(Settled());
        int count = 0;
        for (std::string line; std::getline(lines, line);) {
            count += line.find(part) != std::string::npos ? 1 : 0;
        }
        return count;
    }
    void Clear() {
        Settled();
        const std::lock_guard lock(m_Mutex);
        m_Text.clear();
    }

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) {
            const std::lock_guard lock(m_Mutex);
            m_Text += static_cast<char>(c);
        }
        return c;
    }
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        const std::lock_guard lock(m_Mutex);
        m_Text.append(data, static_cast<std::size_t>(size));
        return size;
    }

private:
    std::string Settled() {
        std::string last;
        for (int quiet = 0; quiet < 5;) {
            std::this_thread::sleep_for(20ms);
            std::string now;
            {
                const std::lock_guard lock(m_Mutex);
                now = m_Text;
            }
            quiet = now == last ? quiet + 1 : 0;
            last = std::move(now);
        }
        return last;
    }

    std::mutex m_Mutex;
    std::string m_Text;
};

// Seconds since 1970 of a Sydney wall-clock time.
std::int64_t SydneyTime(const char* text) {
    FileTime value = kNoDate;
    EXPECT_TRUE(ParseFileTime(text, TimeZoneMode::Local, value)) << text;
    return UnixFromFileTime(value);
}

// A feed as published at 10:30 on Thursday 24 June 2010 (the day's 10:00 files and the
// previous day's final ones), served on a free port, and a downloader into a data folder.
class DownloaderTest : public test::CSydneyTimeTest {
protected:
    void SetUp() override {
        CMarketGeneratorSettings settings;
        settings.m_Year = 2010;
        settings.m_Month = 6;
        settings.m_Day = 24;
        std::string error;
        ASSERT_TRUE(WriteFeedFolder(m_Feed.Path().string(), settings, 10 * 60 + 30, error))
            << error;
        CFeedServerOptions options;
        options.root = m_Feed.Path().string();
        options.port = 0;
        options.log = &m_Log;
        ASSERT_TRUE(m_Server.Start(options, error)) << error;
        m_Clock.m_Now = SydneyTime("2010-06-24 10:30:00");
        MakeDownloader("http://127.0.0.1:" + std::to_string(m_Server.Port()));
    }

    void MakeDownloader(const std::string& url) {
        m_Downloader.reset();
        m_Downloader = std::make_unique<CDownloader>(
            CDownloaderConfig{m_Data.Path().string(), url, url, m_Limits}, m_Market, m_State,
            m_Clock, m_Observer);
    }

    std::string FeedUrl(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_Server.Port()) + "/" + path;
    }

    // Requests the server saw since the log was last cleared whose line holds `part`.
    int Requests(const std::string& part) { return m_RequestLog.Count(part); }

    // The outcomes of the files a pass installed.
    static std::vector<CFetchOutcome> Fetched(const std::vector<CFetchOutcome>& outcomes) {
        std::vector<CFetchOutcome> fetched;
        std::copy_if(
            outcomes.begin(), outcomes.end(), std::back_inserter(fetched),
            [](const CFetchOutcome& outcome) { return outcome.result == FetchResult::Fetched; });
        return fetched;
    }
    static std::vector<std::string> Files(const std::vector<CFetchOutcome>& outcomes) {
        std::vector<std::string> files;
        for (const CFetchOutcome& outcome : Fetched(outcomes)) {
            files.push_back(outcome.fileName);
        }
        return files;
    }

    const std::string kCall1000 = "datafeed/velomir/velomir.asx.20100624.1000.csv";

    test::CTempFolder m_Feed;
    test::CTempFolder m_Data;
    CRequestLog m_RequestLog;
    std::ostream m_Log{&m_RequestLog};
    CFeedServer m_Server;
    CFakeClock m_Clock;
    CRecordingObserver m_Observer;
    CTransferLimits m_Limits;
    CApplicationState m_State;
    CMarketData m_Market;
    std::unique_ptr<CDownloader> m_Downloader;
};

TEST_F(DownloaderTest, CandidatesRunFromTomorrowBackWithTheirLabels) {
    const auto calls = m_Downloader->OptionCandidates(true, m_Clock.m_Now);
    ASSERT_EQ(calls.size(), 275u);
    EXPECT_EQ(calls[0].url, FeedUrl("datafeed/velomir/velomir.asx.20100625.final.csv"));
    EXPECT_EQ(calls[0].label, "25-Jun-2010 final");
    EXPECT_EQ(calls[1].url, FeedUrl("datafeed/velomir/velomir.asx.20100625.2300.csv"));
    EXPECT_EQ(calls[1].label, "25-Jun-2010 23:00");
    EXPECT_EQ(calls[24].label, "25-Jun-2010 00:00");
    EXPECT_EQ(calls.back().url, FeedUrl("datafeed/velomir/velomir.asx.20100615.0000.csv"));
    EXPECT_EQ(m_Downloader->OptionCandidates(false, m_Clock.m_Now)[0].url,
              FeedUrl("datafeed/velomir/put/velomir.asx.put.20100625.final.csv"));
    const auto dividends = m_Downloader->DividendCandidates(m_Clock.m_Now);
    ASSERT_EQ(dividends.size(), 120u);
    EXPECT_EQ(dividends[0].url, FeedUrl("datafeed/velomirdiv/velomir.asxdividend.20100625.csv"));
    EXPECT_EQ(dividends.back().url,
              FeedUrl("datafeed/velomirdiv/velomir.asxdividend.20100226.csv"));
}

TEST_F(DownloaderTest, FirstPassTakesTheNewestOfEveryFile) {
    const auto taken = m_Downloader->RunPass();
    EXPECT_EQ(Files(taken), (std::vector<std::string>{"call.csv", "put.csv", "dividends.csv",
                                                      "companyname.txt", "top20.txt"}));
    EXPECT_EQ(taken[0].url, FeedUrl(kCall1000));
    EXPECT_EQ(taken[0].label, "24-Jun-2010 10:00");
    EXPECT_EQ(m_State.LastUrl(Download::Call), FeedUrl(kCall1000));
    EXPECT_EQ(m_State.LastDataDateStr(), "24-Jun-2010 10:00");
    EXPECT_EQ(m_State.LastCheckTime(Download::Top20), m_Clock.m_Now);
    EXPECT_EQ(m_Market.Current()->Calls().size(), 100u);
    EXPECT_GT(m_Market.Current()->Dividends().size(), 0u);
    EXPECT_EQ(m_Market.Current()->Top20().GetCount(), 20u);
    EXPECT_EQ(m_Observer.published,
              (std::vector<MarketPart>{MarketPart::Calls, MarketPart::Puts, MarketPart::Dividends,
                                       MarketPart::CompanyNames, MarketPart::Top20}));
    EXPECT_TRUE(m_Observer.problems.empty());
    EXPECT_EQ(m_Downloader->GetStatusText(), "");
    // The price lists' day is kept in the price history: every share of both lists.
    for (const auto* companies : {&m_Market.Current()->Calls(), &m_Market.Current()->Puts()}) {
        for (const CCompanyInfo& company : *companies) {
            std::vector<CPriceHistoryDay> days;
            std::string error;
            ASSERT_TRUE(ReadPriceHistory(m_Data.Path().string(), company.Code(),
                                         std::chrono::year_month_day{}, days, error))
                << error;
            if (company.Last() <= 0) {
                EXPECT_TRUE(days.empty()) << company.Code();
                continue;
            }
            ASSERT_EQ(days.size(), 1u) << company.Code();
            EXPECT_EQ(days[0].date,
                      (std::chrono::year_month_day{std::chrono::year(2010), std::chrono::June,
                                                   std::chrono::day(24)}));
            EXPECT_EQ(days[0].volume, company.Volume());
        }
    }
    // No temporary file is left in the data folder (the five files and the price history),
    // and the files are ordinary ones.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_Data.Path()), {}), 6);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat info {};
    ASSERT_EQ(::stat(m_Data.File("call.csv").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

// At 10:30 with the 10:00 file held and recorded, a pass searches down to it, finds it is
// the one held, records the check and downloads nothing; without the local file it is
// fetched again; a second pass in the same hour asks nothing at all.
TEST_F(DownloaderTest, TheHeldFileIsNotFetchedTwice) {
    m_Downloader->RunPass();
    m_Clock.m_Now = SydneyTime("2010-06-24 11:30:00");
    m_RequestLog.Clear();
    // The names and the Top 20 have no address to compare: they come again every hour.
    EXPECT_EQ(Files(m_Downloader->RunPass()),
              (std::vector<std::string>{"companyname.txt", "top20.txt"}));
    // Tomorrow's 25 candidates, then today's final and 23:00 down to 11:00; the 10:00
    // file is the one held, so it is not asked for.
    EXPECT_EQ(Requests("/velomir.asx.20100625"), 25);
    EXPECT_EQ(Requests("/velomir.asx.20100624"), 14);
    EXPECT_EQ(Requests("/velomir.asx.20100624.1000"), 0);
    EXPECT_EQ(m_State.LastCheckTime(Download::Call), m_Clock.m_Now);

    std::filesystem::remove(m_Data.File("call.csv"));
    m_RequestLog.Clear();
    m_Clock.m_Now = SydneyTime("2010-06-24 12:10:00");
    const auto again = m_Downloader->RunPass();
    EXPECT_EQ(Files(again), (std::vector<std::string>{"call.csv", "companyname.txt", "top20.txt"}));
    EXPECT_EQ(Requests("/velomir.asx.20100624.1000.csv 200"), 1);

    m_RequestLog.Clear();
    m_Clock.m_Now = SydneyTime("2010-06-24 12:59:59");
    EXPECT_TRUE(m_Downloader->RunPass().empty());
    EXPECT_EQ(Requests("GET"), 0) << "same hour, files present: no request";
}

TEST_F(DownloaderTest, FullDownloadFetchesEverythingAtOnce) {
    m_Downloader->RunPass();
    m_Downloader->RequestFullDownload();
    EXPECT_EQ(m_State.LastUrl(Download::Call), "");
    EXPECT_EQ(m_State.LastDataDateStr(), "");
    EXPECT_EQ(Files(m_Downloader->RunPass()).size(), 5u)
        << "even in the same hour, even identical files";
}

// With the network down every file is searched in full, then not again for a minute
// unless a full download is asked for.
TEST_F(DownloaderTest, NetworkDownSearchesAgainAfterAPause) {
    const int port = m_Server.Port();
    m_Server.Stop();
    const std::string url = "http://127.0.0.1:" + std::to_string(port);
    MakeDownloader(url);
    EXPECT_TRUE(Files(m_Downloader->RunPass()).empty());
    EXPECT_EQ(m_State.LastCheckTime(Download::Call), 0) << "a failed search records no check";
    // Between searches the status bar says why, in plain words.
    const std::string status = m_Downloader->GetStatusText();
    EXPECT_EQ(status.rfind("Cannot reach " + url + " (", 0), 0u) << status;
    EXPECT_TRUE(status.ends_with("); trying again in a minute")) << status;

    std::string error;
    CFeedServerOptions options;
    options.root = m_Feed.Path().string();
    options.port = port;
    options.log = &m_Log;
    ASSERT_TRUE(m_Server.Start(options, error)) << error;
    m_Clock.m_Tick += 59'000;
    m_RequestLog.Clear();
    EXPECT_TRUE(m_Downloader->RunPass().empty());
    EXPECT_EQ(Requests("GET"), 0) << "within a minute of a fruitless search";
    m_Clock.m_Tick += 2'000;
    EXPECT_EQ(Files(m_Downloader->RunPass()).size(), 5u);
    EXPECT_EQ(m_Downloader->GetStatusText(), "");

    m_Server.SetFault("/t20.txt", FeedFault::Status500);
    m_Downloader->RequestFullDownload();
    m_Downloader->RunPass();
    m_Downloader->RequestFullDownload();
    m_RequestLog.Clear();
    EXPECT_EQ(Files(m_Downloader->RunPass()).size(), 4u);
    EXPECT_EQ(Requests("/t20.txt 500"), 1) << "a full download does not wait for the pause";
}

// A feed that answers but publishes no option prices is named as such, once per list.
TEST_F(DownloaderTest, AFeedWithoutPricesIsNamedInTheStatus) {
    test::CTempFolder empty;
    CFeedServer server;
    CFeedServerOptions options;
    options.root = empty.Path().string();
    options.port = 0;
    std::string error;
    ASSERT_TRUE(server.Start(options, error)) << error;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port());
    MakeDownloader(url);
    EXPECT_TRUE(Files(m_Downloader->RunPass()).empty());
    EXPECT_EQ(m_Downloader->GetStatusText(), "No call option prices on " + url +
                                                 " for the last 11 days; trying again in a minute");
}

TEST_F(DownloaderTest, ErrorPagesAndCutBodiesAreNeverInstalled) {
    m_Server.SetFault("/datafeed/velomir/velomir.asx.20100624.1000", FeedFault::CutBody);
    m_Server.SetFault("/datafeed/velomir/put/", FeedFault::Status500);
    const auto taken = Fetched(m_Downloader->RunPass());
    ASSERT_FALSE(taken.empty());
    // The 10:00 call file arrives cut off, so the search goes on to yesterday's final.
    EXPECT_EQ(taken[0].url, FeedUrl("datafeed/velomir/velomir.asx.20100623.final.csv"));
    EXPECT_EQ(taken[1].fileName, "dividends.csv") << "no put file: every answer was 500";
    EXPECT_FALSE(std::filesystem::exists(m_Data.File("put.csv")));
}

// Every file a pass looks at has an outcome, returned and told to the observer alike.
TEST_F(DownloaderTest, EveryFileLookedAtHasAnOutcome) {
    const auto first = m_Downloader->RunPass();
    ASSERT_EQ(first.size(), 5u);
    for (const CFetchOutcome& outcome : first) {
        EXPECT_EQ(outcome.result, FetchResult::Fetched) << outcome.fileName;
        EXPECT_EQ(outcome.reason, "") << outcome.fileName;
    }
    EXPECT_EQ(first[1].url, FeedUrl("datafeed/velomir/put/velomir.asx.put.20100624.1000.csv"));
    EXPECT_EQ(first[1].label, "24-Jun-2010 10:00");
    EXPECT_EQ(first[3].url, FeedUrl("compcodes.txt"));
    EXPECT_EQ(first[3].label, "");

    m_Clock.m_Now = SydneyTime("2010-06-24 11:30:00");
    const auto second = m_Downloader->RunPass();
    std::vector<std::pair<std::string, FetchResult>> results;
    for (const CFetchOutcome& outcome : second) {
        results.emplace_back(outcome.fileName, outcome.result);
    }
    EXPECT_EQ(results, (std::vector<std::pair<std::string, FetchResult>>{
                           {"call.csv", FetchResult::Unchanged},
                           {"put.csv", FetchResult::Unchanged},
                           {"dividends.csv", FetchResult::Unchanged},
                           {"companyname.txt", FetchResult::Fetched},
                           {"top20.txt", FetchResult::Fetched}}));
    EXPECT_EQ(second[0].url, FeedUrl(kCall1000)) << "the address found to be the one held";

    const auto told = m_Observer.Take();
    ASSERT_EQ(told.size(), first.size() + second.size());
    for (std::size_t i = 0; i < second.size(); ++i) {
        EXPECT_EQ(told[first.size() + i].fileName, second[i].fileName);
        EXPECT_EQ(told[first.size() + i].result, second[i].result);
        EXPECT_EQ(told[first.size() + i].url, second[i].url);
    }
}

// A newer file that does not read, or reads as nothing, is not installed: the data file
// stays byte for byte, the lists and the remembered address stay, and the outcome and the
// status bar say why. Once the feed mends it, a minute later, it is taken.
TEST_F(DownloaderTest, AFileThatDoesNotReadNeverReplacesTheHeldOne) {
    struct CCase {
        const char* feedPath;
        std::string body;
        std::size_t outcome; // index in the pass's outcomes
        const char* dataFile;
        const char* description;
        const char* problem;
    };
    const std::string garbage("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18);
    const CCase cases[] = {
        {"datafeed/velomir/velomir.asx.20100624.1100.csv",
         "<!DOCTYPE html>\n<html><body>Please sign in to use this network</body></html>\n", 0,
         "call.csv", "The call file", "Unexpected data at line 1"},
        {"datafeed/velomir/velomir.asx.20100624.1100.csv", garbage, 0, "call.csv", "The call file",
         "Unexpected data at line 1"},
        {"datafeed/velomir/velomir.asx.20100624.1100.csv", "CALL OPTIONS\n\n\n", 0, "call.csv",
         "The call file", "it holds no prices"},
        {"datafeed/velomir/put/velomir.asx.put.20100624.1100.csv",
         "PUT OPTIONS\n\nCode,Last,\"$ +/-\",bid,offer,open,high,low,volume,eps\n"
         "BHP,1,2,3,4,5,6,7,8,9\nnot a contract header\n",
         1, "put.csv", "The put file", "Unexpected data at line 5"},
        {"datafeed/velomirdiv/velomir.asxdividend.20100625.csv", "code,date,x,amount,y,z\n", 2,
         "dividends.csv", "The dividends file", "it holds no dividends"},
        {"compcodes.txt", "<html>Moved</html>\n", 3, "companyname.txt", "The company names file",
         "Unexpected data at line 1"},
    };
    m_Downloader->RunPass();
    const std::vector<CCompanyInfo> calls = m_Market.Current()->Calls();
    const std::size_t dividends = m_Market.Current()->Dividends().size();
    const std::size_t names = m_Market.Current()->CompanyNames().GetCount();
    std::map<std::string, std::string> held;
    for (const char* file :
         {"call.csv", "put.csv", "dividends.csv", "companyname.txt", "top20.txt"}) {
        held[file] = test::ReadTextFile(m_Data.File(file));
    }
    int hour = 11;
    for (const CCase& test : cases) {
        SCOPED_TRACE(test.feedPath + std::string(" ") + test.problem);
        const std::string published = std::filesystem::exists(m_Feed.File(test.feedPath))
                                          ? test::ReadTextFile(m_Feed.File(test.feedPath))
                                          : std::string();
        test::WriteTextFile(m_Feed.File(test.feedPath), test.body);
        m_Clock.m_Now = SydneyTime(("2010-06-24 " + std::to_string(hour++) + ":30:00").c_str());
        m_Downloader->RequestFullDownload();
        // A full download forgets the addresses; the held file's is put back, so that the
        // newer bad file is the one found first.
        {
            const CApplicationStateLock lock(m_State);
            m_State.SetLastUrl(Download::Call, FeedUrl(kCall1000));
            m_State.SetLastUrl(Download::Put,
                               FeedUrl("datafeed/velomir/put/velomir.asx.put.20100624.1000.csv"));
        }
        const auto outcomes = m_Downloader->RunPass();
        ASSERT_GT(outcomes.size(), test.outcome);
        const CFetchOutcome& outcome = outcomes[test.outcome];
        EXPECT_EQ(outcome.fileName, test.dataFile);
        EXPECT_EQ(outcome.result, FetchResult::Failed);
        const std::string reason = std::string(test.description) + " at " + FeedUrl(test.feedPath) +
                                   " was not installed (" + test.problem + ")";
        EXPECT_EQ(outcome.reason, reason);
        EXPECT_EQ(m_Downloader->GetStatusText(), reason + "; trying again in a minute");
        for (const auto& [file, text] : held) {
            EXPECT_EQ(test::ReadTextFile(m_Data.File(file)), text) << file;
        }
        EXPECT_EQ(m_Market.Current()->Calls().size(), calls.size());
        EXPECT_EQ(m_Market.Current()->Calls().front().Code(), calls.front().Code());
        EXPECT_EQ(m_Market.Current()->Dividends().size(), dividends);
        EXPECT_EQ(m_Market.Current()->CompanyNames().GetCount(), names);
        EXPECT_TRUE(m_Observer.problems.empty()) << "no message box for every minute's try";
        for (const auto& entry : std::filesystem::directory_iterator(m_Data.Path())) {
            EXPECT_FALSE(entry.path().filename().string().starts_with("qdl_")) << entry.path();
        }
        if (published.empty()) {
            std::filesystem::remove(m_Feed.File(test.feedPath));
        } else {
            test::WriteTextFile(m_Feed.File(test.feedPath), published);
        }
    }

    // The feed mends the newest call file; the next search takes it.
    test::WriteTextFile(m_Feed.File("datafeed/velomir/velomir.asx.20100624.1100.csv"),
                        held["call.csv"]);
    m_Clock.m_Now = SydneyTime("2010-06-24 18:30:00");
    m_Clock.m_Tick += 61'000; // past the pause after the names file's failed search
    const auto mended = m_Downloader->RunPass();
    ASSERT_FALSE(mended.empty());
    EXPECT_EQ(mended[0].result, FetchResult::Fetched);
    EXPECT_EQ(mended[0].label, "24-Jun-2010 11:00");
    EXPECT_EQ(m_State.LastDataDateStr(), "24-Jun-2010 11:00");
    EXPECT_EQ(m_Downloader->GetStatusText(), "");
}

// Temporary downloads left by a run killed during a transfer are removed when the
// downloader starts; one that another downloader is writing (it holds a lock) is not.
TEST_F(DownloaderTest, LeftoverDownloadsAreRemovedAtStart) {
    for (const char* name : {"qdl_callput.a1B2c3", "qdl_top20names.zzzzzz", "notes.txt"}) {
        test::WriteTextFile(m_Data.File(name), "partial body");
    }
    test::WriteTextFile(m_Data.File("qdl_dividends.InUse1"), "being written");
    const int inUse = ::open(m_Data.File("qdl_dividends.InUse1").c_str(), O_RDONLY);
    ASSERT_GE(inUse, 0);
    ASSERT_EQ(::flock(inUse, LOCK_EX), 0);
    m_Server.SetFault("/", FeedFault::Status500); // no download of its own meanwhile
    std::string error;
    ASSERT_TRUE(m_Downloader->Start(error)) << error;
    m_Downloader->Stop();
    ::close(inUse);
    EXPECT_FALSE(std::filesystem::exists(m_Data.File("qdl_callput.a1B2c3")));
    EXPECT_FALSE(std::filesystem::exists(m_Data.File("qdl_top20names.zzzzzz")));
    EXPECT_TRUE(std::filesystem::exists(m_Data.File("qdl_dividends.InUse1")));
    EXPECT_TRUE(std::filesystem::exists(m_Data.File("notes.txt")));
}

TEST_F(DownloaderTest, WorkerRunsPassesAndStopsPromptlyEvenOnAHungServer) {
    std::string error;
    ASSERT_TRUE(m_Downloader->Start(error)) << error;
    ASSERT_TRUE(m_Downloader->Start(error)) << "a second start is a no-op";
    for (int i = 0; i < 2000 && !std::filesystem::exists(m_Data.File("top20.txt")); ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_TRUE(std::filesystem::exists(m_Data.File("top20.txt")));
    m_Downloader->Stop();

    // A server that never answers holds the worker inside a transfer; stopping must not
    // wait for it.
    m_Server.SetFault("/", FeedFault::Hang);
    m_Downloader->RequestFullDownload();
    ASSERT_TRUE(m_Downloader->Start(error)) << error;
    for (int i = 0; i < 2000 && m_Downloader->GetStatusText().empty(); ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(m_Downloader->GetStatusText(), "Downloading call data...");
    auto stopped = std::async(std::launch::async, [&] { m_Downloader->Stop(); });
    EXPECT_EQ(stopped.wait_for(10s), std::future_status::ready)
        << "Stop waited on the hung transfer";
    stopped.wait();
    EXPECT_EQ(m_Downloader->GetStatusText(), "");
}

} // namespace
} // namespace strikeline
