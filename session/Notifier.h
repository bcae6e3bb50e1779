#pragma once

#include <string>

namespace strikeline {

// The views a refresh request names; the numbers are the ones every sender uses.
enum class RefreshKind {
    CallReport = 0,
    PutReport = 1,
    ShortList = 2,
    Dividends = 3,
    TradingPlan = 4
};

enum class MessageIcon { None, Information, Exclamation };

// How core code tells the windows that something changed. The worker thread calls it too,
// so the windows' implementation hands every call over to the user-interface thread and
// returns at once; core code never waits for a window.
class CNotifier {
public:
    virtual ~CNotifier() = default;

    // The view of that kind rebuilds itself if it is open.
    virtual void RequestRefresh(RefreshKind kind) = 0;
    // The downloader's status text changed.
    virtual void StatusChanged() = 0;
    // A message box captioned with the program's name.
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
};

} // namespace strikeline
