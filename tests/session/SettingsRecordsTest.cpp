#include "session/SettingsRecords.h"

#include "session/UrlCipher.h"
#include "storage/RegistryStorage.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>

namespace strikeline {
namespace {

using Download = CApplicationState::Download;

class SettingsRecordsTest : public ::testing::Test {
protected:
    std::string Path() const { return m_Folder.File("settings.reg"); }

    // One run of the program: read at start-up, then whatever `change` does, then write at
    // shutdown, each run with its own objects, so only the file carries anything over.
    struct Run {
        CRegistryFile registry;
        CApplicationState state;
        CReportSettings call;
        CReportSettings put;
        CDataSources sources;
        CAnalyticsSettings analytics;
        std::string message;
        bool readOk = false;
    };
    void Start(Run& run) {
        run.readOk =
            ReadSettings(run.registry, Path(),
                         {&run.state, run.call, run.put, run.sources, &run.analytics}, run.message);
    }
    void Stop(Run& run) {
        std::string error;
        ASSERT_TRUE(WriteSettings(run.registry, Path(),
                                  {&run.state, run.call, run.put, run.sources, &run.analytics},
                                  error))
            << error;
    }

    test::CTempFolder m_Folder;
};

TEST_F(SettingsRecordsTest, FirstRunHasDefaultsAndExitCreatesTheTree) {
    Run first;
    Start(first);
    EXPECT_TRUE(first.readOk);
    EXPECT_EQ(first.message, "");
    EXPECT_EQ(first.call, CReportSettings());
    EXPECT_EQ(first.state.ColorScheme(), CColorScheme());
    EXPECT_FALSE(std::filesystem::exists(Path())) << "start-up creates nothing";
    Stop(first);

    CRegistryFile written;
    std::string error;
    ASSERT_TRUE(written.Load(Path(), error));
    const std::string root = std::string(kRegistryRoot) + "\\Settings\\";
    for (const char* key : {"AppConfig", "AppConfig\\ColorScheme", "CallReport",
                            "CallReport\\CompanyList", "PutReport"}) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(written.CurrentUser()->Find(root + key));
    }
    const std::string text = test::ReadTextFile(Path());
    EXPECT_NE(
        text.find(
            "[HKEY_CURRENT_USER\\Software\\Varnel Pty. Ltd.\\Strikeline\\Settings\\AppConfig]\n"
            "\"LastCallTime\"=dword:00000000\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\"SortDirection\"=dword:00000001\n"), std::string::npos);
    EXPECT_NE(text.find("\"ReportBk\"=dword:00ffffff\n"), std::string::npos);
}

TEST_F(SettingsRecordsTest, WhatOneRunWritesTheNextReads) {
    Run first;
    Start(first);
    first.state.SetLastCheckTime(Download::Call, 1257206400);
    first.state.SetLastCheckTime(Download::Top20, -5);
    const std::string longUrl = "http://127.0.0.1:8642/" + std::string(300, 'p') + "/call.csv";
    first.state.SetLastUrl(Download::Call, "http://127.0.0.1:8642/call/2009/Nov/03/call.final.csv");
    first.state.SetLastUrl(Download::Dividends, longUrl);
    first.state.SetLastDataDateStr("Tue 3 Nov 2009 16:00");
    first.state.SetClearShortListOnClose(true);
    first.state.SetPriceHistoryCharts(true);
    CColorScheme scheme;
    scheme.SetFontStyle("DejaVu Sans");
    scheme.SetFontSize(11);
    scheme.Set(SchemeColor::LeverageCostBk, Rgb(1, 2, 3));
    first.state.SetColorScheme(scheme);
    first.call.SetStocks(CReportSettings::SelectStocks);
    first.call.SetCompanyList({"BHP", "RIO"});
    first.call.SetSortAscending(false);
    first.put.SetDisplayLeveragedBar(true);
    first.put.SetRange(9); // out of its list: kept as it is
    first.sources.SetFeedUrl("http://feed.example:8000/");
    first.analytics.SetRatePercent(5.25);
    first.analytics.SetTaxRatePercent(25);
    first.analytics.SetSmallShareholderExemption(true);
    first.analytics.SetShowColumns(false);
    Stop(first);

    Run second;
    Start(second);
    ASSERT_TRUE(second.readOk) << second.message;
    EXPECT_EQ(second.state.LastCheckTime(Download::Call), 1257206400);
    EXPECT_EQ(second.state.LastCheckTime(Download::Top20), -5);
    EXPECT_EQ(second.state.LastCheckTime(Download::Put), 0);
    EXPECT_EQ(second.state.LastUrl(Download::Call), first.state.LastUrl(Download::Call));
    EXPECT_EQ(second.state.LastUrl(Download::Dividends), longUrl);
    EXPECT_EQ(second.state.LastUrl(Download::Put), "");
    EXPECT_EQ(second.state.LastDataDateStr(), "Tue 3 Nov 2009 16:00");
    EXPECT_TRUE(second.state.ClearShortListOnClose());
    EXPECT_TRUE(second.state.PriceHistoryCharts());
    EXPECT_EQ(second.state.ColorScheme(), scheme);
    EXPECT_EQ(second.call, first.call);
    EXPECT_EQ(second.put, first.put);
    EXPECT_EQ(second.put.Range(), 9);
    EXPECT_EQ(second.analytics, first.analytics);
    EXPECT_EQ(second.sources.FeedUrl(), "http://feed.example:8000") << "no trailing slash";
    EXPECT_EQ(second.sources.SiteUrl(), CDataSources::kDefaultUrl);
    const test::CScopedEnv feed("STRIKELINE_FEED_URL", "http://127.0.0.1:9999");
    EXPECT_EQ(second.sources.FeedUrl(), "http://127.0.0.1:9999")
        << "the environment overrides for one run";
}

// A full disk, as a file-size limit below the new file's size (nothing at all, or no more
// than the old file): the write fails with its reason and the old file stays whole, with no
// temporary file beside it. The limit is taken in a child process, which alone has it.
TEST_F(SettingsRecordsTest, OnAFullDiskTheOldFileIsKeptAndTheReasonGiven) {
    Run first;
    Start(first);
    first.call.SetCompanyList({"BHP", "RIO"});
    Stop(first);
    const std::string old = test::ReadTextFile(Path());
    std::vector<std::string> codes;
    for (int i = 0; i < 2000; ++i) {
        codes.push_back("C" + std::to_string(i));
    }
    for (const rlim_t limit : {rlim_t{0}, static_cast<rlim_t>(old.size())}) {
        const auto quitOnAFullDisk = [&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &small);
            Run second;
            Start(second);
            second.call.SetCompanyList(codes);
            std::string error;
            const bool written =
                WriteSettings(second.registry, Path(),
                              {&second.state, second.call, second.put, second.sources}, error);
            const bool told = error.find(Path()) != std::string::npos &&
                              error.find("File too large") != std::string::npos;
            std::_Exit(!written && told ? 0 : 1);
        };
        EXPECT_EXIT(quitOnAFullDisk(), ::testing::ExitedWithCode(0), "") << limit;
        EXPECT_EQ(test::ReadTextFile(Path()), old) << limit;
        for (const auto& entry : std::filesystem::directory_iterator(m_Folder.Path())) {
            EXPECT_EQ(entry.path().filename(), "settings.reg") << limit;
        }
    }
}

