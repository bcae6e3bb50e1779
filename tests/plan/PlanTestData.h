#pragma once

#include "plan/TradingPlanEntry.h"

#include <string>

namespace strikeline::test {

// A sold call of 1000 shares bought at $10 with $50 brokerage, strike $11, premium $0.50,
// no option brokerage and $60 to exercise: the plan's worked example.
inline CTradingPlanEntry SoldCall(std::string company = "BHP", std::string series = "BHPXY9") {
    CTradingPlanEntry e;
    e.m_SourceType = TYPE_SELL_CALL;
    e.m_CompanyID = std::move(company);
    e.m_ContractID = std::move(series);
    e.m_Shares = 1000;
    e.m_ContractSize = 1000;
    e.m_SharePrice = 10;
    e.m_Brokerage = 50;
    e.m_StrikePrice = 11;
    e.m_Premium = 0.5;
    e.m_NEBrokerage = 0;
    e.m_EBrokerage = 60;
    return e;
}

// A row whose not-exercised profit is exactly `profit` (shares times premium, no brokerage).
inline CTradingPlanEntry RowWithProfit(std::string company, double profit) {
    CTradingPlanEntry e = SoldCall(std::move(company));
    e.m_Premium = profit / e.m_Shares;
    e.m_Brokerage = 0;
    return e;
}

} // namespace strikeline::test
