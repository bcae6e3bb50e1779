#include "plan/views/TradingPlanViews.h"

#include "app/views/MainFrame.h"
#include "plan/views/TradingPlanView.h"

namespace strikeline {

void RegisterTradingPlanView(CMainFrame& frame, CTradingPlanViewHooks hooks) {
    frame.RegisterView(ViewKind::TradingPlan,
                       {QStringLiteral("Trading Plan"), true, true, {}, [hooks]() -> QWidget* {
                            auto* view = new CTradingPlanView(hooks);
                            if (hooks.onCreated) {
                                hooks.onCreated(*view);
                                // With the clock and seams the hook may have set.
                                view->Refill();
                            }
                            return view;
                        }});
}

} // namespace strikeline
