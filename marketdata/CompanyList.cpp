#include "marketdata/CompanyList.h"

#include "marketdata/FieldScan.h"

#include <algorithm>

namespace strikeline {

bool SameCode(std::string_view a, std::string_view b) {
    return EqualsIgnoringCase(a, b);
}

int CCompanyList::FindIndex(std::string_view code) const {
    const auto lock = Lock();
    const auto it =
        std::find_if(m_Companies.begin(), m_Companies.end(),
                     [&](const CCompanyInfo& company) { return SameCode(company.Code(), code); });
    return it == m_Companies.end() ? -1 : static_cast<int>(it - m_Companies.begin());
}

std::vector<CCompanyInfo> CCompanyList::Copy() const {
    const auto lock = Lock();
    return m_Companies;
}

void CCompanyList::Replace(std::vector<CCompanyInfo> companies) {
    std::vector<CCompanyInfo> old;
    {
        const auto lock = Lock();
        old.swap(m_Companies);
        m_Companies = std::move(companies);
    }
    // The old list is freed after the lock is released, so readers wait only for the swap.
}

CCompanyList& GetCallCompanies() {
    static CCompanyList list;
    return list;
}

CCompanyList& GetPutCompanies() {
    static CCompanyList list;
    return list;
}

} // namespace strikeline
