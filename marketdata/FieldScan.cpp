#include "marketdata/FieldScan.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>

namespace strikeline {

namespace {

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

} // namespace

std::size_t SplitCollapsingCommas(std::string_view line, std::string_view* fields,
                                  std::size_t capacity) {
    std::size_t count = 0;
    std::size_t pos = 0;
    while (count <= capacity) {
        pos = line.find_first_not_of(',', pos);
        if (pos == std::string_view::npos) {
            break;
        }
        const std::size_t end = line.find(',', pos);
        if (count < capacity) {
            fields[count] = line.substr(pos, end == std::string_view::npos ? std::string_view::npos
                                                                           : end - pos);
        }
        ++count;
        if (end == std::string_view::npos) {
            break;
        }
        pos = end;
    }
    return count;
}

std::size_t SplitEveryComma(std::string_view line, std::string_view* fields, std::size_t capacity) {
    std::size_t count = 0;
    std::size_t pos = 0;
    while (count <= capacity) {
        const std::size_t end = line.find(',', pos);
        if (count < capacity) {
            fields[count] = line.substr(pos, end == std::string_view::npos ? std::string_view::npos
                                                                           : end - pos);
        }
        ++count;
        if (end == std::string_view::npos) {
            break;
        }
        pos = end + 1;
    }
    return count;
}

void SkipSpace(std::string_view& text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    text.remove_prefix(i);
}

bool ScanUnsigned(std::string_view& text, unsigned& value) {
    std::string_view rest = text;
    SkipSpace(rest);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    std::size_t digits = 0;
    unsigned long long number = 0;
    while (digits < rest.size() && std::isdigit(static_cast<unsigned char>(rest[digits]))) {
        number = std::min<unsigned long long>(
            number * 10 + static_cast<unsigned>(rest[digits] - '0'), UINT_MAX);
        ++digits;
    }
    if (digits == 0) {
        return false;
    }
    value = negative && number != 0 ? UINT_MAX : static_cast<unsigned>(number);
    text = rest.substr(digits);
    return true;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

unsigned MonthFromAbbreviation(std::string_view word) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (EqualsIgnoringCase(word, kMonths[i])) {
            return static_cast<unsigned>(i + 1);
        }
    }
    return 0;
}

} // namespace strikeline
