#pragma once

#include "storage/Color.h"
#include "storage/ColorScheme.h"

#include <string_view>
#include <vector>

namespace strikeline {

// The two schemes the program brings: the light default (CColorScheme's own defaults, the
// one users and their stored files know) and a dark default for a dark desktop. Only a
// user on the built-in default sees the dark one, and only while the desktop is dark; a
// scheme the user made or loaded is drawn as it is.
CColorScheme DarkDefaultScheme();

// The scheme the windows draw with: the dark default in place of the stored light default
// on a dark desktop, the stored scheme otherwise.
CColorScheme SchemeForDesktop(const CColorScheme& stored, bool darkDesktop);
// What to store when the user accepts `shown`, edited on a desktop of that tone: the dark
// default as seen on a dark desktop stays "the default", so the light one comes back with
// a light desktop.
CColorScheme SchemeToStore(const CColorScheme& shown, bool darkDesktop);

// The Trading Plan's two highlights beside the scheme's own colours, red and cyan: in deep
// shades under the dark default's colours (whatever its font), so that its light text stays
// readable on them.
Color PlanRedHighlight(const CColorScheme& scheme);
Color PlanCyanHighlight(const CColorScheme& scheme);

// Readability by the relative luminance of the web's accessibility guidelines: 1 for
// equal colours to 21 for black on white; 4.5 is the least for normal text.
inline constexpr double kReadableContrast = 4.5;
double RelativeLuminance(Color color);
double ContrastRatio(Color first, Color second);

// A text colour and the background it is drawn on.
struct CSchemeColorPair {
    std::string_view name;
    Color text;
    Color background;
};
// Every text-on-background pair a scheme gives the tables: the seven kinds of cell, and
// the plan's normal text on each of its highlight colours.
std::vector<CSchemeColorPair> SchemeColorPairs(const CColorScheme& scheme);

} // namespace strikeline