// The download limits of the Data Sources settings: 120 seconds and 64 MB until changed,
// kept from run to run, and a hand-edited value out of range brought to its bound.
TEST_F(SettingsRecordsTest, DownloadLimitsAreKeptAndBounded) {
    Run first;
    Start(first);
    EXPECT_EQ(first.sources.Limits().timeLimit, std::chrono::seconds(120));
    EXPECT_EQ(first.sources.Limits().sizeLimit, 64u << 20);
    first.sources.SetTimeLimitSeconds(30);
    first.sources.SetSizeLimitMegabytes(8);
    Stop(first);
    const std::string text = test::ReadTextFile(Path());
    EXPECT_NE(text.find("\\DataSources]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"TimeLimit\"=dword:0000001e\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"SizeLimit\"=dword:00000008\n"), std::string::npos) << text;

    Run second;
    Start(second);
    EXPECT_EQ(second.sources.Limits().timeLimit, std::chrono::seconds(30));
    EXPECT_EQ(second.sources.Limits().sizeLimit, 8u << 20);

    std::string edited = text;
    const std::string time = "\"TimeLimit\"=dword:0000001e";
    const std::string size = "\"SizeLimit\"=dword:00000008";
    edited.replace(edited.find(time), time.size(), "\"TimeLimit\"=dword:00000000");
    edited.replace(edited.find(size), size.size(), "\"SizeLimit\"=dword:ffffffff");
    test::WriteTextFile(Path(), edited);
    Run third;
    Start(third);
    EXPECT_EQ(third.sources.TimeLimitSeconds(), CDataSources::kMinTimeLimitSeconds);
    EXPECT_EQ(third.sources.SizeLimitMegabytes(), CDataSources::kMaxSizeLimitMegabytes);
}

