#include "cli/LoadCommand.h"

#include "cli/CliOutput.h"
#include "cli/CommandUsage.h"
#include "marketdata/DividendsFileParser.h"
#include "marketdata/NameTableParser.h"
#include "marketdata/OptionFileParser.h"
#include "storage/NumberText.h"

namespace strikeline {

namespace {

using Json = nlohmann::ordered_json;

Json Number(double value) {
    return IsValue(value) ? Json(value) : Json(nullptr);
}

Json Day(FileTime value) {
    return FormatFileTime(value, TimeZoneMode::Universal, FileTimeStyle::DateTime).substr(0, 10);
}

Json Moment(FileTime value) {
    if (value == kNoDate) {
        return nullptr;
    }
    return FormatFileTime(value, TimeZoneMode::Universal, FileTimeStyle::DateTime);
}

Json Error(bool ok, const std::string& error) {
    return ok ? Json(nullptr) : Json(error);
}

Json LoadOptions(const std::string& path, bool isCall, bool summary, bool& ok, std::string& error) {
    std::vector<CCompanyInfo> companies;
    ok = ParseOptionFile(companies, path, isCall, error);
    Json result;
    if (summary) {
        std::size_t contracts = 0;
        for (const CCompanyInfo& company : companies) {
            contracts += company.Contracts().size();
        }
        result["companies"] = companies.size();
        result["contracts"] = contracts;
    } else {
        Json list = Json::array();
        for (const CCompanyInfo& company : companies) {
            Json contracts = Json::array();
            for (const CContractInfo& c : company.Contracts()) {
                contracts.push_back({{"code", c.Code()},
                                     {"size", Number(c.ContractSize())},
                                     {"expiry", Day(c.Expiry())},
                                     {"exercise", Number(c.Exercise())},
                                     {"last", Number(c.Last())},
                                     {"volume", Number(c.Volume())},
                                     {"openInterest", Number(c.OpenInterest())},
                                     {"lastTraded", Moment(c.LastTraded())}});
            }
            list.push_back({{"code", company.Code()},
                            {"last", Number(company.Last())},
                            {"change", Number(company.Change())},
                            {"bid", Number(company.Bid())},
                            {"offer", Number(company.Offer())},
                            {"open", Number(company.Open())},
                            {"high", Number(company.High())},
                            {"low", Number(company.Low())},
                            {"volume", Number(company.Volume())},
                            {"pe", Number(company.PriceEarnings())},
                            {"contracts", std::move(contracts)}});
        }
        result["companies"] = std::move(list);
    }
    result["error"] = Error(ok, error);
    return result;
}

Json LoadDividends(const std::string& path, bool summary, bool& ok, std::string& error) {
    std::vector<CDividend> entries;
    ok = ParseDividendsFile(entries, path, error);
    Json result;
    if (summary) {
        result["dividends"] = entries.size();
    } else {
        Json list = Json::array();
        for (const CDividend& entry : entries) {
            list.push_back({{"code", entry.code},
                            {"date", Day(entry.date)},
                            {"amount", Number(entry.amount)}});
        }
        result["dividends"] = std::move(list);
    }
    result["error"] = Error(ok, error);
    return result;
}

Json LoadNames(const std::string& path, bool summary, bool& ok, std::string& error) {
    CCompanyNameTable table;
    ok = ParseNameTable(table, path, error);
    Json result;
    if (summary) {
        result["codes"] = table.GetCount();
    } else {
        Json codes = Json::array();
        Json names = Json::array();
        for (std::size_t i = 0; i < table.GetCount(); ++i) {
            codes.push_back(table.GetCodeAt(i));
            names.push_back(table.GetNameAt(i));
        }
        result["codes"] = std::move(codes);
        result["names"] = std::move(names);
    }
    result["error"] = Error(ok, error);
    return result;
}

} // namespace

int RunLoadCommand(const std::vector<std::string>& arguments, std::ostream& out,
                   std::ostream& err) {
    CCommandLine line;
    std::string problem;
    if (!line.Parse(arguments, {"as"}, {"summary"}, problem) || !line.Value("as") ||
        line.Positional().size() != 1) {
        err << "strikeline-cli load: "
            << (problem.empty() ? "a kind (--as) and one FILE are needed" : problem) << "\n"
            << kLoadUsage;
        return kExitBadArguments;
    }
    const std::string kind = *line.Value("as");
    const std::string& path = line.Positional().front();
    const bool summary = line.Flag("summary");
    bool ok = false;
    std::string error;
    Json result;
    if (kind == "call" || kind == "put") {
        result = LoadOptions(path, kind == "call", summary, ok, error);
    } else if (kind == "dividends") {
        result = LoadDividends(path, summary, ok, error);
    } else if (kind == "names") {
        result = LoadNames(path, summary, ok, error);
    } else {
        err << "strikeline-cli load: unknown kind \"" << kind << "\"\n" << kLoadUsage;
        return kExitBadArguments;
    }
    PrintJson(out, result);
    if (!ok) {
        err << (kind == "names" ? "Error when parsing file " : "Error when parsing .csv file ")
            << path << ".\n\n"
            << error << "\n";
        return kExitFailed;
    }
    return kExitSuccess;
}

} // namespace strikeline
