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

    double start = diary.StartBalance();
    double profit = 0.0;
    for (const std::size_t index : order) {
        const CDiaryEntry& entry = entries[index];
        const double net = DiaryNetProfit(entry);
        if (entry.m_StartDate < range.from) {
            start += net;
        } else if (entry.m_StartDate < range.to) {
            profit += net;
            listing.rows.push_back({DayText(entry.m_StartDate),
                                    entry.m_CloseDate == kNoDate ? "-" : DayText(entry.m_CloseDate),
                                    entry.m_ContractID,
                                    net == 0.0 ? std::string() : FormatNumber(net, kProfitDecimals),
                                    index});
        }
    }

    // The changes of every month the year selector can reach, up to and including the
    // month the range begins with.
    const int lastYear = std::max(LastYear(now), kFirstListedYear);
    for (int y = kFirstChangeYear; y <= lastYear; ++y) {
        for (unsigned m = 1; m <= 12; ++m) {
            if (FirstOfMonth(y, m) > range.from) {
                continue;
            }
            if (const auto change = diary.MonthChange(MonthKey(static_cast<unsigned>(y), m))) {
                start += *change;
            }
        }
    }

    listing.figures = {
        FormatMoney(start, kMoneyDecimals), FormatMoney(start + profit, kMoneyDecimals),
        FormatMoney(profit, kMoneyDecimals),
        start == 0.0 ? std::string() : FormatPercent(profit * 100 / start, kProfitDecimals)};
    return listing;
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
