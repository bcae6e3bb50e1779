#pragma once

#include "gui/app/UserMessages.h"

#include <QStringList>
#include <functional>

namespace strikeline::test {

// Collects the messages the program shows instead of showing them, answering each with
// `answer`; `onMessage` runs while a message is "up".
class CUserMessageLog {
public:
    explicit CUserMessageLog(QMessageBox::StandardButton answer = QMessageBox::Ok) {
        CUserMessages::SetObserver([this, answer](const CUserMessage& message) {
            texts << message.text;
            if (onMessage) {
                onMessage();
            }
            return answer;
        });
    }
    ~CUserMessageLog() { CUserMessages::SetObserver({}); }
    CUserMessageLog(const CUserMessageLog&) = delete;
    CUserMessageLog& operator=(const CUserMessageLog&) = delete;

    QStringList texts;
    std::function<void()> onMessage;
};

} // namespace strikeline::test
