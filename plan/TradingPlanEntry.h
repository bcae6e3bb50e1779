#pragma once

#include "plan/PlanEntryType.h"
#include "storage/FileTime.h"
#include "storage/NumberText.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace strikeline {

// One row of the Trading Plan: one option series of one company with what the user
// entered or accepted for it. Figures computed from it live in PlanFigures.h; a missing
// number is UNSET_VALUE, never a text.
struct CTradingPlanEntry {
    std::uint32_t m_SourceType = TYPE_NONE;
    FileTime m_RecordDate = kNoDate;
    // The start of the diary entry that belongs to the row; only ever read from the file.
    FileTime m_StartDate = kNoDate;
    std::string m_CompanyID;
    std::string m_ContractID;
    FileTime m_DateExpiry = kNoDate;
    double m_Shares = UNSET_VALUE;
    double m_ContractSize = UNSET_VALUE;
    double m_SharePrice = UNSET_VALUE;
    double m_Brokerage = UNSET_VALUE;
    double m_StrikePrice = UNSET_VALUE;
    double m_Premium = UNSET_VALUE;
    double m_NEBrokerage = UNSET_VALUE;
    double m_EBrokerage = UNSET_VALUE;
    double m_DividendsValue = UNSET_VALUE;
    FileTime m_DividendsDate = kNoDate;
    // Kept and written back; nothing computes or edits it.
    double m_Trades = UNSET_VALUE;
    std::array<bool, 4> m_AddToDiary{};
    // Colour index of each highlighted cell, by column key. A new row's premium is cyan.
    std::map<std::string, std::int32_t, std::less<>> m_CellColours{{"ADXFairPrice", 4}};

    // The colour index of a cell: 0 when it has none.
    std::int32_t CellColour(std::string_view key) const;
    void SetCellColour(std::string_view key, std::int32_t index);

    bool operator==(const CTradingPlanEntry&) const = default;
};

// The figures the plan file can hold: its reader refuses anything outside this range, so
// nothing outside it may be typed in or written.
inline constexpr double kPlanNumberMinimum = -1000000000.0;
inline constexpr double kPlanNumberMaximum = 1000000000.0;

// What the Short List knows of a series when the user ticks it into the plan.
struct CPlanSeriesSource {
    std::string companyCode;
    double lastPrice = UNSET_VALUE;
    std::string contractCode;
    FileTime expiry = kNoDate;
    double contractSize = UNSET_VALUE;
    double strikePrice = UNSET_VALUE;
    double premium = UNSET_VALUE;
    bool isCall = true;
    // The texts of the Short List's dividend cells, as the user left them.
    std::string dividendValueText;
    std::string dividendDateText;
};

// A new row for the series, recorded at `now` (UTC), with the usual brokerage amounts.
CTradingPlanEntry MakePlanEntry(const CPlanSeriesSource& series, FileTime now);

} // namespace strikeline
