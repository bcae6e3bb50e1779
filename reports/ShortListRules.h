#pragma once

#include "marketdata/CompanyInfo.h"
#include "plan/TradingPlan.h"
#include "reports/ReportKind.h"
#include "reports/ShortListStore.h"
#include "storage/FileTime.h"

#include <optional>
#include <string>
#include <string_view>

namespace strikeline {

// The Short List window's rules that need no window: when it asks before removing, what a
// ticked series puts into the Trading Plan, and what a dividend cell keeps of an edit.

inline constexpr const char* kClearShortListQuestion =
    "There are options on the Short List that appear in the Trading Plan, do you still want "
    "to clear your Short List?";
// "CODE appears in the Trading Plan.\n\nAre you sure you want to remove it?"
std::string RemoveCompanyQuestion(std::string_view code);

// The plan rows of a report kind are of its family.
PlanFamily PlanFamilyOfKind(ReportKind kind);

// Clearing asks first when any stored company has rows of its kind in the plan. No plan
// (before start-up or after shutdown) never asks.
bool ClearNeedsQuestion(const CShortListStore& store, const CTradingPlan* plan);
// A block's close box asks first when the company has rows of its kind in the plan.
bool RemoveNeedsQuestion(std::string_view code, ReportKind kind, const CTradingPlan* plan);

// What the plan takes from a Short List row: the share, the series and the row's dividend
// texts as they stand.
CPlanSeriesSource MakeSeriesSource(const CCompanyInfo& company, const CContractInfo& series,
                                   ReportKind kind, std::string dividendValueText,
                                   std::string dividendDateText);
// Ticking a series' box: a new plan row, appended every time (ticking the same series
// again gives a second row). Null when there is no plan.
CTradingPlanEntry* AppendSeriesToPlan(CTradingPlan* plan, const CPlanSeriesSource& series,
                                      FileTime now);

// A typed dividend value: trimmed; empty stays empty; otherwise it must read as a number
// and is kept with "$" in front (a "$" the user typed is not doubled). Nothing when the
// edit is to be dropped and the old text kept.
std::optional<std::string> EditDividendValue(std::string_view typed);
// A typed dividend date: trimmed; empty stays empty; otherwise it must read as a date in
// one of the program's date forms. Nothing when the edit is to be dropped.
std::optional<std::string> EditDividendDate(std::string_view typed);

} // namespace strikeline
