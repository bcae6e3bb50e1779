#include "plan/TradingPlan.h"

#include "marketdata/CompanyList.h"
#include "plan/PlanFigures.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace strikeline {

namespace {

// Letter case ignored, as codes are compared everywhere in the program.
bool CodeLess(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) <
               std::toupper(static_cast<unsigned char>(y));
    });
}

} // namespace

CTradingPlanEntry& CTradingPlan::Append(CTradingPlanEntry entry) {
    m_Entries.push_back(std::make_unique<CTradingPlanEntry>(std::move(entry)));
    return *m_Entries.back();
}

CTradingPlanEntry& CTradingPlan::InsertAt(std::size_t index, CTradingPlanEntry entry) {
    const auto place = m_Entries.begin() + static_cast<std::ptrdiff_t>(std::min(index, Count()));
    return **m_Entries.insert(place, std::make_unique<CTradingPlanEntry>(std::move(entry)));
}

bool CTradingPlan::ReplaceAt(std::size_t index, const CTradingPlanEntry& expected,
                             CTradingPlanEntry replacement) {
    if (index >= m_Entries.size() || !(*m_Entries[index] == expected)) {
        return false;
    }
    *m_Entries[index] = std::move(replacement);
    return true;
}

void CTradingPlan::RemoveAt(std::size_t index) {
    if (index < m_Entries.size()) {
        m_Entries.erase(m_Entries.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

bool CTradingPlan::Remove(const CTradingPlanEntry* entry) {
    const auto found = std::find_if(m_Entries.begin(), m_Entries.end(),
                                    [entry](const auto& owned) { return owned.get() == entry; });
    if (found == m_Entries.end()) {
        return false;
    }
    m_Entries.erase(found);
    return true;
}

int CTradingPlan::FindSeries(std::string_view contractCode, PlanFamily family) const {
    for (std::size_t i = 0; i < m_Entries.size(); ++i) {
        const CTradingPlanEntry& entry = *m_Entries[i];
        if (PlanFamilyOf(entry.m_SourceType) == family &&
            SameCode(entry.m_ContractID, contractCode)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CTradingPlan::ContainsCompany(std::string_view companyCode, PlanFamily family) const {
    return std::any_of(m_Entries.begin(), m_Entries.end(), [&](const auto& entry) {
        return PlanFamilyOf(entry->m_SourceType) == family &&
               SameCode(entry->m_CompanyID, companyCode);
    });
}

std::vector<const CTradingPlanEntry*> CTradingPlan::DisplayOrder() const {
    std::vector<std::pair<const CTradingPlanEntry*, double>> keyed;
    keyed.reserve(m_Entries.size());
    for (const auto& entry : m_Entries) {
        // A marker sorts as the (very negative) number it is, so rows without a profit
        // come last in their company.
        keyed.emplace_back(entry.get(), NotExercisedProfit(*entry));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (CodeLess(a.first->m_CompanyID, b.first->m_CompanyID)) {
            return true;
        }
        if (CodeLess(b.first->m_CompanyID, a.first->m_CompanyID)) {
            return false;
        }
        return a.second > b.second;
    });
    std::vector<const CTradingPlanEntry*> order;
    order.reserve(keyed.size());
    for (const auto& [entry, profit] : keyed) {
        order.push_back(entry);
    }
    return order;
}

std::vector<CTradingPlanEntry*> CTradingPlan::DisplayOrder() {
    const std::vector<const CTradingPlanEntry*> order = std::as_const(*this).DisplayOrder();
    std::vector<CTradingPlanEntry*> rows;
    rows.reserve(order.size());
    for (const CTradingPlanEntry* entry : order) {
        // The plan owns its rows, and this plan is not const.
        rows.push_back(const_cast<CTradingPlanEntry*>(entry));
    }
    return rows;
}

bool CTradingPlan::Contains(const CTradingPlanEntry* entry) const {
    return entry != nullptr &&
           std::any_of(m_Entries.begin(), m_Entries.end(),
                       [entry](const auto& owned) { return owned.get() == entry; });
}

std::optional<std::size_t> CTradingPlan::IndexOf(const CTradingPlanEntry* entry) const {
    const auto found = std::find_if(m_Entries.begin(), m_Entries.end(),
                                    [entry](const auto& owned) { return owned.get() == entry; });
    if (entry == nullptr || found == m_Entries.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - m_Entries.begin());
}

bool OpensCompanyGroup(const CTradingPlanEntry* previous, const CTradingPlanEntry& entry) {
    return previous == nullptr || previous->m_CompanyID != entry.m_CompanyID;
}

} // namespace strikeline
