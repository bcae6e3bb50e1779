#pragma once

#include "storage/FileTime.h"
#include "storage/NumberText.h"

#include <array>
#include <string>
#include <string_view>

namespace strikeline {

// One trade of the diary: when it was opened and closed, which option contract it was, the
// position at the opening and the figures of both outcomes. An entry is identified by its
// contract code (letter case aside) and its exact start time. Dates are universal time,
// kNoDate when not given; figures not given hold UNSET_VALUE.
struct CDiaryEntry {
    FileTime m_StartDate = kNoDate;
    // kNoDate while the trade is open.
    FileTime m_CloseDate = kNoDate;
    std::string m_CompanyID;
    std::string m_ContractID;
    FileTime m_DateExpiry = kNoDate;
    double m_Shares = UNSET_VALUE;
    double m_Contracts = UNSET_VALUE;
    double m_SharePrice = UNSET_VALUE;
    double m_Cost = UNSET_VALUE;
    double m_Brokerage = UNSET_VALUE;
    double m_StrikePrice = UNSET_VALUE;
    double m_Premium = UNSET_VALUE;
    // NE: the outcome if the option is not exercised; E: if it is.
    double m_NEBrokerage = UNSET_VALUE;
    double m_NEProfit = UNSET_VALUE;
    double m_NEReturn = UNSET_VALUE;
    double m_EBrokerage = UNSET_VALUE;
    double m_EProfit = UNSET_VALUE;
    double m_EReturn = UNSET_VALUE;
    double m_DividendsValue = UNSET_VALUE;
    FileTime m_DividendsDate = kNoDate;

    bool operator==(const CDiaryEntry&) const = default;
};

// The figures of an entry in the order the file and the entry dialog take them, with the
// name each has in the file.
struct CDiaryNumberField {
    std::string_view name;
    double CDiaryEntry::*member;
};
inline constexpr std::array<CDiaryNumberField, 14> kDiaryNumberFields = {{
    {"Shares", &CDiaryEntry::m_Shares},
    {"Contracts", &CDiaryEntry::m_Contracts},
    {"SharePrice", &CDiaryEntry::m_SharePrice},
    {"Cost", &CDiaryEntry::m_Cost},
    {"Brokerage", &CDiaryEntry::m_Brokerage},
    {"StrikePrice", &CDiaryEntry::m_StrikePrice},
    {"Premium", &CDiaryEntry::m_Premium},
    {"NEBrokerage", &CDiaryEntry::m_NEBrokerage},
    {"NEProfit", &CDiaryEntry::m_NEProfit},
    {"NEReturn", &CDiaryEntry::m_NEReturn},
    {"EBrokerage", &CDiaryEntry::m_EBrokerage},
    {"EProfit", &CDiaryEntry::m_EProfit},
    {"EReturn", &CDiaryEntry::m_EReturn},
    {"DividendsValue", &CDiaryEntry::m_DividendsValue},
}};

// The figures the diary file can hold: the reader refuses anything outside this range, so
// nothing outside it may be typed in or written.
inline constexpr double kDiaryNumberMinimum = -1000000000.0;
inline constexpr double kDiaryNumberMaximum = 1000000000.0;

// What the trade earned for the diary's balances: the not-exercised profit when it holds a
// value, else the exercised profit when it holds one, else 0.
constexpr double DiaryNetProfit(const CDiaryEntry& entry) {
    if (IsValue(entry.m_NEProfit)) {
        return entry.m_NEProfit;
    }
    if (IsValue(entry.m_EProfit)) {
        return entry.m_EProfit;
    }
    return 0.0;
}

} // namespace strikeline
