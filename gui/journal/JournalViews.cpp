#include "gui/journal/JournalViews.h"

#include "gui/app/ChildFrame.h"
#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/journal/DiaryView.h"
#include "gui/journal/DividendsView.h"
#include "gui/journal/LeverageCalcView.h"
#include "journal/CascadeOffset.h"
#include "session/Session.h"

#include <QLineEdit>
#include <QMdiArea>
#include <memory>

namespace strikeline {

namespace {

constexpr QSize kDividendsFrameSize(550, 400);

} // namespace

void RegisterJournalViews(CMainFrame& frame, CJournalClock clock) {
    frame.RegisterView(ViewKind::Diary, {QStringLiteral("Diary"), true, true, {}, [&frame, clock] {
                                             return new CDiaryView(frame.Session(), clock);
                                         }});
    frame.RegisterView(ViewKind::Dividends, {QStringLiteral("Dividends"), true, true,
                                             kDividendsFrameSize, [&frame, clock] {
                                                 return new CDividendsView(frame.Session(), clock);
                                             }});
    // One cascade per main window: calculators opened one after another do not cover
    // each other.
    auto cascade = std::make_shared<CCascadeOffset>();
    CMainFrame* main = &frame;
    frame.RegisterCommand(ID_CALCULATOR,
                          [main, cascade] { OpenLeverageCalculator(*main, *cascade); });
}

CLeverageCalcView* OpenLeverageCalculator(CMainFrame& frame, CCascadeOffset& cascade) {
    auto* calculator = new CLeverageCalcView(frame.Session().Messages());
    // A window of the main window's area, like every tool window: a window of its own would
    // be placed by the desktop, which may put it over the menu bar or anywhere else. Not
    // one per kind, so not through the main window's registry; "Close All" closes it with
    // the others.
    auto* window = new CChildFrame(calculator->windowTitle(), false, true);
    window->SetView(calculator);
    frame.MdiArea()->addSubWindow(window);
    window->OnAddedToArea();
    const int shift = cascade.Next();
    window->move(shift, shift);
    window->show();
    frame.MdiArea()->setActiveSubWindow(window);
    calculator->InputEdit(LeverageField::Shares)->setFocus(Qt::OtherFocusReason);
    return calculator;
}

} // namespace strikeline
