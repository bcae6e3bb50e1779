#include "gui/charts/DiaryBalanceChart.h"

#include "journal/DiaryDatabase.h"
#include "journal/DiaryListing.h"
#include "journal/JournalCalendar.h"

#include <QObject>
#include <algorithm>

namespace strikeline {

using namespace std::chrono;

namespace {

// Months counted from year 0, so that a month's successor is one more.
int MonthNumber(int y, unsigned m) {
    return y * 12 + static_cast<int>(m) - 1;
}

int YearOf(int number) {
    return number / 12;
}

unsigned MonthOf(int number) {
    return static_cast<unsigned>(number % 12) + 1;
}

FileTime FirstOfMonth(int number) {
    return StartOfDay(year_month_day{year{YearOf(number)}, month{MonthOf(number)}, day{1}});
}

} // namespace

std::vector<CDatedValue> DiaryMonthBalances(const CDiaryDatabase& diary, FileTime now) {
    // The Diary's months: those of the years its year list offers.
    const std::vector<int> years = DiaryYears(now);
    const int firstOffered = MonthNumber(years.front(), 1);
    const int lastOffered = MonthNumber(years.back(), 12);
    const year_month_day today = LocalDate(now);
    const int thisMonth = MonthNumber(static_cast<int>(today.year()), unsigned(today.month()));

    int first = thisMonth;
    int last = thisMonth;
    for (const CDiaryEntry& entry : diary.Entries()) {
        if (entry.m_StartDate == kNoDate) {
            continue;
        }
        const year_month_day opened = UniversalDate(entry.m_StartDate);
        const int number = MonthNumber(static_cast<int>(opened.year()), unsigned(opened.month()));
        first = std::min(first, number);
        last = std::max(last, number);
    }
    // The changes of the months the Diary reaches, from 2000 on as the Diary adds them.
    std::vector<std::pair<int, double>> changes;
    for (int y = 2000; y <= years.back(); ++y) {
        for (unsigned m = 1; m <= 12; ++m) {
            if (const auto change = diary.MonthChange(MonthKey(static_cast<unsigned>(y), m))) {
                changes.emplace_back(MonthNumber(y, m), *change);
                first = std::min(first, MonthNumber(y, m));
                last = std::max(last, MonthNumber(y, m));
            }
        }
    }
    first = std::clamp(first, firstOffered, lastOffered);
    last = std::clamp(last, first, lastOffered);

    std::vector<CDatedValue> balances;
    for (int number = first; number <= last; ++number) {
        const FileTime end = FirstOfMonth(number + 1);
        double balance = diary.StartBalance();
        for (const CDiaryEntry& entry : diary.Entries()) {
            if (entry.m_StartDate < end) {
                balance += DiaryNetProfit(entry);
            }
        }
        for (const auto& [month, change] : changes) {
            if (month <= number) {
                balance += change;
            }
        }
        const QDate firstDay(YearOf(number), static_cast<int>(MonthOf(number)), 1);
        balances.push_back({firstDay.addMonths(1).addDays(-1), balance});
    }
    return balances;
}

CBalanceChartData DiaryBalanceChartData(const CDiaryDatabase& diary, FileTime now) {
    CBalanceChartData data;
    data.title = QObject::tr("Balance at the End of Each Month");
    data.valueTitle = QObject::tr("Balance ($)");
    data.balances = DiaryMonthBalances(diary, now);
    return data;
}

} // namespace strikeline
