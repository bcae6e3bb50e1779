#pragma once

#include "storage/Color.h"
#include "storage/ColorScheme.h"

#include <utility>
#include <vector>

namespace strikeline {

// The colours printed for the colours the windows draw with. Paper is white whatever the
// desktop, so on a dark desktop the built-in dark default gives way, colour by colour, to
// the stored light default it stands in for: the seven kinds of cell and the plan's
// highlights. Nothing changes when the windows draw with the stored scheme already (a
// light desktop, or a scheme of the user's own).
class CPaperColors {
public:
    CPaperColors() = default;
    CPaperColors(const CColorScheme& stored, bool darkDesktop);

    // Paper takes `paper` wherever the windows show `screen`.
    void Add(Color screen, Color paper);
    Color OnPaper(Color screen) const;
    bool Empty() const { return m_Colors.empty(); }

private:
    std::vector<std::pair<Color, Color>> m_Colors;
};

} // namespace strikeline
