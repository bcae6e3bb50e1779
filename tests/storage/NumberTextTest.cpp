#include "storage/NumberText.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

TEST(NumberText, Placeholder) { EXPECT_EQ(FormatNumber(2.5, 2), "2.5"); }

} // namespace
} // namespace strikeline
