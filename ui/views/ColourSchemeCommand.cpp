#include "ui/views/ColourSchemeCommand.h"

#include "app/ApplicationState.h"
#include "app/Notifier.h"
#include "app/views/CommandIds.h"
#include "app/views/MainFrame.h"
#include "ui/views/ColorSchemeDlg.h"

namespace strikeline {

void RegisterColourSchemeCommand(CMainFrame& frame, std::function<void()> saveSettings) {
    // The frame owns the handler, so the reference to it cannot outlive it.
    frame.RegisterCommand(ID_EDIT_COLOUR_SCHEME, [&frame, saveSettings = std::move(saveSettings)] {
        CApplicationState* state = GetApplicationState();
        if (state == nullptr) {
            return;
        }
        CColorScheme current;
        {
            const CApplicationStateLock lock(*state);
            current = state->ColorScheme();
        }
        CColorSchemeDlg dialog(current, &frame);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        {
            const CApplicationStateLock lock(*state);
            state->SetColorScheme(dialog.Scheme());
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
