#pragma once

#include "storage/FileTime.h"

#include <string>

namespace strikeline {

// One announced dividend: the share code, the ex-date (at 00:00), dollars per share and
// how much of it is franked, in percent (0 to 100).
struct CDividend {
    std::string code;
    FileTime date = kNoDate;
    double amount = 0.0;
    double franking = 0.0;

    bool operator==(const CDividend&) const = default;
};

} // namespace strikeline
