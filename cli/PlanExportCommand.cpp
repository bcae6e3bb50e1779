#include "cli/PlanExportCommand.h"

#include "cli/CliOutput.h"
#include "cli/CommandLine.h"
#include "cli/CommandUsage.h"
#include "marketdata/MarketDataLoaders.h"
#include "plan/PlanCalendar.h"
#include "plan/PlanCsvWriter.h"
#include "plan/PlanDocxWriter.h"
#include "plan/PlanHtmlWriter.h"
#include "plan/PlanXlsxWriter.h"
#include "storage/ColorScheme.h"

#include <set>

namespace strikeline {

namespace {

bool WriteExport(const std::string& format, const CPlanExport& content, const CColorScheme& scheme,
                 const std::string& path, std::string& error) {
    if (format == "csv") {
        return WritePlanCsv(content, path, error);
    }
    if (format == "html") {
        return WritePlanHtml(content, scheme, path, error);
    }
    if (format == "xlsx") {
        return WritePlanXlsx(content, path, error);
    }
    return WritePlanDocx(content, path, error);
}

// The calendar of the plan's coming dates, with the ex-dividend dates of the data folder
// `data` when given (a folder without a dividends file lists none).
bool WriteCalendar(const CTradingPlan& plan, FileTime now, const std::optional<std::string>& data,
                   const std::string& path, std::size_t& events, std::string& error) {
    CMarketData market;
    bool read = true;
    if (data) {
        if (const CMarketFileLoad load = LoadDividendsFile(*data, market); load.problem) {
            // The dividends read before the bad line still count; the file is named.
            error = *load.problem;
            read = false;
        }
    }
    const std::shared_ptr<const CMarketSnapshot> snapshot = market.Current();
    const std::vector<CPlanCalendarEvent> list =
        PlanCalendarEvents(plan, now, data ? &snapshot->Dividends() : nullptr);
    events = list.size();
    std::string writeError;
    if (!WritePlanCalendar(list, now, path, writeError)) {
        error = error.empty() ? writeError : error + "\n\n" + writeError;
        return false;
    }
    return read;
}

} // namespace

int RunPlanExportCommand(const std::vector<std::string>& arguments, std::ostream& out,
                         std::ostream& err) {
    CCommandLine line;
    std::string problem;
    FileTime now = kNoDate;
    const bool parsed =
        line.Parse(arguments, {"plan", "format", "out", "now", "scheme", "data"}, {}, problem);
    const std::set<std::string> formats = {"csv", "html", "xlsx", "docx", "ics"};
    if (parsed && (!line.Value("plan") || !line.Value("format") || !line.Value("out") ||
                   !line.Positional().empty())) {
        problem = "--plan, --format and --out are needed, and nothing else";
    } else if (parsed && formats.count(*line.Value("format")) == 0) {
        problem = "--format is csv, html, xlsx, docx or ics";
    } else if (parsed && line.Value("data") && *line.Value("format") != "ics") {
        problem = "--data is for --format ics";
    }
    if (!problem.empty() || !ReadNowOption(line, now, problem)) {
        err << "strikeline-cli plan-export: " << problem << "\n" << kPlanExportUsage;
        return kExitBadArguments;
    }

    bool ok = true;
    std::string error;
    CColorScheme scheme;
    if (const auto schemeFile = line.Value("scheme");
        schemeFile && !scheme.LoadFromFile(*schemeFile, error)) {
        err << "Error when loading colour scheme " << *schemeFile << ".\n\n" << error << "\n";
        ok = false;
    }
    CTradingPlan plan;
    std::string loadError;
    const bool planRead = plan.Load(*line.Value("plan"), loadError);
    const std::string format = *line.Value("format");
    const std::string path = *line.Value("out");
    nlohmann::ordered_json result = {
        {"entries", plan.Count()}, {"format", format}, {"out", path}, {"error", nullptr}};
    if (!planRead) {
        err << "Error when loading trading plan database.\n\n" << loadError << "\n";
        result["error"] = loadError;
        ok = false;
    }
    // Rows that could be read are exported and the others named; a plan of which nothing
    // could be read would only make an empty export that looks like a finished one.
    if ((planRead || plan.Count() > 0) && format == "ics") {
        // Only rows whose expiry has not passed at --now have events.
        std::size_t events = 0;
        if (!WriteCalendar(plan, now, line.Value("data"), path, events, error)) {
            err << error << "\n";
            result["error"] = loadError.empty() ? error : loadError + "\n\n" + error;
            ok = false;
        }
        result["events"] = events;
    } else if (planRead || plan.Count() > 0) {
        // The plan's own columns: the analytics need a market, which this command has not.
        const CPlanExportAnalytics* noAnalytics = nullptr;
        if (!WriteExport(format, BuildPlanExport(plan, now, noAnalytics), scheme, path, error)) {
            err << error << "\n";
            result["error"] = loadError.empty() ? error : loadError + "\n\n" + error;
            ok = false;
        }
    }
    PrintJson(out, result);
    return ok ? kExitSuccess : kExitFailed;
}

} // namespace strikeline
