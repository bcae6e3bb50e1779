#include "plan/PlanOfficeCells.h"

namespace strikeline {

std::uint32_t PlanOfficeCellColour(std::int32_t index) {
    switch (index) {
    case 1:
        return 0x008000;
    case 2:
        return 0xFFFF00;
    case 3:
        return 0xFF0000;
    case 4:
        return 0x00FFFF;
    default:
        return 0xFFFFFF;
    }
}

std::string PlanOfficeText(std::string_view text) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            if (lead >= 0x20 || lead == '\t' || lead == '\n') {
                result += static_cast<char>(lead);
            }
            ++i;
            continue;
        }
        // The length of the sequence, the payload of its lead byte and the smallest code
        // point it may carry (longer forms of smaller ones are not UTF-8).
        std::size_t length = 0;
        char32_t code = 0;
        char32_t smallest = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1Fu;
            smallest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0Fu;
            smallest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07u;
            smallest = 0x10000;
        }
        std::size_t taken = length == 0 ? 0 : 1;
        while (taken != 0 && taken < length && i + taken < text.size() &&
               (static_cast<unsigned char>(text[i + taken]) & 0xC0u) == 0x80u) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3Fu);
            ++taken;
        }
        const bool valid = length != 0 && taken == length && code >= smallest && code <= 0x10FFFF &&
                           !(code >= 0xD800 && code <= 0xDFFF) && code != 0xFFFE && code != 0xFFFF;
        if (valid) {
            result.append(text.substr(i, length));
            i += length;
        } else {
            result.append(kReplacement);
            // A broken sequence is one bad character; what follows it is read afresh.
            i += taken == 0 ? 1 : taken;
        }
    }
    return result;
}

} // namespace strikeline
