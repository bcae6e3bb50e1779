#include "gui/journal/BalanceAmountDlg.h"

#include "session/UserMessenger.h"
#include "storage/NumberText.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <string>

namespace strikeline {

namespace {

constexpr int kShownDecimals = 6;

} // namespace

CBalanceAmountDlg::CBalanceAmountDlg(const QString& title, const QString& caption, double amount,
                                     CUserMessenger& messages, QWidget* parent)
    : QDialog(parent), m_Amount(amount), m_Messages(messages), m_Edit(new QLineEdit(this)) {
    setWindowTitle(title);
    auto* label = new QLabel(caption, this);
    label->setBuddy(m_Edit);
    m_Edit->setText(QString::fromStdString(FormatNumber(amount, kShownDecimals)));
    m_Edit->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CBalanceAmountDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CBalanceAmountDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_Edit);
    layout->addWidget(buttons);
    m_Edit->setFocus(Qt::OtherFocusReason);
}

bool CBalanceAmountDlg::ReadAmount(const QString& text, double& amount) {
    // "12abc" or "1,23" would silently become 12 or 1; a balance is refused unless the text
    // is a number ("12,500.50" is one).
    double number = 0.0;
    if (!ParseTypedNumber(text.toStdString(), number)) {
        return false;
    }
    amount = number;
    return true;
}

void CBalanceAmountDlg::accept() {
    double amount = 0.0;
    if (!ReadAmount(m_Edit->text(), amount)) {
        m_Edit->setFocus(Qt::OtherFocusReason);
        m_Edit->selectAll();
        m_Messages.Show("Please enter a number.", MessageKind::Plain);
        return;
    }
    m_Amount = amount;
    QDialog::accept();
}

} // namespace strikeline
