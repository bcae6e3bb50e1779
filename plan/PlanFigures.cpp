#include "plan/PlanFigures.h"

#include "plan/PlanColumns.h"

#include <initializer_list>

namespace strikeline {

namespace {

bool AllValues(std::initializer_list<double> values) {
    for (const double value : values) {
        if (!IsValue(value)) {
            return false;
        }
    }
    return true;
}

double Sum(double value) {
    return IsValue(value) ? value : 0.0;
}

} // namespace

double PlanCost(const CTradingPlanEntry& e) {
    const double price = IsBuyType(e.m_SourceType) ? e.m_Premium : e.m_SharePrice;
    return AllValues({e.m_Shares, price}) ? e.m_Shares * price : UNSET_VALUE;
}

double NotExercisedProfit(const CTradingPlanEntry& e) {
    if (IsBuyType(e.m_SourceType)) {
        const double cost = PlanCost(e);
        return AllValues({e.m_NEBrokerage, cost}) ? -cost - e.m_NEBrokerage : UNSET_VALUE;
    }
    if (!AllValues({e.m_Shares, e.m_Premium, e.m_NEBrokerage, e.m_Brokerage})) {
        return UNSET_VALUE;
    }
    return e.m_Shares * e.m_Premium - e.m_NEBrokerage - e.m_Brokerage;
}

double ExercisedProfit(const CTradingPlanEntry& e) {
    if (IsBuyType(e.m_SourceType)) {
        return NA_VALUE;
    }
    const double profit = NotExercisedProfit(e);
    if (!AllValues({e.m_StrikePrice, e.m_SharePrice, e.m_Shares, e.m_EBrokerage, profit})) {
        return UNSET_VALUE;
    }
    return (e.m_StrikePrice - e.m_SharePrice) * e.m_Shares + profit - e.m_EBrokerage;
}

double NotExercisedReturn(const CTradingPlanEntry& e) {
    if (IsBuyType(e.m_SourceType)) {
        return NA_VALUE;
    }
    const double profit = NotExercisedProfit(e);
    const double cost = PlanCost(e);
    if (!AllValues({e.m_Shares, e.m_SharePrice, e.m_Brokerage, profit, cost}) || cost == 0.0) {
        return UNSET_VALUE;
    }
    return profit / cost * 100.0;
}

double ExercisedReturn(const CTradingPlanEntry& e) {
    if (IsBuyType(e.m_SourceType)) {
        return NA_VALUE;
    }
    const double profit = ExercisedProfit(e);
    const double cost = PlanCost(e);
    if (!AllValues({profit, cost}) || cost == 0.0) {
        return UNSET_VALUE;
    }
    return profit / cost * 100.0;
}

double OptionContracts(const CTradingPlanEntry& e) {
    return AllValues({e.m_Shares, e.m_ContractSize}) ? e.m_Shares / e.m_ContractSize : UNSET_VALUE;
}

double BreakEvenPrice(const CTradingPlanEntry& e) {
    return AllValues({e.m_SharePrice, e.m_Premium}) ? e.m_SharePrice - e.m_Premium : UNSET_VALUE;
}

double ShownExerciseBrokerage(const CTradingPlanEntry& e) {
    return IsBuyType(e.m_SourceType) ? NA_VALUE : e.m_EBrokerage;
}

std::string PlanDateText(FileTime date) {
    if (date == kNoDate) {
        return {};
    }
    return FormatFileTime(date, TimeZoneMode::Local, FileTimeStyle::DayMonthYear);
}

std::string PlanCellText(const CTradingPlanEntry& e, std::string_view key) {
    namespace C = PlanColumn;
    if (key == C::SrcType) {
        return std::string(PlanTypeLabel(e.m_SourceType));
    }
    if (key == C::Company) {
        return e.m_ContractID;
    }
    if (key == C::ExpiryDate) {
        return PlanDateText(e.m_RecordDate) + "\n" + PlanDateText(e.m_DateExpiry);
    }
    if (key == C::Shares) {
        return FormatNumber(e.m_Shares, 5);
    }
    if (key == C::OptionContracts) {
        return FormatNumber(OptionContracts(e), 5);
    }
    if (key == C::SharePrice) {
        return FormatMoney(e.m_SharePrice, 2);
    }
    if (key == C::Cost) {
        return FormatMoney(PlanCost(e), 2);
    }
    if (key == C::EquityBrokerage) {
        return FormatMoney(e.m_Brokerage, 2);
    }
    if (key == C::StrikePrice) {
        return FormatMoney(e.m_StrikePrice, 2);
    }
    if (key == C::FairPrice) {
        return FormatMoney(e.m_Premium, 2);
    }
    if (key == C::NEBrokerage) {
        return FormatMoney(e.m_NEBrokerage, 2);
    }
    if (key == C::NEProfit) {
        return FormatMoney(NotExercisedProfit(e), 2);
    }
    if (key == C::NEReturn) {
        return FormatPercent(NotExercisedReturn(e), 2);
    }
    if (key == C::EBrokerage) {
        return FormatMoney(ShownExerciseBrokerage(e), 2);
    }
    if (key == C::EProfit) {
        return FormatMoney(ExercisedProfit(e), 2);
    }
    if (key == C::EReturn) {
        return FormatPercent(ExercisedReturn(e), 2);
    }
    if (key == C::DividendValue) {
        return FormatMoney(e.m_DividendsValue, 2);
    }
    if (key == C::DividendDate) {
        return PlanDateText(e.m_DividendsDate);
    }
    if (key == C::Trades) {
        return FormatNumber(e.m_Trades, 5);
    }
    if (key == C::BEP) {
        return FormatMoney(BreakEvenPrice(e), 2);
    }
    return {};
}

double PlanCellFigure(const CTradingPlanEntry& e, std::string_view key) {
    namespace C = PlanColumn;
    if (key == C::Shares) {
        return e.m_Shares;
    }
    if (key == C::OptionContracts) {
        return OptionContracts(e);
    }
    if (key == C::SharePrice) {
        return e.m_SharePrice;
    }
    if (key == C::Cost) {
        return PlanCost(e);
    }
    if (key == C::EquityBrokerage) {
        return e.m_Brokerage;
    }
    if (key == C::StrikePrice) {
        return e.m_StrikePrice;
    }
    if (key == C::FairPrice) {
        return e.m_Premium;
    }
    if (key == C::NEBrokerage) {
        return e.m_NEBrokerage;
    }
    if (key == C::NEProfit) {
        return NotExercisedProfit(e);
    }
    if (key == C::NEReturn) {
        return NotExercisedReturn(e);
    }
    if (key == C::EBrokerage) {
        return ShownExerciseBrokerage(e);
    }
    if (key == C::EProfit) {
        return ExercisedProfit(e);
    }
    if (key == C::EReturn) {
        return ExercisedReturn(e);
    }
    if (key == C::DividendValue) {
        return e.m_DividendsValue;
    }
    if (key == C::Trades) {
        return e.m_Trades;
    }
    if (key == C::BEP) {
        return BreakEvenPrice(e);
    }
    return UNSET_VALUE;
}

CPlanTotals ComputePlanTotals(std::span<const CTradingPlanEntry* const> entries) {
    CPlanTotals totals;
    for (const CTradingPlanEntry* entry : entries) {
        const bool buy = IsBuyType(entry->m_SourceType);
        totals.cost += Sum(PlanCost(*entry));
        totals.equityBrokerage += Sum(entry->m_Brokerage);
        totals.optionBrokerage += Sum(entry->m_NEBrokerage);
        if (!buy) {
            totals.exerciseBrokerage += Sum(entry->m_EBrokerage);
        }
        const double notExercised = NotExercisedProfit(*entry);
        totals.notExercisedProfit += Sum(notExercised);
        totals.exercisedProfit += Sum(buy ? notExercised : ExercisedProfit(*entry));
    }
    if (totals.cost != 0.0) {
        totals.notExercisedReturn = totals.notExercisedProfit / totals.cost * 100.0;
        totals.exercisedReturn = totals.exercisedProfit / totals.cost * 100.0;
    }
    return totals;
}

std::string PlanTotalText(const CPlanTotals& t, std::string_view key) {
    namespace C = PlanColumn;
    if (key == C::Cost) {
        return FormatMoney(t.cost, 2);
    }
    if (key == C::EquityBrokerage) {
        return FormatMoney(t.equityBrokerage, 2);
    }
    if (key == C::NEBrokerage) {
        return FormatMoney(t.optionBrokerage, 2);
    }
    if (key == C::NEProfit) {
        return FormatMoney(t.notExercisedProfit, 2);
    }
    if (key == C::NEReturn) {
        return FormatPercent(t.notExercisedReturn, 2);
    }
    if (key == C::EBrokerage) {
        return FormatMoney(t.exerciseBrokerage, 2);
    }
    if (key == C::EProfit) {
        return FormatMoney(t.exercisedProfit, 2);
    }
    if (key == C::EReturn) {
        return FormatPercent(t.exercisedReturn, 2);
    }
    return {};
}

double PlanTotalFigure(const CPlanTotals& t, std::string_view key) {
    namespace C = PlanColumn;
    if (key == C::Cost) {
        return t.cost;
    }
    if (key == C::EquityBrokerage) {
        return t.equityBrokerage;
    }
    if (key == C::NEBrokerage) {
        return t.optionBrokerage;
    }
    if (key == C::NEProfit) {
        return t.notExercisedProfit;
    }
    if (key == C::NEReturn) {
        return t.notExercisedReturn;
    }
    if (key == C::EBrokerage) {
        return t.exerciseBrokerage;
    }
    if (key == C::EProfit) {
        return t.exercisedProfit;
    }
    if (key == C::EReturn) {
        return t.exercisedReturn;
    }
    return UNSET_VALUE;
}

std::string PlanTimeStampText(FileTime generated) {
    return "Trading Plan Generated at " +
           FormatFileTime(generated, TimeZoneMode::Local, FileTimeStyle::DateTime) + " ";
}

} // namespace strikeline
