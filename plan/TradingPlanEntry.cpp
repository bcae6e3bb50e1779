#include "plan/TradingPlanEntry.h"

#include <cmath>

namespace strikeline {

namespace {

// The brokerage a new row starts with: buying the shares, opening the option, exercise.
constexpr double kDefaultEquityBrokerage = 50.0;
constexpr double kDefaultOptionBrokerage = 0.0;
constexpr double kDefaultExerciseBrokerage = 60.0;

} // namespace

std::int32_t CTradingPlanEntry::CellColour(std::string_view key) const {
    const auto found = m_CellColours.find(key);
    return found == m_CellColours.end() ? 0 : found->second;
}

void CTradingPlanEntry::SetCellColour(std::string_view key, std::int32_t index) {
    const auto found = m_CellColours.find(key);
    if (found != m_CellColours.end()) {
        found->second = index;
    } else {
        m_CellColours.emplace(std::string(key), index);
    }
}

CTradingPlanEntry MakePlanEntry(const CPlanSeriesSource& series, FileTime now) {
    CTradingPlanEntry entry;
    entry.m_SourceType = series.isCall ? TYPE_SELL_CALL : TYPE_SELL_PUT;
    entry.m_RecordDate = now;
    entry.m_CompanyID = series.companyCode;
    entry.m_ContractID = series.contractCode;
    entry.m_DateExpiry = series.expiry;
    // Contracts are whole; a marker (or anything not finite) stays as it is.
    entry.m_ContractSize = IsValue(series.contractSize) && std::isfinite(series.contractSize)
                               ? std::trunc(series.contractSize)
                               : series.contractSize;
    entry.m_SharePrice = series.lastPrice;
    entry.m_Brokerage = kDefaultEquityBrokerage;
    entry.m_NEBrokerage = kDefaultOptionBrokerage;
    entry.m_EBrokerage = kDefaultExerciseBrokerage;
    entry.m_StrikePrice = series.strikePrice;
    entry.m_Premium = series.premium;
    // The Short List shows the dividend as money ("$0.85"); the number follows the sign.
    std::string value = series.dividendValueText;
    std::erase(value, '$');
    double dividend = UNSET_VALUE;
    ParseTypedNumber(value, dividend);
    entry.m_DividendsValue = dividend;
    FileTime date = kNoDate;
    if (ParseFileTime(series.dividendDateText, TimeZoneMode::Local, date)) {
        entry.m_DividendsDate = date;
    }
    return entry;
}

} // namespace strikeline
