#include "cli/FetchCommand.h"

#include "cli/CliOutput.h"
#include "cli/CommandLine.h"
#include "cli/CommandUsage.h"
#include "cli/ErrorStreamObserver.h"
#include "marketdata/DataSources.h"
#include "marketdata/Downloader.h"
#include "marketdata/TemporaryDownload.h"
#include "platform/UserFolders.h"
#include "session/DesktopNotices.h"
#include "session/Session.h"
#include "session/SettingsRecords.h"
#include "storage/RegistryFile.h"
#include "storage/RegistryStorage.h"

#include <fstream>
#include <sstream>

namespace strikeline {

namespace {

// The data sources the user set in the program (Edit > Data Sources...), for a fetch into
// the program's own folder. The settings file is only read: one that does not read is the
// program's to deal with, and the defaults stand.
CDataSources ProgramDataSources() {
    CDataSources sources;
    std::ifstream file(SettingsFilePath(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    CRegistryFile registry;
    std::string error;
    CRegistryStorage settings;
    if (file && registry.Parse(text.str(), error) &&
        settings.OpenRoot(registry.CurrentUser(), std::string(kRegistryRoot) + "\\Settings")) {
        if (const auto record = settings.OpenChild("DataSources")) {
            sources.Load(*record);
        }
    }
    return sources;
}

// --notify: the desktop hears of the lists installed and of the plan's coming dates, as
// from the program; what goes wrong is said and changes nothing else.
void TellDesktop(const std::vector<CFetchOutcome>& outcomes, const std::string& folder,
                 std::ostream& err) {
    const CNotificationSettings settings = ReadNotificationSettings(SettingsFilePath());
    if (!settings.Enabled()) {
        return;
    }
    bool calls = false;
    bool puts = false;
    std::string label;
    for (const CFetchOutcome& outcome : outcomes) {
        if (outcome.result == FetchResult::Fetched &&
            (outcome.fileName == "call.csv" || outcome.fileName == "put.csv")) {
            (outcome.fileName == "call.csv" ? calls : puts) = true;
            label = outcome.label.empty() ? label : outcome.label;
        }
    }
    std::vector<CDesktopNotice> notices = NewPriceListNotices(calls, puts, label);
    CTradingPlan plan;
    std::string error;
    if (plan.Load(folder + "/tradingplan.xml", error) || plan.Count() > 0) {
        for (CDesktopNotice& notice :
             PlanEventNotices(plan, CurrentFileTime(), settings.LeadDays())) {
            notices.push_back(std::move(notice));
        }
    }
    CNoticeLog log(folder);
    notices = log.Unsent(notices);
    if (notices.empty()) {
        return;
    }
    error.clear();
    const std::size_t sent = SendDesktopNotices(notices, error);
    if (sent < notices.size()) {
        err << "strikeline-cli fetch: --notify: " << error << "\n";
    }
    notices.resize(sent);
    if (!log.MarkSent(notices, CurrentFileTime(), error)) {
        err << "strikeline-cli fetch: --notify: " << error << "\n";
    }
}

} // namespace

int RunFetchCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err) {
    CCommandLine line;
    std::string problem;
    if (!line.Parse(arguments, {"data"}, {"notify"}, problem) || !line.Positional().empty()) {
        err << "strikeline-cli fetch: "
            << (problem.empty() ? "it takes only --data DIR and --notify" : problem) << "\n"
            << kFetchUsage;
        return kExitBadArguments;
    }
    // The program's own folder and data sources by default, so that a scheduled fetch needs
    // no arguments.
    const bool ownFolder = !line.Value("data");
    const std::string folder = ownFolder ? DataFolder() : *line.Value("data");
    if (folder.empty()) {
        err << "strikeline-cli fetch: no home folder to find the data folder in; give --data DIR\n";
        return kExitBadArguments;
    }
    if (!MakeFolders(folder)) {
        err << "strikeline-cli fetch: unable to create " << folder << "\n";
        return kExitFailed;
    }
    const CDataSources sources = ownFolder ? ProgramDataSources() : CDataSources();
    CErrorStreamObserver observer(err);
    CSession session(folder);
    CSystemClock clock;
    CDownloader downloader({folder, sources.FeedUrl(), sources.SiteUrl(), sources.Limits()},
                           session.Market(), session.State(), clock, observer);
    RemoveLeftoverDownloads(folder);
    const std::vector<CFetchOutcome> outcomes = downloader.RunPass();

    nlohmann::ordered_json files = nlohmann::ordered_json::array();
    bool failed = false;
    for (const CFetchOutcome& outcome : outcomes) {
        const bool fileFailed = outcome.result == FetchResult::Failed;
        files.push_back({{"file", outcome.fileName},
                         {"outcome", FetchResultName(outcome.result)},
                         {"url", outcome.url.empty() ? nlohmann::ordered_json(nullptr)
                                                     : nlohmann::ordered_json(outcome.url)},
                         {"label", outcome.label},
                         {"reason", fileFailed ? nlohmann::ordered_json(outcome.reason)
                                               : nlohmann::ordered_json(nullptr)}});
        if (fileFailed) {
            err << "strikeline-cli fetch: " << outcome.fileName << ": " << outcome.reason << "\n";
        }
        failed = failed || fileFailed;
    }
    PrintJson(out,
              {{"files", std::move(files)}, {"lastDataDate", session.State().LastDataDateStr()}});
    if (line.Flag("notify")) {
        TellDesktop(outcomes, folder, err);
    }
    return failed ? kExitFailed : kExitSuccess;
}

} // namespace strikeline
