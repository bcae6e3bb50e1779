#include "gui/reports/ReportSettingsViews.h"

#include "gui/app/MainFrame.h"
#include "gui/reports/ReportSettingsView.h"

namespace strikeline {

void RegisterReportSettingsViews(CMainFrame& frame) {
    // The frame owns the factories, so the reference to it cannot outlive it.
    const auto factory = [&frame](ReportKind kind) {
        return [&frame, kind]() -> QWidget* {
            return new CReportSettingsView(kind, frame);
        };
    };
    frame.RegisterView(
        ViewKind::CallSettings,
        {QStringLiteral("Settings for Call Report"), false, true, {}, factory(ReportKind::Call)});
    frame.RegisterView(
        ViewKind::PutSettings,
        {QStringLiteral("Settings for Put Report"), false, true, {}, factory(ReportKind::Put)});
}

} // namespace strikeline
