#pragma once

// Small scanners for the fields of the market data files, with the tolerance the files
// have always been read with (the C conversions "%lf" and "%u", strtok-style splitting).

#include <cstddef>
#include <string_view>

namespace strikeline {

// The "C" locale's character classes, inline: they run for every character of the files,
// and the user's locale must not change how a file reads.
constexpr bool IsAsciiSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
constexpr char FoldAsciiCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Splits at commas, a run of commas counting as one separator (so an empty field vanishes
// and the count comes out wrong). Returns the number of fields found, stopping early once
// more than `capacity` were found; fields beyond `capacity` are not stored.
std::size_t SplitCollapsingCommas(std::string_view line, std::string_view* fields,
                                  std::size_t capacity);
// Splits at every comma, so empty fields stay. Same contract as above.
std::size_t SplitEveryComma(std::string_view line, std::string_view* fields, std::size_t capacity);

// "%u" at the front of `text`: leading white space, an optional sign, at least one digit.
// On success the number is removed from `text`. A minus sign or a number beyond 32 bits
// gives a value no field accepts (UINT_MAX), as the C conversion wraps or saturates.
bool ScanUnsigned(std::string_view& text, unsigned& value);
// Removes leading white space.
void SkipSpace(std::string_view& text);
// Case-insensitive equality of whole texts (ASCII).
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Month 1-12 for "Jan" ... "Dec" in any letter case; 0 otherwise.
unsigned MonthFromAbbreviation(std::string_view word);

} // namespace strikeline
