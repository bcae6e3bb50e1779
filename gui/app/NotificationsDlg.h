#pragma once

#include <QDialog>

class QCheckBox;
class QSpinBox;

namespace strikeline {

class CNotificationSettings;

// "Notifications": whether the program and the scheduled fetch tell the desktop of new
// price lists and of the Trading Plan's coming dates, and how many trading days ahead.
// OK stores the choice in `settings`.
class CNotificationsDlg : public QDialog {
    Q_OBJECT

public:
    CNotificationsDlg(CNotificationSettings& settings, QWidget* parent = nullptr);

    QCheckBox* EnabledBox() const { return m_Enabled; }
    QSpinBox* LeadDaysBox() const { return m_LeadDays; }

    void accept() override;

private:
    CNotificationSettings& m_Settings;
    QCheckBox* m_Enabled;
    QSpinBox* m_LeadDays;
};

} // namespace strikeline
