#include "session/UserDatabases.h"

#include "journal/AverageTradesDatabase.h"
#include "journal/DiaryDatabase.h"
#include "plan/TradingPlan.h"
#include "session/Session.h"
#include "support/TempFolder.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>

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

    auto session = std::make_unique<CSession>(folder.Path().string());
    const std::vector<CUserFileProblem> problems = LoadUserDatabases(*session);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].message,
              "Error when loading trading plan database.\n\n1 of the file's 3 rows could not be "
              "read and is left out of the plan:\nRow 2 (ANZ): <ContractID> tag not found\n\n"
              "The file " +
                  planFile + " was kept as " + planFile + ".damaged.");
    EXPECT_EQ(problems[0].keptCopy, planFile + ".damaged");
    EXPECT_EQ(test::ReadTextFile(planFile + ".damaged"), kDamagedPlan);
    EXPECT_EQ(session->TradingPlan().Count(), 2u);
    EXPECT_TRUE(session->AverageTrades().Items().empty()); // no file, so empty

    CAnswers answers;
    EXPECT_TRUE(SaveUserDatabases(*session, answers.Ask()).empty());
    EXPECT_TRUE(std::filesystem::exists(folder.File("averagetrades.xml")));

    // The file still fails at the next start: the copy already kept is named again; a file
    // that fails differently gets a copy of its own.
    session = std::make_unique<CSession>(folder.Path().string());
    EXPECT_EQ(LoadUserDatabases(*session).at(0).keptCopy, planFile + ".damaged");
    SaveUserDatabases(*session, answers.Ask());
    test::WriteTextFile(planFile, "<Entries>");
    session = std::make_unique<CSession>(folder.Path().string());
    const auto again = LoadUserDatabases(*session);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].keptCopy, planFile + ".damaged.1");
    EXPECT_TRUE(again[0].message.ends_with(" was kept as " + planFile + ".damaged.1."));
    EXPECT_EQ(test::ReadTextFile(planFile + ".damaged"), kDamagedPlan);
    SaveUserDatabases(*session, answers.Ask());
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
        CSession session(folder.Path().string());
        ASSERT_EQ(LoadUserDatabases(session).size(), 3u);
        CAnswers answers(true);
        EXPECT_TRUE(SaveUserDatabases(session, answers.Ask()).empty());
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
        std::function<void(CSession&)> change;
        std::string question;
        std::string written; // a text the file holds once written over
    };
    const std::vector<Case> cases = {
        {"tradingplan.xml", kDamagedPlan, [](CSession& s) { s.TradingPlan().At(0).m_Shares = 5; },
         "The trading plan could not be read when the program started (a copy of the file is "
         "kept as @.damaged), so the plan you have now may lack rows of the file @."
         "\n\nSave the current plan over it?",
         "<Shares>5.000000</Shares>"},
        {"diary.xml", kDamagedDiary, [](CSession& s) { s.Diary().EntryAt(0)->m_Shares = 5; },
         "The diary could not be read when the program started (a copy of the file is kept as "
         "@.damaged), so the diary you have now may lack entries of the file @."
         "\n\nSave the current diary over it?",
         "<Shares>5.000000</Shares>"},
        {"averagetrades.xml", kDamagedAverages,
         [](CSession& s) { s.AverageTrades().Set("NAB", 5); },
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
            CSession session(folder.Path().string());
            ASSERT_EQ(LoadUserDatabases(session).size(), 1u);
            c.change(session);
            CAnswers answers(yes);
            EXPECT_TRUE(SaveUserDatabases(session, answers.Ask()).empty());
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
    CSession session(folder.Path().string());
    LoadUserDatabases(session);
    session.TradingPlan().Clear();
    EXPECT_TRUE(SaveUserDatabases(session, {}).empty());
    EXPECT_EQ(test::ReadTextFile(folder.File("tradingplan.xml")), kDamagedPlan);
}

// Files no program of ours writes: nested past any depth a reader could walk on its stack,
// an element crowded with attributes, or larger than any user file. Each is refused with
// its reason, and kept aside like any other file that fails.
TEST(UserDatabases, HostileFilesAreRefusedWithAReason) {
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> make;
        std::string reason;
    };
    const auto nested = [](const std::string& path) {
        std::string text = "<Entries><Entry>";
        for (int i = 0; i < 40000; ++i) {
            text += "<a>";
        }
        for (int i = 0; i < 40000; ++i) {
            text += "</a>";
        }
        test::WriteTextFile(path, text + "</Entry></Entries>");
    };
    const auto crowded = [](const std::string& path) {
        std::string text = "<Entries><Entry";
        for (int i = 0; i < 200000; ++i) {
            text += " a" + std::to_string(i) + "=\"1\"";
        }
        test::WriteTextFile(path, text + "/></Entries>");
    };
    const auto huge = [](const std::string& path) {
        test::WriteTextFile(path, "<Entries>");
        std::filesystem::resize_file(path, 65 * 1024 * 1024);
    };
    const std::vector<Case> cases = {
        {"nested", nested, "Elements are nested more than 256 levels deep (line 1, column 779)"},
        {"crowded", crowded, "An element has more than 1000 attributes (line 1, column 10)"},
        {"huge", huge, "is larger than 64 MB"},
    };
    const std::vector<std::pair<std::string, std::string>> files = {
        {"tradingplan.xml", "Error when loading trading plan database.\n\n"},
        {"diary.xml", "Error when loading diary database.\n\n"},
        {"averagetrades.xml", "Error when loading average trades database.\n\n"},
    };
    for (const auto& [name, heading] : files) {
        for (const Case& c : cases) {
            SCOPED_TRACE(name + " " + c.name);
            test::CTempFolder folder;
            const std::string path = folder.File(name);
            c.make(path);
            const std::string before = test::ReadTextFile(path);
            CSession session(folder.Path().string());
            const std::vector<CUserFileProblem> problems = LoadUserDatabases(session);
            ASSERT_EQ(problems.size(), 1u);
            EXPECT_TRUE(problems[0].message.starts_with(heading)) << problems[0].message;
            EXPECT_NE(problems[0].message.find(c.reason), std::string::npos) << problems[0].message;
            EXPECT_TRUE(problems[0].message.ends_with(" was kept as " + path + ".damaged."));
            EXPECT_EQ(problems[0].keptCopy, path + ".damaged");
            CAnswers answers(true);
            EXPECT_TRUE(SaveUserDatabases(session, answers.Ask()).empty());
            EXPECT_EQ(test::ReadTextFile(path), before);
        }
    }
}

