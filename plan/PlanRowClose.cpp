#include "plan/PlanRowClose.h"

#include "journal/DiaryDatabase.h"

namespace strikeline {

bool ClosePlanEntry(CTradingPlan& plan, const CTradingPlanEntry& entry, CDiaryDatabase* diary,
                    FileTime now) {
    if (diary != nullptr) {
        const int found = diary->FindEntry(entry.m_ContractID, entry.m_StartDate);
        if (found >= 0) {
            diary->EntryAt(static_cast<std::size_t>(found))->m_CloseDate = now;
        }
    }
    // Copied before the row goes: `entry` is the plan's own row.
    const std::string series = entry.m_ContractID;
    const PlanFamily family = PlanFamilyOf(entry.m_SourceType);
    plan.Remove(&entry);
    return plan.FindSeries(series, family) < 0;
}

} // namespace strikeline
