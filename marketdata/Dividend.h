#pragma once

#include "storage/FileTime.h"

#include <string>

namespace strikeline {

// One announced dividend: the share code, the day (at 00:00) and dollars per share.
struct CDividend {
    std::string code;
    FileTime date = kNoDate;
    double amount = 0.0;

    bool operator==(const CDividend&) const = default;
};

} // namespace strikeline
