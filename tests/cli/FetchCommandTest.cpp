#include "cli/CliRun.h"
#include "marketdata/DataSources.h"
#include "session/SettingsRecords.h"
#include "storage/RegistryFile.h"
#include "storage/RegistryStorage.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/TodaysMarket.h"
#include "tools/FeedServer.h"
#include "tools/MarketFiles.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/resource.h>

namespace strikeline {
namespace {

constexpr const char* kDataFiles[] = {"call.csv", "put.csv", "dividends.csv", "companyname.txt",
                                      "top20.txt"};

// Today's market laid out as the feed publishes it once the day is over, on a free port,
// and a data folder to fetch into.
class FetchCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        CMarketGeneratorSettings settings = test::TodaysMarketSettings();
        std::string error;
        ASSERT_TRUE(WriteFeedFolder(m_Feed.Path().string(), settings, 24 * 60, error)) << error;
        ServeFeed(m_Feed.Path().string());
    }

    void ServeFeed(const std::string& root) {
        m_Server.Stop();
        CFeedServerOptions options;
        options.root = root;
        options.port = 0;
        std::string error;
        ASSERT_TRUE(m_Server.Start(options, error)) << error;
        m_Url = "http://127.0.0.1:" + std::to_string(m_Server.Port());
    }

    test::CCliRun Fetch() {
        const test::CScopedEnv feed("STRIKELINE_FEED_URL", m_Url.c_str());
        const test::CScopedEnv site("STRIKELINE_SITE_URL", m_Url.c_str());
        return test::RunCli({"fetch", "--data", m_Data.Path().string()});
    }

    // file name -> outcome of the run's JSON.
    static std::map<std::string, nlohmann::json> Outcomes(const test::CCliRun& run) {
        std::map<std::string, nlohmann::json> outcomes;
        const nlohmann::json document = nlohmann::json::parse(run.out);
        for (const nlohmann::json& file : document.at("files")) {
            outcomes[file.at("file").get<std::string>()] = file;
        }
        return outcomes;
    }

    test::CTempFolder m_Feed;
    test::CTempFolder m_Data;
    CFeedServer m_Server;
    std::string m_Url;
};

TEST_F(FetchCommandTest, ReportsEveryFileFetched) {
    const test::CCliRun run = Fetch();
    EXPECT_EQ(run.status, 0) << run.err;
    const auto outcomes = Outcomes(run);
    ASSERT_EQ(outcomes.size(), 5u) << run.out;
    for (const char* file : kDataFiles) {
        const nlohmann::json& outcome = outcomes.at(file);
        EXPECT_EQ(outcome.at("outcome"), "fetched") << file;
        EXPECT_TRUE(outcome.at("url").get<std::string>().starts_with(m_Url)) << file;
        EXPECT_TRUE(outcome.at("reason").is_null()) << file;
        EXPECT_TRUE(std::filesystem::exists(m_Data.File(file))) << file;
    }
    EXPECT_TRUE(outcomes.at("call.csv").at("label").get<std::string>().ends_with(" final"));
    EXPECT_EQ(nlohmann::json::parse(run.out).at("lastDataDate"),
              outcomes.at("call.csv").at("label"));
}

// The feed cannot be reached, or answers every address with an error: every file failed,
// with its reason, and the command says so in its status.
TEST_F(FetchCommandTest, AFeedThatGivesNothingIsAFailure) {
    m_Server.SetFault("/", FeedFault::Status500);
    const test::CCliRun errors = Fetch();
    EXPECT_EQ(errors.status, 1);
    for (const auto& [file, outcome] : Outcomes(errors)) {
        EXPECT_EQ(outcome.at("outcome"), "failed") << file;
        EXPECT_NE(outcome.at("reason").get<std::string>().find("(the server answered 500)"),
                  std::string::npos)
            << outcome;
        EXPECT_NE(errors.err.find(file + ": "), std::string::npos) << errors.err;
    }

    m_Server.Stop();
    const test::CCliRun unreachable = Fetch();
    EXPECT_EQ(unreachable.status, 1);
    const auto outcomes = Outcomes(unreachable);
    ASSERT_EQ(outcomes.size(), 5u);
    for (const auto& [file, outcome] : outcomes) {
        EXPECT_EQ(outcome.at("outcome"), "failed") << file;
        EXPECT_TRUE(outcome.at("reason").get<std::string>().starts_with("Cannot reach " + m_Url))
            << outcome;
    }
    for (const char* file : kDataFiles) {
        EXPECT_FALSE(std::filesystem::exists(m_Data.File(file))) << file;
    }
}

