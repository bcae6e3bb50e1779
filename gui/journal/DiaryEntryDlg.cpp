#include "gui/journal/DiaryEntryDlg.h"

#include "session/UserMessenger.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <string>

namespace strikeline {

namespace {

// Each editable control with its caption and the text it exchanges, in screen order
// (which is also the order the texts are taken in).
struct CFieldControl {
    DiaryEntryField field;
    const char* caption;
    std::string CDiaryEntryTexts::*text;
};

constexpr CFieldControl kGeneral[] = {
    {DiaryEntryField::ExpiryDate, "Expiry Date:", &CDiaryEntryTexts::expiryDate},
    {DiaryEntryField::Shares, "Shares:", &CDiaryEntryTexts::shares},
    {DiaryEntryField::Contracts, "Contracts:", &CDiaryEntryTexts::contracts},
    {DiaryEntryField::SharePrice, "Share Price:", &CDiaryEntryTexts::sharePrice},
    {DiaryEntryField::Cost, "Cost:", &CDiaryEntryTexts::cost},
    {DiaryEntryField::Brokerage, "Brokerage:", &CDiaryEntryTexts::brokerage},
    {DiaryEntryField::StrikePrice, "Strike Price:", &CDiaryEntryTexts::strikePrice},
    {DiaryEntryField::Premium, "Premium:", &CDiaryEntryTexts::premium},
};
constexpr CFieldControl kNotExercised[] = {
    {DiaryEntryField::NEBrokerage, "Brokerage:", &CDiaryEntryTexts::neBrokerage},
    {DiaryEntryField::NEProfit, "Profit:", &CDiaryEntryTexts::neProfit},
    {DiaryEntryField::NEReturn, "Return:", &CDiaryEntryTexts::neReturn},
};
constexpr CFieldControl kExercised[] = {
    {DiaryEntryField::EBrokerage, "Brokerage:", &CDiaryEntryTexts::eBrokerage},
    {DiaryEntryField::EProfit, "Profit:", &CDiaryEntryTexts::eProfit},
    {DiaryEntryField::EReturn, "Return:", &CDiaryEntryTexts::eReturn},
};
constexpr CFieldControl kDividends[] = {
    {DiaryEntryField::DividendsValue, "Value:", &CDiaryEntryTexts::dividendsValue},
    {DiaryEntryField::DividendsDate, "Date:", &CDiaryEntryTexts::dividendsDate},
};

std::size_t IndexOf(DiaryEntryField field) {
    return static_cast<std::size_t>(field);
}

} // namespace

CDiaryEntryDlg::CDiaryEntryDlg(const CDiaryEntry& entry, CUserMessenger& messages, QWidget* parent)
    : QDialog(parent), m_Entry(entry), m_Messages(messages), m_ContractCode(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("Edit Diary Entry"));
    const CDiaryEntryTexts texts = DiaryEntryToTexts(entry);
    m_ContractCode->setReadOnly(true);
    m_ContractCode->setText(QString::fromStdString(texts.contractCode));

    QWidget* previous = nullptr;
    const auto makeGroup = [&](const char* title, const auto& controls, bool withCode) {
        auto* group = new QGroupBox(QString::fromLatin1(title), this);
        auto* form = new QFormLayout(group);
        if (withCode) {
            form->addRow(QStringLiteral("Contract Code:"), m_ContractCode);
        }
        for (const CFieldControl& control : controls) {
            auto* edit = new QLineEdit(group);
            edit->setText(QString::fromStdString(texts.*control.text));
            m_Fields[IndexOf(control.field)] = edit;
            form->addRow(QString::fromLatin1(control.caption), edit);
            if (previous != nullptr) {
                setTabOrder(previous, edit);
            }
            previous = edit;
        }
        return group;
    };

    // General on the left; the two outcomes and the dividends stacked on the right.
    QGroupBox* general = makeGroup("General", kGeneral, true);
    auto* right = new QVBoxLayout;
    right->addWidget(makeGroup("Not Exercised", kNotExercised, false));
    right->addWidget(makeGroup("Exercised", kExercised, false));
    right->addWidget(makeGroup("Dividends", kDividends, false));
    right->addStretch(1);
    auto* groups = new QHBoxLayout;
    groups->addWidget(general, 0, Qt::AlignTop);
    groups->addLayout(right);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDiaryEntryDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDiaryEntryDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(buttons);
    setTabOrder(previous, buttons);
    setTabOrder(buttons, m_ContractCode);

    // The code is shown only; typing starts at the first field that can be changed.
    m_Fields[IndexOf(DiaryEntryField::ExpiryDate)]->setFocus(Qt::OtherFocusReason);
}

QLineEdit* CDiaryEntryDlg::FieldEdit(DiaryEntryField field) const {
    return IndexOf(field) < m_Fields.size() ? m_Fields[IndexOf(field)] : nullptr;
}

CDiaryEntryTexts CDiaryEntryDlg::Texts() const {
    CDiaryEntryTexts texts;
    texts.contractCode = m_ContractCode->text().toStdString();
    const auto take = [&](const auto& controls) {
        for (const CFieldControl& control : controls) {
            texts.*control.text = m_Fields[IndexOf(control.field)]->text().toStdString();
        }
    };
    take(kGeneral);
    take(kNotExercised);
    take(kExercised);
    take(kDividends);
    return texts;
}

void CDiaryEntryDlg::accept() {
    CDiaryEntryTextError error;
    if (!TakeDiaryEntryTexts(Texts(), m_Entry, error)) {
        QLineEdit* edit = FieldEdit(error.field);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        m_Messages.Show(error.message, MessageKind::Plain);
        return;
    }
    QDialog::accept();
}

} // namespace strikeline
