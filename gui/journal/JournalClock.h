#pragma once

#include "storage/FileTime.h"

#include <functional>

namespace strikeline {

// The moment (universal time) the journal windows take as "now": the current month of the
// Diary and of the Dividends filter. Tests stand at a fixed moment.
using CJournalClock = std::function<FileTime()>;

inline FileTime SystemJournalNow() {
    return CurrentFileTime();
}

} // namespace strikeline
