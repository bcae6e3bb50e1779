#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace strikeline {

// One column of the plan table's data rows, left to right. Every data row and the totals
// row hold all of them, so a cell's index is its column's index here; the hidden ones
// exist so that their keys keep the colours stored in the plan file.
struct CPlanViewColumn {
    std::string_view key;
    // Of the row's 64 width units.
    int width;
    bool checkBox;
    bool hidden;
};

inline constexpr int kPlanViewWidthUnits = 64;
inline constexpr std::size_t kPlanViewColumnCount = 25;

inline constexpr std::array<CPlanViewColumn, kPlanViewColumnCount> PlanViewColumns = {{
    {"SrcType", 2, false, false},
    {"Company", 3, false, false},
    {"ExpiryDate", 4, false, false},
    {"Shares", 3, false, false},
    {"OptionContracts", 2, false, false},
    {"SharePrice", 3, false, false},
    {"Cost", 3, false, false},
    {"EquityBrokerage", 3, false, false},
    {"AddToDiary1", 1, true, true},
    {"StrikePrice", 3, false, false},
    {"ADXFairPrice", 3, false, false},
    {"NEBrokerage", 3, false, false},
    {"NEProfit", 3, false, false},
    {"NEReturn", 3, false, false},
    {"AddToDiary2", 1, true, true},
    {"EBrokerage", 3, false, false},
    {"EProfit", 3, false, false},
    {"EReturn", 3, false, false},
    {"AddToDiary3", 1, true, true},
    {"DividendValue", 3, false, false},
    {"DividendDate", 4, false, false},
    {"Trades", 2, false, true},
    {"AddToDiary4", 1, true, true},
    {"BEP", 3, false, false},
    {"CloseAll", 1, true, false},
}};

// The column of a key, or -1.
constexpr int PlanViewColumnOf(std::string_view key) {
    for (std::size_t i = 0; i < PlanViewColumns.size(); ++i) {
        if (PlanViewColumns[i].key == key) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The "Add to Diary" boxes, in the order of the entry's flags.
inline constexpr std::array<std::string_view, 4> kAddToDiaryKeys = {"AddToDiary1", "AddToDiary2",
                                                                    "AddToDiary3", "AddToDiary4"};

} // namespace strikeline
