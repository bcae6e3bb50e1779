#include "plan/PlanCellEdit.h"

#include "plan/PlanColumns.h"

#include <algorithm>
#include <array>

namespace strikeline {

namespace {

namespace C = PlanColumn;

std::string CleanText(std::string_view typed) {
    const std::size_t first = typed.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = typed.find_last_not_of(" \t\r\n\v\f");
    std::string text(typed.substr(first, last - first + 1));
    std::erase_if(text, [](char c) { return c == '$' || c == '%'; });
    return text;
}

// The field a number column stores into, or null for the columns that are not numbers.
double* NumberField(CTradingPlanEntry& e, std::string_view key) {
    if (key == C::Shares || key == C::OptionContracts) {
        return &e.m_Shares;
    }
    if (key == C::SharePrice) {
        return &e.m_SharePrice;
    }
    if (key == C::EquityBrokerage) {
        return &e.m_Brokerage;
    }
    if (key == C::StrikePrice) {
        return &e.m_StrikePrice;
    }
    if (key == C::ADXFairPrice) {
        return &e.m_Premium;
    }
    if (key == C::NEBrokerage) {
        return &e.m_NEBrokerage;
    }
    if (key == C::EBrokerage) {
        return &e.m_EBrokerage;
    }
    if (key == C::DividendValue) {
        return &e.m_DividendsValue;
    }
    return nullptr;
}

constexpr std::array kEditableKeys = {
    C::Shares,       C::OptionContracts, C::SharePrice, C::EquityBrokerage, C::StrikePrice,
    C::ADXFairPrice, C::NEBrokerage,     C::EBrokerage, C::DividendValue,   C::DividendDate};

} // namespace

bool IsPlanCellEditable(const CTradingPlanEntry& entry, std::string_view key) {
    if (key == C::EBrokerage) {
        return !IsBuyType(entry.m_SourceType);
    }
    return std::find(kEditableKeys.begin(), kEditableKeys.end(), key) != kEditableKeys.end();
}

std::optional<std::string> EditPlanCell(CTradingPlanEntry& entry, std::string_view key,
                                        std::string_view typed) {
    const std::string text = CleanText(typed);
    if (key == C::DividendDate) {
        FileTime date = kNoDate;
        if (!text.empty() && !ParseFileTime(text, TimeZoneMode::Local, date)) {
            return std::nullopt;
        }
        entry.m_DividendsDate = date;
        return text;
    }
    double* field = NumberField(entry, key);
    if (field == nullptr) {
        return std::nullopt;
    }
    const double value = text.empty() ? UNSET_VALUE : ParseNumber(text);
    if (key == C::OptionContracts) {
        *field = value == UNSET_VALUE || entry.m_ContractSize == UNSET_VALUE
                     ? UNSET_VALUE
                     : value * entry.m_ContractSize;
        return text;
    }
    *field = value;
    if (key == C::Shares || text.empty()) {
        return text;
    }
    return "$" + text;
}

} // namespace strikeline
