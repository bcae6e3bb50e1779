#include "app/UserDatabases.h"

#include "journal/AverageTradesDatabase.h"
#include "journal/DiaryDatabase.h"
#include "plan/TradingPlan.h"
#include "platform/AtomicFile.h"
#include "platform/UserFolders.h"

#include <memory>

namespace strikeline {

namespace {

constexpr const char* kPlanFile = "tradingplan.xml";
constexpr const char* kAverageTradesFile = "averagetrades.xml";
constexpr const char* kDiaryFile = "diary.xml";

template <typename Database>
void LoadIfPresent(Database& database, const std::string& path, const char* failure,
                   std::vector<CUserFileProblem>& problems) {
    if (!PathExists(path)) {
        return;
    }
    std::string error;
    if (!database.Load(path, error)) {
        std::string kept = CopyAside(path, "damaged");
        // The user learns which file failed and where it went before exit writes over it.
        const std::string where = kept.empty() ? "The file " + path + " could not be copied aside."
                                               : "The file " + path + " was kept as " + kept + ".";
        problems.push_back(
            {std::string(failure) + "\n\n" + error + "\n\n" + where, std::move(kept)});
    }
}

template <typename Database>
void Save(const Database* database, const std::string& path, const char* failure,
          std::vector<CUserFileProblem>& problems) {
    if (database != nullptr && !database->Save(path)) {
        problems.push_back({failure, {}});
    }
}

} // namespace

std::vector<CUserFileProblem> LoadUserDatabases(const std::string& dataFolder) {
    std::vector<CUserFileProblem> problems;
    SetTradingPlan(std::make_unique<CTradingPlan>());
    LoadIfPresent(*GetTradingPlan(), PathInFolder(dataFolder, kPlanFile),
                  "Error when loading trading plan database.", problems);
    SetAverageTradesDatabase(std::make_unique<CAverageTradesDatabase>());
    LoadIfPresent(*GetAverageTradesDatabase(), PathInFolder(dataFolder, kAverageTradesFile),
                  "Error when loading average trades database.", problems);
    SetDiaryDatabase(std::make_unique<CDiaryDatabase>());
    LoadIfPresent(*GetDiaryDatabase(), PathInFolder(dataFolder, kDiaryFile),
                  "Error when loading diary database.", problems);
    return problems;
}

std::vector<CUserFileProblem> SaveUserDatabases(const std::string& dataFolder) {
    std::vector<CUserFileProblem> problems;
    Save(GetDiaryDatabase(), PathInFolder(dataFolder, kDiaryFile),
         "Error when writting diary database.", problems);
    SetDiaryDatabase(nullptr);
    Save(GetTradingPlan(), PathInFolder(dataFolder, kPlanFile),
         "Error when writting trading plan database.", problems);
    SetTradingPlan(nullptr);
    Save(GetAverageTradesDatabase(), PathInFolder(dataFolder, kAverageTradesFile),
         "Error when writting average trades database.", problems);
    SetAverageTradesDatabase(nullptr);
    return problems;
}

} // namespace strikeline
