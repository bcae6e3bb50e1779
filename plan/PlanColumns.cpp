#include "plan/PlanColumns.h"

#include "storage/ColorScheme.h"

namespace strikeline {

const std::array<CPlanColumn, kPlanColumnCount> PlanColumnTable = {{
    {"SrcType", -1},     {"Company", 0},         {"ExpiryDate", 1},
    {"Shares", 2},       {"OptionContracts", 3}, {"SharePrice", 4},
    {"Cost", 5},         {"EquityBrokerage", 6}, {"AddToDiary1", 7},
    {"StrikePrice", 8},  {"ADXFairPrice", 9},    {"NEBrokerage", 10},
    {"NEProfit", 11},    {"NEReturn", 12},       {"AddToDiary2", 13},
    {"EBrokerage", 14},  {"EProfit", 15},        {"EReturn", 16},
    {"AddToDiary3", 17}, {"DividendValue", 18},  {"DividendDate", 19},
    {"Trades", 20},      {"AddToDiary4", 21},    {"CloseAll", 22},
    {"BEP", -1},
}};

Color PlanCellPalette(const CColorScheme& scheme, std::int32_t index) {
    switch (index) {
    case 1:
        return scheme.Get(SchemeColor::ReturnPercentsBk);
    case 2:
        return scheme.Get(SchemeColor::StrikePriceBk);
    case 3:
        return Rgb(255, 0, 0);
    case 4:
        return Rgb(0, 255, 255);
    default:
        return scheme.Get(SchemeColor::ReportBk);
    }
}

} // namespace strikeline
