#pragma once

// Laying out the tables of the office files, which are written without any font at hand:
// text widths come from the advance widths of the common sans-serif face (the widths that
// Arial and its metric-compatible twins share), in thousandths of the font size, so a
// width of 1000 is one font size wide.

#include "plan/PlanExport.h"

#include <array>
#include <span>
#include <string_view>
#include <vector>

namespace strikeline {

// The width of one line of UTF-8 text; a character outside ASCII counts as a wide letter.
int PlanTextWidth(std::string_view text, bool bold);

// What a column needs to show a text: its widest word (words end at blanks and line
// breaks) and its widest line.
struct CPlanTextNeed {
    int word = 0;
    int line = 0;
};
CPlanTextNeed PlanTextNeed(std::string_view text, bool bold);
// The larger need of both, for a column that shows several texts.
CPlanTextNeed Widest(CPlanTextNeed a, CPlanTextNeed b);

// The lines that `text` takes when wrapped at blanks into `width`; a word wider than the
// width is broken over as many lines as it needs, as the office programs do.
int PlanWrappedLines(std::string_view text, bool bold, int width);

// The need of each column for the texts of the entry rows and the totals row (not bold);
// the company, "Totals" and time-stamp rows span the whole table and are left out. The
// columns past the export's ColumnCount() are left empty.
std::array<CPlanTextNeed, kPlanExportColumnLimit> PlanCellNeeds(const CPlanExport& content);

// Divides `total` among columns. Each column first gets its `least` (when the leasts
// together exceed the total, each gets its share of the total in their proportion); what
// is left goes to the columns whose `wanted` is more than their least, in proportion to
// the shortfall, and once every column has its wanted width, to all in proportion to it.
// The widths add up to `total` exactly.
std::vector<int> SharePlanWidth(std::span<const int> least, std::span<const int> wanted, int total);

} // namespace strikeline