// With the files held and nothing newer on the feed, every file is unchanged: no failure.
TEST_F(FetchCommandTest, NothingNewerYetIsNoFailure) {
    ASSERT_EQ(Fetch().status, 0);
    test::CTempFolder empty;
    ServeFeed(empty.Path().string());
    const test::CCliRun run = Fetch();
    EXPECT_EQ(run.status, 0) << run.err;
    for (const auto& [file, outcome] : Outcomes(run)) {
        EXPECT_EQ(outcome.at("outcome"), "unchanged") << file;
        EXPECT_TRUE(outcome.at("reason").is_null()) << file;
    }
}

// A disk that cannot take the call file (here a file-size limit, as a full disk would):
// the held file stays byte for byte, no temporary file is left, and the command fails
// with the reason.
TEST_F(FetchCommandTest, AFullDiskIsReported) {
    const std::string held = "CALL OPTIONS\n\nCode,Last,\"$ +/-\",bid,offer,open,high,low,"
                             "volume,eps\nBHP,40,0.5,39.9,40.1,39.5,40.5,39,1000,2\n";
    test::WriteTextFile(m_Data.File("call.csv"), held);

    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 64 * 1024;
    // Beyond the limit a write fails with EFBIG instead of ending the process.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const test::CCliRun run = Fetch();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(run.status, 1);
    const nlohmann::json call = Outcomes(run).at("call.csv");
    EXPECT_EQ(call.at("outcome"), "failed");
    const std::string reason = call.at("reason").get<std::string>();
    EXPECT_NE(reason.find("could not be saved (Unable to write " + m_Data.Path().string()),
              std::string::npos)
        << reason;
    EXPECT_NE(reason.find("File too large"), std::string::npos) << reason;
    EXPECT_EQ(test::ReadTextFile(m_Data.File("call.csv")), held);
    for (const auto& entry : std::filesystem::directory_iterator(m_Data.Path())) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("qdl_")) << entry.path();
    }
}

// Without --data, as the scheduled fetch runs it: into the program's own data folder, from
// the addresses set in the program, whatever the defaults say.
TEST_F(FetchCommandTest, WithoutADataFolderFetchesForTheProgram) {
    test::CTempFolder home;
    const test::CScopedEnv data("XDG_DATA_HOME", home.File("data").c_str());
    const test::CScopedEnv config("XDG_CONFIG_HOME", home.File("config").c_str());
    const test::CScopedEnv feed("STRIKELINE_FEED_URL", nullptr);
    const test::CScopedEnv site("STRIKELINE_SITE_URL", nullptr);
    std::filesystem::create_directories(home.File("config/Strikeline"));
    CRegistryFile registry;
    CRegistryStorage settings;
    ASSERT_TRUE(
        settings.CreateRoot(registry.CurrentUser(), std::string(kRegistryRoot) + "\\Settings"));
    CDataSources sources;
    sources.SetFeedUrl(m_Url);
    sources.SetSiteUrl(m_Url);
    sources.Save(*settings.CreateChild("DataSources"));
    std::string error;
    const std::string settingsFile = home.File("config/Strikeline/settings.reg");
    ASSERT_TRUE(registry.Save(settingsFile, error)) << error;
    const std::string before = test::ReadTextFile(settingsFile);

    const test::CCliRun run = test::RunCli({"fetch"});
    EXPECT_EQ(run.status, 0) << run.err;
    for (const auto& [file, outcome] : Outcomes(run)) {
        EXPECT_EQ(outcome.at("outcome"), "fetched") << file;
        EXPECT_TRUE(std::filesystem::exists(home.File("data/Strikeline/" + file))) << file;
    }
    EXPECT_EQ(Outcomes(run).size(), 5u);
    // The program's settings are only read.
    EXPECT_EQ(test::ReadTextFile(settingsFile), before);
}

} // namespace
} // namespace strikeline
