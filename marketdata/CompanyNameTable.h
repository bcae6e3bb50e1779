#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// Share codes with their company names, in file order, and a lookup by upper-case code
// that keeps the first name given for a code.
class CCompanyNameTable {
public:
    // Appends a pair; the code is upper-cased. Duplicates stay in the arrays.
    void Add(std::string code, std::string name);

    // The name of `code` (any letter case), or "".
    std::string GetName(std::string_view code) const;
    std::size_t GetCount() const { return m_Codes.size(); }
    // The i-th code or name, or "" when i is out of range.
    std::string GetCodeAt(std::size_t i) const {
        return i < m_Codes.size() ? m_Codes[i] : std::string();
    }
    std::string GetNameAt(std::size_t i) const {
        return i < m_Names.size() ? m_Names[i] : std::string();
    }

private:
    std::vector<std::string> m_Codes;
    std::vector<std::string> m_Names;
    std::map<std::string, std::string, std::less<>> m_NameByCode;
};

// ASCII upper case, as codes are kept.
std::string UpperCaseCode(std::string_view code);

} // namespace strikeline
