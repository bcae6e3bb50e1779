#include "gui/app/UserMessages.h"

#include <QApplication>
#include <iostream>

namespace strikeline {

namespace {

// What Esc answers: No where the box has it, otherwise its only button.
QMessageBox::StandardButton EscapeAnswer(QMessageBox::StandardButtons buttons) {
    if (buttons.testFlag(QMessageBox::No)) {
        return QMessageBox::No;
    }
    return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::NoButton;
}

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void CUserMessages::Show(const std::string& text, MessageKind kind) {
    Exec(QString::fromStdString(text), IconOf(kind), QMessageBox::Ok);
}

bool CUserMessages::Ask(const std::string& question) {
    return Exec(QString::fromStdString(question), QMessageBox::Question,
                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QMessageBox::StandardButton CUserMessages::Exec(const QString& text, QMessageBox::Icon icon,
                                                QMessageBox::StandardButtons buttons) {
    if (m_Unattended) {
        std::cerr << QApplication::applicationName().toStdString() << ": " << text.toStdString()
                  << '\n';
        return EscapeAnswer(buttons);
    }
    // Over the dialog the user is in, else over the window that has the focus.
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr) {
        parent = QApplication::activeWindow();
    }
    QMessageBox box(icon, QApplication::applicationName(), text, buttons, parent);
    m_OpenBoxes.emplace_back(&box);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    std::erase(m_OpenBoxes, QPointer<QMessageBox>(&box));
    return answer;
}

void CUserMessages::SetUnattended(bool unattended) {
    m_Unattended = unattended;
    if (!unattended) {
        return;
    }
    // Each box's own event loop ends when it closes; its text still reaches the log.
    for (const QPointer<QMessageBox>& box : m_OpenBoxes) {
        if (box) {
            std::cerr << QApplication::applicationName().toStdString() << ": "
                      << box->text().toStdString() << '\n';
            box->close();
        }
    }
}

} // namespace strikeline
