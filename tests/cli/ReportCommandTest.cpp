#include "cli/HeadlessCommand.h"
#include "storage/NumberText.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
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

// The liquidity floors leave out exactly the series below them, by the figures the data
// holds (a figure it did not give counting as 0); at 0 they change nothing.
TEST_F(ReportCommandTest, LiquidityFloorsLeaveOutTheSeriesBelowThem) {
    const std::string dir = m_Folder.Path().string();
    const auto run = [&](const std::vector<std::string>& options) {
        std::vector<std::string> arguments = options;
        arguments.insert(arguments.begin(),
                         {"report", "--data", dir, "--kind", "put", "--now", "2010-06-23 06:00:00",
                          "--expire", "3", "--remove-old", "1"});
        return RunCli(arguments);
    };
    const auto listed = [](const Json& report) {
        std::set<std::string> codes;
        for (const Json& block : report["companies"]) {
            for (const Json& row : block["series"]) {
                codes.insert(row["cells"][0].get<std::string>());
            }
        }
        return codes;
    };
    const Outcome all = run({});
    ASSERT_EQ(all.status, 0) << all.err;
    const std::set<std::string> every = listed(all.json);
    ASSERT_GT(every.size(), 20u);

    // code → (open interest, last price) as loaded
    std::map<std::string, std::pair<double, double>> figures;
    const Outcome loaded = RunCli({"load", "--as", "put", m_Folder.File("put.csv")});
    for (const Json& company : loaded.json["companies"]) {
        for (const Json& series : company["contracts"]) {
            const auto figure = [&](const char* name) {
                return series[name].is_null() ? 0.0 : series[name].get<double>();
            };
            figures[series["code"]] = {figure("openInterest"), figure("last")};
        }
    }
    // Floors at the middle of what is listed, so that each leaves some series out.
    std::vector<double> interests, premiums;
    for (const std::string& code : every) {
        interests.push_back(figures.at(code).first);
        premiums.push_back(figures.at(code).second);
    }
    std::sort(interests.begin(), interests.end());
    std::sort(premiums.begin(), premiums.end());
    const std::string interestText =
        std::to_string(static_cast<long>(std::ceil(interests[interests.size() / 2])));
    const std::string premiumText = std::to_string(premiums[premiums.size() / 2]);
    const double leastInterest = std::stod(interestText), leastPremium = std::stod(premiumText);

    struct Case {
        std::vector<std::string> options;
        bool byInterest;
        bool byPremium;
    };
    const Case cases[] = {
        {{"--min-open-interest", interestText}, true, false},
        {{"--min-premium", premiumText}, false, true},
        {{"--min-open-interest", interestText, "--min-premium", premiumText}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.options));
        std::set<std::string> expected;
        for (const std::string& code : every) {
            const auto [interest, premium] = figures.at(code);
            if ((!c.byInterest || interest >= leastInterest) &&
                (!c.byPremium || premium >= leastPremium)) {
                expected.insert(code);
            }
        }
        ASSERT_FALSE(expected.empty());
        ASSERT_LT(expected.size(), every.size());
        const Outcome narrowed = run(c.options);
        ASSERT_EQ(narrowed.status, 0) << narrowed.err;
        EXPECT_EQ(listed(narrowed.json), expected);
    }
    const Outcome off = run({"--min-open-interest", "0", "--min-premium", "0"});
    EXPECT_EQ(off.status, 0) << off.err;
    EXPECT_EQ(off.json, all.json);
}

TEST(ReportCommand, LiquidityFloorsTakeNumbersOfZeroOrMore) {
    const std::map<std::string, std::string> problems = {
        {"--min-open-interest", "--min-open-interest takes a whole number of 0 or more"},
        {"--min-premium", "--min-premium takes an amount of 0 or more"},
    };
    const std::pair<const char*, const char*> cases[] = {
        {"--min-open-interest", "-1"},   {"--min-open-interest", "2.5"},
        {"--min-open-interest", "many"}, {"--min-open-interest", "99999999999"},
        {"--min-premium", "-0.01"},      {"--min-premium", "cheap"},
        {"--min-premium", "0.05c"},      {"--min-premium", "inf"},
        {"--min-premium", "nan"},
    };
    for (const auto& [option, value] : cases) {
        SCOPED_TRACE(std::string(option) + " " + value);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunHeadlessCommand({"report", "--data", "/tmp", "--kind", "call", option, value},
                                     out, err),
                  2);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str().rfind("strikeline-cli report: " + problems.at(option) +
                                      "\nusage: strikeline-cli report",
                                  0),
                  0u)
            << err.str();
    }
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
