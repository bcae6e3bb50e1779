#pragma once

#include "storage/Color.h"

#include <QColor>

namespace strikeline {

// The program keeps colours as 0x00BBGGRR; Qt wants them as components.
inline QColor ToQColor(Color color) {
    return {static_cast<int>(RedOf(color)), static_cast<int>(GreenOf(color)),
            static_cast<int>(BlueOf(color))};
}

inline Color FromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return Rgb(static_cast<std::uint32_t>(rgb.red()), static_cast<std::uint32_t>(rgb.green()),
               static_cast<std::uint32_t>(rgb.blue()));
}

} // namespace strikeline
