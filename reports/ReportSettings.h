#pragma once

#include "reports/ReportKind.h"
#include "storage/StructuredStorage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace strikeline {

// Which companies and option series a report lists, and in what order. One record per
// report kind lives in the session for the whole run; every reader asks the session for it
// and keeps no copy. Stored values are list positions of the settings form, kept as they are
// even when out of range: the report builder decides what such a value means. The two
// liquidity floors are amounts instead, where 0 (and a negative stored value) means off.
class CReportSettings {
public:
    enum StocksChoice : std::int32_t {
        ListAll = 0,
        ListHighest10 = 1,
        SelectStocks = 2,
        Top20 = 3
    };
    enum ExpireChoice : std::int32_t {
        CurrentMonth = 0,
        CurrentAndNextMonth = 1,
        NextMonth = 2,
        AllMonths = 3
    };
    enum SortKey : std::int32_t {
        ByName = 0,
        ByPrice = 1,
        ByYield = 2,
        ByStrikePrice = 3,
        ByFairPrice = 4
    };
    // RemoveOld is the position in the "On"/"Off" list: 0 removes old trades.
    static constexpr std::int32_t kRemoveOldOn = 0;
    static constexpr std::int32_t kRemoveOldOff = 1;

    CReportSettings() = default;

    // List All, Current Month, Show All, On, Name, ascending, no leveraged bar, no companies,
    // no liquidity floors.
    void Reset();

    // Resets, then reads every stored value over the defaults. Always succeeds.
    bool Load(CStructuredStorage& record);
    void Save(CStructuredStorage& record) const;

    std::int32_t Stocks() const { return m_Stocks; }
    void SetStocks(std::int32_t value) { m_Stocks = value; }
    std::int32_t Expire() const { return m_Expire; }
    void SetExpire(std::int32_t value) { m_Expire = value; }
    // 0 "Show All", 1 "$0 - $5", 2 "$0 - $10", 3 "$0 - $20", ... 6 "$0 - $50".
    std::int32_t Range() const { return m_Range; }
    void SetRange(std::int32_t value) { m_Range = value; }
    std::int32_t RemoveOld() const { return m_RemoveOld; }
    void SetRemoveOld(std::int32_t value) { m_RemoveOld = value; }
    std::int32_t SortMode() const { return m_SortMode; }
    void SetSortMode(std::int32_t value) { m_SortMode = value; }
    bool SortAscending() const { return m_SortDirection; }
    void SetSortAscending(bool value) { m_SortDirection = value; }
    bool DisplayLeveragedBar() const { return m_DisplayLeveragedBar; }
    void SetDisplayLeveragedBar(bool value) { m_DisplayLeveragedBar = value; }
    // Series with less open interest are left out; 0 leaves none out.
    std::int32_t MinOpenInterest() const { return m_MinOpenInterest; }
    void SetMinOpenInterest(std::int32_t value) { m_MinOpenInterest = value; }
    // Series whose last price (dollars per share) is lower are left out; 0 leaves none out.
    double MinPremium() const { return m_MinPremium; }
    void SetMinPremium(double value) { m_MinPremium = value; }
    const std::vector<std::string>& CompanyList() const { return m_CompanyList; }
    void SetCompanyList(std::vector<std::string> codes) { m_CompanyList = std::move(codes); }

    bool operator==(const CReportSettings&) const = default;

private:
    std::int32_t m_Stocks = 0;
    std::int32_t m_Expire = 0;
    std::int32_t m_Range = 0;
    std::int32_t m_RemoveOld = 0;
    std::int32_t m_SortMode = 0;
    bool m_SortDirection = true;
    bool m_DisplayLeveragedBar = false;
    std::int32_t m_MinOpenInterest = 0;
    double m_MinPremium = 0.0;
    std::vector<std::string> m_CompanyList;
};

} // namespace strikeline
