#include "marketdata/CompanyList.h"

#include "marketdata/FieldScan.h"

#include <algorithm>

namespace strikeline {

bool SameCode(std::string_view a, std::string_view b) {
    return EqualsIgnoringCase(a, b);
}

namespace {

std::string FoldedCode(std::string_view code) {
    std::string folded(code);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldAsciiCase);
    return folded;
}

} // namespace

CCodeSet::CCodeSet(const std::vector<std::string>& codes) {
    m_Folded.reserve(codes.size());
    for (const std::string& code : codes) {
        m_Folded.insert(FoldedCode(code));
    }
}

bool CCodeSet::Contains(std::string_view code) const {
    return m_Folded.count(FoldedCode(code)) > 0;
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
