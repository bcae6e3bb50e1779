#include "tools/FeedServer.h"

#include "support/TempFolder.h"
#include "tools/MarketCalendar.h"
#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"
#include "tools/PriceChartPage.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <httplib.h>
#include <sstream>
#include <string>
#include <vector>

namespace strikeline {
namespace {

using namespace std::chrono;

constexpr sys_days kTradingDay = 2010y / 6 / 24; // the generator's default day
constexpr int kPublishedUntil = 10 * 60 + 30;

// A generated feed folder served on a free loopback port, with a file beside the folder
// and a link inside it pointing there, so that escapes have something to reach. The feed
// is taken mid-morning: the first hourly files and the day before, which is quick to write.
class FeedServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Root = m_Temp.Path() / "feed";
        std::string error;
        ASSERT_TRUE(
            WriteFeedFolder(m_Root.string(), CMarketGeneratorSettings{}, kPublishedUntil, error))
            << error;
        test::WriteTextFile(m_Temp.File("secret.txt"), "not served\n");
        std::filesystem::create_symlink(m_Temp.Path() / "secret.txt", m_Root / "link.txt");

        CFeedServerOptions options;
        options.root = m_Root.string();
        options.port = 0;
        options.log = &m_Log;
        options.chartLastDay = kTradingDay;
        ASSERT_TRUE(m_Server.Start(options, error)) << error;
        ASSERT_GT(m_Server.Port(), 0);
    }

    httplib::Client Client() {
        httplib::Client client("127.0.0.1", m_Server.Port());
        client.set_connection_timeout(5);
        client.set_read_timeout(5);
        return client;
    }

    test::CTempFolder m_Temp;
    std::filesystem::path m_Root;
    std::ostringstream m_Log;
    CFeedServer m_Server;
};

TEST_F(FeedServerTest, ServesEveryFileOfTheFeedByteForByte) {
    std::vector<std::string> served;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_Root)) {
        if (entry.is_symlink() || !entry.is_regular_file()) {
            continue;
        }
        const std::string path = "/" + entry.path().lexically_relative(m_Root).generic_string();
        const std::string contentType =
            entry.path().extension() == ".csv" ? "text/csv" : "text/plain";
        httplib::Client client = Client();
        const httplib::Result result = client.Get(path);
        ASSERT_TRUE(result) << path << ": " << httplib::to_string(result.error());
        EXPECT_EQ(result->status, 200) << path;
        EXPECT_EQ(result->get_header_value("Content-Type"), contentType) << path;
        EXPECT_EQ(result->body, test::ReadTextFile(entry.path().string())) << path;
        served.push_back(path);
    }
    for (const std::string& expected :
         {std::string("/compcodes.txt"), std::string("/t20.txt"),
          "/" + FeedCallPath(kTradingDay, ".1000"), "/" + FeedPutPath(kTradingDay, ".1000"),
          "/" + FeedCallPath(PreviousTradingDay(kTradingDay), ".final"),
          "/" + FeedDividendsPath(kTradingDay)}) {
        EXPECT_NE(std::find(served.begin(), served.end(), expected), served.end()) << expected;
    }
    m_Server.Stop();
    EXPECT_NE(m_Log.str().find("GET /compcodes.txt 200\n"), std::string::npos) << m_Log.str();
}

TEST_F(FeedServerTest, AnswersNotFoundForAnythingButAServedFileOrAChart) {
    struct CCase {
        const char* m_Method;
        const char* m_Path;
    };
    const CCase cases[] = {
        {"GET", "/missing.csv"},
        {"GET", "/../secret.txt"},
        {"GET", "/datafeed/../../secret.txt"},
        {"GET", "/%2e%2e/secret.txt"},
        {"GET", "//secret.txt"},
        {"GET", "/link.txt"}, // leads out of the folder
        {"GET", "/datafeed"}, // a folder
        {"GET", "/"},
        {"GET", "/call/chart.php"},
        {"GET", "/call/chart.php?span=year1"},
        {"GET", "/call/chart.php?code=BHP&span=year5"},
        {"POST", "/compcodes.txt"},
    };
    for (const CCase& item : cases) {
        httplib::Client client = Client();
        const httplib::Result result = std::string(item.m_Method) == "GET"
                                           ? client.Get(item.m_Path)
                                           : client.Post(item.m_Path, "", "text/plain");
        ASSERT_TRUE(result) << item.m_Path;
        EXPECT_EQ(result->status, 404) << item.m_Method << ' ' << item.m_Path;
        EXPECT_EQ(result->body.find("not served"), std::string::npos) << item.m_Path;
    }
    m_Server.Stop();
    EXPECT_NE(m_Log.str().find("GET /../secret.txt 404\n"), std::string::npos) << m_Log.str();
}

