#include "storage/NumberText.h"

#include "support/ScopedEnvironment.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace strikeline {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(NumberText, FormatNumberDropsTrailingZerosAndNeverShowsAMarkerAsANumber) {
    struct Case {
        double value;
        int decimals;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {2.5, 2, "2.5"},
        {3.0, 2, "3"},
        {0.005, 5, "0.005"},
        {-12.5, 2, "-12.5"},
        {0.1, 2, "0.1"},
        {1234567.891, 2, "1234567.89"},
        // Zeros of the integer part are digits, not padding.
        {100.0, 2, "100"},
        {1000.5, 1, "1000.5"},
        {0.000001, 6, "0.000001"},
        {1e21, 2, "1000000000000000000000"},
        // Rounded as the C run-time does: to the nearest, ties to even on the binary value.
        {0.125, 2, "0.12"},
        {2.675, 2, "2.67"},
        {1.5, 0, "2"},
        {0.96, 1, "1"},
        {-0.96, 1, "-1"},
        // Zero at the chosen precision never carries a sign.
        {0.0, 2, "0"},
        {-0.0, 2, "0"},
        {-0.001, 2, "0"},
        {-0.5, 0, "0"},
        {1e-7, 6, "0"},
        // A negative count of decimals is taken as none.
        {12.3, -1, "12"},
        {UNSET_VALUE, 2, ""},
        {NA_VALUE, 2, "N/A"},
        {kInfinity, 2, ""},
        {-kInfinity, 2, ""},
        {kNaN, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " with " << c.decimals << " decimals");
        EXPECT_EQ(FormatNumber(c.value, c.decimals), c.expected);
    }
}

TEST(NumberText, MoneyAndPercentWrapTheNumberButNotAMissingOne) {
    struct Case {
        double value;
        const char* money;
        const char* percent;
    };
    const std::vector<Case> cases = {
        {12.5, "$12.5", "12.5%"},
        {-12.5, "$-12.5", "-12.5%"},
        {0.0, "$0", "0%"},
        {-0.001, "$0", "0%"},
        {UNSET_VALUE, "", ""},
        {NA_VALUE, "N/A", "N/A"},
        // No figure at all: a lone "$" or "%" in a table cell would look like data.
        {kInfinity, "", ""},
        {kNaN, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(FormatMoney(c.value, 2), c.money);
        EXPECT_EQ(FormatPercent(c.value, 2), c.percent);
    }
}

TEST(NumberText, ParseNumberReadsTheLeadingNumberOrReportsTheText) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const std::vector<Case> cases = {
        {"12abc", true, 12.0},     {"   7", true, 7.0},
        {"\t\n 3", true, 3.0},     {"1e3", true, 1000.0},
        {"-12.5", true, -12.5},    {"+4", true, 4.0},
        {".5", true, 0.5},         {"2.", true, 2.0},
        {"1,5", true, 1.0}, // the comma never is a decimal point
        {"0x10", true, 16.0},      {"-0x1p3", true, -8.0},
        {"1e", true, 1.0},         {"abc", false, 0.0},
        {"", false, 0.0},          {"   ", false, 0.0},
        {"$5", false, 0.0},        {".", false, 0.0},
        {"-", false, 0.0},         {"+-1", false, 0.0},
        {"- 1", false, 0.0},       {"inf", false, 0.0},
        {"-Infinity", false, 0.0}, {"nan", false, 0.0},
        {"1e400", false, 0.0},     {"1e-400", true, 0.0},
        {"-0x1p-2000", true, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        double value = 42.0;
        std::string error;
        EXPECT_EQ(ParseNumber(c.text, value, &error), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
            EXPECT_EQ(ParseNumber(c.text), c.value);
        } else {
            EXPECT_EQ(error, std::string("Invalid number: \"") + c.text + "\"");
            EXPECT_EQ(ParseNumber(c.text), UNSET_VALUE);
        }
    }
}

TEST(NumberText, TypedUnsetMarkerIsIndistinguishableFromNothingEntered) {
    double value = 0.0;
    ASSERT_TRUE(ParseNumber("-1000000000", value));
    EXPECT_EQ(value, UNSET_VALUE);
    EXPECT_FALSE(IsValue(value));
    EXPECT_EQ(FormatNumber(value, 2), "");

    // Only the exact values are markers; a neighbour is an ordinary number.
    ASSERT_TRUE(ParseNumber("-1000000000.5", value));
    EXPECT_TRUE(IsValue(value));
    EXPECT_EQ(FormatNumber(value, 2), "-1000000000.5");
    EXPECT_FALSE(IsValue(NA_VALUE));
}

TEST(NumberText, ScanNumberCountsWhatTheNumberUsed) {
    struct Case {
        const char* text;
        double value;
        std::size_t length;
    };
    const std::vector<Case> cases = {
        {"7", 7.0, 1},   {"  12.5xyz", 12.5, 6}, {"-3e2,4", -300.0, 4}, {"0x1p3 ", 8.0, 5},
        {"0xg", 0.0, 1}, {"+.25%", 0.25, 4},     {"1e+", 1.0, 1},       {"\v\f1", 1.0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        const auto scanned = ScanNumber(c.text);
        ASSERT_TRUE(scanned.has_value());
        EXPECT_EQ(scanned->value, c.value);
        EXPECT_EQ(scanned->length, c.length);
    }
    for (const char* text : {"", "  ", "x1", "inf", "nan", "--1"}) {
        SCOPED_TRACE(std::string("text \"") + text + "\"");
        EXPECT_FALSE(ScanNumber(text).has_value());
    }
}

// Plain decimals take a short cut; it must give exactly the double the general conversion
// gives, for every length of mantissa and fraction it takes.
TEST(NumberText, PlainDecimalsReadExactlyAsTheGeneralConversion) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 15);
        std::string text;
        for (int d = 0; d < digits; ++d) {
            text += static_cast<char>('0' + random() % 10);
        }
        text.insert(random() % (text.size() + 1), ".");
        double expected = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        const auto scanned = ScanNumber(text);
        ASSERT_TRUE(scanned) << text;
        ASSERT_EQ(scanned->value, expected) << text;
        ASSERT_EQ(scanned->length, text.size()) << text;
    }
}

