#pragma once

#include "gui/plan/TradingPlanViewHooks.h"

namespace strikeline {

class CMainFrame;

// Registers the "Trading Plan" window with the main window. `hooks.onCreated` (when set)
// sees each new view before it is shown; the view is filled again after it.
void RegisterTradingPlanView(CMainFrame& frame, CTradingPlanViewHooks hooks);

} // namespace strikeline
