#include "cli/HeadlessCommand.h"
#include "storage/NumberText.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"

#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

namespace strikeline {
namespace {

using Json = nlohmann::json;

struct Outcome {
    int status;
    Json json;
    std::string err;
};

Outcome RunCli(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunHeadlessCommand(arguments, out, err);
    return {status, out.str().empty() ? Json() : Json::parse(out.str()), err.str()};
}

class ReportCommandTest : public test::CSydneyTimeTest {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(WriteDataFolder(m_Folder.Path().string(),
                                    CMarketGenerator(CMarketGeneratorSettings{}).Generate(), error))
            << error;
    }

    test::CTempFolder m_Folder;
};

// Every text of the report agrees with the formulas over the series as loaded.
TEST_F(ReportCommandTest, BlocksOfAGeneratedMarketFollowTheFormulas) {
    const std::string dir = m_Folder.Path().string();
    const Outcome report =
        RunCli({"report", "--data", dir, "--kind", "call", "--now", "2010-06-23 06:00:00",
                "--expire", "3", "--leveraged", "--sort-mode", "2", "--sort-direction", "0"});
    ASSERT_EQ(report.status, 0) << report.err;
    EXPECT_EQ(report.json["kind"], "call");
    const Json& companies = report.json["companies"];
    ASSERT_GT(companies.size(), 20u);

    const Outcome loaded = RunCli({"load", "--as", "call", m_Folder.File("call.csv")});
    std::map<std::string, std::pair<Json, Json>> seriesByCode; // code → (company, series)
    for (const Json& company : loaded.json["companies"]) {
        for (const Json& series : company["contracts"]) {
            seriesByCode[series["code"]] = {company, series};
        }
    }
    for (const Json& block : companies) {
        SCOPED_TRACE(block["code"].get<std::string>());
        EXPECT_EQ(block["header"].size(), block["values"].size());
        int atTheMoney = 0;
        for (const Json& row : block["series"]) {
            ASSERT_EQ(row["cells"].size(), 12u);
            atTheMoney += row["atm"].get<bool>() ? 1 : 0;
            const auto& [company, series] = seriesByCode.at(row["cells"][0]);
            const double last = company["last"], premium = series["last"], size = series["size"],
                         strike = series["exercise"];
            const double exercised = (strike - last + premium) * size;
            EXPECT_EQ(row["cells"][3], FormatMoney(strike, 2));
            EXPECT_EQ(row["cells"][7], FormatMoney(premium * size, 2));
            EXPECT_EQ(row["cells"][8], FormatPercent(premium / last * 100, 2));
            EXPECT_EQ(row["cells"][9], FormatMoney(exercised, 2));
            EXPECT_EQ(row["cells"][10], FormatPercent(exercised / last * 100 / size, 2));
            EXPECT_EQ(row["cells"][11], FormatMoney(last - premium, 3));
        }
        EXPECT_EQ(atTheMoney, 1);
        ASSERT_TRUE(block["leveraged"].is_array());
        EXPECT_EQ(block["leveraged"].size(), 6u);
        EXPECT_EQ(block["leveraged"][0].get<std::string>().rfind(
                      "50% Leveraged Position. Cost of leverage", 0),
                  0u);
    }
}

TEST_F(ReportCommandTest, BadFilesStillReportWhatWasRead) {
    test::WriteTextFile(m_Folder.File("put.csv"), "PUT OPTIONS\ngarbage\n");
    const Outcome report = RunCli({"report", "--data", m_Folder.Path().string(), "--kind", "call",
                                   "--now", "2010-06-23 06:00:00", "--expire", "3"});
    EXPECT_EQ(report.status, 1);
    EXPECT_EQ(report.err, "Error when parsing .csv file " + m_Folder.File("put.csv") +
                              ".\n\nUnexpected data at line 2\n");
    EXPECT_GT(report.json["companies"].size(), 0u) << "the call report is still printed";

    const Outcome empty =
        RunCli({"report", "--data", m_Folder.File("nothing-here"), "--kind", "put"});
    EXPECT_EQ(empty.status, 0) << "absent files are empty";
    EXPECT_EQ(empty.json, Json({{"kind", "put"}, {"companies", Json::array()}}));
}

TEST(ReportCommand, BadArgumentsGiveUsageAndStatusTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"report"},
        {"report", "--kind", "call"},
        {"report", "--data", "/tmp", "--kind", "bonds"},
        {"report", "--data", "/tmp", "--kind", "call", "--sort-direction", "2"},
        {"report", "--data", "/tmp", "--kind", "call", "--stocks", "two"},
        {"report", "--data", "/tmp", "--kind", "call", "--now", "yesterday"},
        {"report", "--data", "/tmp", "--kind", "call", "extra"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunHeadlessCommand(arguments, out, err), 2);
        EXPECT_EQ(out.str(), "");
        EXPECT_NE(err.str().find("usage: strikeline-cli report"), std::string::npos) << err.str();
    }
}

} // namespace
} // namespace strikeline
