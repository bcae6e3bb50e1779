#include "gui/plan/TradingPlanViews.h"

#include "gui/app/AnalyticsWorker.h"
#include "gui/app/MainFrame.h"
#include "gui/charts/CapitalWindow.h"
#include "gui/plan/TradingPlanView.h"

namespace strikeline {

void RegisterTradingPlanView(CMainFrame& frame, CTradingPlanViewHooks hooks) {
    frame.RegisterView(
        ViewKind::TradingPlan,
        {QStringLiteral("Trading Plan"), true, true, {}, [&frame, hooks]() -> QWidget* {
             auto* view = new CTradingPlanView(frame.Session(), hooks);
             ConnectPlanCharts(frame, *view);
             // The key of a disabled command does nothing: Undo and Redo follow the
             // stack before the next key is read. Queued, as the stack may change while
             // the main window is being destroyed (a figure taken as its editor goes).
             QObject::connect(view, &CTradingPlanView::CommandStatesChanged, &frame,
                              &CMainFrame::UpdateCommandStates, Qt::QueuedConnection);
             if (hooks.analytics != nullptr) {
                 QObject::connect(hooks.analytics, &CAnalyticsWorker::Ready, view,
                                  &CTradingPlanView::ShowAnalytics);
             }
             if (hooks.onCreated) {
                 hooks.onCreated(*view);
                 // With the clock and seams the hook may have set.
                 view->Refill();
             }
             return view;
         }});
    RegisterPlanChartWindows(frame);
}

} // namespace strikeline
