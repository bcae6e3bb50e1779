#pragma once

// What the workbook and the document writers share: the cell shading of the office files
// and the text they can hold.

#include <cstdint>
#include <string>
#include <string_view>

namespace strikeline {

// The fixed shading of a cell of colour index `index` in the office files, as 0xRRGGBB:
// 1 green, 2 yellow, 3 red, 4 cyan, anything else white.
std::uint32_t PlanOfficeCellColour(std::int32_t index);

// `text` as valid XML character data in UTF-8: bytes that are not UTF-8 (plan files are
// 8-bit) become U+FFFD and control characters other than tab and line break are dropped,
// so that a stray byte in a company code cannot make the office file unreadable.
std::string PlanOfficeText(std::string_view text);

} // namespace strikeline
