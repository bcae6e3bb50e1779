#include "cli/FetchCommand.h"

#include "cli/CliOutput.h"
#include "cli/CommandLine.h"
#include "cli/CommandUsage.h"
#include "cli/ErrorStreamNotifier.h"
#include "marketdata/DataSources.h"
#include "marketdata/Downloader.h"
#include "platform/UserFolders.h"

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
    CErrorStreamNotifier notifier(err);
    CApplicationState state;
    CSystemClock clock;
    CCompanyList calls;
    CCompanyList puts;
    CDividendList dividends;
    CSharedNameTable names;
    CSharedNameTable top20;
    CDownloader downloader({folder, sources.FeedUrl(), sources.SiteUrl()},
                           {calls, puts, dividends, names, top20}, state, notifier, clock);
    const std::vector<CTakenFile> taken = downloader.RunPass();

    nlohmann::ordered_json files = nlohmann::ordered_json::array();
    bool allParsed = true;
    for (const CTakenFile& file : taken) {
        files.push_back({{"file", file.fileName},
                         {"url", file.url},
                         {"label", file.label},
                         {"parsed", file.parsed}});
        allParsed = allParsed && file.parsed;
    }
    PrintJson(out, {{"taken", std::move(files)}, {"lastDataDate", state.LastDataDateStr()}});
    if (taken.empty()) {
        err << "strikeline-cli fetch: nothing was found at " << sources.FeedUrl() << " or "
            << sources.SiteUrl() << "\n";
    }
    return allParsed ? kExitSuccess : kExitFailed;
}

} // namespace strikeline
