#include "cli/HeadlessCommand.h"
#include "storage/NumberText.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
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

// Days since 1970-01-01 of a "YYYY-MM-DD" text.
long DayOf(const std::string& date) {
    using namespace std::chrono;
    const year_month_day day{year{std::stoi(date.substr(0, 4))},
                             month{static_cast<unsigned>(std::stoi(date.substr(5, 2)))},
                             std::chrono::day{static_cast<unsigned>(std::stoi(date.substr(8, 2)))}};
    return static_cast<long>(sys_days{day}.time_since_epoch().count());
}

// --analytics adds an object beside each series' cells, which stay as they were; its
// figures follow their definitions over the loaded files, and the null rules hold.
TEST_F(ReportCommandTest, AnalyticsSitBesideTheUnchangedCells) {
    const std::string dir = m_Folder.Path().string();
    // 06:00 UTC is 16:00 in Sydney, the same day.
    const std::string now = "2010-06-23 06:00:00";
    const long today = DayOf("2010-06-23");

    struct CDividendLine {
        long day;
        double amount;
        double franking;
    };
    std::map<std::string, std::vector<CDividendLine>> dividends;
    {
        std::ifstream file(m_Folder.File("dividends.csv"));
        std::string line;
        std::getline(file, line); // the header
        while (std::getline(file, line)) {
            std::vector<std::string> fields;
            std::stringstream split(line);
            for (std::string field; std::getline(split, field, ',');) {
                fields.push_back(field);
            }
            ASSERT_GE(fields.size(), 5u) << line;
            const std::string date = fields[1].substr(0, 4) + "-" + fields[1].substr(4, 2) + "-" +
                                     fields[1].substr(6, 2);
            dividends[fields[0]].push_back(
                {DayOf(date), std::stod(fields[3]), std::stod(fields[4])});
        }
    }
    ASSERT_FALSE(dividends.empty());

    std::size_t withDividends = 0, withVolatility = 0;
    for (const std::string kind : {"call", "put"}) {
        SCOPED_TRACE(kind);
        const bool isCall = kind == "call";
        const std::vector<std::string> base = {"report", "--data",       dir, "--kind",
                                               kind,     "--now",        now, "--expire",
                                               "1",      "--remove-old", "1"};
        std::vector<std::string> withAnalytics = base;
        withAnalytics.push_back("--analytics");
        const Outcome plain = RunCli(base);
        const Outcome rich = RunCli(withAnalytics);
        ASSERT_EQ(rich.status, 0) << rich.err;
        ASSERT_EQ(plain.json["companies"].size(), rich.json["companies"].size());

        const Outcome loaded = RunCli({"load", "--as", kind, m_Folder.File(kind + ".csv")});
        std::map<std::string, std::pair<Json, Json>> seriesByCode;
        for (const Json& company : loaded.json["companies"]) {
            for (const Json& series : company["contracts"]) {
                seriesByCode[series["code"]] = {company, series};
            }
        }
        for (std::size_t b = 0; b < rich.json["companies"].size(); ++b) {
            const Json& block = rich.json["companies"][b];
            for (std::size_t r = 0; r < block["series"].size(); ++r) {
                const Json& row = block["series"][r];
                EXPECT_EQ(row["cells"], plain.json["companies"][b]["series"][r]["cells"]);
                ASSERT_FALSE(plain.json["companies"][b]["series"][r].contains("analytics"));
                const Json& a = row["analytics"];
                const auto& [company, series] = seriesByCode.at(row["cells"][0]);
                SCOPED_TRACE(series["code"].get<std::string>());
                const long days = DayOf(series["expiry"]) - today;
                const auto years = static_cast<double>(days) / 365;
                ASSERT_EQ(a["days"], days);
                const double last = company["last"];
                if (!series["last"].is_null() && days > 0) {
                    const double premium = series["last"];
                    EXPECT_NEAR(a["annualised_not_exercised"].get<double>(),
                                premium / last * 100 / years, 1e-9);
                    if (isCall) {
                        EXPECT_TRUE(a["cash_secured"].is_null());
                    } else {
                        EXPECT_NEAR(a["cash_secured"].get<double>(),
                                    premium / series["exercise"].get<double>() * 100 / years, 1e-9);
                        EXPECT_TRUE(a["return_with_dividends"].is_null());
                    }
                }
                double sum = 0.0, credits = 0.0;
                std::size_t count = 0;
                for (const CDividendLine& dividend : dividends[company["code"]]) {
                    if (dividend.day > today && dividend.day <= DayOf(series["expiry"])) {
                        ++count;
                        sum += dividend.amount;
                        credits += dividend.amount * dividend.franking / 100 * 0.3 / 0.7;
                    }
                }
                ASSERT_EQ(a["dividends"].size(), count);
                withDividends += count > 0 ? 1 : 0;
                EXPECT_NEAR(a["franking_credits"].get<double>(), credits, 1e-9);
                if (isCall && !series["last"].is_null() && series["last"].get<double>() > 0) {
                    const double premium = series["last"];
                    EXPECT_NEAR(a["return_with_dividends"].get<double>(),
                                (premium + sum) / last * 100, 1e-9);
                    EXPECT_NEAR(a["return_with_franking"].get<double>(),
                                (premium + sum + credits) / last * 100, 1e-9);
                }
                // Exactly one of a volatility and the reason there is none; delta and
                // chance only with a volatility, and each in its range.
                EXPECT_NE(a["iv"].is_null(), a["iv_absent"].is_null());
                EXPECT_EQ(a["delta"].is_null(), a["iv"].is_null());
                EXPECT_EQ(a["chance_of_exercise"].is_null(), a["iv"].is_null());
                if (!a["iv"].is_null()) {
                    ++withVolatility;
                    EXPECT_GE(a["iv"].get<double>(), 0.001);
                    EXPECT_LE(a["iv"].get<double>(), 5.0);
                    const double delta = a["delta"];
                    EXPECT_TRUE(isCall ? delta >= 0 && delta <= 1 : delta >= -1 && delta <= 0);
                }
                if (!isCall) {
                    EXPECT_TRUE(a["early_exercise"].is_null());
                }
                EXPECT_EQ(a["last_trade_age_days"].is_null(), series["lastTraded"].is_null());
            }
        }
    }
    EXPECT_GT(withDividends, 0u);
    EXPECT_GT(withVolatility, 0u);
}

// The rate moves the volatilities; a bad rate is refused.
TEST_F(ReportCommandTest, AnalyticsFollowTheRate) {
    const std::string dir = m_Folder.Path().string();
    const auto volatilities = [&](const std::string& rate) {
        std::vector<std::string> arguments = {
            "report",     "--data", dir, "--kind", "put", "--now", "2010-06-23 06:00:00",
            "--analytics"};
        if (!rate.empty()) {
            arguments.insert(arguments.end(), {"--rate", rate});
        }
        const Outcome outcome = RunCli(arguments);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        std::vector<Json> found;
        for (const Json& block : outcome.json["companies"]) {
            for (const Json& row : block["series"]) {
                found.push_back(row["analytics"]["iv"]);
            }
        }
        return found;
    };
    EXPECT_EQ(volatilities(""), volatilities("4.00"));
    EXPECT_NE(volatilities(""), volatilities("9"));

    for (const char* rate : {"high", "101", "-11", "4%"}) {
        std::ostringstream out, err;
        EXPECT_EQ(RunHeadlessCommand(
                      {"report", "--data", dir, "--kind", "call", "--analytics", "--rate", rate},
                      out, err),
                  2)
            << rate;
        EXPECT_NE(err.str().find("--rate takes a percentage"), std::string::npos) << err.str();
    }
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
