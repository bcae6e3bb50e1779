#pragma once

#include "marketdata/MarketSnapshot.h"

#include <optional>
#include <string>
#include <string_view>

namespace strikeline {

// The market data files in the data folder.
inline constexpr std::string_view kCallFileName = "call.csv";
inline constexpr std::string_view kPutFileName = "put.csv";
inline constexpr std::string_view kDividendsFileName = "dividends.csv";
inline constexpr std::string_view kCompanyNamesFileName = "companyname.txt";
inline constexpr std::string_view kTop20FileName = "top20.txt";

// What reading one data file into the market came to.
struct CMarketFileLoad {
    // The file existed, and what it holds (up to a line that does not parse) is now the
    // market's part; false when there was no file, and the market is as it was.
    bool published = false;
    // When the file does not parse: "Error when parsing .csv file %s.\n\n%s" ("Error when
    // parsing file %s.\n\n%s" for the Top 20) with the path and the reason.
    std::optional<std::string> problem;
};

// Each loader reads its file from `dataFolder` and publishes it as its part of `market`.
// Readers of the market see either the old part or the new one, never a part half read.
// The loaders tell nobody: the caller decides what to refresh and what to show.
CMarketFileLoad LoadOptionFile(bool isCall, const std::string& dataFolder, CMarketData& market);
CMarketFileLoad LoadDividendsFile(const std::string& dataFolder, CMarketData& market);
CMarketFileLoad LoadCompanyNamesFile(const std::string& dataFolder, CMarketData& market);
CMarketFileLoad LoadTop20File(const std::string& dataFolder, CMarketData& market);

} // namespace strikeline
