#include "gui/settings/ColourSchemeCommand.h"

#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/settings/ColorSchemeDlg.h"
#include "platform/DesktopMouse.h"
#include "session/ApplicationState.h"
#include "session/Notifier.h"
#include "session/Session.h"

namespace strikeline {

void RegisterColourSchemeCommand(CMainFrame& frame, CSession& session,
                                 std::function<void()> saveSettings,
                                 std::function<bool()> mouseButtonsSwapped) {
    if (!mouseButtonsSwapped) {
        mouseButtonsSwapped = [] {
            return MouseButtonsSwapped();
        };
    }
    // The frame owns the handler, so the reference to it cannot outlive it.
    frame.RegisterCommand(
        ID_EDIT_COLOUR_SCHEME, [&frame, &session, saveSettings = std::move(saveSettings),
                                mouseButtonsSwapped = std::move(mouseButtonsSwapped)] {
            const CColorScheme current = session.ColorScheme();
            // Read as the dialog opens: the user may have changed hands since the last time.
            CColorSchemeDlg dialog(current, &frame, mouseButtonsSwapped());
            if (dialog.exec() != QDialog::Accepted) {
                return;
            }
            {
                CApplicationState& state = session.State();
                const CApplicationStateLock lock(state);
                state.SetColorScheme(dialog.Scheme());
            }
            if (saveSettings) {
                saveSettings();
            }
            for (const RefreshKind kind :
                 {RefreshKind::CallReport, RefreshKind::PutReport, RefreshKind::ShortList,
                  RefreshKind::Dividends, RefreshKind::TradingPlan}) {
                frame.RefreshView(kind);
            }
        });
}

} // namespace strikeline
