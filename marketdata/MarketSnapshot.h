#pragma once

#include "marketdata/CompanyInfo.h"
#include "marketdata/CompanyNameTable.h"
#include "marketdata/Dividend.h"
#include "marketdata/MarketPart.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

namespace strikeline {

// One moment's market: the companies of the call and put files, the dividends, the company
// names and the Top 20. Never changed once published, so a reader takes the pointer once
// and reads without a lock however often a newer market is published meanwhile. Parts a
// newer file did not replace are shared with the market before, not copied.
class CMarketSnapshot {
public:
    CMarketSnapshot();

    const std::vector<CCompanyInfo>& Calls() const { return *m_Calls; }
    const std::vector<CCompanyInfo>& Puts() const { return *m_Puts; }
    const std::vector<CCompanyInfo>& Companies(bool isCall) const {
        return isCall ? Calls() : Puts();
    }
    // The `index`th company of a list, shared with the market rather than copied: the
    // pointer keeps the whole list alive.
    std::shared_ptr<const CCompanyInfo> ShareCompany(bool isCall, std::size_t index) const {
        const auto& list = isCall ? m_Calls : m_Puts;
        return {list, &(*list)[index]};
    }
    const std::vector<CDividend>& Dividends() const { return *m_Dividends; }
    const CCompanyNameTable& CompanyNames() const { return *m_CompanyNames; }
    const CCompanyNameTable& Top20() const { return *m_Top20; }

    // True when both hold the very same option lists and dividends (shared, not copies):
    // what was worked out from one holds for the other.
    bool SharesPricesWith(const CMarketSnapshot& other) const {
        return m_Calls == other.m_Calls && m_Puts == other.m_Puts &&
               m_Dividends == other.m_Dividends;
    }

    // The first dividend of the share `code` (letter case ignored).
    std::optional<CDividend> FindDividend(std::string_view code) const;

    // A market equal to this one but for the part replaced.
    std::shared_ptr<const CMarketSnapshot> WithCalls(std::vector<CCompanyInfo> calls) const;
    std::shared_ptr<const CMarketSnapshot> WithPuts(std::vector<CCompanyInfo> puts) const;
    std::shared_ptr<const CMarketSnapshot> WithDividends(std::vector<CDividend> dividends) const;
    std::shared_ptr<const CMarketSnapshot> WithCompanyNames(CCompanyNameTable names) const;
    std::shared_ptr<const CMarketSnapshot> WithTop20(CCompanyNameTable top20) const;

private:
    std::shared_ptr<const std::vector<CCompanyInfo>> m_Calls;
    std::shared_ptr<const std::vector<CCompanyInfo>> m_Puts;
    std::shared_ptr<const std::vector<CDividend>> m_Dividends;
    std::shared_ptr<const CCompanyNameTable> m_CompanyNames;
    std::shared_ptr<const CCompanyNameTable> m_Top20;
};

// The current market of a session: the loaders and the downloader publish a new snapshot,
// readers take the current one. Publishing swaps the pointer; a reader holding the old one
// keeps it whole until it lets go.
class CMarketData {
public:
    CMarketData();

    std::shared_ptr<const CMarketSnapshot> Current() const;

    void PublishCalls(std::vector<CCompanyInfo> calls);
    void PublishPuts(std::vector<CCompanyInfo> puts);
    void PublishCompanies(bool isCall, std::vector<CCompanyInfo> companies);
    void PublishDividends(std::vector<CDividend> dividends);
    void PublishCompanyNames(CCompanyNameTable names);
    void PublishTop20(CCompanyNameTable top20);

private:
    template <typename Make> void Publish(Make make);

    // Serialises publishers, so two files arriving together both end in the market.
    std::mutex m_PublishMutex;
    // Guards the pointer only; readers hold it for a copy of the pointer.
    mutable std::mutex m_Mutex;
    std::shared_ptr<const CMarketSnapshot> m_Current;
};

} // namespace strikeline