TEST(NumberText, ATypedNumberTakesThousandsSeparatorsAndIsNeverCutShort) {
    // Read as the whole text, and as a field's text that words may follow; a refused text
    // reads as no number at all.
    struct Case {
        const char* text;
        bool whole;
        bool withWords;
        double value;
    };
    const std::vector<Case> cases = {
        {"1,234", true, true, 1234.0},
        {"-1,234", true, true, -1234.0},
        {"+1,234.50", true, true, 1234.5},
        {" 1,234,567.25 ", true, true, 1234567.25},
        {"999,999", true, true, 999999.0},
        {"12,345,678", true, true, 12345678.0},
        {"2000000000", true, true, 2000000000.0},
        {"12.5", true, true, 12.5},
        {"\t7\n", true, true, 7.0},
        {".5", true, true, 0.5},
        {"1e3", true, true, 1000.0},
        {"0", true, true, 0.0},
        // A word after the number is no part of it.
        {"12 trades", false, true, 12.0},
        {"1,234 shares", false, true, 1234.0},
        {"0.87 per share", false, true, 0.87},
        {"9%", false, true, 9.0},
        {"12abc", false, true, 12.0},
        // What ParseNumber would cut to the number it starts with is refused whole.
        {"1,23", false, false, 0.0},
        {"1,2345", false, false, 0.0},
        {"1234,567", false, false, 0.0},
        {"12,345,6", false, false, 0.0},
        {"1,,234", false, false, 0.0},
        {"1,234,", false, false, 0.0},
        {"12,abc", false, false, 0.0},
        {",234", false, false, 0.0},
        {"0,125", false, false, 0.0},
        {"1,5", false, false, 0.0},
        {"1.234,5", false, false, 0.0},
        {"1 234", false, false, 0.0},
        {"1.2.3", false, false, 0.0},
        {"12-15", false, false, 0.0},
        {"$5", false, false, 0.0},
        {"abc", false, false, 0.0},
        {"", false, false, 0.0},
        {"   ", false, false, 0.0},
        {"-", false, false, 0.0},
        {"inf", false, false, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        double value = 42.0;
        EXPECT_EQ(ParseTypedNumber(c.text, value), c.whole);
        EXPECT_EQ(value, c.whole ? c.value : UNSET_VALUE);
        value = 42.0;
        EXPECT_EQ(ParseTypedNumber(c.text, value, TypedNumberEnd::WordsMayFollow), c.withWords);
        EXPECT_EQ(value, c.withWords ? c.value : UNSET_VALUE);
    }
}

TEST(NumberText, IsBlankOnlyForNothingButWhiteSpace) {
    struct Case {
        std::string_view text;
        bool blank;
    };
    const std::vector<Case> cases = {
        {std::string_view{}, true},
        {"", true},
        {" ", true},
        {" \t\r\n\v\f", true},
        {" a ", false},
        {"0", false},
        {".", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text \"") + std::string(c.text) + "\"");
        EXPECT_EQ(IsBlank(c.text), c.blank);
    }
}

// The C conversion in the "C" locale is the reference for every file the program writes.
TEST(NumberText, FormatFixedWritesWhatPrintfWritesInTheCLocale) {
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    const std::vector<double> values = {0.0,   -0.0,      0.125,         2.675,   1234.5678901,
                                        -0.5,  1.0 / 3.0, 123456789.987, 5e-7,    1e21,
                                        1e300, -99.995,   0.1234567,     -1e-300, 4.35};
    for (const double value : values) {
        for (const int decimals : {0, 1, 2, 6, 10}) {
            SCOPED_TRACE(testing::Message() << value << " with " << decimals << " decimals");
            std::vector<char> expected(512);
            std::snprintf(expected.data(), expected.size(), "%.*f", decimals, value);
            EXPECT_EQ(FormatFixed(value, decimals), expected.data());
        }
    }
    EXPECT_EQ(FormatFixed(1234.5678901, 6), "1234.567890");
}

using NumberTextInGermanLocale = test::CGermanLocaleTest;

TEST_F(NumberTextInGermanLocale, NumbersKeepThePointWhateverTheUserLocale) {
    EXPECT_EQ(FormatNumber(2.5, 2), "2.5");
    EXPECT_EQ(FormatMoney(-1234.25, 2), "$-1234.25");
    EXPECT_EQ(FormatPercent(0.5, 1), "0.5%");
    EXPECT_EQ(FormatFixed(2.5, 6), "2.500000");
    EXPECT_EQ(ParseNumber("2.5"), 2.5);
    EXPECT_EQ(ParseNumber("2,5"), 2.0);
    const auto scanned = ScanNumber("1.25e1;");
    ASSERT_TRUE(scanned.has_value());
    EXPECT_EQ(scanned->value, 12.5);
    EXPECT_EQ(scanned->length, 6u);
}

} // namespace
} // namespace strikeline
