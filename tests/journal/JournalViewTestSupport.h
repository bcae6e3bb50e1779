#pragma once

// What the journal window tests share: a main window's surroundings, and a way to answer a
// modal dialog the way a user does while the code under test waits in exec().

#include "support/MainFrameTestHost.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

namespace strikeline::test {

// Waits for the next modal dialog of type `Dialog` and runs `answer` on it once. `answer`
// must end the dialog (accept or reject it); a dialog it leaves open is rejected so that
// a failing test cannot hang. `seen` tells whether the dialog came up at all.
template <typename Dialog> class CModalAnswer {
public:
    explicit CModalAnswer(std::function<void(Dialog&)> answer) : m_Answer(std::move(answer)) {
        m_Timer.setInterval(5);
        QObject::connect(&m_Timer, &QTimer::timeout, [this] { Poll(); });
        m_Timer.start();
    }

    bool seen = false;

private:
    void Poll() {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        m_Timer.stop();
        seen = true;
        const QPointer<Dialog> guard(dialog);
        m_Answer(*dialog);
        if (!guard.isNull() && guard->isVisible()) {
            guard->reject();
        }
    }

    std::function<void(Dialog&)> m_Answer;
    QTimer m_Timer;
};

} // namespace strikeline::test
