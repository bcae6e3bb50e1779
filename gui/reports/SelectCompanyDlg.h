#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QPushButton;

namespace strikeline {

class CSession;

// "Select Company": a drop-down of every company of the names table ("^" marks the Top 20)
// in which the user picks a line or types a code. OK gives the code alone; with no code
// it says so and stays open.
class CSelectCompanyDlg : public QDialog {
    Q_OBJECT

public:
    explicit CSelectCompanyDlg(CSession& session, QWidget* parent = nullptr);

    // The chosen code, once the dialog was accepted.
    const QString& Code() const { return m_Code; }

    QComboBox* CompanyBox() const { return m_Company; }
    QPushButton* OkButton() const { return m_Ok; }
    QPushButton* CancelButton() const { return m_Cancel; }

    void accept() override;

private:
    CSession& m_Session;
    QComboBox* m_Company;
    QPushButton* m_Ok;
    QPushButton* m_Cancel;
    QString m_Code;
};

} // namespace strikeline
