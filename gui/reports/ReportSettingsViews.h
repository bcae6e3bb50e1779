#pragma once

namespace strikeline {

class CMainFrame;

// Registers the "Settings for Call Report" and "Settings for Put Report" windows with the
// main window: fixed-size forms that close when their settings are saved.
void RegisterReportSettingsViews(CMainFrame& frame);

} // namespace strikeline
