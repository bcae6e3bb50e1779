#pragma once

#include <ostream>
#include <string>

namespace strikeline {

enum class MessageKind { Plain, Information, Warning };

// How the program tells the user something or asks a Yes/No question. The desktop program
// shows message boxes captioned with its name; the headless command writes to standard
// error; a test keeps what was said and answers for the user. A session is given one.
class CUserMessenger {
public:
    virtual ~CUserMessenger() = default;
    virtual void Show(const std::string& text, MessageKind kind) = 0;
    // True for Yes.
    virtual bool Ask(const std::string& question) = 0;
};

// For when nobody is there to answer: every message and question goes to a stream, and
// every question is answered No, which never loses a file.
class CStreamMessenger final : public CUserMessenger {
public:
    explicit CStreamMessenger(std::ostream& out) : m_Out(out) {}
    void Show(const std::string& text, MessageKind) override { m_Out << text << '\n'; }
    bool Ask(const std::string& question) override {
        m_Out << question << '\n';
        return false;
    }

private:
    std::ostream& m_Out;
};

} // namespace strikeline
