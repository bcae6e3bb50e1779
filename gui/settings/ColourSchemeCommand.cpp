#include "gui/settings/ColourSchemeCommand.h"

#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/app/RefreshKind.h"
#include "gui/charts/ChartPanel.h"
#include "gui/settings/ColorSchemeDlg.h"
#include "platform/DesktopMouse.h"
#include "session/Session.h"
#include "storage/BuiltInSchemes.h"

namespace strikeline {

void RegisterColourSchemeCommand(CMainFrame& frame, std::function<void()> saveSettings,
                                 std::function<bool()> mouseButtonsSwapped) {
    if (!mouseButtonsSwapped) {
        mouseButtonsSwapped = [] {
            return MouseButtonsSwapped();
        };
    }
    // The frame owns the handler, so the reference to it cannot outlive it.
    frame.RegisterCommand(
        ID_EDIT_COLOUR_SCHEME, [&frame, saveSettings = std::move(saveSettings),
                                mouseButtonsSwapped = std::move(mouseButtonsSwapped)] {
            CSession& session = frame.Session();
            // Read as the dialog opens: the user may have changed hands since the last time.
            // The dialog shows the scheme as the windows draw it, on a dark desktop too.
            const bool dark = session.DarkDesktop();
            CColorSchemeDlg dialog(session.ColorScheme(), session.Messages(), &frame,
                                   mouseButtonsSwapped());
            dialog.SetDefaultScheme(SchemeForDesktop(CColorScheme(), dark));
            if (dialog.exec() != QDialog::Accepted) {
                return;
            }
            {
                const CApplicationStateLock lock(session.State());
                session.State().SetColorScheme(SchemeToStore(dialog.Scheme(), dark));
            }
            if (saveSettings) {
                saveSettings();
            }
            for (const RefreshKind kind :
                 {RefreshKind::CallReport, RefreshKind::PutReport, RefreshKind::ShortList,
                  RefreshKind::Dividends, RefreshKind::TradingPlan}) {
                frame.RefreshView(kind);
            }
            RecolourCharts(frame, session.ColorScheme());
        });
}

} // namespace strikeline
