#pragma once

#include "marketdata/CompanyInfo.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace strikeline {

// Codes compare without regard to ASCII letter case.
bool SameCode(std::string_view a, std::string_view b);

// The index of the first company whose code equals `code` ignoring case, or -1.
int FindCompanyIndex(const std::vector<CCompanyInfo>& companies, std::string_view code);

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
