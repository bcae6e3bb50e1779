#pragma once

#include "marketdata/Dividend.h"

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace strikeline {

// The dividends of a market by share code (letter case ignored), each share's in ex-date
// order, so the analytics find a share's dividends without scanning the whole list.
class CDividendIndex {
public:
    explicit CDividendIndex(const std::vector<CDividend>& dividends);

    std::span<const CDividend> Of(std::string_view code) const;

private:
    std::unordered_map<std::string, std::vector<CDividend>> m_ByCode;
};

} // namespace strikeline
