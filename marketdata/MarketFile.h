#pragma once

#include "marketdata/CompanyInfo.h"
#include "marketdata/CompanyNameTable.h"
#include "marketdata/Dividend.h"

#include <string>
#include <vector>

namespace strikeline {

// The five market data files.
enum class MarketFile { Calls, Puts, Dividends, CompanyNames, Top20 };

// What one market data file holds once read; only the part of its kind is filled.
struct CMarketFileContents {
    std::vector<CCompanyInfo> companies;
    std::vector<CDividend> dividends;
    CCompanyNameTable names;
};

// Reads a downloaded file whole, before it may take the data file's place. True only when
// it parses to its end and holds at least one record, so that an error page, garbage or
// a file cut short never replaces a good market.
//
// Errors: the parser's text ("Unable to open file", "Unexpected data at line %u"), or
// "it holds no prices" (no dividends, no names) for a file without a record.
bool ReadMarketFile(MarketFile kind, const std::string& path, CMarketFileContents& contents,
                    std::string& error);

} // namespace strikeline
