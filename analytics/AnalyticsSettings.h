#pragma once

#include "storage/StructuredStorage.h"

namespace strikeline {

// The figures the analytics assume, and whether the windows show them. One record lives in
// the session.
class CAnalyticsSettings {
public:
    static constexpr double kDefaultRatePercent = 4.0;
    static constexpr double kDefaultTaxRatePercent = 30.0;

    // Resets, then reads every stored value over the defaults; a value out of range keeps
    // its default.
    void Load(CStructuredStorage& record);
    void Save(CStructuredStorage& record) const;

    // The interest rate, percent a year, continuously compounded.
    double RatePercent() const { return m_RatePercent; }
    void SetRatePercent(double value) { m_RatePercent = value; }
    // The company tax rate the franking credits are worked out at, percent.
    double TaxRatePercent() const { return m_TaxRatePercent; }
    void SetTaxRatePercent(double value) { m_TaxRatePercent = value; }
    // True when the user's franking credits fall under the small-shareholder exemption, so
    // the 45-day rule does not apply to them.
    bool SmallShareholderExemption() const { return m_Exemption; }
    void SetSmallShareholderExemption(bool value) { m_Exemption = value; }
    // The analytics columns of the reports and the Short List.
    bool ShowColumns() const { return m_ShowColumns; }
    void SetShowColumns(bool value) { m_ShowColumns = value; }

    bool operator==(const CAnalyticsSettings&) const = default;

private:
    double m_RatePercent = kDefaultRatePercent;
    double m_TaxRatePercent = kDefaultTaxRatePercent;
    bool m_Exemption = false;
    bool m_ShowColumns = true;
};

} // namespace strikeline
