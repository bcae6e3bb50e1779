#include "marketdata/CompanyNameTable.h"

#include "marketdata/FieldScan.h"

#include <algorithm>
#include <cctype>

namespace strikeline {

std::string UpperCaseCode(std::string_view code) {
    std::string upper(code);
    std::transform(upper.begin(), upper.end(), upper.begin(), FoldAsciiCase);
    return upper;
}

void CCompanyNameTable::Add(std::string code, std::string name) {
    code = UpperCaseCode(code);
    m_NameByCode.try_emplace(code, name);
    m_Codes.push_back(std::move(code));
    m_Names.push_back(std::move(name));
}

std::string CCompanyNameTable::GetName(std::string_view code) const {
    const auto it = m_NameByCode.find(UpperCaseCode(code));
    return it == m_NameByCode.end() ? std::string() : it->second;
}

} // namespace strikeline
