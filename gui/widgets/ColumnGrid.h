#pragma once

#include <span>
#include <vector>

namespace strikeline {

// A table whose rows share one division into units can size its columns by their texts:
// each unit gets a width of its own, and a cell is as wide as the units it spans.

// One cell's claim: at least `need` pixels over units [first, first + span).
struct CGridNeed {
    int first = 0;
    int span = 0;
    int need = 0;
};

// The narrowest unit widths that meet every claim. Claims are met from the narrowest cell
// up, each spreading what it still lacks evenly over its live units; dead units (under
// cells that are never shown) stay 0 and claims on them alone are dropped.
std::vector<int> MinimumUnitWidths(const std::vector<bool>& live, std::span<const CGridNeed> needs);

// Unit widths adding up to `width`, or the minimums when those add up to more: the live
// units share the width equally, except that none gets less than its minimum. Pixels that
// do not divide evenly go to the leftmost units that are not held at their minimum.
std::vector<int> FitUnitWidths(const std::vector<bool>& live, const std::vector<int>& minimum,
                               int width);

} // namespace strikeline
