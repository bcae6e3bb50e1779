#pragma once

#include <QDialog>

class QLineEdit;

namespace strikeline {

class CUserMessenger;

// A dialog holding one dollar amount in one field, for the Diary's balances. OK refuses a
// text that is not wholly a number with "Please enter a number." and keeps the focus on
// the field.
class CBalanceAmountDlg : public QDialog {
    Q_OBJECT

public:
    double Amount() const { return m_Amount; }
    QLineEdit* AmountEdit() const { return m_Edit; }

    void accept() override;

    // The number a whole text holds (white space around it and thousands separators
    // allowed); false otherwise.
    static bool ReadAmount(const QString& text, double& amount);

protected:
    CBalanceAmountDlg(const QString& title, const QString& caption, double amount,
                      CUserMessenger& messages, QWidget* parent);

private:
    double m_Amount;
    CUserMessenger& m_Messages;
    QLineEdit* m_Edit;
};

} // namespace strikeline
