#pragma once

#include "plan/TradingPlanEntry.h"

#include <optional>
#include <string>
#include <string_view>

namespace strikeline {

// Takes what the user typed into a plan cell. The text is trimmed and stripped of every
// "$" and "%"; an empty text clears the figure; money cells show the cleaned text with a
// "$" in front rather than a reformatted number, so the user sees what they typed.
// Returns the text the edited cell shows afterwards, or nothing when the edit is ignored
// (a column that takes no edits, a dividend date that does not read as a date); the entry
// is then unchanged. The caller recomputes the row's figures and the totals.
std::optional<std::string> EditPlanCell(CTradingPlanEntry& entry, std::string_view key,
                                        std::string_view typed);

// Whether the user may type into a cell of that row: the exercise brokerage only on a
// sold option's row.
bool IsPlanCellEditable(const CTradingPlanEntry& entry, std::string_view key);

} // namespace strikeline
