#include "journal/views/JournalViews.h"

#include "app/views/CommandIds.h"
#include "app/views/MainFrame.h"
#include "journal/CascadeOffset.h"
#include "journal/views/DailyOptionTradesView.h"
#include "journal/views/DiaryView.h"
#include "journal/views/LeverageCalcView.h"

#include <QMdiArea>
#include <memory>

namespace strikeline {

namespace {

constexpr QSize kDividendsFrameSize(550, 400);

} // namespace

void RegisterJournalViews(CMainFrame& frame, CJournalClock clock) {
    frame.RegisterView(ViewKind::Diary, {QStringLiteral("Diary"), true, true, {}, [clock] {
                                             return new CDiaryView(clock);
                                         }});
    frame.RegisterView(ViewKind::Dividends,
                       {QStringLiteral("Dividends"), true, true, kDividendsFrameSize, [clock] {
                            return new CDailyOptionTradesView(clock);
                        }});
    // One cascade per main window: calculators opened one after another do not cover
    // each other.
    auto cascade = std::make_shared<CCascadeOffset>();
    CMainFrame* main = &frame;
    frame.RegisterCommand(ID_CALCULATOR,
                          [main, cascade] { OpenLeverageCalculator(*main, *cascade); });
}

CLeverageCalcView* OpenLeverageCalculator(CMainFrame& frame, CCascadeOffset& cascade) {
    auto* calculator = new CLeverageCalcView(&frame);
    // The client area is where the tool windows live: the area below the menu bar.
    const QPoint corner = frame.MdiArea()->mapToGlobal(QPoint(0, 0));
    const int shift = cascade.Next();
    calculator->move(corner + QPoint(shift, shift));
    frame.AddFloatingWindow(calculator);
    calculator->show();
    calculator->raise();
    calculator->activateWindow();
    return calculator;
}

} // namespace strikeline
