#include "app/UserDatabases.h"

#include "journal/AverageTradesDatabase.h"
#include "journal/DiaryDatabase.h"
#include "plan/TradingPlan.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace strikeline {
namespace {

const std::string kGoodEntry =
    "<Entry><CompanyID>BHP</CompanyID><ContractID>BHPXY9</ContractID>"
    "<AddToDiary1>false</AddToDiary1><AddToDiary2>false</AddToDiary2>"
    "<AddToDiary3>false</AddToDiary3><AddToDiary4>false</AddToDiary4></Entry>";

TEST(UserDatabases, AFileThatFailsIsKeptAsideBeforeExitWritesOverIt) {
    test::CTempFolder folder;
    const std::string planFile = folder.File("tradingplan.xml");
    const std::string damaged = "<Entries>" + kGoodEntry +
                                "<Entry><CompanyID>ANZ</CompanyID></Entry>" + kGoodEntry +
                                "</Entries>";
    test::WriteTextFile(planFile, damaged);
    test::WriteTextFile(folder.File("diary.xml"), "<Entries/>");

    const std::vector<CUserFileProblem> problems = LoadUserDatabases(folder.Path().string());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(
        problems[0].message,
        "Error when loading trading plan database.\n\n<ContractID> tag not found\n\nThe file " +
            planFile + " was kept as " + planFile + ".damaged.");
    EXPECT_EQ(problems[0].keptCopy, planFile + ".damaged");
    ASSERT_NE(GetTradingPlan(), nullptr);
    EXPECT_EQ(GetTradingPlan()->Count(), 1u);
    ASSERT_NE(GetAverageTradesDatabase(), nullptr); // created though it has no file
    ASSERT_NE(GetDiaryDatabase(), nullptr);

    EXPECT_TRUE(SaveUserDatabases(folder.Path().string()).empty());
    EXPECT_EQ(GetTradingPlan(), nullptr);
    EXPECT_EQ(GetDiaryDatabase(), nullptr);
    EXPECT_EQ(test::ReadTextFile(planFile + ".damaged"), damaged);
    EXPECT_EQ(test::ReadTextFile(planFile).find("ANZ"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder.File("averagetrades.xml")));

    // A second failure keeps the first copy and makes another.
    test::WriteTextFile(planFile, "<Entries>");
    const auto again = LoadUserDatabases(folder.Path().string());
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].keptCopy, planFile + ".damaged.1");
    EXPECT_TRUE(again[0].message.ends_with(" was kept as " + planFile + ".damaged.1."));
    EXPECT_EQ(test::ReadTextFile(planFile + ".damaged"), damaged);
    SaveUserDatabases(folder.Path().string());
}

TEST(UserDatabases, FilesThatCannotBeWrittenAreReportedInShutdownOrder) {
    test::CTempFolder folder;
    ASSERT_TRUE(LoadUserDatabases(folder.Path().string()).empty());
    const std::vector<CUserFileProblem> problems = SaveUserDatabases(folder.File("gone"));
    std::vector<std::string> messages;
    for (const CUserFileProblem& problem : problems) {
        messages.push_back(problem.message);
    }
    EXPECT_EQ(messages, (std::vector<std::string>{"Error when writting diary database.",
                                                  "Error when writting trading plan database.",
                                                  "Error when writting average trades database."}));
    EXPECT_EQ(GetAverageTradesDatabase(), nullptr);
}

} // namespace
} // namespace strikeline
