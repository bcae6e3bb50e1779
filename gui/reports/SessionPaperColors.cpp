#include "gui/reports/SessionPaperColors.h"

#include "gui/reports/AnalyticsCells.h"
#include "session/Session.h"

namespace strikeline {

CPaperColors PaperColorsOf(CSession& session) {
    CPaperColors paper(session.StoredColorScheme(), session.DarkDesktop());
    if (!paper.Empty()) {
        paper.Add(kAnalyticsWarningColorOnDark, kAnalyticsWarningColor);
    }
    return paper;
}

} // namespace strikeline
