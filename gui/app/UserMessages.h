#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace strikeline {

// Every message box of the program goes through here: captioned with the program's name,
// with an OK button unless the caller asks for Yes and No. Tests install an observer that
// sees each message and answers it instead of a box, so nothing waits for a click.
struct CUserMessage {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using CUserMessageObserver = std::function<QMessageBox::StandardButton(const CUserMessage&)>;

class CUserMessages {
public:
    static QMessageBox::StandardButton Show(QWidget* parent, const QString& text,
                                            QMessageBox::Icon icon = QMessageBox::NoIcon,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    // Yes or No with the question icon; true for Yes.
    static bool Ask(QWidget* parent, const QString& question);

    // Replaces the boxes with `observer` until it is reset with an empty one.
    static void SetObserver(CUserMessageObserver observer);

    // While nobody is there to answer (a quit signal came, as at the end of the session),
    // the open boxes close as Esc closes them and further messages go to standard error
    // with the answer Esc would give, so the program quits without waiting for a click.
    static void SetUnattended(bool unattended);
};

} // namespace strikeline
