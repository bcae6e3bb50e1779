#pragma once

#include "gui/widgets/ComplexTableCell.h"

#include <QStringView>
#include <cstdint>
#include <vector>

namespace strikeline {

// One row of a table: its cells, which share one block (reserve it when the count is
// known), and a value the owner keeps with the row (the report stores its series there).
struct CComplexTableRow {
    std::vector<CComplexTableCell> m_Cells;
    std::uintptr_t m_Value = 0;

    // Layout results. The natural height is what the cells need; the height can be larger
    // for the last row when it stretches to the bottom of the table.
    int m_Y = 0;
    int m_Height = 0;
    int m_NaturalHeight = 0;

    // The index of the first cell of that name, or -1.
    int FindCell(QStringView name) const;
};

} // namespace strikeline
