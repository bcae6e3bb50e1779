#pragma once

#include "session/UserMessenger.h"

#include <QMessageBox>
#include <QPointer>
#include <vector>

namespace strikeline {

// The program's message boxes: captioned with the program's name, with an OK button, or Yes
// and No for a question, over the window the user is working in.
class CUserMessages final : public CUserMessenger {
public:
    void Show(const std::string& text, MessageKind kind) override;
    bool Ask(const std::string& question) override;

    // While nobody is there to answer (a quit signal came, as at the end of the session),
    // the open boxes close as Esc closes them and further messages go to standard error
    // with the answer Esc would give, so the program quits without waiting for a click.
    void SetUnattended(bool unattended);

private:
    QMessageBox::StandardButton Exec(const QString& text, QMessageBox::Icon icon,
                                     QMessageBox::StandardButtons buttons);

    bool m_Unattended = false;
    // The boxes waiting for an answer, innermost last.
    std::vector<QPointer<QMessageBox>> m_OpenBoxes;
};

} // namespace strikeline
