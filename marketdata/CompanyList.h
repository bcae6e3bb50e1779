#pragma once

#include "marketdata/CompanyInfo.h"

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace strikeline {

// The companies of one option file, in file order, shared by the downloader's worker
// (which replaces them) and the windows (which copy or scan them). Hold Lock() while
// reading Companies(); the loader swaps a whole new list in under the same lock, so a
// reader sees either the old list or the complete new one.
class CCompanyList {
public:
    [[nodiscard]] std::unique_lock<std::recursive_mutex> Lock() const {
        return std::unique_lock<std::recursive_mutex>(m_Mutex);
    }

    // Only while the lock is held.
    const std::vector<CCompanyInfo>& Companies() const { return m_Companies; }
    // The index of the first company whose code equals `code` ignoring case, or -1.
    // Only while the lock is held.
    int FindIndex(std::string_view code) const;

    // A deep copy, taken under the lock.
    std::vector<CCompanyInfo> Copy() const;
    // Replaces every company, under the lock.
    void Replace(std::vector<CCompanyInfo> companies);
    void Clear() { Replace({}); }

private:
    mutable std::recursive_mutex m_Mutex;
    std::vector<CCompanyInfo> m_Companies;
};

// The process-wide lists of the call file and the put file.
CCompanyList& GetCallCompanies();
CCompanyList& GetPutCompanies();

// Codes compare without regard to ASCII letter case.
bool SameCode(std::string_view a, std::string_view b);

// A set of codes that answers "is this code in it?" as SameCode would, in constant time, for
// long lists of chosen companies.
class CCodeSet {
public:
    explicit CCodeSet(const std::vector<std::string>& codes);
    bool Contains(std::string_view code) const;

private:
    std::unordered_set<std::string> m_Folded;
};

} // namespace strikeline
