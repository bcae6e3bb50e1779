#include "plan/PlanRowClose.h"

#include "journal/DiaryDatabase.h"

namespace strikeline {

namespace {

// The diary entry that belongs to a plan row, or null.
CDiaryEntry* DiaryEntryOf(CDiaryDatabase* diary, const CTradingPlanEntry& entry) {
    if (diary == nullptr) {
        return nullptr;
    }
    const int found = diary->FindEntry(entry.m_ContractID, entry.m_StartDate);
    return found < 0 ? nullptr : diary->EntryAt(static_cast<std::size_t>(found));
}

} // namespace

bool ClosePlanEntry(CTradingPlan& plan, const CTradingPlanEntry& entry, CDiaryDatabase* diary,
                    FileTime now) {
    const std::optional<std::size_t> index = plan.IndexOf(&entry);
    if (!index) {
        return false;
    }
    return ClosePlanRow(plan, *index, diary, now)->lastOfSeries;
}

std::optional<CPlanRowClosing> ClosePlanRow(CTradingPlan& plan, std::size_t index,
                                            CDiaryDatabase* diary, FileTime now) {
    if (index >= plan.Count()) {
        return std::nullopt;
    }
    CPlanRowClosing closing;
    closing.index = index;
    closing.entry = plan.At(index);
    closing.stamp = now;
    if (CDiaryEntry* trade = DiaryEntryOf(diary, closing.entry)) {
        closing.previousCloseDate = trade->m_CloseDate;
        trade->m_CloseDate = now;
    }
    plan.RemoveAt(index);
    closing.lastOfSeries =
        plan.FindSeries(closing.entry.m_ContractID, PlanFamilyOf(closing.entry.m_SourceType)) < 0;
    return closing;
}

CTradingPlanEntry& ReopenPlanRow(CTradingPlan& plan, CDiaryDatabase* diary,
                                 const CPlanRowClosing& closing) {
    if (closing.previousCloseDate) {
        if (CDiaryEntry* trade = DiaryEntryOf(diary, closing.entry);
            trade != nullptr && trade->m_CloseDate == closing.stamp) {
            trade->m_CloseDate = *closing.previousCloseDate;
        }
    }
    return plan.InsertAt(closing.index, closing.entry);
}

bool RepeatPlanRowClose(CTradingPlan& plan, CDiaryDatabase* diary, CPlanRowClosing& closing) {
    if (closing.index >= plan.Count() || !(plan.At(closing.index) == closing.entry)) {
        return false;
    }
    closing = *ClosePlanRow(plan, closing.index, diary, closing.stamp);
    return true;
}

} // namespace strikeline
