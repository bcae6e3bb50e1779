#pragma once

#include <chrono>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// The program's own record of the shares' prices: each time a price list is loaded, the
// day's last sale and volume of every share are kept in a small file in the data folder,
// so that a price chart can be drawn without the site. One section per trading day, oldest
// first, each share on a line of its own:
//
//   Strikeline price history 1
//   =2010-06-24
//   BHP,41.23,1234567
//
// A year of a whole market (a thousand shares) takes about 5 MB.

inline constexpr std::string_view kPriceHistoryFileName = "pricehistory.csv";

// One share's line of a price list: its code, last sale and volume.
struct CPriceHistoryShare {
    std::string code;
    double last = 0;
    double volume = 0;
};

// The shares of one price list and its trading day.
struct CPriceHistoryList {
    std::chrono::year_month_day date;
    std::vector<CPriceHistoryShare> shares;
};

// One stored day of a share.
struct CPriceHistoryDay {
    std::chrono::year_month_day date;
    double last = 0;
    double volume = 0;
};

// Records the shares' day in the history file of `folder`. A share already recorded that
// day is replaced (a call list and a put list of the same day add up); other days and
// other shares stay. Shares without a sale (a last price that is not positive) are left
// out. The file is replaced atomically. A file that is not a price history is moved aside
// as "<file>.damaged" first, never overwritten. False with the reason in `error`.
bool RecordPriceHistory(const std::string& folder, std::chrono::year_month_day day,
                        std::span<const CPriceHistoryShare> shares, std::string& error);
// The same for several lists at once, in one replacement of the file (a year filled in).
bool RecordPriceHistory(const std::string& folder, std::span<const CPriceHistoryList> lists,
                        std::string& error);

// The stored days of the share `code` (any letter case) from `from` on, oldest first.
// No file is no history; a file that is not a price history is an error.
bool ReadPriceHistory(const std::string& folder, std::string_view code,
                      std::chrono::year_month_day from, std::vector<CPriceHistoryDay>& days,
                      std::string& error);

// The file's path in `folder`.
std::string PriceHistoryPath(const std::string& folder);

} // namespace strikeline
