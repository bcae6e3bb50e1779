#include "reports/ShortListStore.h"

#include "marketdata/CompanyList.h"
#include "marketdata/CompanyNameTable.h"

#include <algorithm>

namespace strikeline {

std::string CShortListStore::SeriesKey(std::string_view seriesCode, ReportKind kind) {
    return UpperCaseCode(seriesCode) + (kind == ReportKind::Call ? "C" : "P");
}

bool CShortListStore::Add(std::string code, ReportKind kind) {
    if (Find(code, kind)) {
        return false;
    }
    m_Entries.push_back({std::move(code), kind});
    return true;
}

bool CShortListStore::Remove(std::string_view code, ReportKind kind) {
    const std::optional<std::size_t> position = Find(code, kind);
    if (!position) {
        return false;
    }
    m_Entries.erase(m_Entries.begin() + static_cast<std::ptrdiff_t>(*position));
    return true;
}

std::optional<std::size_t> CShortListStore::Find(std::string_view code, ReportKind kind) const {
    const auto it =
        std::find_if(m_Entries.begin(), m_Entries.end(), [&](const CShortListEntry& entry) {
            return entry.kind == kind && SameCode(entry.code, code);
        });
    if (it == m_Entries.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - m_Entries.begin());
}

void CShortListStore::SetTicked(std::string_view seriesCode, ReportKind kind, bool ticked) {
    if (ticked) {
        m_Ticked.insert(SeriesKey(seriesCode, kind));
    } else {
        m_Ticked.erase(SeriesKey(seriesCode, kind));
    }
}

bool CShortListStore::IsTicked(std::string_view seriesCode, ReportKind kind) const {
    return m_Ticked.count(SeriesKey(seriesCode, kind)) > 0;
}

bool CShortListStore::UntickSeries(std::string_view seriesCode, ReportKind kind) {
    return m_Ticked.erase(SeriesKey(seriesCode, kind)) > 0;
}

void CShortListStore::Clear() {
    m_Entries.clear();
    m_Ticked.clear();
}

void CShortListStore::Replace(std::vector<CShortListEntry> entries,
                              const std::vector<std::string>& tickedKeys) {
    Clear();
    for (CShortListEntry& entry : entries) {
        Add(std::move(entry.code), entry.kind);
    }
    for (const std::string& key : tickedKeys) {
        m_Ticked.insert(UpperCaseCode(key));
    }
}

} // namespace strikeline
