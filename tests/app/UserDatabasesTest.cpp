#include "app/UserDatabases.h"

#include "journal/AverageTradesDatabase.h"
#include "journal/DiaryDatabase.h"
#include "plan/TradingPlan.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace strikeline {
namespace {

const std::string kGoodEntry =
    "<Entry><CompanyID>BHP</CompanyID><ContractID>BHPXY9</ContractID>"
    "<AddToDiary1>false</AddToDiary1><AddToDiary2>false</AddToDiary2>"
    "<AddToDiary3>false</AddToDiary3><AddToDiary4>false</AddToDiary4></Entry>";

const std::string kDamagedPlan = "<Entries>" + kGoodEntry +
                                 "<Entry><CompanyID>ANZ</CompanyID></Entry>" + kGoodEntry +
                                 "</Entries>";
const std::string kDamagedDiary =
    "<Entries><Entry><StartDate>2010-04-13 05:30:00</StartDate><CompanyID>BHP</CompanyID>"
    "<ContractID>BHPXY9</ContractID></Entry><Entry><CompanyID>ANZ</CompanyID></Entry></Entries>";
const std::string kDamagedAverages =
    "<Entries><Entry><CompanyID>BHP</CompanyID><Value>12</Value></Entry>"
    "<Entry><CompanyID>ANZ</CompanyID><Value>-1</Value></Entry></Entries>";

// Records the questions and gives one answer to all of them.
struct CAnswers {
    explicit CAnswers(bool yes = false) : answer(yes) {}

    bool answer;
    std::vector<std::string> questions;

    CAskUser Ask() {
        return [this](const std::string& question) {
            questions.push_back(question);
            return answer;
        };
    }
};

TEST(UserDatabases, AFileThatFailsIsKeptAsideAndKeepsEveryRowItCanRead) {
    test::CTempFolder folder;
    const std::string planFile = folder.File("tradingplan.xml");
    test::WriteTextFile(planFile, kDamagedPlan);
    test::WriteTextFile(folder.File("diary.xml"), "<Entries/>");

    const std::vector<CUserFileProblem> problems = LoadUserDatabases(folder.Path().string());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].message,
              "Error when loading trading plan database.\n\n1 of the file's 3 rows could not be "
              "read and is left out of the plan:\nRow 2 (ANZ): <ContractID> tag not found\n\n"
              "The file " +
                  planFile + " was kept as " + planFile + ".damaged.");
    EXPECT_EQ(problems[0].keptCopy, planFile + ".damaged");
    EXPECT_EQ(test::ReadTextFile(planFile + ".damaged"), kDamagedPlan);
    ASSERT_NE(GetTradingPlan(), nullptr);
    EXPECT_EQ(GetTradingPlan()->Count(), 2u);
    ASSERT_NE(GetAverageTradesDatabase(), nullptr); // created though it has no file
    ASSERT_NE(GetDiaryDatabase(), nullptr);

    CAnswers answers;
    EXPECT_TRUE(SaveUserDatabases(folder.Path().string(), answers.Ask()).empty());
    EXPECT_EQ(GetTradingPlan(), nullptr);
    EXPECT_EQ(GetDiaryDatabase(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(folder.File("averagetrades.xml")));

    // The file still fails at the next start: the copy already kept is named again; a file
    // that fails differently gets a copy of its own.
    EXPECT_EQ(LoadUserDatabases(folder.Path().string()).at(0).keptCopy, planFile + ".damaged");
    SaveUserDatabases(folder.Path().string(), answers.Ask());
    test::WriteTextFile(planFile, "<Entries>");
    const auto again = LoadUserDatabases(folder.Path().string());
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].keptCopy, planFile + ".damaged.1");
    EXPECT_TRUE(again[0].message.ends_with(" was kept as " + planFile + ".damaged.1."));
    EXPECT_EQ(test::ReadTextFile(planFile + ".damaged"), kDamagedPlan);
    SaveUserDatabases(folder.Path().string(), answers.Ask());
    EXPECT_TRUE(answers.questions.empty());
}

