#include "marketdata/MarketSnapshot.h"

#include "marketdata/CompanyList.h"

#include <algorithm>

namespace strikeline {

CMarketSnapshot::CMarketSnapshot()
    : m_Calls(std::make_shared<const std::vector<CCompanyInfo>>()),
      m_Puts(std::make_shared<const std::vector<CCompanyInfo>>()),
      m_Dividends(std::make_shared<const std::vector<CDividend>>()),
      m_CompanyNames(std::make_shared<const CCompanyNameTable>()),
      m_Top20(std::make_shared<const CCompanyNameTable>()) {}

std::optional<CDividend> CMarketSnapshot::FindDividend(std::string_view code) const {
    const auto it =
        std::find_if(m_Dividends->begin(), m_Dividends->end(),
                     [&](const CDividend& entry) { return SameCode(entry.code, code); });
    if (it == m_Dividends->end()) {
        return std::nullopt;
    }
    return *it;
}

std::shared_ptr<const CMarketSnapshot>
CMarketSnapshot::WithCalls(std::vector<CCompanyInfo> calls) const {
    auto next = std::make_shared<CMarketSnapshot>(*this);
    next->m_Calls = std::make_shared<const std::vector<CCompanyInfo>>(std::move(calls));
    return next;
}

std::shared_ptr<const CMarketSnapshot>
CMarketSnapshot::WithPuts(std::vector<CCompanyInfo> puts) const {
    auto next = std::make_shared<CMarketSnapshot>(*this);
    next->m_Puts = std::make_shared<const std::vector<CCompanyInfo>>(std::move(puts));
    return next;
}

std::shared_ptr<const CMarketSnapshot>
CMarketSnapshot::WithDividends(std::vector<CDividend> dividends) const {
    auto next = std::make_shared<CMarketSnapshot>(*this);
    next->m_Dividends = std::make_shared<const std::vector<CDividend>>(std::move(dividends));
    return next;
}

std::shared_ptr<const CMarketSnapshot>
CMarketSnapshot::WithCompanyNames(CCompanyNameTable names) const {
    auto next = std::make_shared<CMarketSnapshot>(*this);
    next->m_CompanyNames = std::make_shared<const CCompanyNameTable>(std::move(names));
    return next;
}

std::shared_ptr<const CMarketSnapshot> CMarketSnapshot::WithTop20(CCompanyNameTable top20) const {
    auto next = std::make_shared<CMarketSnapshot>(*this);
    next->m_Top20 = std::make_shared<const CCompanyNameTable>(std::move(top20));
    return next;
}

CMarketData::CMarketData() : m_Current(std::make_shared<const CMarketSnapshot>()) {}

std::shared_ptr<const CMarketSnapshot> CMarketData::Current() const {
    const std::lock_guard lock(m_Mutex);
    return m_Current;
}

template <typename Make> void CMarketData::Publish(Make make) {
    const std::lock_guard publishing(m_PublishMutex);
    std::shared_ptr<const CMarketSnapshot> next = make(*Current());
    {
        const std::lock_guard lock(m_Mutex);
        m_Current.swap(next);
    }
    // The market replaced is freed here, outside the lock, unless a reader still holds it.
}

void CMarketData::PublishCalls(std::vector<CCompanyInfo> calls) {
    Publish([&](const CMarketSnapshot& now) { return now.WithCalls(std::move(calls)); });
}

void CMarketData::PublishPuts(std::vector<CCompanyInfo> puts) {
    Publish([&](const CMarketSnapshot& now) { return now.WithPuts(std::move(puts)); });
}

void CMarketData::PublishCompanies(bool isCall, std::vector<CCompanyInfo> companies) {
    if (isCall) {
        PublishCalls(std::move(companies));
    } else {
        PublishPuts(std::move(companies));
    }
}

void CMarketData::PublishDividends(std::vector<CDividend> dividends) {
    Publish([&](const CMarketSnapshot& now) { return now.WithDividends(std::move(dividends)); });
}

void CMarketData::PublishCompanyNames(CCompanyNameTable names) {
    Publish([&](const CMarketSnapshot& now) { return now.WithCompanyNames(std::move(names)); });
}

void CMarketData::PublishTop20(CCompanyNameTable top20) {
    Publish([&](const CMarketSnapshot& now) { return now.WithTop20(std::move(top20)); });
}

} // namespace strikeline
