#pragma once

#include "storage/FileTime.h"

#include <gtest/gtest.h>
#include <string>

namespace strikeline::test {

// The moment of a universal-time text "YYYY-MM-DD[ HH:MM:SS]"; the test fails on a typo.
inline FileTime Utc(const std::string& text) {
    FileTime value = kNoDate;
    EXPECT_TRUE(ParseFileTime(text, TimeZoneMode::Universal, value)) << text;
    return value;
}

} // namespace strikeline::test
