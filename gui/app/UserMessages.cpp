#include "gui/app/UserMessages.h"

#include <QApplication>
#include <QPointer>
#include <iostream>
#include <vector>

namespace strikeline {

namespace {

CUserMessageObserver& Observer() {
    static CUserMessageObserver observer;
    return observer;
}

bool g_Unattended = false;

// The boxes waiting for an answer, innermost last.
std::vector<QPointer<QMessageBox>>& OpenBoxes() {
    static std::vector<QPointer<QMessageBox>> boxes;
    return boxes;
}

// What Esc answers: No or Cancel where the box has one, otherwise its only button.
QMessageBox::StandardButton EscapeAnswer(QMessageBox::StandardButtons buttons) {
    for (const QMessageBox::StandardButton button : {QMessageBox::No, QMessageBox::Cancel}) {
        if (buttons.testFlag(button)) {
            return button;
        }
    }
    return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::NoButton;
}

} // namespace

QMessageBox::StandardButton CUserMessages::Show(QWidget* parent, const QString& text,
                                                QMessageBox::Icon icon,
                                                QMessageBox::StandardButtons buttons) {
    if (Observer()) {
        return Observer()({text, icon, buttons});
    }
    if (g_Unattended) {
        std::cerr << QApplication::applicationName().toStdString() << ": " << text.toStdString()
                  << '\n';
        return EscapeAnswer(buttons);
    }
    QMessageBox box(icon, QApplication::applicationName(), text, buttons, parent);
    OpenBoxes().emplace_back(&box);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    std::erase(OpenBoxes(), QPointer<QMessageBox>(&box));
    return answer;
}

bool CUserMessages::Ask(QWidget* parent, const QString& question) {
    return Show(parent, question, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void CUserMessages::SetObserver(CUserMessageObserver observer) {
    Observer() = std::move(observer);
}

void CUserMessages::SetUnattended(bool unattended) {
    g_Unattended = unattended;
    if (!unattended) {
        return;
    }
    // Each box's own event loop ends when it closes; its text still reaches the log.
    for (const QPointer<QMessageBox>& box : OpenBoxes()) {
        if (box) {
            std::cerr << QApplication::applicationName().toStdString() << ": "
                      << box->text().toStdString() << '\n';
            box->close();
        }
    }
}

} // namespace strikeline
