#include "gui/settings/AnalyticsSettingsDlg.h"

#include "gui/app/AnalyticsWorker.h"
#include "session/Session.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace strikeline {

namespace {

// The ranges the stored settings are read back within.
constexpr double kLowestRate = -10.0;
constexpr double kHighestRate = 100.0;
constexpr double kHighestTaxRate = 99.0;
constexpr int kDecimals = 2;

QDoubleSpinBox* PercentBox(double low, double high, double value, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setDecimals(kDecimals);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

} // namespace

CAnalyticsSettingsDlg::CAnalyticsSettingsDlg(CSession& session, CAnalyticsWorker& worker,
                                             QWidget* parent)
    : QDialog(parent), m_Session(session), m_Worker(worker) {
    setWindowTitle(tr("Analytics Settings"));
    const CAnalyticsSettings& settings = session.AnalyticsSettings();
    m_Rate = PercentBox(kLowestRate, kHighestRate, settings.RatePercent(), this);
    m_TaxRate = PercentBox(0.0, kHighestTaxRate, settings.TaxRatePercent(), this);
    m_Exemption = new QCheckBox(tr("Small-shareholder franking exemption applies"), this);
    m_Exemption->setChecked(settings.SmallShareholderExemption());

    auto* form = new QFormLayout;
    form->addRow(tr("Interest rate (% a year):"), m_Rate);
    form->addRow(tr("Company tax rate for franking (%):"), m_TaxRate);
    form->addRow(m_Exemption);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAnalyticsSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAnalyticsSettingsDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CAnalyticsSettingsDlg::accept() {
    CAnalyticsSettings& settings = m_Session.AnalyticsSettings();
    settings.SetRatePercent(m_Rate->value());
    settings.SetTaxRatePercent(m_TaxRate->value());
    settings.SetSmallShareholderExemption(m_Exemption->isChecked());
    m_Worker.Recompute();
    QDialog::accept();
}

} // namespace strikeline
