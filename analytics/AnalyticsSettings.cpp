#include "analytics/AnalyticsSettings.h"

#include <string_view>

namespace strikeline {

namespace {

constexpr std::string_view kRate = "InterestRate";
constexpr std::string_view kTaxRate = "CompanyTaxRate";
constexpr std::string_view kExemption = "SmallShareholderExemption";
constexpr std::string_view kShowColumns = "ShowColumns";

double InRange(double value, double low, double high, double fallback) {
    return value >= low && value <= high ? value : fallback;
}

} // namespace

void CAnalyticsSettings::Load(CStructuredStorage& record) {
    *this = CAnalyticsSettings();
    m_RatePercent =
        InRange(record.ReadDouble(kRate, m_RatePercent), -10.0, 100.0, kDefaultRatePercent);
    m_TaxRatePercent =
        InRange(record.ReadDouble(kTaxRate, m_TaxRatePercent), 0.0, 99.0, kDefaultTaxRatePercent);
    m_Exemption = record.ReadBool(kExemption, m_Exemption);
    m_ShowColumns = record.ReadBool(kShowColumns, m_ShowColumns);
}

void CAnalyticsSettings::Save(CStructuredStorage& record) const {
    record.WriteDouble(kRate, m_RatePercent);
    record.WriteDouble(kTaxRate, m_TaxRatePercent);
    record.WriteBool(kExemption, m_Exemption);
    record.WriteBool(kShowColumns, m_ShowColumns);
}

} // namespace strikeline
