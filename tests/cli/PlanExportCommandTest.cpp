#include "cli/CliRun.h"
#include "plan/PlanCsvWriter.h"
#include "plan/TradingPlan.h"
#include "storage/ColorScheme.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/TestTimes.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace strikeline {
namespace {

using test::RunCli;

class PlanExportCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        CTradingPlanEntry entry;
        entry.m_SourceType = TYPE_SELL_CALL;
        entry.m_CompanyID = "BHP";
        entry.m_ContractID = "BHPXY9";
        entry.m_Shares = 1000;
        entry.m_SharePrice = 10;
        entry.m_Premium = 0.5;
        m_Plan.Append(entry);
        ASSERT_TRUE(m_Plan.Save(m_PlanFile));
    }

    test::CScopedEnv m_Zone{"TZ", "UTC"};
    test::CTempFolder m_Folder;
    std::string m_PlanFile = m_Folder.File("tradingplan.xml");
    CTradingPlan m_Plan;
};

TEST_F(PlanExportCommandTest, WritesEachFormat) {
    for (const std::string format : {"csv", "html", "xlsx", "docx", "ics"}) {
        const std::string path = m_Folder.File("plan." + format);
        const test::CCliRun run = RunCli({"plan-export", "--plan", m_PlanFile, "--format", format,
                                          "--out", path, "--now", "2010-04-13 17:05:09"});
        ASSERT_EQ(run.status, 0) << format << ": " << run.err;
        const nlohmann::json result = nlohmann::json::parse(run.out);
        EXPECT_EQ(result["entries"], 1);
        EXPECT_EQ(result["out"], path);
        EXPECT_TRUE(result["error"].is_null());
        EXPECT_GT(std::filesystem::file_size(path), 0u) << format;
    }
    EXPECT_EQ(test::ReadTextFile(m_Folder.File("plan.csv")),
              PlanCsvText(BuildPlanExport(m_Plan, test::Utc("2010-04-13 17:05:09"))));
}

TEST_F(PlanExportCommandTest, TakesTheColoursOfASchemeFile) {
    CColorScheme scheme;
    scheme.Set(SchemeColor::ReportBk, Rgb(1, 2, 3));
    const std::string schemeFile = m_Folder.File("mine.slclr");
    ASSERT_TRUE(scheme.SaveToFile(schemeFile));
    const std::string path = m_Folder.File("plan.html");
    const test::CCliRun run = RunCli({"plan-export", "--plan", m_PlanFile, "--format", "html",
                                      "--out", path, "--scheme", schemeFile});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(test::ReadTextFile(path).find("background-color:#010203;"), std::string::npos);
}

TEST_F(PlanExportCommandTest, RowsThatCannotBeReadAreNamedAndTheOthersExported) {
    // A first row the file cannot hold used to stop the load there: no rows, no error.
    std::string text = test::ReadTextFile(m_PlanFile);
    text.replace(text.find("<Entry>"), 0,
                 "<Entry><CompanyID>ANZ</CompanyID><ContractID>ANZXY9</ContractID>"
                 "<Shares>2000000000.000000</Shares></Entry>");
    text.replace(text.find("</Entries>"), 0, "<Entry><CompanyID>X</CompanyID></Entry>");
    test::WriteTextFile(m_PlanFile, text);
    const std::string path = m_Folder.File("plan.csv");
    const test::CCliRun run =
        RunCli({"plan-export", "--plan", m_PlanFile, "--format", "csv", "--out", path});
    EXPECT_EQ(run.status, 1);
    const nlohmann::json result = nlohmann::json::parse(run.out);
    EXPECT_EQ(result["entries"], 1);
    const std::string unread =
        "2 of the file's 3 rows could not be read and are left out of the plan:\n"
        "Row 1 (ANZ ANZXY9): Value \"2000000000.000000\" of element <Shares> is out of range: "
        "should be [-1000000000.000000..1000000000.000000]\n"
        "Row 3 (X): <ContractID> tag not found";
    EXPECT_EQ(result["error"], unread);
    EXPECT_NE(run.err.find("Error when loading trading plan database.\n\n" + unread),
              std::string::npos);
    const std::string csv = test::ReadTextFile(path);
    EXPECT_NE(csv.find("BHPXY9"), std::string::npos);
    EXPECT_EQ(csv.find("ANZ"), std::string::npos);
}

