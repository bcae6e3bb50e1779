#include "cli/FetchCommand.h"

#include "cli/CliOutput.h"
#include "cli/CommandLine.h"
#include "cli/CommandUsage.h"
#include "cli/ErrorStreamObserver.h"
#include "marketdata/DataSources.h"
#include "marketdata/Downloader.h"
#include "marketdata/TemporaryDownload.h"
#include "platform/UserFolders.h"
#include "session/Session.h"

namespace strikeline {

int RunFetchCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err) {
    CCommandLine line;
    std::string problem;
    if (!line.Parse(arguments, {"data"}, {}, problem) || !line.Value("data") ||
        !line.Positional().empty()) {
        err << "strikeline-cli fetch: "
            << (problem.empty() ? "--data DIR is needed, and nothing else" : problem) << "\n"
            << kFetchUsage;
        return kExitBadArguments;
    }
    const std::string folder = *line.Value("data");
    if (!MakeFolders(folder)) {
        err << "strikeline-cli fetch: unable to create " << folder << "\n";
        return kExitFailed;
    }
    const CDataSources sources;
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
    return failed ? kExitFailed : kExitSuccess;
}

} // namespace strikeline
