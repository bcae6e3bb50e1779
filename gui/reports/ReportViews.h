#pragma once

#include <functional>

namespace strikeline {

class CMainFrame;
class CReportView;

// Registers the "Call Report" and "Put Report" windows with the main window. Each new
// report view is handed to `onCreated` (when given) before its first build slice runs,
// which is where its Short List and trend chart hooks are connected.
void RegisterReportViews(CMainFrame& frame, std::function<void(CReportView&)> onCreated = nullptr);

} // namespace strikeline
