#pragma once

#include "plan/TradingPlanEntry.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// The Trading Plan: its rows in the order they were added (the order of the plan file).
// The plan owns its rows; the view and the exports show them in display order instead.
class CTradingPlan {
public:
    std::size_t Count() const { return m_Entries.size(); }
    CTradingPlanEntry& At(std::size_t index) { return *m_Entries.at(index); }
    const CTradingPlanEntry& At(std::size_t index) const { return *m_Entries.at(index); }

    CTradingPlanEntry& Append(CTradingPlanEntry entry);
    // Puts a row back at a place in the file order (at the end when `index` is past it).
    CTradingPlanEntry& InsertAt(std::size_t index, CTradingPlanEntry entry);
    // Overwrites the row at `index` with `replacement` only while it still equals
    // `expected`, so an undone change never lands on a row that changed since; false then.
    bool ReplaceAt(std::size_t index, const CTradingPlanEntry& expected,
                   CTradingPlanEntry replacement);
    void RemoveAt(std::size_t index);
    // Removes the row that `entry` is; false when it is not one of this plan's rows.
    bool Remove(const CTradingPlanEntry* entry);
    void Clear() { m_Entries.clear(); }

    // The first row of the series `contractCode` (letter case ignored) whose type is of
    // that family, or -1.
    int FindSeries(std::string_view contractCode, PlanFamily family) const;
    // Whether any row of that family is of the company `companyCode` (letter case ignored).
    bool ContainsCompany(std::string_view companyCode, PlanFamily family) const;

    // Every row, in display order: by company code (letter case ignored), then the
    // highest not-exercised profit first, rows without one last.
    std::vector<const CTradingPlanEntry*> DisplayOrder() const;
    // The same order, for a view that edits the rows it shows.
    std::vector<CTradingPlanEntry*> DisplayOrder();
    // Whether `entry` is one of this plan's rows (a view checks a row it kept is still here).
    bool Contains(const CTradingPlanEntry* entry) const;
    // The place of `entry` in the file order, or nothing when it is not one of this plan's.
    std::optional<std::size_t> IndexOf(const CTradingPlanEntry* entry) const;

    // The file: see TradingPlanFile.cpp. Loading first empties the plan and keeps every
    // row it can read. It fails when the file cannot be read at all, or when some rows
    // cannot, and then `error` names each of those rows (its place in the file, its codes)
    // with the reason.
    bool Load(const std::string& path, std::string& error);
    bool Save(const std::string& path, std::string* error = nullptr) const;

private:
    std::vector<std::unique_ptr<CTradingPlanEntry>> m_Entries;
};

// Whether `entry` opens a company group in display order after `previous` (null for the
// first row). Codes are compared exactly here, as the group headings show them.
bool OpensCompanyGroup(const CTradingPlanEntry* previous, const CTradingPlanEntry& entry);

} // namespace strikeline
