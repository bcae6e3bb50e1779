#pragma once

#include "gui/journal/JournalClock.h"

namespace strikeline {

class CCascadeOffset;
class CLeverageCalcView;
class CMainFrame;

// Registers the journal's windows with the main window: "Diary", "Dividends" and the
// "Calculator" command, each press of which opens a new Leverage Calculator. The windows
// take "now" from `clock`.
void RegisterJournalViews(CMainFrame& frame, CJournalClock clock = SystemJournalNow);

// Opens a Leverage Calculator in the main window's area, its top left corner shifted right
// and down from the area's by the next cascade offset.
CLeverageCalcView* OpenLeverageCalculator(CMainFrame& frame, CCascadeOffset& cascade);

} // namespace strikeline
