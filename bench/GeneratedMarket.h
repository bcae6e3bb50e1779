#pragma once

#include "marketdata/MarketSnapshot.h"

#include <cstddef>
#include <string>

namespace strikeline::bench {

// The data folder of a generated market (2010-06-24, seed 1) at a scale, written once per
// run into a temporary folder.
struct CGeneratedFolder {
    std::string folder;
    std::string callPath;
    std::size_t callBytes = 0;
    std::size_t callSeries = 0;
};

const CGeneratedFolder& GeneratedFolder(int scale);

// Reads every file of a data folder into `market` (both option lists, the dividends, the
// company names and the Top 20); the first file's problem, or empty.
std::string LoadEveryFile(const std::string& folder, CMarketData& market);

// Every file of that folder loaded, kept for the whole run.
const CMarketSnapshot& LoadedMarket(int scale);

} // namespace strikeline::bench
