#pragma once

#include "plan/TradingPlanEntry.h"

#include <optional>
#include <string>
#include <string_view>

namespace strikeline {

// Takes what the user typed into a plan cell. The text is trimmed and stripped of every
// "$" and "%"; an empty text clears the figure; money cells show the cleaned text with a
// "$" in front rather than a reformatted number, so the user sees what they typed.
// A figure may carry thousands separators ("1,234.50"). Returns the text the edited cell
// shows afterwards, or nothing when the edit is not taken; the entry is then unchanged.
// An edit is ignored silently in a column that takes no edits and for a dividend date that
// does not read as a date. It is refused, with the reason for the user in `refusal`, when
// a figure's text is not wholly a number ("abc", "12abc", "1,23") or the number is one the
// plan file cannot hold (outside -1000000000..1000000000, or a marker value): kept, such a
// figure would make the plan's row unreadable at the next start. The caller recomputes the
// row's figures and the totals.
std::optional<std::string> EditPlanCell(CTradingPlanEntry& entry, std::string_view key,
                                        std::string_view typed, std::string* refusal = nullptr);

// Whether the user may type into a cell of that row: the exercise brokerage only on a
// sold option's row.
bool IsPlanCellEditable(const CTradingPlanEntry& entry, std::string_view key);

} // namespace strikeline
