#include "cli/ReportCommand.h"

#include "analytics/MarketAnalytics.h"
#include "cli/AnalyticsJson.h"
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

// A percentage option: absent leaves `value` as it is.
bool ReadPercent(const CCommandLine& line, const std::string& name, double low, double high,
                 double& value) {
    const auto text = line.Value(name);
    if (!text) {
        return true;
    }
    double read = 0.0;
    const auto result =
        std::from_chars(text->data(), text->data() + text->size(), read, std::chars_format::fixed);
    if (result.ec != std::errc{} || result.ptr != text->data() + text->size() ||
        !(read >= low && read <= high)) {
        return false;
    }
    value = read;
    return true;
}

bool ReadAnalyticsSettings(const CCommandLine& line, CAnalyticsSettings& settings,
                           std::string& problem) {
    double rate = settings.RatePercent(), taxRate = settings.TaxRatePercent();
    if (!ReadPercent(line, "rate", -10.0, 100.0, rate)) {
        problem = "--rate takes a percentage a year from -10 to 100";
        return false;
    }
    if (!ReadPercent(line, "tax-rate", 0.0, 99.0, taxRate)) {
        problem = "--tax-rate takes a percentage from 0 to 99";
        return false;
    }
    settings.SetRatePercent(rate);
    settings.SetTaxRatePercent(taxRate);
    return true;
}

// `analytics`: the figures of every series of the block in order, or null without
// --analytics.
Json BlockJson(const CReportBlock& block, const CCompanyNameTable& names,
               const CSeriesAnalytics* analytics) {
    Json series = Json::array();
    for (std::size_t i = 0; i < block.series.size(); ++i) {
        const auto cells = SeriesRowTexts(*block.company, block.Series(i));
        Json row = {{"atm", block.atTheMoney == i}, {"cells", Json(cells)}};
        if (analytics != nullptr) {
            row["analytics"] = AnalyticsJson(analytics[i], block.company->IsCall());
        }
        series.push_back(std::move(row));
    }
    Json leveraged = nullptr;
    if (block.leveraged && block.atTheMoney) {
        leveraged = LeveragedRowTexts(*block.company, block.Series(*block.atTheMoney),
                                      block.costOfLeverage);
    }
    return {{"code", block.company->Code()},
            {"header", CompanyHeaderTexts(*block.company)},
            {"values", CompanyValueTexts(*block.company, names)},
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
    const bool parsed = line.Parse(arguments,
                                   {"data", "kind", "now", "stocks", "expire", "range",
                                    "remove-old", "sort-mode", "sort-direction", "companies",
                                    "min-open-interest", "min-premium", "rate", "tax-rate"},
                                   {"leveraged", "analytics"}, problem);
    if (parsed && (!line.Value("data") || !line.Value("kind") || !line.Positional().empty())) {
        problem = "--data and --kind are needed, and nothing else";
    } else if (parsed && *line.Value("kind") != "call" && *line.Value("kind") != "put") {
        problem = "--kind is call or put";
    }
    CAnalyticsSettings analyticsSettings;
    if (!problem.empty() || !ReadSettings(line, settings, problem) ||
        !ReadAnalyticsSettings(line, analyticsSettings, problem) ||
        !ReadNowOption(line, now, problem)) {
        err << "strikeline-cli report: " << problem << "\n" << kReportUsage;
        return kExitBadArguments;
    }
    const ReportKind kind = *line.Value("kind") == "call" ? ReportKind::Call : ReportKind::Put;
    const std::string folder = *line.Value("data");

    const bool withAnalytics = line.Flag("analytics");

    CSession session(folder);
    CMarketData& market = session.Market();
    bool ok = true;
    std::vector<CMarketFileLoad> loads = {
        LoadOptionFile(true, folder, market), LoadOptionFile(false, folder, market),
        LoadCompanyNamesFile(folder, market), LoadTop20File(folder, market)};
    if (withAnalytics) {
        loads.push_back(LoadDividendsFile(folder, market));
    }
    for (const CMarketFileLoad& load : loads) {
        if (load.problem) {
            err << *load.problem << '\n';
            ok = false;
        }
    }

    const std::shared_ptr<const CMarketSnapshot> snapshot = market.Current();
    const CReport report = BuildReport(kind, settings, *snapshot, now);
    // The analytics of every listed series at once, so every core shares the work.
    std::vector<CSeriesAnalytics> analytics;
    if (withAnalytics) {
        std::vector<CSeriesRef> work;
        for (const CReportBlock& block : report.blocks) {
            for (std::size_t i = 0; i < block.series.size(); ++i) {
                work.push_back({block.company.get(), &block.Series(i)});
            }
        }
        analytics = ComputeSeriesAnalytics(work, CDividendIndex(snapshot->Dividends()),
                                           MakeAnalyticsContext(now, analyticsSettings));
    }
    Json companies = Json::array();
    std::size_t first = 0;
    for (const CReportBlock& block : report.blocks) {
        companies.push_back(BlockJson(block, snapshot->CompanyNames(),
                                      withAnalytics ? analytics.data() + first : nullptr));
        first += block.series.size();
    }
    PrintJson(out, {{"kind", kind == ReportKind::Call ? "call" : "put"},
                    {"companies", std::move(companies)}});
    return ok ? kExitSuccess : kExitFailed;
}

} // namespace strikeline
