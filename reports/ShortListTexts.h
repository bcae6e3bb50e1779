#pragma once

#include "marketdata/CompanyInfo.h"
#include "marketdata/CompanyNameTable.h"
#include "marketdata/Dividend.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace strikeline {

// The texts of one Short List block, worked out once when the block is filled. The Short
// List shows more decimals than the reports for the share and puts the same break-even
// (last sale less premium) under calls and puts.

inline constexpr std::size_t kShortListColumns = 15;
// Columns of a series row.
inline constexpr int kShortListPlanColumn = 0;
inline constexpr int kShortListPriceColumn = 5;
inline constexpr int kShortListNotExercisedReturnColumn = 9;
inline constexpr int kShortListExercisedReturnColumn = 11;
inline constexpr int kShortListDividendValueColumn = 12;
inline constexpr int kShortListDividendDateColumn = 13;

// The report's company titles and "Close" over the block's close box.
std::vector<std::string> ShortListCompanyHeaderTexts(const CCompanyInfo& company);
// "CODE - Name" (or the code), then the prices, the volume and the P/E with up to five
// decimals each; the close box's cell has no text.
std::vector<std::string> ShortListCompanyValueTexts(const CCompanyInfo& company,
                                                    const CCompanyNameTable& names);
// One series row: an empty Trading Plan box cell, the series as in the reports (option
// price with 2 decimals), the company's announced dividend (value and date, or empty) and
// the break-even.
std::array<std::string, kShortListColumns>
ShortListSeriesTexts(const CCompanyInfo& company, const CContractInfo& series,
                     const std::optional<CDividend>& dividend);

} // namespace strikeline
