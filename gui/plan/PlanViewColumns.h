#pragma once

#include "plan/PlanColumns.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace strikeline {

// The columns of the plan table's data rows, left to right: the plan's column table in
// the order of its view cells. Every data row and the totals row hold all of them, so a
// cell's index is its column's index here; the hidden ones exist so that their keys keep
// the colours stored in the plan file.
using CPlanViewColumn = CPlanColumn;

inline constexpr int kPlanViewWidthUnits = 81;
inline constexpr std::size_t kPlanViewColumnCount = kPlanColumnCount;

inline constexpr std::array<CPlanViewColumn, kPlanViewColumnCount> PlanViewColumns = [] {
    std::array<CPlanViewColumn, kPlanViewColumnCount> columns{};
    for (const CPlanColumn& column : PlanColumnTable) {
        columns[static_cast<std::size_t>(column.view.index)] = column;
    }
    return columns;
}();

namespace plan_view_detail {
constexpr bool CellsFillTheRow() {
    int units = 0;
    for (std::size_t i = 0; i < PlanViewColumns.size(); ++i) {
        if (PlanViewColumns[i].view.index != static_cast<int>(i)) {
            return false;
        }
        units += PlanViewColumns[i].view.width;
    }
    return units == kPlanViewWidthUnits;
}
} // namespace plan_view_detail
static_assert(plan_view_detail::CellsFillTheRow(),
              "each view cell has one place, and they fill the row");

// The column of a key, or -1.
constexpr int PlanViewColumnOf(std::string_view key) {
    for (std::size_t i = 0; i < PlanViewColumns.size(); ++i) {
        if (PlanViewColumns[i].key == key) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The column of an id.
constexpr int PlanViewColumnOf(PlanColumnId id) {
    return PlanColumnOf(id).view.index;
}

} // namespace strikeline
