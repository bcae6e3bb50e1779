#pragma once

// Number markers and the number texts that every table, dialog and export shows.
//
// Every figure is a double. Two reserved values mark a figure that is missing or does not
// apply; they are compared by exact equality. All conversions here are independent of the
// user's locale: the decimal point is always '.', whatever LC_NUMERIC says.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace strikeline {

// The digits of a plain decimal ("12.345", "100", ".5"), the form the market files are
// made of, read without the general algorithm by the fast number readers.
struct CPlainDecimal {
    // 10^0 .. 10^15, each exact in a double.
    static constexpr double kExactPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    static constexpr int kMostDigits = 15;

    std::uint64_t mantissa = 0;
    int digits = 0;
    int fractionDigits = 0;
    bool point = false;

    // Reads digits and at most one point from `at`; returns where it stopped, at the first
    // other character or `end`.
    const char* Scan(const char* at, const char* end) {
        for (; at != end; ++at) {
            const char c = *at;
            if (c >= '0' && c <= '9') {
                mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
                ++digits;
                fractionDigits += point ? 1 : 0;
            } else if (c == '.' && !point) {
                point = true;
            } else {
                break;
            }
        }
        return at;
    }

    // The value, for at most kMostDigits digits: a mantissa below 2^53 divided by an exact
    // power of ten is correctly rounded, the value from_chars gives. A whole number needs
    // no division, which takes longer than reading the digits.
    double Value() const {
        return fractionDigits == 0
                   ? static_cast<double>(mantissa)
                   : static_cast<double>(mantissa) / kExactPowersOfTen[fractionDigits];
    }
};

inline constexpr double UNSET_VALUE = -1000000000.0;
inline constexpr double NA_VALUE = -1000000001.0;

// True when x holds a number, that is neither marker.
constexpr bool IsValue(double x) {
    return x != UNSET_VALUE && x != NA_VALUE;
}

// At most `decimals` fraction digits, trailing zeros dropped, no separators, no exponent.
// UNSET_VALUE gives "", NA_VALUE gives "N/A"; a value that rounds to zero gives "0" without
// a sign. Infinity and NaN are no figure at all and give "".
std::string FormatNumber(double x, int decimals);
// "$" and FormatNumber; the minus sign follows the dollar sign ($-12.5).
std::string FormatMoney(double x, int decimals);
// FormatNumber and "%".
std::string FormatPercent(double x, int decimals);

// Reads a number the way the C conversion "%lf" does: leading white space is skipped and
// whatever follows the number is ignored ("12abc" reads 12, "1e3" reads 1000). Fails on a
// text that holds no number, and on infinities and NaN, which no figure may hold.
// On failure `error`, when given, is set to "Invalid number: \"<text>\"".
bool ParseNumber(std::string_view text, double& value, std::string* error = nullptr);
// The value form: UNSET_VALUE when the text holds no number.
double ParseNumber(std::string_view text);

// Reads a number as a user types it into a cell or a field. White space around it is
// ignored and the whole part may carry thousands separators ("1,234", "-1,234.50",
// "1,234,567"). Unlike ParseNumber it never reads a number cut short: a comma that
// separates no thousands ("1,23", "1,5") or a number that goes on ("1 234", "1.2.3")
// fails. With `Whole` the text must be the number and nothing else ("12abc" fails); with
// `WordsMayFollow` a word or a "%" may follow it ("30 days", "12 trades", "9%").
// On failure `value` is UNSET_VALUE.
enum class TypedNumberEnd { Whole, WordsMayFollow };
bool ParseTypedNumber(std::string_view text, double& value,
                      TypedNumberEnd end = TypedNumberEnd::Whole);

// True for an empty text and a text of white space only.
bool IsBlank(std::string_view text);

// The scanner behind ParseNumber, for readers that need the end of the number: skips
// leading white space, reads one finite number and returns it with the count of characters
// used (white space included); nothing when no number starts there.
struct ScannedNumber {
    double value;
    std::size_t length;
};
std::optional<ScannedNumber> ScanNumber(std::string_view text);

// Fixed-point text with `decimals` digits, as the C conversion "%.*f" writes it in the
// "C" locale (so "%f" is FormatFixed(x, 6)).
std::string FormatFixed(double x, int decimals);

} // namespace strikeline
