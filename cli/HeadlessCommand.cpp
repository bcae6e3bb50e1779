#include "cli/HeadlessCommand.h"

#include "cli/CliOutput.h"
#include "cli/FetchCommand.h"
#include "cli/LoadCommand.h"
#include "cli/PlanExportCommand.h"
#include "cli/ReportCommand.h"

namespace strikeline {

namespace {

constexpr const char* kUsage =
    "usage: strikeline-cli COMMAND [OPTIONS]\n"
    "commands:\n"
    "  load --as call|put|dividends|names FILE [--summary]\n"
    "  report --data DIR --kind call|put [--now \"YYYY-MM-DD HH:MM:SS\"] [settings...]\n"
    "  plan-export --plan FILE --format csv|html|xlsx|docx --out PATH [--now ...] "
    "[--scheme FILE]\n"
    "  fetch --data DIR\n";

} // namespace

int RunHeadlessCommand(const std::vector<std::string>& arguments, std::ostream& out,
                       std::ostream& err) {
    if (arguments.empty()) {
        err << kUsage;
        return kExitBadArguments;
    }
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (arguments.front() == "fetch") {
        return RunFetchCommand(rest, out, err);
    }
    if (arguments.front() == "load") {
        return RunLoadCommand(rest, out, err);
    }
    if (arguments.front() == "plan-export") {
        return RunPlanExportCommand(rest, out, err);
    }
    if (arguments.front() == "report") {
        return RunReportCommand(rest, out, err);
    }
    err << "strikeline-cli: unknown command \"" << arguments.front() << "\"\n" << kUsage;
    return kExitBadArguments;
}

} // namespace strikeline
