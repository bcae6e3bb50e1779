#include "gui/app/NotificationsDlg.h"

#include "session/DesktopNotices.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

namespace strikeline {

CNotificationsDlg::CNotificationsDlg(CNotificationSettings& settings, QWidget* parent)
    : QDialog(parent), m_Settings(settings),
      m_Enabled(new QCheckBox(tr("&Show desktop notifications"), this)),
      m_LeadDays(new QSpinBox(this)) {
    setWindowTitle(tr("Notifications"));
    m_Enabled->setToolTip(tr("New price lists, coming ex-dividend dates and expiries of the "
                             "Trading Plan, and sold calls likely to be exercised early"));
    m_Enabled->setChecked(settings.Enabled());
    m_LeadDays->setRange(1, int(CNotificationSettings::kMaximumLeadDays));
    m_LeadDays->setSuffix(tr(" trading days before"));
    m_LeadDays->setValue(int(settings.LeadDays()));
    m_LeadDays->setEnabled(settings.Enabled());
    connect(m_Enabled, &QCheckBox::toggled, m_LeadDays, &QWidget::setEnabled);

    auto* form = new QFormLayout;
    form->addRow(m_Enabled);
    form->addRow(tr("&Ex-dividend dates and expiries:"), m_LeadDays);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNotificationsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNotificationsDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CNotificationsDlg::accept() {
    m_Settings.SetEnabled(m_Enabled->isChecked());
    m_Settings.SetLeadDays(static_cast<std::uint32_t>(m_LeadDays->value()));
    QDialog::accept();
}

} // namespace strikeline
