#include "marketdata/MarketDataLoaders.h"

#include "marketdata/DividendsFileParser.h"
#include "marketdata/NameTableParser.h"
#include "marketdata/OptionFileParser.h"
#include "platform/AtomicFile.h"
#include "platform/UserFolders.h"

namespace strikeline {

namespace {

std::string ParseProblem(bool csvText, const std::string& path, const std::string& reason) {
    return (csvText ? "Error when parsing .csv file " : "Error when parsing file ") + path +
           ".\n\n" + reason;
}

// Reads the file at `path` with `parse` into a value that `publish` puts into the market.
template <typename Value, typename Parse, typename PublishPart>
CMarketFileLoad Load(const std::string& path, bool csvText, Parse parse, PublishPart publish) {
    CMarketFileLoad load;
    if (!PathExists(path)) {
        return load;
    }
    Value value;
    std::string error;
    const bool ok = parse(value, path, error);
    publish(std::move(value));
    load.published = true;
    if (!ok) {
        load.problem = ParseProblem(csvText, path, error);
    }
    return load;
}

} // namespace

CMarketFileLoad LoadOptionFile(bool isCall, const std::string& dataFolder, CMarketData& market) {
    return Load<std::vector<CCompanyInfo>>(
        PathInFolder(dataFolder, isCall ? kCallFileName : kPutFileName), true,
        [isCall](std::vector<CCompanyInfo>& companies, const std::string& path,
                 std::string& error) { return ParseOptionFile(companies, path, isCall, error); },
        [&](std::vector<CCompanyInfo> companies) {
            market.PublishCompanies(isCall, std::move(companies));
        });
}

CMarketFileLoad LoadDividendsFile(const std::string& dataFolder, CMarketData& market) {
    return Load<std::vector<CDividend>>(
        PathInFolder(dataFolder, kDividendsFileName), true,
        [](std::vector<CDividend>& entries, const std::string& path, std::string& error) {
            return ParseDividendsFile(entries, path, error);
        },
        [&](std::vector<CDividend> entries) { market.PublishDividends(std::move(entries)); });
}

CMarketFileLoad LoadCompanyNamesFile(const std::string& dataFolder, CMarketData& market) {
    return Load<CCompanyNameTable>(
        PathInFolder(dataFolder, kCompanyNamesFileName), true,
        [](CCompanyNameTable& table, const std::string& path, std::string& error) {
            return ParseNameTable(table, path, error);
        },
        [&](CCompanyNameTable table) { market.PublishCompanyNames(std::move(table)); });
}

CMarketFileLoad LoadTop20File(const std::string& dataFolder, CMarketData& market) {
    return Load<CCompanyNameTable>(
        PathInFolder(dataFolder, kTop20FileName), false,
        [](CCompanyNameTable& table, const std::string& path, std::string& error) {
            return ParseNameTable(table, path, error);
        },
        [&](CCompanyNameTable table) { market.PublishTop20(std::move(table)); });
}

} // namespace strikeline
