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
    // A sold put is assigned the shares at the strike, worth the share price; a buy-write
    // hands its shares over at the strike.
    const double perShare = e.m_SourceType == TYPE_SELL_PUT ? e.m_SharePrice - e.m_StrikePrice
                                                            : e.m_StrikePrice - e.m_SharePrice;
    return perShare * e.m_Shares + profit - e.m_EBrokerage;
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
    // A sold put breaks even where the shares it may be assigned are worth the strike less
    // the premium; a buy-write where the shares bought fall by the premium.
    const double price = e.m_SourceType == TYPE_SELL_PUT ? e.m_StrikePrice : e.m_SharePrice;
    return AllValues({price, e.m_Premium}) ? price - e.m_Premium : UNSET_VALUE;
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
    const std::optional<PlanColumnId> id = PlanColumnIdOf(key);
    if (!id) {
        return {};
    }
    switch (*id) {
    case PlanColumnId::SrcType:
        return std::string(PlanTypeLabel(e.m_SourceType));
    case PlanColumnId::Company:
        return e.m_ContractID;
    case PlanColumnId::ExpiryDate:
        return PlanDateText(e.m_RecordDate) + "\n" + PlanDateText(e.m_DateExpiry);
    case PlanColumnId::DividendDate:
        return PlanDateText(e.m_DividendsDate);
    case PlanColumnId::Shares:
    case PlanColumnId::OptionContracts:
    case PlanColumnId::Trades:
        return FormatNumber(PlanCellFigure(e, key), 5);
    case PlanColumnId::NEReturn:
    case PlanColumnId::EReturn:
        return FormatPercent(PlanCellFigure(e, key), 2);
    case PlanColumnId::SharePrice:
    case PlanColumnId::Cost:
    case PlanColumnId::EquityBrokerage:
    case PlanColumnId::StrikePrice:
    case PlanColumnId::FairPrice:
    case PlanColumnId::NEBrokerage:
    case PlanColumnId::NEProfit:
    case PlanColumnId::EBrokerage:
    case PlanColumnId::EProfit:
    case PlanColumnId::DividendValue:
    case PlanColumnId::BEP:
        return FormatMoney(PlanCellFigure(e, key), 2);
    case PlanColumnId::AddToDiary1:
    case PlanColumnId::AddToDiary2:
    case PlanColumnId::AddToDiary3:
    case PlanColumnId::AddToDiary4:
    case PlanColumnId::CloseAll:
    // The analytics cells come from the market's analytics, not from the row.
    case PlanColumnId::Days:
    case PlanColumnId::AnnualReturn:
    case PlanColumnId::Warnings:
        break;
    }
    return {};
}

double PlanCellFigure(const CTradingPlanEntry& e, std::string_view key) {
    const std::optional<PlanColumnId> id = PlanColumnIdOf(key);
    if (!id) {
        return UNSET_VALUE;
    }
    switch (*id) {
    case PlanColumnId::Shares:
        return e.m_Shares;
    case PlanColumnId::OptionContracts:
        return OptionContracts(e);
    case PlanColumnId::SharePrice:
        return e.m_SharePrice;
    case PlanColumnId::Cost:
        return PlanCost(e);
    case PlanColumnId::EquityBrokerage:
        return e.m_Brokerage;
    case PlanColumnId::StrikePrice:
        return e.m_StrikePrice;
    case PlanColumnId::FairPrice:
        return e.m_Premium;
    case PlanColumnId::NEBrokerage:
        return e.m_NEBrokerage;
    case PlanColumnId::NEProfit:
        return NotExercisedProfit(e);
    case PlanColumnId::NEReturn:
        return NotExercisedReturn(e);
    case PlanColumnId::EBrokerage:
        return ShownExerciseBrokerage(e);
    case PlanColumnId::EProfit:
        return ExercisedProfit(e);
    case PlanColumnId::EReturn:
        return ExercisedReturn(e);
    case PlanColumnId::DividendValue:
        return e.m_DividendsValue;
    case PlanColumnId::Trades:
        return e.m_Trades;
    case PlanColumnId::BEP:
        return BreakEvenPrice(e);
    default:
        break;
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
    const std::optional<PlanColumnId> id = PlanColumnIdOf(key);
    if (!id || !PlanColumnOf(*id).hasTotal) {
        return {};
    }
    const double figure = PlanTotalFigure(t, key);
    return PlanColumnOf(*id).kind == PlanValueKind::Percent ? FormatPercent(figure, 2)
                                                            : FormatMoney(figure, 2);
}

double PlanTotalFigure(const CPlanTotals& t, std::string_view key) {
    const std::optional<PlanColumnId> id = PlanColumnIdOf(key);
    if (!id) {
        return UNSET_VALUE;
    }
    switch (*id) {
    case PlanColumnId::Cost:
        return t.cost;
    case PlanColumnId::EquityBrokerage:
        return t.equityBrokerage;
    case PlanColumnId::NEBrokerage:
        return t.optionBrokerage;
    case PlanColumnId::NEProfit:
        return t.notExercisedProfit;
    case PlanColumnId::NEReturn:
        return t.notExercisedReturn;
    case PlanColumnId::EBrokerage:
        return t.exerciseBrokerage;
    case PlanColumnId::EProfit:
        return t.exercisedProfit;
    case PlanColumnId::EReturn:
        return t.exercisedReturn;
    default:
        break;
    }
    return UNSET_VALUE;
}

std::string PlanTimeStampText(FileTime generated) {
    return "Trading Plan Generated at " +
           FormatFileTime(generated, TimeZoneMode::Local, FileTimeStyle::DateTime) + " ";
}

} // namespace strikeline
