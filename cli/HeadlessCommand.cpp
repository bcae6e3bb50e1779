#include "cli/HeadlessCommand.h"

#include "cli/CliOutput.h"
#include "cli/CommandUsage.h"
#include "cli/FetchCommand.h"
#include "cli/LoadCommand.h"
#include "cli/PlanExportCommand.h"
#include "cli/ReportCommand.h"

#include <algorithm>
#include <array>

namespace strikeline {

namespace {

using CommandFunction = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

struct CCommand {
    const char* name;
    const char* usage;
    const char* help;
    CommandFunction run;
};

constexpr std::array kCommands = {
    CCommand{"load", kLoadUsage, kLoadHelp, RunLoadCommand},
    CCommand{"report", kReportUsage, kReportHelp, RunReportCommand},
    CCommand{"plan-export", kPlanExportUsage, kPlanExportHelp, RunPlanExportCommand},
    CCommand{"fetch", kFetchUsage, kFetchHelp, RunFetchCommand},
};

constexpr const char* kUsage =
    "usage: strikeline-cli COMMAND [OPTIONS]\n"
    "       strikeline-cli COMMAND --help\n"
    "       strikeline-cli --help | --version\n"
    "commands:\n"
    "  load --as call|put|dividends|names FILE [--summary]\n"
    "  report --data DIR --kind call|put [--now \"YYYY-MM-DD HH:MM:SS\"] [settings...]\n"
    "  plan-export --plan FILE --format csv|html|xlsx|docx --out PATH [--now ...] "
    "[--scheme FILE]\n"
    "  fetch --data DIR\n";

constexpr const char* kDescription =
    "Strikeline's reports, data files and plan exports without a window. Output is JSON on\n"
    "standard output, messages go to standard error; the exit status is 0 on success, 1 when\n"
    "a data file or writer failed and 2 for bad arguments.\n\n";

bool IsHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

} // namespace

int RunHeadlessCommand(const std::vector<std::string>& arguments, std::ostream& out,
                       std::ostream& err) {
    if (arguments.empty()) {
        err << kUsage;
        return kExitBadArguments;
    }
    const std::string& name = arguments.front();
    if (IsHelp(name) || name == "help") {
        out << kDescription << kUsage;
        return kExitSuccess;
    }
    if (name == "--version") {
        out << "strikeline-cli " << STRIKELINE_VERSION << '\n';
        return kExitSuccess;
    }
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    for (const CCommand& command : kCommands) {
        if (name != command.name) {
            continue;
        }
        if (std::any_of(rest.begin(), rest.end(), IsHelp)) {
            out << command.usage << '\n' << command.help;
            return kExitSuccess;
        }
        return command.run(rest, out, err);
    }
    err << "strikeline-cli: unknown command \"" << name << "\"\n" << kUsage;
    return kExitBadArguments;
}

} // namespace strikeline
