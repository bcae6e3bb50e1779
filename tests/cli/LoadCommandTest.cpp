#include "cli/CliRun.h"
#include "support/TempFolder.h"
#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"

#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

namespace strikeline {
namespace {

using Json = nlohmann::json;

using test::RunCli;

const std::string kCallFixture = STRIKELINE_FIXTURE_DIR "/marketdata/call.csv";

TEST(LoadCommand, PrintsAnOptionFileAsLoaded) {
    const test::CCliRun run = RunCli({"load", "--as", "call", kCallFixture});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const Json json = Json::parse(run.out);
    EXPECT_TRUE(json["error"].is_null());
    ASSERT_EQ(json["companies"].size(), 2u);
    const Json& bhp = json["companies"][0];
    EXPECT_EQ(bhp["code"], "BHP");
    EXPECT_EQ(bhp["pe"], 20.0);
    EXPECT_EQ(bhp["change"], -0.25);
    const Json& series = bhp["contracts"][0];
    EXPECT_EQ(series["code"], "BHPZA9");
    EXPECT_EQ(series["size"], 100.0);
    EXPECT_EQ(series["expiry"], "2009-11-26");
    EXPECT_EQ(series["exercise"], 9.5);
    EXPECT_EQ(series["openInterest"], 340.0);
    EXPECT_EQ(series["lastTraded"], "2009-11-01 23:00:00");
    EXPECT_TRUE(bhp["contracts"][1]["last"].is_null()) << "a missing number is null";
    EXPECT_TRUE(bhp["contracts"][1]["lastTraded"].is_null()) << "never traded";
    // The keys come in the documented order.
    EXPECT_EQ(run.out.rfind("{\"companies\":[{\"code\":\"BHP\",\"last\":10.0,\"change\":-0.25,", 0),
              0u);

    const test::CCliRun summary = RunCli({"load", "--summary", "--as", "put", kCallFixture});
    EXPECT_EQ(summary.status, 0);
    EXPECT_EQ(summary.out, "{\"companies\":2,\"contracts\":4,\"error\":null}\n");
}

TEST(LoadCommand, BrokenFilesPrintWhatWasReadTheMessageAndStatusOne) {
    test::CTempFolder folder;
    test::WriteTextFile(folder.File("call.csv"),
                        "Code,Last,\"$ +/-\",bid,offer,open,high,low,volume,eps\n"
                        "BHP,10,0,0,0,0,0,0,0,0\nnot a share\n");
    test::CCliRun run = RunCli({"load", "--as", "call", folder.File("call.csv")});
    EXPECT_EQ(run.status, 1);
    Json json = Json::parse(run.out);
    EXPECT_EQ(json["error"], "Unexpected data at line 3");
    EXPECT_EQ(json["companies"].size(), 1u);
    EXPECT_EQ(run.err, "Error when parsing .csv file " + folder.File("call.csv") +
                           ".\n\nUnexpected data at line 3\n");

    test::WriteTextFile(folder.File("names.txt"), "'BHP' = 'BHP \xff Group'\nbroken\n");
    run = RunCli({"load", "--as", "names", folder.File("names.txt")});
    EXPECT_EQ(run.status, 1);
    json = Json::parse(run.out); // bytes that are no UTF-8 still give valid JSON
    EXPECT_EQ(json["codes"], Json::array({"BHP"}));
    EXPECT_EQ(json["names"][0], "BHP \xef\xbf\xbd Group");

    run = RunCli({"load", "--as", "dividends", folder.File("missing.csv")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "{\"dividends\":[],\"error\":\"Unable to open file\"}\n");
}

// Runs the command, and if it is still waiting on `fifo` after a long while, lets it go by
// opening and closing the other end, so that a hang fails the test instead of holding it.
test::CCliRun RunCliBesideFifo(const std::vector<std::string>& arguments, const std::string& fifo,
                               bool& hung) {
    auto run = std::async(std::launch::async, [&] { return RunCli(arguments); });
    hung = run.wait_for(std::chrono::seconds(30)) != std::future_status::ready;
    while (run.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) {
            ::close(writer);
        }
    }
    return run.get();
}

// A FIFO (or anything else that is no regular file) in place of a data file is refused at
// once, by the loader of each kind and by the report's loaders, instead of waiting for a
// writer that never comes.
TEST(LoadCommand, AFifoInPlaceOfADataFileIsRefused) {
    test::CTempFolder folder;
    for (const char* kind : {"call", "put", "dividends", "names"}) {
        SCOPED_TRACE(kind);
        const std::string fifo = folder.File(std::string(kind) + ".fifo");
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        bool hung = false;
        const test::CCliRun run = RunCliBesideFifo({"load", "--as", kind, fifo}, fifo, hung);
        EXPECT_FALSE(hung);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(Json::parse(run.out)["error"], "Unable to open file");
    }
    const std::string call = folder.File("call.csv");
    ASSERT_EQ(::mkfifo(call.c_str(), 0600), 0);
    bool hung = false;
    const test::CCliRun report = RunCliBesideFifo(
        {"report", "--data", folder.Path().string(), "--kind", "call"}, call, hung);
    EXPECT_FALSE(hung);
    EXPECT_EQ(report.status, 1);
    EXPECT_EQ(report.err, "Error when parsing .csv file " + call + ".\n\nUnable to open file\n");
}

// What the sample market generator writes, every file of it loads whole.
TEST(LoadCommand, LoadsAGeneratedMarket) {
    test::CTempFolder folder;
    const CGeneratedMarket market = CMarketGenerator(CMarketGeneratorSettings{}).Generate();
    std::string error;
    ASSERT_TRUE(WriteDataFolder(folder.Path().string(), market, error)) << error;
    struct Case {
        const char* kind;
        const char* file;
        std::string expected;
    };
    const Case cases[] = {
        {"call", "call.csv",
         "{\"companies\":100,\"contracts\":" + std::to_string(market.m_CallSeries) + ","},
        {"put", "put.csv",
         "{\"companies\":100,\"contracts\":" + std::to_string(market.m_PutSeries) + ","},
        {"dividends", "dividends.csv", "{\"dividends\":"},
        {"names", "companyname.txt", "{\"codes\":100,"},
        {"names", "top20.txt", "{\"codes\":20,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const test::CCliRun run =
            RunCli({"load", "--summary", "--as", c.kind, folder.File(c.file)});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.rfind(c.expected, 0), 0u) << run.out;
        EXPECT_NE(run.out.find("\"error\":null"), std::string::npos) << run.out;
    }
}

TEST(LoadCommand, BadArgumentsGiveUsageAndStatusTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"unknown"},
        {"load"},
        {"load", "--as", "call"},
        {"load", "--as", "bonds", kCallFixture},
        {"load", "--as", "call", kCallFixture, "second"},
        {"load", "--as", "call", "--as", "put", kCallFixture},
        {"load", "--as"},
        {"load", "--verbose", "--as", "call", kCallFixture},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const test::CCliRun run = RunCli(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage: strikeline-cli"), std::string::npos) << run.err;
    }
}

TEST(HeadlessCommand, HelpAndVersionAnswerOnStandardOutputWithStatusZero) {
    struct Case {
        std::vector<std::string> arguments;
        std::string expected; // the start of what is printed
    };
    const Case cases[] = {
        {{"--help"}, "Strikeline's reports"},
        {{"-h"}, "Strikeline's reports"},
        {{"help"}, "Strikeline's reports"},
        {{"--version"}, "strikeline-cli " STRIKELINE_VERSION "\n"},
        {{"load", "--help"}, "usage: strikeline-cli load "},
        {{"report", "--kind", "call", "-h"}, "usage: strikeline-cli report "},
        {{"plan-export", "--help"}, "usage: strikeline-cli plan-export "},
        {{"fetch", "--help"}, "usage: strikeline-cli fetch "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const test::CCliRun run = RunCli(c.arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out.rfind(c.expected, 0), 0u) << run.out;
    }
    EXPECT_NE(RunCli({"--help"}).out.find("usage: strikeline-cli COMMAND"), std::string::npos);
}

} // namespace
} // namespace strikeline
