#pragma once

#include "journal/DiaryEntry.h"

#include <string>

namespace strikeline {

// The texts of the diary entry dialog's fields, in the dialog's order. Dates are local
// time; the start and close dates and the company code are not shown.
struct CDiaryEntryTexts {
    std::string contractCode; // shown only, never taken back
    std::string expiryDate;
    std::string shares;
    std::string contracts;
    std::string sharePrice;
    std::string cost;
    std::string brokerage;
    std::string strikePrice;
    std::string premium;
    std::string neBrokerage;
    std::string neProfit;
    std::string neReturn;
    std::string eBrokerage;
    std::string eProfit;
    std::string eReturn;
    std::string dividendsValue;
    std::string dividendsDate;

    bool operator==(const CDiaryEntryTexts&) const = default;
};

// The dialog's editable fields, named for the control that takes the focus on an error.
enum class DiaryEntryField {
    ExpiryDate,
    Shares,
    Contracts,
    SharePrice,
    Cost,
    Brokerage,
    StrikePrice,
    Premium,
    NEBrokerage,
    NEProfit,
    NEReturn,
    EBrokerage,
    EProfit,
    EReturn,
    DividendsValue,
    DividendsDate,
};

struct CDiaryEntryTextError {
    DiaryEntryField field = DiaryEntryField::ExpiryDate;
    std::string message;
};

// What the dialog shows for an entry: dates in local time ("2010-04-13 20:00:00") or empty
// when not set, figures with up to five decimals, "N/A" for NA_VALUE, empty when unset.
CDiaryEntryTexts DiaryEntryToTexts(const CDiaryEntry& entry);

// Takes the dialog's texts into `entry`, field by field in the dialog's order. The expiry
// date must be a date; a blank figure becomes UNSET_VALUE and a blank dividends date none.
// A figure must be a number not cut short ("$" signs are passed over and thousands
// separators read: "$1,234.50"; "1,23" is refused), and one the diary file can hold: not a marker
// value and within -1000000000..1000000000. On the first field that fails, returns false with that
// field and its message ("Invalid expiry date", "Invalid shares", ...) and leaves `entry`
// unchanged.
bool TakeDiaryEntryTexts(const CDiaryEntryTexts& texts, CDiaryEntry& entry,
                         CDiaryEntryTextError& error);

} // namespace strikeline
