#pragma once

#include "gui/plan/TradingPlanViewHooks.h"

namespace strikeline {

class CMainFrame;
class CSession;

// Registers the "Trading Plan" window with the main window; each view shows `session`'s
// plan. `hooks.onCreated` (when set)
// sees each new view before it is shown; the view is filled again after it.
void RegisterTradingPlanView(CMainFrame& frame, CSession& session, CTradingPlanViewHooks hooks);

} // namespace strikeline
