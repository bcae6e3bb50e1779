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

int FindCompanyIndex(const std::vector<CCompanyInfo>& companies, std::string_view code) {
    const auto it =
        std::find_if(companies.begin(), companies.end(),
                     [&](const CCompanyInfo& company) { return SameCode(company.Code(), code); });
    return it == companies.end() ? -1 : static_cast<int>(it - companies.begin());
}

} // namespace strikeline
