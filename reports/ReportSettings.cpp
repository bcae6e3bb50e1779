#include "reports/ReportSettings.h"

#include "storage/CompanyList.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace strikeline {

namespace {

constexpr std::string_view kStocks = "Stocks";
constexpr std::string_view kExpire = "Expire";
constexpr std::string_view kRange = "Range";
constexpr std::string_view kRemoveOld = "RemoveOld";
constexpr std::string_view kSortMode = "SortMode";
constexpr std::string_view kSortDirection = "SortDirection";
constexpr std::string_view kDisplayLeveragedBar = "DisplayLeveragedBar";
constexpr std::string_view kMinOpenInterest = "MinOpenInterest";
constexpr std::string_view kMinPremium = "MinPremium";

} // namespace

void CReportSettings::Reset() {
    *this = CReportSettings();
}

bool CReportSettings::Load(CStructuredStorage& record) {
    Reset();
    m_Stocks = record.ReadInt(kStocks, m_Stocks);
    m_Expire = record.ReadInt(kExpire, m_Expire);
    m_Range = record.ReadInt(kRange, m_Range);
    m_RemoveOld = record.ReadInt(kRemoveOld, m_RemoveOld);
    m_SortMode = record.ReadInt(kSortMode, m_SortMode);
    m_SortDirection = record.ReadBool(kSortDirection, m_SortDirection);
    m_DisplayLeveragedBar = record.ReadBool(kDisplayLeveragedBar, m_DisplayLeveragedBar);
    // A floor below zero, or one that is no finite number, is no floor at all.
    m_MinOpenInterest = std::max(record.ReadInt(kMinOpenInterest, m_MinOpenInterest), 0);
    const double minPremium = record.ReadDouble(kMinPremium, m_MinPremium);
    m_MinPremium = std::isfinite(minPremium) && minPremium > 0.0 ? minPremium : 0.0;
    m_CompanyList = ReadCompanyList(record);
    return true;
}

void CReportSettings::Save(CStructuredStorage& record) const {
    record.WriteInt(kStocks, m_Stocks);
    record.WriteInt(kExpire, m_Expire);
    record.WriteInt(kRange, m_Range);
    record.WriteInt(kRemoveOld, m_RemoveOld);
    record.WriteInt(kSortMode, m_SortMode);
    record.WriteBool(kSortDirection, m_SortDirection);
    record.WriteBool(kDisplayLeveragedBar, m_DisplayLeveragedBar);
    record.WriteInt(kMinOpenInterest, m_MinOpenInterest);
    record.WriteDouble(kMinPremium, m_MinPremium);
    WriteCompanyList(record, m_CompanyList);
}

} // namespace strikeline
