#pragma once

#include "journal/DiaryEntry.h"
#include "journal/DiaryEntryTexts.h"

#include <QDialog>
#include <array>

class QLineEdit;

namespace strikeline {

class CUserMessenger;

// "Edit Diary Entry": the figures and dates of one diary trade, on a copy of the entry.
// OK takes the texts back field by field; the first field that does not read shows its
// message and keeps the focus, and nothing is taken until every field reads.
class CDiaryEntryDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr std::size_t kFieldCount = 16;

    CDiaryEntryDlg(const CDiaryEntry& entry, CUserMessenger& messages, QWidget* parent = nullptr);

    // The edited copy; it holds the typed values only after OK succeeded.
    const CDiaryEntry& Entry() const { return m_Entry; }

    QLineEdit* ContractCodeEdit() const { return m_ContractCode; }
    QLineEdit* FieldEdit(DiaryEntryField field) const;

    void accept() override;

private:
    CDiaryEntryTexts Texts() const;

    CDiaryEntry m_Entry;
    CUserMessenger& m_Messages;
    QLineEdit* m_ContractCode;
    std::array<QLineEdit*, kFieldCount> m_Fields{};
};

} // namespace strikeline
