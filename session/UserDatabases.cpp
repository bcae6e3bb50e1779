#include "session/UserDatabases.h"

#include "journal/AverageTradesDatabase.h"
#include "journal/DiaryDatabase.h"
#include "plan/TradingPlan.h"
#include "platform/AtomicFile.h"
#include "platform/UserFolders.h"
#include "session/Session.h"

#include <algorithm>
#include <map>
#include <memory>

namespace strikeline {

namespace {

// One of the user's files: its name in the data folder and what the user is told about it.
struct CUserFile {
    const char* name;
    const char* loadFailure;
    const char* saveFailure;
    // "<what> could not be read when the program started (...), so <current> may lack
    // <part> of the file <path>.\n\n<question>"
    const char* what;
    const char* current;
    const char* part;
    const char* question;
};

constexpr CUserFile kPlanFile = {"tradingplan.xml",
                                 "Error when loading trading plan database.",
                                 "Error when writting trading plan database.",
                                 "The trading plan",
                                 "the plan you have now",
                                 "rows",
                                 "Save the current plan over it?"};
constexpr CUserFile kAverageTradesFile = {"averagetrades.xml",
                                          "Error when loading average trades database.",
                                          "Error when writting average trades database.",
                                          "The average trades",
                                          "the figures you have now",
                                          "figures",
                                          "Save the current average trades over it?"};
constexpr CUserFile kDiaryFile = {"diary.xml",
                                  "Error when loading diary database.",
                                  "Error when writting diary database.",
                                  "The diary",
                                  "the diary you have now",
                                  "entries",
                                  "Save the current diary over it?"};

// Tells whether what `take` returns differs from what it returned when the watch began.
template <typename Take> std::function<bool()> ChangeWatch(Take take) {
    return [take, loaded = take()] {
        return take() != loaded;
    };
}

std::vector<CTradingPlanEntry> PlanRows(const CTradingPlan& plan) {
    std::vector<CTradingPlanEntry> rows;
    for (std::size_t i = 0; i < plan.Count(); ++i) {
        rows.push_back(plan.At(i));
    }
    return rows;
}

// A copy of the unreadable file. The file stays as it was until the user saves over it,
// so every start finds it unreadable again: a copy already kept with the same contents
// is named again rather than made once more.
std::string KeepCopy(const std::string& path) {
    std::string contents;
    std::string error;
    if (ReadWholeFile(path, contents, error)) {
        for (int n = 0;; ++n) {
            const std::string copy = path + ".damaged" + (n == 0 ? "" : "." + std::to_string(n));
            std::string kept;
            if (!PathExists(copy) || !ReadWholeFile(copy, kept, error)) {
                break;
            }
            if (kept == contents) {
                return copy;
            }
        }
    }
    return CopyAside(path, "damaged");
}

// `watch` starts a ChangeWatch over the database once it holds what could be read.
template <typename Database, typename Watch>
void LoadIfPresent(Database& database, const std::string& dataFolder, const CUserFile& file,
                   Watch watch, std::vector<CUserFileGuard>& guards,
                   std::vector<CUserFileProblem>& problems) {
    database.Clear();
    const std::string path = PathInFolder(dataFolder, file.name);
    if (!PathExists(path)) {
        return;
    }
    std::string error;
    if (database.Load(path, error)) {
        return;
    }
    std::string kept = KeepCopy(path);
    // The user learns which file failed and where it went before anything writes over it.
    const std::string where = kept.empty() ? "The file " + path + " could not be copied aside."
                                           : "The file " + path + " was kept as " + kept + ".";
    // The question ends on the file itself, so that "over it" cannot be read as the copy.
    const std::string copy = kept.empty() ? "no copy of the file could be kept"
                                          : "a copy of the file is kept as " + kept;
    guards.push_back({file.name,
                      std::string(file.what) + " could not be read when the program started (" +
                          copy + "), so " + file.current + " may lack " + file.part +
                          " of the file " + path + ".\n\n" + file.question,
                      watch(), kept.empty() ? path : std::string()});
    problems.push_back(
        {std::string(file.loadFailure) + "\n\n" + error + "\n\n" + where, std::move(kept)});
}

template <typename Database>
void Save(const Database& database, const std::string& dataFolder, const CUserFile& file,
          const CAskUser& ask, const std::vector<CUserFileGuard>& guarded,
          std::vector<CUserFileProblem>& problems) {
    const auto guard =
        std::find_if(guarded.begin(), guarded.end(),
                     [&file](const CUserFileGuard& g) { return g.fileName == file.name; });
    // Nothing changed since the file failed to load: writing would only lose what could not
    // be read. Something did: only the user can say which matters more.
    if (guard != guarded.end() && !guard->uncopied.empty()) {
        if (guard->changed()) {
            problems.push_back({std::string(file.what) +
                                    " could not be read when the program started and no "
                                    "complete copy of the file " +
                                    guard->uncopied +
                                    " could be kept, so the file is left as it was, and " +
                                    file.current + " could not be saved.",
                                {}});
        }
        return;
    }
    if (guard != guarded.end() && (!guard->changed() || !ask || !ask(guard->question))) {
        return;
    }
    if (!database.Save(PathInFolder(dataFolder, file.name))) {
        problems.push_back({file.saveFailure, {}});
    }
}

} // namespace

std::vector<CUserFileProblem> LoadUserDatabases(CSession& session) {
    std::vector<CUserFileProblem> problems;
    const std::string& folder = session.DataFolder();
    std::vector<CUserFileGuard>& guards = session.UserFileGuards();
    guards.clear();
    CTradingPlan& plan = session.TradingPlan();
    LoadIfPresent(
        plan, folder, kPlanFile,
        [&plan] { return ChangeWatch([&plan] { return PlanRows(plan); }); }, guards, problems);
    CAverageTradesDatabase& averages = session.AverageTrades();
    LoadIfPresent(
        averages, folder, kAverageTradesFile,
        [&averages] { return ChangeWatch([&averages] { return averages.Items(); }); }, guards,
        problems);
    CDiaryDatabase& diary = session.Diary();
    LoadIfPresent(
        diary, folder, kDiaryFile,
        [&diary] { return ChangeWatch([&diary] { return diary.Entries(); }); }, guards, problems);
    return problems;
}

std::vector<CUserFileProblem> SaveUserDatabases(CSession& session, const CAskUser& ask) {
    std::vector<CUserFileProblem> problems;
    const std::string& folder = session.DataFolder();
    const std::vector<CUserFileGuard>& guards = session.UserFileGuards();
    Save(session.Diary(), folder, kDiaryFile, ask, guards, problems);
    Save(session.TradingPlan(), folder, kPlanFile, ask, guards, problems);
    Save(session.AverageTrades(), folder, kAverageTradesFile, ask, guards, problems);
    return problems;
}

} // namespace strikeline
