#pragma once

#include "marketdata/CompanyNameTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// The trend chart's address and texts, and the lines of its company chooser.

// The one-year chart page of `code` on the web site: "/call/chart.php" with the code as
// given (no case change, no escaping) and span "year1". An address without a scheme is
// taken as http.
std::string TrendChartUrl(std::string_view siteUrl, std::string_view code);

// "Trend Chart for " and the company's name, or the code when the names table has none.
std::string TrendChartTitle(std::string_view code, const CCompanyNameTable& names);

// One line per company of the names table: "^" when the company is in the Top 20, the
// code, and " - " with the name when there is one. Sorted by bytes (so "^" lines follow
// the codes that start with a digit or a capital), duplicates once.
std::vector<std::string> CompanyChoiceLines(const CCompanyNameTable& names,
                                            const CCompanyNameTable& top20);

// The code in a chosen or typed line: the text up to its first blank, without a leading
// "^". Empty when no code is left.
std::string CodeFromCompanyChoice(std::string_view line);

} // namespace strikeline