// Exit used to write the part that could be read over the whole file, or an empty plan
// over one that could not be read at all.
TEST(UserDatabases, AFileThatFailedIsNotWrittenWhileNothingChanged) {
    for (const std::string& plan : {kDamagedPlan, std::string("<Entries>"), std::string("x")}) {
        test::CTempFolder folder;
        test::WriteTextFile(folder.File("tradingplan.xml"), plan);
        test::WriteTextFile(folder.File("diary.xml"), kDamagedDiary);
        test::WriteTextFile(folder.File("averagetrades.xml"), kDamagedAverages);
        ASSERT_EQ(LoadUserDatabases(folder.Path().string()).size(), 3u);
        CAnswers answers(true);
        EXPECT_TRUE(SaveUserDatabases(folder.Path().string(), answers.Ask()).empty());
        EXPECT_TRUE(answers.questions.empty());
        EXPECT_EQ(test::ReadTextFile(folder.File("tradingplan.xml")), plan);
        EXPECT_EQ(test::ReadTextFile(folder.File("diary.xml")), kDamagedDiary);
        EXPECT_EQ(test::ReadTextFile(folder.File("averagetrades.xml")), kDamagedAverages);
    }
}

TEST(UserDatabases, AfterAChangeTheUserIsAskedBeforeAFileThatFailedIsWritten) {
    struct Case {
        std::string file;
        std::string damaged;
        std::function<void()> change;
        std::string question;
        std::string written; // a text the file holds once written over
    };
    const std::vector<Case> cases = {
        {"tradingplan.xml", kDamagedPlan, [] { GetTradingPlan()->At(0).m_Shares = 5; },
         "The trading plan could not be read when the program started (a copy of the file is "
         "kept as @.damaged), so the plan you have now may lack rows of the file @."
         "\n\nSave the current plan over it?",
         "<Shares>5.000000</Shares>"},
        {"diary.xml", kDamagedDiary, [] { GetDiaryDatabase()->EntryAt(0)->m_Shares = 5; },
         "The diary could not be read when the program started (a copy of the file is kept as "
         "@.damaged), so the diary you have now may lack entries of the file @."
         "\n\nSave the current diary over it?",
         "<Shares>5.000000</Shares>"},
        {"averagetrades.xml", kDamagedAverages, [] { GetAverageTradesDatabase()->Set("NAB", 5); },
         "The average trades could not be read when the program started (a copy of the file is "
         "kept as @.damaged), so the figures you have now may lack figures of the file @."
         "\n\nSave the current average trades over it?",
         "<CompanyID>NAB</CompanyID>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        for (const bool yes : {false, true}) {
            test::CTempFolder folder;
            const std::string path = folder.File(c.file);
            test::WriteTextFile(path, c.damaged);
            ASSERT_EQ(LoadUserDatabases(folder.Path().string()).size(), 1u);
            c.change();
            CAnswers answers(yes);
            EXPECT_TRUE(SaveUserDatabases(folder.Path().string(), answers.Ask()).empty());
            std::string question = c.question;
            for (std::size_t at = question.find('@'); at != std::string::npos;
                 at = question.find('@')) {
                question.replace(at, 1, path);
            }
            EXPECT_EQ(answers.questions, std::vector<std::string>{question});
            const std::string text = test::ReadTextFile(path);
            EXPECT_EQ(text == c.damaged, !yes);
            EXPECT_EQ(text.find(c.written) != std::string::npos, yes);
        }
    }

    // With nobody to ask, a file that failed is left as it was.
    test::CTempFolder folder;
    test::WriteTextFile(folder.File("tradingplan.xml"), kDamagedPlan);
    LoadUserDatabases(folder.Path().string());
    GetTradingPlan()->Clear();
    EXPECT_TRUE(SaveUserDatabases(folder.Path().string(), {}).empty());
    EXPECT_EQ(test::ReadTextFile(folder.File("tradingplan.xml")), kDamagedPlan);
}

TEST(UserDatabases, FilesThatCannotBeWrittenAreReportedInShutdownOrder) {
    test::CTempFolder folder;
    ASSERT_TRUE(LoadUserDatabases(folder.Path().string()).empty());
    const std::vector<CUserFileProblem> problems = SaveUserDatabases(folder.File("gone"), {});
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
