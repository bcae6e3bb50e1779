#include "app/views/UserMessages.h"

#include <QApplication>

namespace strikeline {

namespace {

CUserMessageObserver& Observer() {
    static CUserMessageObserver observer;
    return observer;
}

} // namespace

QMessageBox::StandardButton CUserMessages::Show(QWidget* parent, const QString& text,
                                                QMessageBox::Icon icon,
                                                QMessageBox::StandardButtons buttons) {
    if (Observer()) {
        return Observer()({text, icon, buttons});
    }
    QMessageBox box(icon, QApplication::applicationName(), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool CUserMessages::Ask(QWidget* parent, const QString& question) {
    return Show(parent, question, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void CUserMessages::SetObserver(CUserMessageObserver observer) {
    Observer() = std::move(observer);
}

} // namespace strikeline
