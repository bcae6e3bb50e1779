#pragma once

#include "gui/widgets/ComplexTableCell.h"

#include <vector>

namespace strikeline {

// Sets the layout width and x of every cell of one row for a table `tableWidth` pixels
// wide. A cell without a given width takes (tableWidth / divisions) * span pixels; what
// the row leaves over is handed out walking those cells in order, each taking up to its
// span per walk, until none is left. Invisible cells take no width.
void DistributeCellWidths(std::vector<CComplexTableCell>& cells, int tableWidth);

} // namespace strikeline