TEST_F(FeedServerTest, ChartPageIsTheSameForTheSameCodeAndDrawsAYearOfCloses) {
    httplib::Client client = Client();
    const httplib::Result first = client.Get("/call/chart.php?code=BHP&span=year1");
    const httplib::Result second = client.Get("/call/chart.php?code=BHP&span=year1");
    const httplib::Result unknown = client.Get("/call/chart.php?code=QQXZ&span=year1");
    const httplib::Result escaped = client.Get("/call/chart.php?code=%3Cb%3E");
    ASSERT_TRUE(first && second && unknown && escaped);
    for (const httplib::Result* result : {&first, &unknown, &escaped}) {
        EXPECT_EQ((*result)->status, 200);
        EXPECT_EQ((*result)->get_header_value("Content-Type"), "text/html; charset=utf-8");
        EXPECT_NE((*result)->body.find("<svg"), std::string::npos);
        EXPECT_NE((*result)->body.find("<polyline"), std::string::npos);
    }
    EXPECT_NE(first->body.find("<title>BHP - one year</title>"), std::string::npos);
    EXPECT_EQ(first->body, second->body);
    EXPECT_NE(unknown->body.find("<title>QQXZ - one year</title>"), std::string::npos);
    EXPECT_NE(unknown->body, first->body);
    EXPECT_NE(escaped->body.find("<title>&lt;b&gt; - one year</title>"), std::string::npos);

    // One point a trading day, every one a plausible share price.
    const std::string& page = first->body;
    const std::size_t points = page.find("points=\"");
    ASSERT_NE(points, std::string::npos);
    const std::string list = page.substr(points, page.find('"', points + 8) - points);
    const auto pointCount = std::count(list.begin(), list.end(), ',');
    EXPECT_GE(pointCount, 245);
    EXPECT_LE(pointCount, 262);
    EXPECT_EQ(OneYearPriceHistory("BHP", kTradingDay).size(), static_cast<std::size_t>(pointCount));
    for (const char* code : {"BHP", "QQXZ", "A"}) {
        const std::vector<CDailyClose> history = OneYearPriceHistory(code, kTradingDay);
        ASSERT_FALSE(history.empty());
        EXPECT_EQ(history.back().m_Day, kTradingDay);
        for (const CDailyClose& close : history) {
            EXPECT_GE(close.m_Close, 0.001) << code;
            EXPECT_LE(close.m_Close, 1000.0) << code;
        }
    }
}

TEST_F(FeedServerTest, FaultsAnswerTheirPathPrefixOnly) {
    const std::string callPath = "/" + FeedCallPath(kTradingDay, ".1000");
    m_Server.SetFault("/datafeed/velomir/velomir", FeedFault::Status500);
    m_Server.SetFault("/t20", FeedFault::CutBody);
    httplib::Client client = Client();

    const httplib::Result failed = client.Get(callPath);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->status, 500);
    const httplib::Result cut = client.Get("/t20.txt");
    ASSERT_FALSE(cut) << "a body shorter than announced must fail the transfer";
    EXPECT_EQ(cut.error(), httplib::Error::Read);
    const httplib::Result untouched = client.Get("/compcodes.txt");
    ASSERT_TRUE(untouched);
    EXPECT_EQ(untouched->status, 200);

    m_Server.ClearFaults();
    const httplib::Result restored = client.Get(callPath);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->status, 200);
    EXPECT_EQ(restored->body, test::ReadTextFile((m_Root / callPath.substr(1)).string()));
}

TEST_F(FeedServerTest, HangingRequestTimesOutAndStopStillReturns) {
    m_Server.SetFault("/", FeedFault::Hang);
    httplib::Client client = Client();
    client.set_read_timeout(1);
    const httplib::Result result = client.Get("/compcodes.txt");
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), httplib::Error::Read);

    const auto before = steady_clock::now();
    m_Server.Stop();
    EXPECT_LT(steady_clock::now() - before, seconds(5));
    EXPECT_EQ(m_Server.Port(), 0);
}

TEST(FeedServerStartTest, ReportsWhatKeepsItFromListening) {
    test::CTempFolder temp;
    CFeedServerOptions options;
    options.root = temp.Path().string();
    options.port = 0;
    CFeedServer first;
    std::string error;
    ASSERT_TRUE(first.Start(options, error)) << error;

    CFeedServer second;
    options.port = first.Port();
    EXPECT_FALSE(second.Start(options, error));
    EXPECT_NE(error.find(std::to_string(first.Port())), std::string::npos) << error;

    options.port = 0;
    options.root = temp.File("missing");
    error.clear();
    EXPECT_FALSE(second.Start(options, error));
    EXPECT_FALSE(error.empty());

    EXPECT_FALSE(first.Start(options, error)) << "already running";
    first.Stop();
    first.Stop();
    EXPECT_EQ(first.Port(), 0);
}

} // namespace
} // namespace strikeline
