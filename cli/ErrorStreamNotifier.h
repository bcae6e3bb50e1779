#pragma once

#include "session/Notifier.h"

#include <ostream>

namespace strikeline {

// The headless command's notifier: messages go to standard error; there is no window to
// refresh and no status bar.
class CErrorStreamNotifier final : public CNotifier {
public:
    explicit CErrorStreamNotifier(std::ostream& err) : m_Err(err) {}
    void RequestRefresh(RefreshKind) override {}
    void StatusChanged() override {}
    void ShowMessage(const std::string& text, MessageIcon) override { m_Err << text << '\n'; }

private:
    std::ostream& m_Err;
};

} // namespace strikeline
