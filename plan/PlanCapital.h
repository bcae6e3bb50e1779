#pragma once

#include "plan/TradingPlanEntry.h"

#include <cstddef>
#include <span>
#include <vector>

namespace strikeline {

// What the plan's open positions expiring in one month hold.
struct CPlanMonth {
    int year = 0;
    unsigned month = 0; // 1..12
    // The shares' cost (PlanCost) of rows holding shares, and strike × shares of sold puts:
    // the cash a sold put sets aside for the shares it may be assigned.
    double capital = 0.0;
    // Shares × premium of the sold rows.
    double premiumIncome = 0.0;
    // Shares × premium of the bought rows, which tie up no capital of the kinds above.
    double premiumPaid = 0.0;
    // Indices into the rows given, in their order.
    std::vector<std::size_t> rows;
};

// The months, ascending, of the expiry dates (the calendar month in local time, as the plan
// shows its dates) of the rows still open at `now`: those whose expiry day is not before
// today's. A row without an expiry date is in no month; a figure whose input is a marker
// adds nothing, though its row is still listed in its month.
std::vector<CPlanMonth> PlanCapitalByMonth(std::span<const CTradingPlanEntry* const> rows,
                                           FileTime now);

} // namespace strikeline
