#include "analytics/DividendIndex.h"

#include <algorithm>
#include <cctype>

namespace strikeline {

namespace {

std::string UpperCase(std::string_view code) {
    std::string key(code);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return key;
}

} // namespace

CDividendIndex::CDividendIndex(const std::vector<CDividend>& dividends) {
    for (const CDividend& dividend : dividends) {
        m_ByCode[UpperCase(dividend.code)].push_back(dividend);
    }
    for (auto& [code, list] : m_ByCode) {
        std::stable_sort(list.begin(), list.end(),
                         [](const CDividend& a, const CDividend& b) { return a.date < b.date; });
    }
}

std::span<const CDividend> CDividendIndex::Of(std::string_view code) const {
    const auto found = m_ByCode.find(UpperCase(code));
    return found == m_ByCode.end() ? std::span<const CDividend>() : found->second;
}

} // namespace strikeline
