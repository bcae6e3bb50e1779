#pragma once

#include "plan/TradingPlan.h"
#include "storage/FileTime.h"

namespace strikeline {

class CDiaryDatabase;

// Ticking "Close All" on a plan row: the diary entry that belongs to the row (same series,
// letter case aside, and exactly the row's start time) is stamped closed at `now`, and the
// row leaves the plan. Returns true when no other row of the same family holds the series,
// so the Short List should untick it. `diary` may be null (nothing is stamped then).
bool ClosePlanEntry(CTradingPlan& plan, const CTradingPlanEntry& entry, CDiaryDatabase* diary,
                    FileTime now);

} // namespace strikeline
