#include "journal/DiaryListing.h"

#include "journal/JournalCalendar.h"

#include <algorithm>
#include <numeric>

namespace strikeline {

using namespace std::chrono;

namespace {

constexpr int kFirstListedYear = 2007;
constexpr int kFirstChangeYear = 2000;
constexpr int kProfitDecimals = 5;
constexpr int kMoneyDecimals = 2;
constexpr FileTime kOneDay = 86400 * kFileTimeTicksPerSecond;

CDiaryFigureTexts Captions(DiaryRangeMode mode) {
    switch (mode) {
    case DiaryRangeMode::Month:
        return {"Balance at Starting of Month:", "Balance at Ending of Month:",
                "Total Net Profit in Month:", "Total Net Profit % in Month:"};
    case DiaryRangeMode::Year:
        return {"Balance at Starting of Year:", "Balance at Ending of Year:",
                "Total Net Profit in Year:", "Total Net Profit % in Year:"};
    case DiaryRangeMode::Period:
        return {"Balance at Starting of Period:", "Balance at Ending of Period:",
                "Total Net Profit in Period:", "Total Net Profit % in Period:"};
    case DiaryRangeMode::All:
        break;
    }
    return {"Balance at Start:", "Balance at End:", "Total Net Profit:", "Total Net Profit %:"};
}

FileTime FirstOfMonth(int y, unsigned m) {
    return StartOfDay(year_month_day{year{y}, month{m}, day{1}});
}

struct CRange {
    FileTime from = kNoDate;
    FileTime to = kNoDate; // excluded
};

CRange RangeOf(const CDiaryRangeChoice& choice) {
    switch (choice.mode) {
    case DiaryRangeMode::Month: {
        const bool december = choice.month == 12;
        return {FirstOfMonth(choice.year, choice.month),
                FirstOfMonth(december ? choice.year + 1 : choice.year,
                             december ? 1 : choice.month + 1)};
    }
    case DiaryRangeMode::Year:
        return {FirstOfMonth(choice.year, 1), FirstOfMonth(choice.year + 1, 1)};
    case DiaryRangeMode::Period: {
        const FileTime from = StartOfDay(choice.periodStart);
        const FileTime end = std::max(from, StartOfDay(choice.periodEnd));
        return {from, end + kOneDay};
    }
    case DiaryRangeMode::All:
        break;
    }
    return {FirstOfMonth(2000, 1), FirstOfMonth(2100, 1)};
}

int LastYear(FileTime now) {
    return static_cast<int>(LocalDate(now).year()) + 1;
}

std::string DayText(FileTime value) {
    return FormatFileTime(value, TimeZoneMode::Local, FileTimeStyle::DayMonthYear);
}

// The balance the range beginning at `from` starts with: the start balance, the net profit
// of every entry opened before it, and the changes of every month the year selector can
// reach up to and including the month `from` lies in.
double BalanceAtStart(const CDiaryDatabase& diary, FileTime from, FileTime now) {
    double start = diary.StartBalance();
    for (const CDiaryEntry& entry : diary.Entries()) {
        if (entry.m_StartDate < from) {
            start += DiaryNetProfit(entry);
        }
    }
    const int lastYear = std::max(LastYear(now), kFirstListedYear);
    for (int y = kFirstChangeYear; y <= lastYear; ++y) {
        for (unsigned m = 1; m <= 12; ++m) {
            if (FirstOfMonth(y, m) > from) {
                continue;
            }
            if (const auto change = diary.MonthChange(MonthKey(static_cast<unsigned>(y), m))) {
                start += *change;
            }
        }
    }
    return start;
}

// Months counted from year 0, so that a month's successor is one more.
int MonthNumber(int y, unsigned m) {
    return y * 12 + static_cast<int>(m) - 1;
}

} // namespace

CDiaryListing BuildDiaryListing(const CDiaryDatabase& diary, const CDiaryRangeChoice& choice,
                                FileTime now) {
    CDiaryListing listing;
    listing.captions = Captions(choice.mode);
    const CRange range = RangeOf(choice);
    const std::vector<CDiaryEntry>& entries = diary.Entries();

    // Oldest first; entries opened at the same moment keep their order in the diary.
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return entries[a].m_StartDate < entries[b].m_StartDate;
    });

    const double start = BalanceAtStart(diary, range.from, now);
    double profit = 0.0;
    for (const std::size_t index : order) {
        const CDiaryEntry& entry = entries[index];
        const double net = DiaryNetProfit(entry);
        if (entry.m_StartDate >= range.from && entry.m_StartDate < range.to) {
            profit += net;
            listing.rows.push_back({DayText(entry.m_StartDate),
                                    entry.m_CloseDate == kNoDate ? "-" : DayText(entry.m_CloseDate),
                                    entry.m_ContractID,
                                    net == 0.0 ? std::string() : FormatNumber(net, kProfitDecimals),
                                    index});
        }
    }

    listing.figures = {
        FormatMoney(start, kMoneyDecimals), FormatMoney(start + profit, kMoneyDecimals),
        FormatMoney(profit, kMoneyDecimals),
        start == 0.0 ? std::string() : FormatPercent(profit * 100 / start, kProfitDecimals)};
    return listing;
}

