#pragma once

#include "journal/AverageTradesDatabase.h"
#include "marketdata/Dividend.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// The months of dividends the Dividends window lists; only the month is compared, never
// the year.
enum class DividendsMonthFilter {
    CurrentMonth = 0,
    CurrentAndNextMonth = 1,
    NextMonth = 2,
    All = 3
};

inline constexpr std::array<std::string_view, 4> kDividendsColumnTitles = {
    "Company Code", "Dividends Date", "Dividends Value", "Average Trades"};
inline constexpr std::string_view kNoDividendsText = "No dividends found";

// One listed dividend: the date in local time ("05-May-2010"), the value in dollars and the
// company's average-trades figure, empty when there is none.
struct CDividendRow {
    std::string code;
    std::string date;
    std::string value;
    std::string averageTrades;

    bool operator==(const CDividendRow&) const = default;
};

// The rows of the Dividends window. When the dividends list itself is empty the window
// says so (noDividends) whatever the filter; when only the filter leaves nothing, there
// are no rows and no such line.
struct CDividendsTable {
    bool noDividends = false;
    std::vector<CDividendRow> rows;
};

// Lists the dividends, by company code ignoring letter case (equal codes keep the list's
// order), whose month, in universal time, passes the filter for the month of `now`.
CDividendsTable BuildDividendsTable(std::vector<CDividend> dividends, DividendsMonthFilter filter,
                                    FileTime now, const CAverageTradesDatabase& averages);

// Takes a text typed into an Average Trades cell for the company `code`. The text is
// trimmed; an empty one clears the figure. A text that holds no number, or one cut short
// (thousands separators are read: "1,234"; "1,23" is refused), or a number the
// average-trades file cannot hold (below 0 or above 1000000000), is refused: the function
// returns false, nothing is stored, the cell keeps its old text and `refusal`, when given,
// says why for the user. Otherwise the number is stored and `shown` is the trimmed text.
bool TakeAverageTradesText(CAverageTradesDatabase& averages, std::string_view code,
                           std::string_view text, std::string& shown,
                           std::string* refusal = nullptr);

} // namespace strikeline
