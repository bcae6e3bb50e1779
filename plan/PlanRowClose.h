#pragma once

#include "plan/TradingPlan.h"
#include "storage/FileTime.h"

#include <cstddef>
#include <optional>

namespace strikeline {

class CDiaryDatabase;

// Ticking "Close All" on a plan row: the diary entry that belongs to the row (same series,
// letter case aside, and exactly the row's start time) is stamped closed at `now`, and the
// row leaves the plan. Returns true when no other row of the same family holds the series,
// so the Short List should untick it. `diary` may be null (nothing is stamped then).
bool ClosePlanEntry(CTradingPlan& plan, const CTradingPlanEntry& entry, CDiaryDatabase* diary,
                    FileTime now);

// What closing a row changed, kept so that the close can be taken back and done again
// exactly.
struct CPlanRowClosing {
    // The row as it was, and its place in the file order.
    std::size_t index = 0;
    CTradingPlanEntry entry;
    // The moment stamped on the row's diary entry, and the closing time that entry held
    // before; nothing when the diary had no entry for the row.
    FileTime stamp = kNoDate;
    std::optional<FileTime> previousCloseDate;
    // No other row of the same family held the series afterwards.
    bool lastOfSeries = false;
};

// Closes the row at `index` as ClosePlanEntry does; nothing when there is no such row.
std::optional<CPlanRowClosing> ClosePlanRow(CTradingPlan& plan, std::size_t index,
                                            CDiaryDatabase* diary, FileTime now);

// Takes a close back: the row returns to its place in the file order and its diary entry
// gets back the closing time it had, unless that entry's closing time was changed since
// the stamp (the user's later change stays). Returns the row put back.
CTradingPlanEntry& ReopenPlanRow(CTradingPlan& plan, CDiaryDatabase* diary,
                                 const CPlanRowClosing& closing);

// Closes a reopened row again with the same stamp, and records afresh what that changed.
// False, changing nothing, when the row at its place is no longer the row that was closed.
bool RepeatPlanRowClose(CTradingPlan& plan, CDiaryDatabase* diary, CPlanRowClosing& closing);

} // namespace strikeline
