#pragma once

#include <functional>

namespace strikeline {

class CMainFrame;

// The main window's "Colour Scheme..." command: edits a copy of the current scheme in the
// colour scheme dialog; on OK the copy becomes current, `saveSettings` writes the settings,
// and every table view (Call and Put Report, Short List, Dividends, Trading Plan, in that
// order) is asked to rebuild in the new fonts and colours. `mouseButtonsSwapped` is asked
// each time the dialog opens (the help line names the buttons); by default it reads the
// desktop's setting.
void RegisterColourSchemeCommand(CMainFrame& frame, std::function<void()> saveSettings,
                                 std::function<bool()> mouseButtonsSwapped = {});

} // namespace strikeline