std::vector<CDiaryMonthBalance> DiaryMonthEndBalances(const CDiaryDatabase& diary, FileTime now) {
    const std::vector<int> years = DiaryYears(now);
    const int firstOffered = MonthNumber(years.front(), 1);
    const int lastOffered = MonthNumber(years.back(), 12);
    const year_month_day today = LocalDate(now);
    const int thisMonth = MonthNumber(static_cast<int>(today.year()), unsigned(today.month()));

    int first = thisMonth;
    int last = thisMonth;
    for (const CDiaryEntry& entry : diary.Entries()) {
        if (entry.m_StartDate != kNoDate) {
            const year_month_day opened = UniversalDate(entry.m_StartDate);
            const int number =
                MonthNumber(static_cast<int>(opened.year()), unsigned(opened.month()));
            first = std::min(first, number);
            last = std::max(last, number);
        }
    }
    for (int y = kFirstChangeYear; y <= years.back(); ++y) {
        for (unsigned m = 1; m <= 12; ++m) {
            if (diary.MonthChange(MonthKey(static_cast<unsigned>(y), m))) {
                first = std::min(first, MonthNumber(y, m));
                last = std::max(last, MonthNumber(y, m));
            }
        }
    }
    first = std::clamp(first, firstOffered, lastOffered);
    last = std::clamp(last, first, lastOffered);

    std::vector<CDiaryMonthBalance> balances;
    for (int number = first; number <= last; ++number) {
        CDiaryRangeChoice month;
        month.mode = DiaryRangeMode::Month;
        month.year = number / 12;
        month.month = static_cast<unsigned>(number % 12) + 1;
        const CRange range = RangeOf(month);
        double balance = BalanceAtStart(diary, range.from, now);
        for (const CDiaryEntry& entry : diary.Entries()) {
            if (entry.m_StartDate >= range.from && entry.m_StartDate < range.to) {
                balance += DiaryNetProfit(entry);
            }
        }
        balances.push_back({month.year, month.month, balance});
    }
    return balances;
}

std::vector<int> DiaryYears(FileTime now) {
    std::vector<int> years;
    for (int y = kFirstListedYear; y <= std::max(LastYear(now), kFirstListedYear); ++y) {
        years.push_back(y);
    }
    return years;
}

CDiaryMonth InitialDiaryMonth(FileTime now) {
    const year_month_day today = LocalDate(now);
    const int y = static_cast<int>(today.year());
    return {static_cast<unsigned>(today.month()), y >= kFirstListedYear ? y : kFirstListedYear};
}

} // namespace strikeline
