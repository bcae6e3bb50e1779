#pragma once

#include "marketdata/CompanyInfo.h"
#include "marketdata/CompanyNameTable.h"
#include "reports/SeriesFigures.h"

#include <array>
#include <string>
#include <vector>

namespace strikeline {

// The texts of one company block of a report, exactly as the report window shows them and
// the headless command prints them. Times are shown in local time (TZ).

// "Company Name", "Last Sale", ..., "Volume", and "P/E" when the share has one.
std::vector<std::string> CompanyHeaderTexts(const CCompanyInfo& company);
// "CODE - Name" (or the code alone without a name), then the prices, volume and P/E.
std::vector<std::string> CompanyValueTexts(const CCompanyInfo& company,
                                           const CCompanyNameTable& names);
// Series code, last trade ("-" when never traded), expiry, strike, ASX fair price, contract
// size, open interest, then profit and % return not exercised and exercised, and BEP.
std::array<std::string, 12> SeriesRowTexts(const CCompanyInfo& company,
                                           const CContractInfo& series);
// The leveraged-position text with the cost, the leveraged profits (whole dollars) and
// returns, and an empty BEP cell.
std::array<std::string, 6> LeveragedRowTexts(const CCompanyInfo& company,
                                             const CContractInfo& atTheMoney,
                                             double costOfLeverage);

// The settings form's stock list: every company of the option data and of the names
// table as "CODE - Name" (or the bare code), with its code, in alphabetical order.
struct CStockListLine {
    std::string code;
    std::string text;
};
std::vector<CStockListLine> BuildStockList(const std::vector<CCompanyInfo>& companies,
                                           const CCompanyNameTable& names);

} // namespace strikeline
