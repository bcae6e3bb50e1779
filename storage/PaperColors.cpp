#include "storage/PaperColors.h"

#include "storage/BuiltInSchemes.h"

#include <algorithm>

namespace strikeline {

CPaperColors::CPaperColors(const CColorScheme& stored, bool darkDesktop) {
    const CColorScheme screen = SchemeForDesktop(stored, darkDesktop);
    if (screen == stored) {
        return;
    }
    for (std::size_t i = 0; i < kSchemeColorCount; ++i) {
        const auto which = static_cast<SchemeColor>(i);
        Add(screen.Get(which), stored.Get(which));
    }
    Add(PlanRedHighlight(screen), PlanRedHighlight(stored));
    Add(PlanCyanHighlight(screen), PlanCyanHighlight(stored));
}

void CPaperColors::Add(Color screen, Color paper) {
    if (screen != paper && OnPaper(screen) == screen) {
        m_Colors.emplace_back(screen, paper);
    }
}

Color CPaperColors::OnPaper(Color screen) const {
    const auto found = std::find_if(m_Colors.begin(), m_Colors.end(),
                                    [screen](const auto& entry) { return entry.first == screen; });
    return found != m_Colors.end() ? found->second : screen;
}

} // namespace strikeline
