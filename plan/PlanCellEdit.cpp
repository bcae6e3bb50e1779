#include "plan/PlanCellEdit.h"

#include "plan/PlanColumns.h"

#include <algorithm>
#include <array>

namespace strikeline {

namespace {

namespace C = PlanColumn;

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t\r\n\v\f");
    return text.substr(first, last - first + 1);
}

std::string CleanText(std::string_view typed) {
    std::string text(Trimmed(typed));
    std::erase_if(text, [](char c) { return c == '$' || c == '%'; });
    return text;
}

// The figure each number column stores into, and the name its refusal gives it.
struct CNumberColumn {
    std::string_view key;
    double CTradingPlanEntry::*field;
    std::string_view name;
};
constexpr std::array<CNumberColumn, 9> kNumberColumns = {{
    {C::Shares, &CTradingPlanEntry::m_Shares, "shares"},
    {C::OptionContracts, &CTradingPlanEntry::m_Shares, "option contracts"},
    {C::SharePrice, &CTradingPlanEntry::m_SharePrice, "share price"},
    {C::EquityBrokerage, &CTradingPlanEntry::m_Brokerage, "equity brokerage"},
    {C::StrikePrice, &CTradingPlanEntry::m_StrikePrice, "strike price"},
    {C::FairPrice, &CTradingPlanEntry::m_Premium, "premium"},
    {C::NEBrokerage, &CTradingPlanEntry::m_NEBrokerage, "option brokerage"},
    {C::EBrokerage, &CTradingPlanEntry::m_EBrokerage, "exercise brokerage"},
    {C::DividendValue, &CTradingPlanEntry::m_DividendsValue, "dividends"},
}};

const CNumberColumn* NumberColumn(std::string_view key) {
    const auto found = std::find_if(kNumberColumns.begin(), kNumberColumns.end(),
                                    [key](const CNumberColumn& c) { return c.key == key; });
    return found == kNumberColumns.end() ? nullptr : &*found;
}

std::string RangeText() {
    // FormatNumber would show the lower bound, which is the "not given" marker, as nothing.
    return FormatFixed(kPlanNumberMinimum, 0) + " and " + FormatFixed(kPlanNumberMaximum, 0);
}

bool FitsThePlanFile(double value) {
    return IsValue(value) && value >= kPlanNumberMinimum && value <= kPlanNumberMaximum;
}

std::optional<std::string> Refuse(std::string* refusal, std::string text) {
    if (refusal != nullptr) {
        *refusal = std::move(text);
    }
    return std::nullopt;
}

constexpr std::array kEditableKeys = {
    C::Shares,    C::OptionContracts, C::SharePrice, C::EquityBrokerage, C::StrikePrice,
    C::FairPrice, C::NEBrokerage,     C::EBrokerage, C::DividendValue,   C::DividendDate};

} // namespace

bool IsPlanCellEditable(const CTradingPlanEntry& entry, std::string_view key) {
    if (key == C::EBrokerage) {
        return !IsBuyType(entry.m_SourceType);
    }
    return std::find(kEditableKeys.begin(), kEditableKeys.end(), key) != kEditableKeys.end();
}

std::optional<std::string> EditPlanCell(CTradingPlanEntry& entry, std::string_view key,
                                        std::string_view typed, std::string* refusal) {
    const std::string text = CleanText(typed);
    if (key == C::DividendDate) {
        FileTime date = kNoDate;
        if (!text.empty() && !ParseFileTime(text, TimeZoneMode::Local, date)) {
            return std::nullopt;
        }
        entry.m_DividendsDate = date;
        return text;
    }
    const CNumberColumn* column = NumberColumn(key);
    if (column == nullptr) {
        return std::nullopt;
    }
    const bool given = !text.empty();
    double value = UNSET_VALUE;
    const std::string invalid = "Invalid " + std::string(column->name) + "\n\n";
    if (given && !ParseTypedNumber(text, value)) {
        return Refuse(refusal,
                      invalid + "\"" + std::string(Trimmed(typed)) + "\" is not a number.");
    }
    if (given && key == C::OptionContracts) {
        // Contracts are kept as the shares they make; without a contract size there are none.
        value = entry.m_ContractSize == UNSET_VALUE ? UNSET_VALUE : value * entry.m_ContractSize;
        if (entry.m_ContractSize != UNSET_VALUE && !FitsThePlanFile(value)) {
            return Refuse(refusal, invalid + "The shares they make must lie between " +
                                       RangeText() + ", which the trading plan can hold.");
        }
    } else if (given && !FitsThePlanFile(value)) {
        return Refuse(refusal,
                      invalid + "The trading plan can hold figures between " + RangeText() + ".");
    }
    entry.*column->field = value;
    if (key == C::Shares || key == C::OptionContracts || text.empty()) {
        return text;
    }
    return "$" + text;
}

} // namespace strikeline
