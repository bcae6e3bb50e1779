#pragma once

#include "journal/DiaryDatabase.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace strikeline {

// Which entries the Diary window lists: those opened in a month, a year, a range of days,
// or all of them.
enum class DiaryRangeMode { Month = 0, Year = 1, Period = 2, All = 3 };

struct CDiaryRangeChoice {
    DiaryRangeMode mode = DiaryRangeMode::Month;
    unsigned month = 1; // 1..12, for Month
    int year = 2007;    // for Month and Year
    // For Period: the first and the last day listed. An end before the start lists the
    // start day alone.
    std::chrono::year_month_day periodStart{};
    std::chrono::year_month_day periodEnd{};
};

// One listed entry. Dates are local time ("13-Apr-2010"); a trade still open shows "-".
struct CDiaryRow {
    std::string openDate;
    std::string closeDate;
    std::string stockCode;
    // Empty when the entry earned nothing (or has no profit figure).
    std::string netProfit;
    // The entry's place in the database's sequence.
    std::size_t entryIndex = 0;
};

// The balance at the start and the end of the range, the total net profit in it and that
// profit as a percentage of the starting balance: the captions or the figures.
struct CDiaryFigureTexts {
    std::string startingBalance;
    std::string endingBalance;
    std::string totalNetProfit;
    std::string netProfitPercent;

    bool operator==(const CDiaryFigureTexts&) const = default;
};

// What the Diary window shows for a range: rows oldest first.
struct CDiaryListing {
    CDiaryFigureTexts captions;
    CDiaryFigureTexts figures;
    std::vector<CDiaryRow> rows;
};

// Lists the entries opened in the chosen range. Entries opened before it add their net
// profit to the starting balance, as do the month changes of every month that begins no
// later than the range, up to the end of the year after `now`'s. Range boundaries are days
// at 00:00 compared with the stored (universal) start times as they are; All covers 2000
// to 2099. A day that does not exist leaves its boundary at kNoDate.
CDiaryListing BuildDiaryListing(const CDiaryDatabase& diary, const CDiaryRangeChoice& choice,
                                FileTime now);

// A month's ending balance, as the Diary shows it when that month is chosen.
struct CDiaryMonthBalance {
    int year = 0;
    unsigned month = 1; // 1..12
    double balance = 0.0;
};

// The ending balance of every month from the first with a trade or a balance change (or
// `now`'s month, whichever is earlier) to the last (or `now`'s month, whichever is later),
// within the years the year selector offers; oldest first.
std::vector<CDiaryMonthBalance> DiaryMonthEndBalances(const CDiaryDatabase& diary, FileTime now);

// The years the year selector offers: 2007 to the year after `now`'s local year.
std::vector<int> DiaryYears(FileTime now);

// The month and year first shown: `now`'s local month and year, or 2007 when that year is
// not offered.
struct CDiaryMonth {
    unsigned month = 1;
    int year = 2007;

    bool operator==(const CDiaryMonth&) const = default;
};
CDiaryMonth InitialDiaryMonth(FileTime now);

} // namespace strikeline