TEST_F(PlanExportCommandTest, APlanOfWhichNothingCanBeReadLeavesTheExportAlone) {
    const std::string path = m_Folder.File("plan.csv");
    test::WriteTextFile(path, "the last export");
    for (const std::string& plan :
         {std::string("<Entries><Entry><CompanyID>X</CompanyID></Entry></Entries>"),
          std::string("<Entries>")}) {
        SCOPED_TRACE(plan);
        test::WriteTextFile(m_PlanFile, plan);
        const test::CCliRun run =
            RunCli({"plan-export", "--plan", m_PlanFile, "--format", "csv", "--out", path});
        EXPECT_EQ(run.status, 1);
        const nlohmann::json result = nlohmann::json::parse(run.out);
        EXPECT_EQ(result["entries"], 0);
        EXPECT_FALSE(result["error"].get<std::string>().empty());
        EXPECT_EQ(test::ReadTextFile(path), "the last export");
    }
    const test::CCliRun run = RunCli(
        {"plan-export", "--plan", m_Folder.File("none.xml"), "--format", "csv", "--out", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(nlohmann::json::parse(run.out)["error"],
              "File " + m_Folder.File("none.xml") + " does not exist");
    EXPECT_EQ(test::ReadTextFile(path), "the last export");
}

TEST_F(PlanExportCommandTest, FailuresAndBadArguments) {
    const std::string path = m_Folder.File("plan.csv");
    test::CCliRun run = RunCli({"plan-export", "--plan", m_PlanFile, "--format", "csv", "--out",
                                m_Folder.File("missing/plan.csv")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(
        nlohmann::json::parse(run.out)["error"].get<std::string>().find("Unable to create file "),
        std::string::npos);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"plan-export", "--plan", m_PlanFile, "--format", "pdf", "--out", path},
             {"plan-export", "--plan", m_PlanFile, "--format", "csv"},
             {"plan-export", "--plan", m_PlanFile, "--format", "csv", "--out", path, "--data",
              m_Folder.Path().string()},
             {"plan-export", "--plan", m_PlanFile, "--format", "csv", "--out", path, "--now",
              "yesterday"}}) {
        run = RunCli(bad);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("usage: strikeline-cli plan-export"), std::string::npos);
    }
}

// The calendar takes its ex-dividend dates from the data folder's dividends file; a file
// that does not read is named, and what it held before the bad line still counts.
TEST_F(PlanExportCommandTest, CalendarTakesTheDividendsOfTheDataFolder) {
    CTradingPlanEntry& row = m_Plan.At(0);
    row.m_DateExpiry = test::Utc("2010-05-27");
    ASSERT_TRUE(m_Plan.Save(m_PlanFile));
    const std::string data = m_Folder.File("data");
    std::filesystem::create_directories(data);
    const std::string path = m_Folder.File("plan.ics");
    const auto run = [&] {
        return RunCli({"plan-export", "--plan", m_PlanFile, "--format", "ics", "--out", path,
                       "--now", "2010-04-13 17:05:09", "--data", data});
    };
    // No dividends file: the expiry alone.
    test::CCliRun result = run();
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(nlohmann::json::parse(result.out)["events"], 1);

    test::WriteTextFile(data + "/dividends.csv", "Code,ExDate,Type,Amount,Franking,PayDate\n"
                                                 "BHP,20100420,Final,0.5,100,20100501\n"
                                                 "BHP,20100601,Final,0.5,100,20100701\n"
                                                 "bad line\n");
    result = run();
    EXPECT_EQ(result.status, 1);
    const nlohmann::json json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json["events"], 2);
    EXPECT_NE(json["error"].get<std::string>().find("dividends.csv"), std::string::npos);
    EXPECT_NE(result.err.find("dividends.csv"), std::string::npos);
    const std::string text = test::ReadTextFile(path);
    EXPECT_NE(text.find("DTSTART;VALUE=DATE:20100420\r\n"), std::string::npos);
    EXPECT_EQ(text.find("DTSTART;VALUE=DATE:20100601\r\n"), std::string::npos);
}

} // namespace
} // namespace strikeline
