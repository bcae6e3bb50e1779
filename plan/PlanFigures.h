#pragma once

#include "plan/TradingPlanEntry.h"

#include <span>
#include <string>
#include <string_view>

namespace strikeline {

// The figures of one plan row. A formula whose input is a marker gives UNSET_VALUE; a
// figure that does not apply to a bought option is NA_VALUE.
double PlanCost(const CTradingPlanEntry& entry);
double NotExercisedProfit(const CTradingPlanEntry& entry);
double ExercisedProfit(const CTradingPlanEntry& entry);
double NotExercisedReturn(const CTradingPlanEntry& entry);
double ExercisedReturn(const CTradingPlanEntry& entry);
double OptionContracts(const CTradingPlanEntry& entry);
double BreakEvenPrice(const CTradingPlanEntry& entry);
// The exercise brokerage as the row shows it: none applies to a bought option.
double ShownExerciseBrokerage(const CTradingPlanEntry& entry);

// A date as the plan shows it, "13-Apr-2010" in local time; empty when there is none.
std::string PlanDateText(FileTime date);

// The text of a row's cell, by column key, exactly as the plan view and every export show
// it. "ExpiryDate" holds the record date and the expiry date on two lines. Keys without a
// text (the check boxes) give "".
std::string PlanCellText(const CTradingPlanEntry& entry, std::string_view key);

// The figure behind a row's number cell, by column key: what PlanCellText formats (a
// percentage as shown, 4.5 for "4.5%"), or a marker. UNSET_VALUE for keys whose cell holds
// no number (texts, dates, check boxes).
double PlanCellFigure(const CTradingPlanEntry& entry, std::string_view key);

// The plan's sums over its rows; a marker adds nothing.
struct CPlanTotals {
    double cost = 0.0;
    double equityBrokerage = 0.0;
    double optionBrokerage = 0.0;
    double exerciseBrokerage = 0.0; // sold options only
    double notExercisedProfit = 0.0;
    double notExercisedReturn = 0.0;
    // Sold options count their exercised profit, bought ones their not-exercised profit.
    double exercisedProfit = 0.0;
    double exercisedReturn = 0.0;
};
CPlanTotals ComputePlanTotals(std::span<const CTradingPlanEntry* const> entries);

// The text of a totals cell by column key ("Cost", "EquityBrokerage", "NEBrokerage",
// "NEProfit", "NEReturn", "EBrokerage", "EProfit", "EReturn"); "" for the others.
std::string PlanTotalText(const CPlanTotals& totals, std::string_view key);
// The figure behind a totals cell by column key; UNSET_VALUE where PlanTotalText is "".
double PlanTotalFigure(const CPlanTotals& totals, std::string_view key);

// "Trading Plan Generated at 2010-04-13 17:05:09 " (local time, trailing blank included).
std::string PlanTimeStampText(FileTime generated);

} // namespace strikeline
