#pragma once

#include <QFont>

namespace strikeline {

class CColorScheme;

// A table font made from the colour scheme. A QFont carries no text angle, so a vertical
// font is the font plus the flag that makes a table cell draw its text rotated (the cell
// font setter of the table takes both).
struct CSchemeFont {
    QFont m_Font;
    bool m_Vertical = false;
};

// The application font with the scheme's face and point size (Qt scales points for the
// screen), made bold and underlined when asked.
CSchemeFont CreateSchemeFont(const CColorScheme& scheme, bool bold, bool underline, bool vertical);

} // namespace strikeline
