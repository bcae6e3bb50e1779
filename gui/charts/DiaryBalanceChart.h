#pragma once

#include "gui/charts/ChartFactory.h"
#include "storage/FileTime.h"

namespace strikeline {

class CDiaryDatabase;

// The Diary's balance at the end of each month (DiaryMonthEndBalances), each point on the
// month's last day.
std::vector<CDatedValue> DiaryMonthBalances(const CDiaryDatabase& diary, FileTime now);

// The Diary window's chart of those balances.
CBalanceChartData DiaryBalanceChartData(const CDiaryDatabase& diary, FileTime now);

} // namespace strikeline
