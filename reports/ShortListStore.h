#pragma once

#include "reports/ReportKind.h"

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// One company on the Short List: the same share ticked in the Call and in the Put report
// is two entries.
struct CShortListEntry {
    std::string code;
    ReportKind kind = ReportKind::Call;

    bool operator==(const CShortListEntry&) const = default;
};

// What the Short List holds while its window is closed or rebuilt: the companies in
// display order and the series ticked into the Trading Plan. The window rebuilds its
// blocks from these over the current market data, so ticks survive by key, not by row.
// Nothing here is written to disk. Used from the user-interface thread only.
class CShortListStore {
public:
    // The key of a ticked series: the series code upper-cased, then "C" or "P".
    static std::string SeriesKey(std::string_view seriesCode, ReportKind kind);

    const std::vector<CShortListEntry>& Entries() const { return m_Entries; }
    const std::set<std::string>& TickedKeys() const { return m_Ticked; }
    bool IsEmpty() const { return m_Entries.empty() && m_Ticked.empty(); }

    // Appends the company; false when the same code (any letter case) of that kind is
    // already there.
    bool Add(std::string code, ReportKind kind);
    // False when there was no such company.
    bool Remove(std::string_view code, ReportKind kind);
    // The position of the company: the kinds must match, the codes may differ in case.
    std::optional<std::size_t> Find(std::string_view code, ReportKind kind) const;

    void SetTicked(std::string_view seriesCode, ReportKind kind, bool ticked);
    bool IsTicked(std::string_view seriesCode, ReportKind kind) const;
    // Takes one series out of the plan ticks; false when it was not ticked.
    bool UntickSeries(std::string_view seriesCode, ReportKind kind);
    // Every plan tick goes; the companies stay.
    void UntickAll() { m_Ticked.clear(); }
    void Clear();

    // Saving the window into the store: its companies in display order and the keys of
    // every ticked series. A repeated company keeps its first place; keys are upper-cased.
    void Replace(std::vector<CShortListEntry> entries, const std::vector<std::string>& tickedKeys);

private:
    std::vector<CShortListEntry> m_Entries;
    std::set<std::string> m_Ticked;
};

} // namespace strikeline
