#include "marketdata/FieldScan.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>

namespace strikeline {

// Both splitters walk the line once by hand: fields are a few characters long, so a
// library search per field costs more than it saves.
std::size_t SplitCollapsingCommas(std::string_view line, std::string_view* fields,
                                  std::size_t capacity) {
    std::size_t count = 0;
    const char* p = line.data();
    const char* const end = p + line.size();
    while (count <= capacity) {
        while (p != end && *p == ',') {
            ++p;
        }
        if (p == end) {
            break;
        }
        const char* start = p;
        while (p != end && *p != ',') {
            ++p;
        }
        if (count < capacity) {
            fields[count] = std::string_view(start, static_cast<std::size_t>(p - start));
        }
        ++count;
    }
    return count;
}

std::size_t SplitEveryComma(std::string_view line, std::string_view* fields, std::size_t capacity) {
    std::size_t count = 0;
    const char* p = line.data();
    const char* const end = p + line.size();
    for (;;) {
        const char* start = p;
        while (p != end && *p != ',') {
            ++p;
        }
        if (count < capacity) {
            fields[count] = std::string_view(start, static_cast<std::size_t>(p - start));
        }
        ++count;
        if (p == end || count > capacity) {
            break;
        }
        ++p; // past the comma
    }
    return count;
}

void SkipSpace(std::string_view& text) {
    std::size_t i = 0;
    while (i < text.size() && IsAsciiSpace(text[i])) {
        ++i;
    }
    text.remove_prefix(i);
}

bool ScanUnsigned(std::string_view& text, unsigned& value) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end && IsAsciiSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const char* const digits = p;
    std::uint64_t number = 0;
    while (p != end && IsAsciiDigit(*p)) {
        // Ten digits may pass 32 bits, not 64; more saturate below.
        if (p - digits < 10) {
            number = number * 10 + static_cast<unsigned>(*p - '0');
        }
        ++p;
    }
    if (p == digits) {
        return false;
    }
    if (p - digits > 10 || number > UINT_MAX || (negative && number != 0)) {
        number = UINT_MAX;
    }
    value = static_cast<unsigned>(number);
    text.remove_prefix(static_cast<std::size_t>(p - text.data()));
    return true;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldAsciiCase(x) == FoldAsciiCase(y);
           });
}

unsigned MonthFromAbbreviation(std::string_view word) {
    // Each abbreviation as one number of its three upper-case letters, compared at once.
    constexpr auto pack = [](char a, char b, char c) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 16 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(c));
    };
    static constexpr std::array<std::uint32_t, 12> kMonths = {
        pack('J', 'A', 'N'), pack('F', 'E', 'B'), pack('M', 'A', 'R'), pack('A', 'P', 'R'),
        pack('M', 'A', 'Y'), pack('J', 'U', 'N'), pack('J', 'U', 'L'), pack('A', 'U', 'G'),
        pack('S', 'E', 'P'), pack('O', 'C', 'T'), pack('N', 'O', 'V'), pack('D', 'E', 'C')};
    if (word.size() != 3) {
        return 0;
    }
    const std::uint32_t key =
        pack(FoldAsciiCase(word[0]), FoldAsciiCase(word[1]), FoldAsciiCase(word[2]));
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (kMonths[i] == key) {
            return static_cast<unsigned>(i + 1);
        }
    }
    return 0;
}

} // namespace strikeline