TEST_F(SettingsRecordsTest, StoredUrlThatDoesNotDecipherReadsAsEmpty) {
    Run first;
    Start(first);
    first.state.SetLastUrl(Download::Call, "http://feed/call.csv");
    first.state.SetLastUrl(Download::Put, "http://feed/put.csv");
    Stop(first);

    CRegistryFile registry;
    std::string error;
    ASSERT_TRUE(registry.Load(Path(), error));
    CRegistryStorage config;
    ASSERT_TRUE(config.OpenRoot(registry.CurrentUser(),
                                std::string(kRegistryRoot) + "\\Settings\\AppConfig"));
    config.WriteString("LastCallURL", Encipher("a different key text!!", "http://feed/call.csv"));
    config.WriteString("LastPutURL", "####");
    ASSERT_TRUE(registry.Save(Path(), error));

    Run second;
    Start(second);
    EXPECT_TRUE(second.readOk) << "silently";
    EXPECT_EQ(second.message, "");
    EXPECT_EQ(second.state.LastUrl(Download::Call), "");
    EXPECT_EQ(second.state.LastUrl(Download::Put), "");
}

TEST_F(SettingsRecordsTest, DamagedFileGivesTheMessageAndDefaults) {
    test::WriteTextFile(
        Path(),
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Software]\n\"x\"=dword:zz\n");
    Run run;
    run.call.SetStocks(3);
    Start(run);
    EXPECT_FALSE(run.readOk);
    EXPECT_EQ(run.message.rfind("Error when loading configuration\n\n", 0), 0u) << run.message;
    EXPECT_NE(run.message.find("line 3"), std::string::npos) << run.message;
    EXPECT_TRUE(std::filesystem::exists(Path() + ".damaged"));
    EXPECT_EQ(run.call.Stocks(), 3) << "nothing was read over the records";
    Stop(run);
    Run next;
    Start(next);
    EXPECT_TRUE(next.readOk) << next.message;
}

TEST(ApplicationState, LockNestsAndExcludesOtherThreads) {
    CApplicationState state;
    state.Lock();
    state.Lock();
    EXPECT_EQ(state.LockDepth(), 2);
    int seen = -1;
    std::thread worker([&] {
        const CApplicationStateLock lock(state);
        seen = state.LastCheckTime(Download::Call);
    });
    // Give an unguarded read every chance to happen first.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    state.SetLastCheckTime(Download::Call, 42);
    state.Unlock();
    state.Unlock();
    worker.join();
    EXPECT_EQ(seen, 42) << "the worker waited for the lock";
    EXPECT_EQ(state.LockDepth(), 0);
}

TEST(ApplicationState, ResetClearsEverything) {
    CApplicationState state;
    state.SetLastCheckTime(Download::Dividends, 7);
    state.SetLastUrl(Download::Put, "u");
    state.SetLastUrl(Download::Top20, "ignored: no address is kept for this download");
    state.SetLastDataDateStr("d");
    state.SetClearShortListOnClose(true);
    state.SetPriceHistoryCharts(true);
    CColorScheme scheme;
    scheme.SetFontSize(12);
    state.SetColorScheme(scheme);
    state.ResetDefaults();
    EXPECT_EQ(state.LastCheckTime(Download::Dividends), 0);
    EXPECT_EQ(state.LastUrl(Download::Put), "");
    EXPECT_EQ(state.LastUrl(Download::Top20), "");
    EXPECT_EQ(state.LastDataDateStr(), "");
    EXPECT_FALSE(state.ClearShortListOnClose());
    EXPECT_FALSE(state.PriceHistoryCharts());
    EXPECT_EQ(state.ColorScheme(), CColorScheme());
}

} // namespace
} // namespace strikeline
