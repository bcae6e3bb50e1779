#pragma once

#include "storage/Color.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace strikeline {

class CColorScheme;

// One column of a plan row: its key (the view's column, the colour element of the plan
// file) and the number that older plan files used for its colour element (-1: none).
struct CPlanColumn {
    std::string_view key;
    int legacyNumber;
};

inline constexpr std::size_t kPlanColumnCount = 25;
extern const std::array<CPlanColumn, kPlanColumnCount> PlanColumnTable;

// Keys the code refers to by name.
namespace PlanColumn {
inline constexpr std::string_view SrcType = "SrcType";
inline constexpr std::string_view Company = "Company";
inline constexpr std::string_view ExpiryDate = "ExpiryDate";
inline constexpr std::string_view Shares = "Shares";
inline constexpr std::string_view OptionContracts = "OptionContracts";
inline constexpr std::string_view SharePrice = "SharePrice";
inline constexpr std::string_view Cost = "Cost";
inline constexpr std::string_view EquityBrokerage = "EquityBrokerage";
inline constexpr std::string_view StrikePrice = "StrikePrice";
inline constexpr std::string_view ADXFairPrice = "ADXFairPrice";
inline constexpr std::string_view NEBrokerage = "NEBrokerage";
inline constexpr std::string_view NEProfit = "NEProfit";
inline constexpr std::string_view NEReturn = "NEReturn";
inline constexpr std::string_view EBrokerage = "EBrokerage";
inline constexpr std::string_view EProfit = "EProfit";
inline constexpr std::string_view EReturn = "EReturn";
inline constexpr std::string_view DividendValue = "DividendValue";
inline constexpr std::string_view DividendDate = "DividendDate";
inline constexpr std::string_view Trades = "Trades";
inline constexpr std::string_view CloseAll = "CloseAll";
inline constexpr std::string_view BEP = "BEP";
} // namespace PlanColumn

// The highlight colours a plan cell can carry, by colour index: 0 none (the report
// background), 1 and 2 from the scheme, 3 red, 4 cyan. Any other index shows as 0.
inline constexpr std::int32_t kPlanCellColourCount = 5;
Color PlanCellPalette(const CColorScheme& scheme, std::int32_t index);

} // namespace strikeline
