#include "cli/ReportCommand.h"

#include "cli/CliOutput.h"
#include "cli/CommandLine.h"
#include "cli/CommandUsage.h"
#include "marketdata/MarketDataLoaders.h"
#include "reports/ReportBuilder.h"
#include "reports/ReportTexts.h"
#include "session/Session.h"

#include <charconv>

namespace strikeline {

namespace {

using Json = nlohmann::ordered_json;

bool ReadInt(const CCommandLine& line, const std::string& name, std::int32_t& value) {
    const auto text = line.Value(name);
    if (!text) {
        return true;
    }
    const auto result = std::from_chars(text->data(), text->data() + text->size(), value);
    return result.ec == std::errc{} && result.ptr == text->data() + text->size();
}

std::vector<std::string> SplitCodes(const std::string& text) {
    std::vector<std::string> codes;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const std::string code =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!code.empty()) {
            codes.push_back(code);
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return codes;
}

// Reads the options into a settings record that starts from the stored defaults.
bool ReadSettings(const CCommandLine& line, CReportSettings& settings, std::string& problem) {
    std::int32_t stocks = settings.Stocks(), expire = settings.Expire(), range = settings.Range(),
                 removeOld = settings.RemoveOld(), sortMode = settings.SortMode(),
                 direction = settings.SortAscending() ? 1 : 0;
    if (!ReadInt(line, "stocks", stocks) || !ReadInt(line, "expire", expire) ||
        !ReadInt(line, "range", range) || !ReadInt(line, "remove-old", removeOld) ||
        !ReadInt(line, "sort-mode", sortMode) || !ReadInt(line, "sort-direction", direction) ||
        (direction != 0 && direction != 1)) {
        problem = "the settings options take whole numbers (--sort-direction 1 or 0)";
        return false;
    }
    settings.SetStocks(stocks);
    settings.SetExpire(expire);
    settings.SetRange(range);
    settings.SetRemoveOld(removeOld);
    settings.SetSortMode(sortMode);
    settings.SetSortAscending(direction == 1);
    settings.SetDisplayLeveragedBar(line.Flag("leveraged"));
    if (const auto codes = line.Value("companies")) {
        settings.SetCompanyList(SplitCodes(*codes));
    }
    std::int32_t minOpenInterest = settings.MinOpenInterest();
    if (!ReadInt(line, "min-open-interest", minOpenInterest) || minOpenInterest < 0) {
        problem = "--min-open-interest takes a whole number of 0 or more";
        return false;
    }
    settings.SetMinOpenInterest(minOpenInterest);
    if (const auto text = line.Value("min-premium")) {
        double minPremium = 0.0;
        const auto read = std::from_chars(text->data(), text->data() + text->size(), minPremium,
                                          std::chars_format::fixed);
        if (read.ec != std::errc{} || read.ptr != text->data() + text->size() ||
            !std::isfinite(minPremium) || minPremium < 0.0) {
            problem = "--min-premium takes an amount of 0 or more";
            return false;
        }
        settings.SetMinPremium(minPremium);
    }
    return true;
}

Json BlockJson(const CReportBlock& block, const CCompanyNameTable& names) {
    Json series = Json::array();
    for (std::size_t i = 0; i < block.series.size(); ++i) {
        const auto cells = SeriesRowTexts(block.company, block.Series(i));
        series.push_back({{"atm", block.atTheMoney == i}, {"cells", Json(cells)}});
    }
    Json leveraged = nullptr;
    if (block.leveraged && block.atTheMoney) {
        leveraged =
            LeveragedRowTexts(block.company, block.Series(*block.atTheMoney), block.costOfLeverage);
    }
    return {{"code", block.company.Code()},
            {"header", CompanyHeaderTexts(block.company)},
            {"values", CompanyValueTexts(block.company, names)},
            {"series", std::move(series)},
            {"leveraged", std::move(leveraged)}};
}

} // namespace

int RunReportCommand(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err) {
    CCommandLine line;
    std::string problem;
    CReportSettings settings;
    FileTime now = kNoDate;
    const bool parsed =
        line.Parse(arguments,
                   {"data", "kind", "now", "stocks", "expire", "range", "remove-old", "sort-mode",
                    "sort-direction", "companies", "min-open-interest", "min-premium"},
                   {"leveraged"}, problem);
    if (parsed && (!line.Value("data") || !line.Value("kind") || !line.Positional().empty())) {
        problem = "--data and --kind are needed, and nothing else";
    } else if (parsed && *line.Value("kind") != "call" && *line.Value("kind") != "put") {
        problem = "--kind is call or put";
    }
    if (!problem.empty() || !ReadSettings(line, settings, problem) ||
        !ReadNowOption(line, now, problem)) {
        err << "strikeline-cli report: " << problem << "\n" << kReportUsage;
        return kExitBadArguments;
    }
    const ReportKind kind = *line.Value("kind") == "call" ? ReportKind::Call : ReportKind::Put;
    const std::string folder = *line.Value("data");

    CSession session(folder);
    CMarketData& market = session.Market();
    bool ok = true;
    for (const CMarketFileLoad& load :
         {LoadOptionFile(true, folder, market), LoadOptionFile(false, folder, market),
          LoadCompanyNamesFile(folder, market), LoadTop20File(folder, market)}) {
        if (load.problem) {
            err << *load.problem << '\n';
            ok = false;
        }
    }

    const std::shared_ptr<const CMarketSnapshot> snapshot = market.Current();
    const CReport report = BuildReport(kind, settings, *snapshot, now);
    Json companies = Json::array();
    for (const CReportBlock& block : report.blocks) {
        companies.push_back(BlockJson(block, snapshot->CompanyNames()));
    }
    PrintJson(out, {{"kind", kind == ReportKind::Call ? "call" : "put"},
                    {"companies", std::move(companies)}});
    return ok ? kExitSuccess : kExitFailed;
}

} // namespace strikeline