// Changes the plan and quits, answering Yes to any question; the file is not written over.
std::vector<CUserFileProblem> ChangePlanAndQuit(CSession& session, CAnswers& answers) {
    session.TradingPlan().At(0).m_Shares = 5;
    return SaveUserDatabases(session, answers.Ask());
}

std::string UncopiedMessage(const std::string& path) {
    return "The trading plan could not be read when the program started and no complete copy "
           "of the file " +
           path +
           " could be kept, so the file is left as it was, and the plan you have now "
           "could not be saved.";
}

TEST(UserDatabases, AFileThatCouldNotBeCopiedAsideIsNeverWrittenOver) {
    test::CTempFolder folder;
    const std::string path = folder.File("tradingplan.xml");
    test::WriteTextFile(path, kDamagedPlan);
    // Every name a copy could take is already taken by another file.
    test::WriteTextFile(path + ".damaged", "other");
    for (int n = 1; n < 1000; ++n) {
        test::WriteTextFile(path + ".damaged." + std::to_string(n), "other");
    }
    auto session = std::make_unique<CSession>(folder.Path().string());
    const std::vector<CUserFileProblem> problems = LoadUserDatabases(*session);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].message.ends_with("The file " + path + " could not be copied aside."))
        << problems[0].message;
    EXPECT_EQ(problems[0].keptCopy, "");
    CAnswers answers(true);
    const std::vector<CUserFileProblem> atQuit = ChangePlanAndQuit(*session, answers);
    ASSERT_EQ(atQuit.size(), 1u);
    EXPECT_EQ(atQuit[0].message, UncopiedMessage(path));
    EXPECT_TRUE(answers.questions.empty());
    EXPECT_EQ(test::ReadTextFile(path), kDamagedPlan);

    // Nothing changed: nothing is lost, and nothing needs saying.
    session = std::make_unique<CSession>(folder.Path().string());
    LoadUserDatabases(*session);
    EXPECT_TRUE(SaveUserDatabases(*session, answers.Ask()).empty());
    EXPECT_EQ(test::ReadTextFile(path), kDamagedPlan);
}

// In a child process: the file-size limit applies to it alone. Exits 0 when the plan
// failed, could not be copied and was reported unsaved at quit without a question.
[[noreturn]] void QuitOnAFullDisk(const std::string& folder, const std::string& path) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    CSession session(folder);
    const std::vector<CUserFileProblem> problems = LoadUserDatabases(session);
    CAnswers answers(true);
    const std::vector<CUserFileProblem> atQuit = ChangePlanAndQuit(session, answers);
    const bool told = problems.size() == 1 && problems[0].keptCopy.empty() && atQuit.size() == 1 &&
                      atQuit[0].message == UncopiedMessage(path) && answers.questions.empty();
    std::_Exit(told ? 0 : 1);
}

// A full disk, as a file-size limit smaller than the plan: the copy cannot be completed, so
// none is left, and the plan is not written over. Run in a child process, which alone
// takes the limit.
TEST(UserDatabases, OnAFullDiskNoPartialCopyIsLeftAndTheFileIsKept) {
    test::CTempFolder folder;
    const std::string path = folder.File("tradingplan.xml");
    std::string plan = "<Entries>";
    for (int i = 0; i < 200; ++i) {
        plan += kGoodEntry;
    }
    plan += "<Entry><CompanyID>ANZ</CompanyID></Entry></Entries>";
    ASSERT_GT(plan.size(), 8192u);
    test::WriteTextFile(path, plan);
    EXPECT_EXIT(QuitOnAFullDisk(folder.Path().string(), path), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(test::ReadTextFile(path), plan);
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        EXPECT_EQ(entry.path().filename().string().find("tradingplan.xml."), std::string::npos)
            << entry.path();
    }
}

TEST(UserDatabases, FilesThatCannotBeWrittenAreReportedInShutdownOrder) {
    test::CTempFolder folder;
    CSession session(folder.File("gone"));
    ASSERT_TRUE(LoadUserDatabases(session).empty());
    const std::vector<CUserFileProblem> problems = SaveUserDatabases(session, {});
    std::vector<std::string> messages;
    for (const CUserFileProblem& problem : problems) {
        messages.push_back(problem.message);
    }
    EXPECT_EQ(messages, (std::vector<std::string>{"Error when writting diary database.",
                                                  "Error when writting trading plan database.",
                                                  "Error when writting average trades database."}));
}

} // namespace
} // namespace strikeline
