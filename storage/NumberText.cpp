#include "storage/NumberText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <system_error>

namespace strikeline {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::string FormatFixed(double x, int decimals) {
    // Large enough for the longest double (309 integer digits) and any sane precision.
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x,
                                      std::chars_format::fixed, std::clamp(decimals, 0, 60));
    if (result.ec != std::errc{}) {
        return {};
    }
    return std::string(buffer.data(), result.ptr);
}

std::string FormatNumber(double x, int decimals) {
    if (x == UNSET_VALUE || !std::isfinite(x)) {
        return {};
    }
    if (x == NA_VALUE) {
        return "N/A";
    }
    std::string text = FormatFixed(x, std::max(decimals, 0));
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) {
        text.erase(0, 1);
    }
    const std::size_t point = text.find('.');
    if (point != std::string::npos) {
        // Drop trailing zeros of the fraction, and the point with them when none remain.
        const std::size_t last = text.find_last_not_of('0');
        text.erase(last == point ? point : last + 1);
    }
    if (text.find_first_not_of("0.") == std::string::npos) {
        return "0"; // zero at this precision never shows a sign
    }
    return negative ? "-" + text : text;
}

// A missing figure, and one that is no number at all (infinity, NaN), shows no unit either.
std::string FormatMoney(double x, int decimals) {
    std::string number = FormatNumber(x, decimals);
    if (number.empty() || x == NA_VALUE) {
        return number;
    }
    return "$" + number;
}

std::string FormatPercent(double x, int decimals) {
    std::string number = FormatNumber(x, decimals);
    if (number.empty() || x == NA_VALUE) {
        return number;
    }
    return number + "%";
}

namespace {

// Plain decimals of up to 15 digits ("12.345", "100", ".5"), which the market files are
// made of, converted without the general algorithm: a mantissa below 2^53 divided by an
// exact power of ten is correctly rounded, so the result is the one from_chars gives.
// Anything else (exponents, more digits, hexadecimal) is left to from_chars.
std::optional<ScannedNumber> ScanPlainDecimal(std::string_view text, std::size_t pos,
                                              bool negative) {
    CPlainDecimal decimal;
    const char* const begin = text.data();
    const auto i = static_cast<std::size_t>(decimal.Scan(begin + pos, begin + text.size()) - begin);
    const bool hasMore = i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'x' ||
                                             text[i] == 'X' || text[i] == 'p' || text[i] == 'P');
    if (decimal.digits == 0 || decimal.digits > CPlainDecimal::kMostDigits || hasMore) {
        return std::nullopt;
    }
    const double magnitude = decimal.Value();
    return ScannedNumber{negative ? -magnitude : magnitude, i};
}

} // namespace

std::optional<ScannedNumber> ScanNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    // std::from_chars reads neither a '+' sign nor the "0x" prefix that "%lf" accepts.
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        return std::nullopt;
    }
    if (auto plain = ScanPlainDecimal(text, pos, negative)) {
        return plain;
    }
    auto format = std::chars_format::general;
    if (text.size() - pos > 2 && text[pos] == '0' &&
        (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
        std::isxdigit(static_cast<unsigned char>(text[pos + 2]))) {
        format = std::chars_format::hex;
        pos += 2;
    }
    double value = 0.0;
    const char* begin = text.data() + pos;
    const auto result = std::from_chars(begin, text.data() + text.size(), value, format);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small to hold reads as zero, as "%lf" has it; too large is no figure.
        const std::string_view matched(begin, static_cast<std::size_t>(result.ptr - begin));
        const std::size_t exponent =
            matched.find_first_of(format == std::chars_format::hex ? "pP" : "eE");
        if (exponent == std::string_view::npos || exponent + 1 >= matched.size() ||
            matched[exponent + 1] != '-') {
            return std::nullopt;
        }
        value = 0.0;
    } else if (result.ec != std::errc{} || !std::isfinite(value)) {
        return std::nullopt;
    }
    return ScannedNumber{negative ? -value : value,
                         static_cast<std::size_t>(result.ptr - text.data())};
}

bool ParseNumber(std::string_view text, double& value, std::string* error) {
    if (const auto scanned = ScanNumber(text)) {
        value = scanned->value;
        return true;
    }
    value = UNSET_VALUE;
    if (error != nullptr) {
        *error = "Invalid number: \"" + std::string(text) + "\"";
    }
    return false;
}

double ParseNumber(std::string_view text) {
    double value = UNSET_VALUE;
    ParseNumber(text, value);
    return value;
}

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether the digits and commas of a whole part group thousands: groups after the first
// are of three digits and the first of one to three, not starting with 0 ("1,23",
// "1234,567", ",5", "1,,234" and "0,125" fail; so does "1,5", which reads as one and a half
// in some countries).
bool GroupsThousands(std::string_view digits) {
    const std::size_t first = digits.find(',');
    if (first == 0 || first > 3 || digits.front() == '0' || (digits.size() - first) % 4 != 0) {
        return false;
    }
    for (std::size_t comma = first; comma < digits.size(); comma += 4) {
        if (digits[comma] != ',' ||
            !std::all_of(digits.begin() + static_cast<std::ptrdiff_t>(comma) + 1,
                         digits.begin() + static_cast<std::ptrdiff_t>(comma) + 4, IsDigit)) {
            return false;
        }
    }
    return true;
}

// ScanNumber with thousands separators in the whole part; the length counts the text as
// typed, separators included. A comma that separates no thousands makes it no number at
// all, rather than a number that ends before the comma.
std::optional<ScannedNumber> ScanTypedNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    const std::size_t start = pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    const std::size_t whole = pos;
    while (pos < text.size() && (IsDigit(text[pos]) || text[pos] == ',')) {
        ++pos;
    }
    const std::string_view digits = text.substr(whole, pos - whole);
    const auto commas = static_cast<std::size_t>(std::count(digits.begin(), digits.end(), ','));
    if (commas == 0) {
        return ScanNumber(text);
    }
    if (!GroupsThousands(digits)) {
        return std::nullopt;
    }
    std::string plain(text.substr(start, whole - start));
    std::copy_if(digits.begin(), digits.end(), std::back_inserter(plain),
                 [](char c) { return c != ','; });
    plain.append(text.substr(pos));
    // The scan reads every digit of the whole part, so it passed every separator.
    const std::optional<ScannedNumber> scanned = ScanNumber(plain);
    if (!scanned) {
        return std::nullopt;
    }
    return ScannedNumber{scanned->value, start + scanned->length + commas};
}

// What may follow a number that a field reads with words after it ("30 days", "9%"):
// nothing, or a word. A digit or a mark ("1 234", "1.2.3", "12-15") would mean the number
// was cut short.
bool EndsTheNumber(std::string_view rest) {
    while (!rest.empty() && IsSpace(rest.front())) {
        rest.remove_prefix(1);
    }
    return rest.empty() || std::isalpha(static_cast<unsigned char>(rest.front())) != 0 ||
           rest.front() == '%';
}

} // namespace

bool ParseTypedNumber(std::string_view text, double& value, TypedNumberEnd end) {
    value = UNSET_VALUE;
    const std::optional<ScannedNumber> scanned = ScanTypedNumber(text);
    if (!scanned) {
        return false;
    }
    const std::string_view rest = text.substr(scanned->length);
    if (end == TypedNumberEnd::Whole ? !IsBlank(rest) : !EndsTheNumber(rest)) {
        return false;
    }
    value = scanned->value;
    return true;
}

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsSpace);
}

} // namespace strikeline
