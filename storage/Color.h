#pragma once

#include <cstdint>

namespace strikeline {

// A colour as the program stores it: 0x00BBGGRR, red in the low byte (0xFF0000 is blue).
using Color = std::uint32_t;

constexpr Color Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return red + green * 256u + blue * 65536u;
}
constexpr std::uint32_t RedOf(Color c) {
    return c & 0xFFu;
}
constexpr std::uint32_t GreenOf(Color c) {
    return (c >> 8) & 0xFFu;
}
constexpr std::uint32_t BlueOf(Color c) {
    return (c >> 16) & 0xFFu;
}

} // namespace strikeline
