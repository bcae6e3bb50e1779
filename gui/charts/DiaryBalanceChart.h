#pragma once

#include "gui/charts/ChartFactory.h"
#include "storage/FileTime.h"

namespace strikeline {

class CDiaryDatabase;

// The Diary's balance at the end of each month, as the Diary window works out the ending
// balance of a month: the start balance, the net profit of every trade opened before the
// month ends and the changes of every month up to it. From the first month with a trade or
// a change (or `now`'s month, whichever is earlier, and not before the first year the
// Diary offers) to the last (or `now`'s month, whichever is later), each point on the
// month's last day.
std::vector<CDatedValue> DiaryMonthBalances(const CDiaryDatabase& diary, FileTime now);

// The Diary window's chart of those balances.
CBalanceChartData DiaryBalanceChartData(const CDiaryDatabase& diary, FileTime now);

} // namespace strikeline
