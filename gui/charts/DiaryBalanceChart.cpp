#include "gui/charts/DiaryBalanceChart.h"

#include "journal/DiaryDatabase.h"
#include "journal/DiaryListing.h"

#include <QObject>

namespace strikeline {

std::vector<CDatedValue> DiaryMonthBalances(const CDiaryDatabase& diary, FileTime now) {
    std::vector<CDatedValue> points;
    for (const CDiaryMonthBalance& month : DiaryMonthEndBalances(diary, now)) {
        const QDate first(month.year, static_cast<int>(month.month), 1);
        points.push_back({first.addMonths(1).addDays(-1), month.balance});
    }
    return points;
}

CBalanceChartData DiaryBalanceChartData(const CDiaryDatabase& diary, FileTime now) {
    CBalanceChartData data;
    data.title = QObject::tr("Balance at the End of Each Month");
    data.valueTitle = QObject::tr("Balance ($)");
    data.balances = DiaryMonthBalances(diary, now);
    return data;
}

} // namespace strikeline
