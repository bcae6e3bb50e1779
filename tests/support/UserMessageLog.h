#pragma once

#include "session/UserMessenger.h"

#include <QStringList>
#include <functional>

namespace strikeline::test {

// Keeps the messages the program shows instead of showing them, answering each question
// with `yes`; `onMessage` runs while a message is "up". Give it to the session under test.
class CUserMessageLog final : public CUserMessenger {
public:
    explicit CUserMessageLog(bool answerYes = false) : yes(answerYes) {}

    void Show(const std::string& text, MessageKind) override { Keep(text); }
    bool Ask(const std::string& question) override {
        Keep(question);
        return yes;
    }

    QStringList texts;
    std::function<void()> onMessage;
    bool yes;

private:
    void Keep(const std::string& text) {
        texts << QString::fromStdString(text);
        if (onMessage) {
            onMessage();
        }
    }
};

} // namespace strikeline::test
