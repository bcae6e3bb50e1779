#pragma once

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;

namespace strikeline {

class CAnalyticsWorker;
class CSession;

// "Analytics Settings": the interest rate and the company tax rate the analytics assume,
// and whether the small-shareholder franking exemption applies. The form opens on the
// session's settings; OK stores them and has the analytics worked out again.
class CAnalyticsSettingsDlg : public QDialog {
    Q_OBJECT

public:
    CAnalyticsSettingsDlg(CSession& session, CAnalyticsWorker& worker, QWidget* parent = nullptr);

    QDoubleSpinBox* RateBox() const { return m_Rate; }
    QDoubleSpinBox* TaxRateBox() const { return m_TaxRate; }
    QCheckBox* ExemptionBox() const { return m_Exemption; }

    void accept() override;

private:
    CSession& m_Session;
    CAnalyticsWorker& m_Worker;
    QDoubleSpinBox* m_Rate;
    QDoubleSpinBox* m_TaxRate;
    QCheckBox* m_Exemption;
};

} // namespace strikeline
