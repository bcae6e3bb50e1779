#include "gui/reports/ReportViews.h"

#include "gui/app/MainFrame.h"
#include "gui/charts/PayoffWindow.h"
#include "gui/reports/ReportView.h"

namespace strikeline {

void RegisterReportViews(CMainFrame& frame, std::function<void(CReportView&)> onCreated) {
    const auto factory = [onCreated, &frame](ReportKind kind) {
        return [onCreated, kind, &frame]() -> QWidget* {
            auto* view = new CReportView(frame.Session(), kind);
            view->SetPayoffHook(
                [&frame](const CPayoffPosition& position) { OpenPayoffWindow(frame, position); });
            if (onCreated) {
                onCreated(*view);
            }
            return view;
        };
    };
    frame.RegisterView(ViewKind::CallReport,
                       {QStringLiteral("Call Report"), true, true, {}, factory(ReportKind::Call)});
    frame.RegisterView(ViewKind::PutReport,
                       {QStringLiteral("Put Report"), true, true, {}, factory(ReportKind::Put)});
}

} // namespace strikeline
