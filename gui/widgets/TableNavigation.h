#pragma once

#include "gui/widgets/ComplexTableRow.h"

#include <memory>
#include <optional>
#include <span>

namespace strikeline {

// The moves of the current cell, in the order the move hook numbers them.
enum class TableDirection { Up = 0, Down, Left, Right, PageUp, PageDown, Next, Previous };

struct CTableCellIndex {
    int m_Row = -1;
    int m_Column = -1;

    bool operator==(const CTableCellIndex&) const = default;
};

// Where the current cell goes from (row, column), or nothing when it stays. Only a visible,
// selectable cell can be reached. Up and down look for the nearest row with as many cells
// as this one whose cell in this column qualifies; left and right stay in the row; next and
// previous walk across rows and stop at the ends of the table; a page is `visibleHeight`
// pixels of row heights.
std::optional<CTableCellIndex>
FindNavigationTarget(std::span<const std::unique_ptr<CComplexTableRow>> rows, int row, int column,
                     TableDirection direction, int visibleHeight);

} // namespace strikeline
