// The plan's charts in a real main window on the offscreen platform, drawn by the real
// charts module: the Payoff window opened from the menus of a plan row, a company heading
// and a report or Short List series, held to the plan's own figures of the row, with
// today's line from the session's analytics and following the plan as it is edited; and
// the Capital by Expiry Month window, whose bars add up to the open rows' capital and
// premium and select their month's rows in the plan.

#include "gui/app/CommandIds.h"
#include "gui/app/DesktopColourScheme.h"
#include "gui/app/MainFrame.h"
#include "gui/charts/CapitalWindow.h"
#include "gui/charts/ChartPanel.h"
#include "gui/charts/PayoffWindow.h"
#include "gui/plan/PlanViewColumns.h"
#include "gui/plan/TradingPlanTable.h"
#include "gui/plan/TradingPlanView.h"
#include "gui/plan/TradingPlanViews.h"
#include "gui/reports/ReportBlockBuilder.h"
#include "gui/reports/ReportBlockTable.h"
#include "gui/reports/ReportView.h"
#include "gui/reports/ReportViews.h"
#include "gui/reports/ShortListBlockTable.h"
#include "gui/reports/ShortListView.h"
#include "gui/reports/ShortListViews.h"
#include "gui/widgets/InPlaceEdit.h"
#include "gui/widgets/QtColor.h"
#include "plan/PlanAnalyticsTestData.h"
#include "plan/PlanFigures.h"
#include "plan/PlanPayoff.h"
#include "plan/TradingPlan.h"
#include "reports/ReportSettings.h"
#include "reports/ReportViewTestData.h"
#include "storage/BuiltInSchemes.h"
#include "support/MainFrameTestHost.h"
#include "support/ScopedEnvironment.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateTime>
#include <QLineSeries>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimeZone>
#include <QTimer>
#include <QToolTip>
#include <cmath>
#include <map>
#include <memory>

using namespace strikeline;

namespace {

// Answers the next popup menu: records its items, then picks `choice` (or dismisses the
// menu when it has none such). Gives up after a while so that a missing menu cannot hang.
class CMenuDriver {
public:
    explicit CMenuDriver(QString choice) : m_Choice(std::move(choice)) {
        m_Timer.setInterval(5);
        QObject::connect(&m_Timer, &QTimer::timeout, [this] { Poll(); });
        m_Timer.start();
    }

    bool found = false;
    QStringList items;

private:
    void Poll() {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            if (++m_Polls > 400) {
                m_Timer.stop();
            }
            return;
        }
        m_Timer.stop();
        found = true;
        QAction* pick = nullptr;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                items << action->text();
            }
            if (action->text() == m_Choice) {
                pick = action;
            }
        }
        if (pick == nullptr) {
            menu->close();
            return;
        }
        menu->setActiveAction(pick);
        QTest::keyClick(menu, Qt::Key_Return);
    }

    QString m_Choice;
    QTimer m_Timer;
    int m_Polls = 0;
};

FileTime DaysFromNow(int days) {
    return FileTimeFromUnix(UnixFromFileTime(CurrentFileTime()) + std::int64_t{days} * 86400);
}

CTradingPlanEntry Row(std::uint32_t type, std::string company, std::string series, double shares,
                      double sharePrice, double strike, double premium, double brokerage,
                      int expiresInDays) {
    CTradingPlanEntry row;
    row.m_SourceType = type;
    row.m_CompanyID = std::move(company);
    row.m_ContractID = std::move(series);
    row.m_Shares = shares;
    row.m_ContractSize = shares;
    row.m_SharePrice = sharePrice;
    row.m_StrikePrice = strike;
    row.m_Premium = premium;
    row.m_Brokerage = brokerage;
    row.m_NEBrokerage = brokerage > 0 ? 12 : 0;
    row.m_EBrokerage = brokerage > 0 ? 60 : 0;
    row.m_DateExpiry = DaysFromNow(expiresInDays);
    return row;
}

// A main window with the Trading Plan registered, and its plan window open.
struct CPlanWindow {
    CPlanWindow() {
        RegisterTradingPlanView(frame, {});
        frame.resize(1400, 900);
        frame.show();
    }

    CTradingPlanView& OpenPlan() {
        frame.OnCommand(ID_TRADING_PLAN_OPEN);
        auto* view =
            dynamic_cast<CTradingPlanView*>(frame.GetView(ViewKind::TradingPlan, false, false));
        view->Refill();
        return *view;
    }

    // The window whose title is `title`, if any, and how many have it.
    QMdiSubWindow* Window(const QString& title, int* count = nullptr) const {
        QMdiSubWindow* found = nullptr;
        int seen = 0;
        for (QMdiSubWindow* window : frame.MdiArea()->subWindowList()) {
            if (window->windowTitle() == title) {
                found = window;
                ++seen;
            }
        }
        if (count != nullptr) {
            *count = seen;
        }
        return found;
    }

    test::CMainFrameTestHost host;
    CMainFrame frame{host};
};

QPoint CellCentre(const CTradingPlanView& view, int row, std::string_view key) {
    return view.Table().CellRect(row, PlanViewColumnOf(key)).center();
}

// Right-clicks the cell and picks `item` from the menu that comes up.
bool ChooseFromMenu(CTradingPlanView& view, int row, std::string_view key, const QString& item,
                    QStringList* offered = nullptr) {
    CMenuDriver driver(item);
    QTest::mouseClick(&view.Table(), Qt::RightButton, {}, CellCentre(view, row, key));
    if (offered != nullptr) {
        *offered = driver.items;
    }
    return driver.found && driver.items.contains(item);
}

QLineSeries* Series(QWidget* chart, const QString& name) {
    auto* view = qobject_cast<QChartView*>(chart);
    if (view == nullptr) {
        return nullptr;
    }
    for (QAbstractSeries* series : view->chart()->series()) {
        if (series->objectName() == name) {
            return qobject_cast<QLineSeries*>(series);
        }
    }
    return nullptr;
}

// The prices of every mark line of that kind.
std::vector<double> Marks(QWidget* chart, const QString& kind) {
    std::vector<double> prices;
    for (QAbstractSeries* series : qobject_cast<QChartView*>(chart)->chart()->series()) {
        if (series->objectName() == kind) {
            prices.push_back(static_cast<QLineSeries*>(series)->at(0).x());
        }
    }
    return prices;
}

// Where the drawn line crosses zero, found on its straight pieces.
std::vector<double> ZeroCrossings(const QList<QPointF>& points) {
    std::vector<double> crossings;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QPointF& b = points[i];
        if (b.y() == 0 && (crossings.empty() || crossings.back() != b.x())) {
            crossings.push_back(b.x());
        } else if (i > 0) {
            const QPointF& a = points[i - 1];
            if ((a.y() < 0 && b.y() > 0) || (a.y() > 0 && b.y() < 0)) {
                crossings.push_back(a.x() + (0 - a.y()) * (b.x() - a.x()) / (b.y() - a.y()));
            }
        }
    }
    return crossings;
}

// The drawn figure at a price the line has a point at: at the price itself where the line
// steps there.
double DrawnAt(const QList<QPointF>& points, double price) {
    double value = std::nan("");
    for (const QPointF& point : points) {
        if (point.x() == price) {
            value = point.y();
        }
    }
    return value;
}

bool Near(double a, double b) {
    return std::abs(a - b) < 1e-6 * std::max(1.0, std::abs(b));
}

} // namespace

class CPlanChartsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void PayoffHoldsToThePlansFigures_data();
    void PayoffHoldsToThePlansFigures();
    void TodaysLineFromTheSessionsAnalytics();
    void OnePayoffWindowAPosition();
    void PayoffWindowsFollowThePlan();
    void SeriesMenusOfTheReportAndShortListOpenThePayoff();
    void CapitalBarsAddUpAndSelectTheirMonth();
    void AnOpenChartFollowsTheDesktopsColours();

private:
    std::unique_ptr<test::CScopedEnv> m_Zone;
};

void CPlanChartsTest::initTestCase() {
    m_Zone = std::make_unique<test::CScopedEnv>("TZ", "UTC");
}

void CPlanChartsTest::PayoffHoldsToThePlansFigures_data() {
    QTest::addColumn<uint>("type");
    QTest::addColumn<double>("sharePrice");
    QTest::addColumn<double>("strike");
    QTest::addColumn<double>("premium");
    QTest::addColumn<double>("brokerage");
    // A buy-write's share price below its strike, a sold put's too (in the money), so that
    // one mark meets each of the two figures; with and without brokerage.
    QTest::newRow("sold call") << uint{TYPE_SELL_CALL} << 10.0 << 11.0 << 0.5 << 50.0;
    QTest::newRow("sold call, no brokerage") << uint{TYPE_SELL_CALL} << 42.3 << 45.0 << 1.17 << 0.0;
    QTest::newRow("sold put") << uint{TYPE_SELL_PUT} << 10.0 << 11.0 << 1.35 << 50.0;
    QTest::newRow("sold put, no brokerage") << uint{TYPE_SELL_PUT} << 8.6 << 9.0 << 0.62 << 0.0;
}

void CPlanChartsTest::PayoffHoldsToThePlansFigures() {
    QFETCH(uint, type);
    QFETCH(double, sharePrice);
    QFETCH(double, strike);
    QFETCH(double, premium);
    QFETCH(double, brokerage);
    CPlanWindow window;
    const CTradingPlanEntry& row = window.host.session.TradingPlan().Append(
        Row(type, "BHP", "BHPXY9", 1000, sharePrice, strike, premium, brokerage, 60));
    CTradingPlanView& plan = window.OpenPlan();
    const int shown = plan.RowOf(&row);
    QVERIFY(shown > 0);

    QStringList offered;
    QVERIFY(ChooseFromMenu(plan, shown, PlanColumn::Company, QStringLiteral("Payoff"), &offered));
    QCOMPARE(offered,
             (QStringList{"Payoff", "Payoff of the Company's Rows", "Capital by Expiry Month"}));
    QMdiSubWindow* opened = window.Window(QStringLiteral("Payoff - BHPXY9"));
    QVERIFY(opened != nullptr);
    QCOMPARE(window.frame.MdiArea()->activeSubWindow(), opened);
    auto* view = qobject_cast<CPayoffView*>(opened->widget());
    QVERIFY(view != nullptr);
    QWidget* chart = view->Chart()->Chart();
    QLineSeries* atExpiry = Series(chart, QStringLiteral("atExpiry"));
    QVERIFY2(atExpiry != nullptr, qPrintable(view->Chart()->Message()));
    // No analytics in this session: no today's line, and the window opens all the same.
    QVERIFY(Series(chart, QStringLiteral("today")) == nullptr);
    const QList<QPointF> points = atExpiry->points();

    // The line crosses zero where the break-even is marked, and where the plan's outcome
    // does; a row without brokerage breaks even at the plan's own break-even price.
    const std::vector<double> crossings = ZeroCrossings(points);
    const std::vector<double> marked = Marks(chart, QStringLiteral("breakEven"));
    const CTradingPlanEntry* rows[] = {&row};
    const std::vector<double> solved = PayoffBreakEvens(rows);
    QCOMPARE(crossings.size(), std::size_t{1});
    QCOMPARE(marked.size(), std::size_t{1});
    QCOMPARE(solved.size(), std::size_t{1});
    QVERIFY(Near(crossings[0], marked[0]));
    QVERIFY(Near(crossings[0], solved[0]));
    if (brokerage == 0) {
        QVERIFY(Near(crossings[0], BreakEvenPrice(row)));
    }

    // At the marked strike and share price the line gives the plan's figures of the row.
    const bool call = type == TYPE_SELL_CALL;
    QCOMPARE(Marks(chart, QStringLiteral("strike")), std::vector<double>{strike});
    QCOMPARE(Marks(chart, QStringLiteral("sharePrice")), std::vector<double>{sharePrice});
    const double atStrike = DrawnAt(points, strike);
    const double atShare = DrawnAt(points, sharePrice);
    QVERIFY(Near(atStrike, call ? ExercisedProfit(row) : NotExercisedProfit(row)));
    QVERIFY(Near(atShare, call ? NotExercisedProfit(row) : ExercisedProfit(row)));

    // Hovering over the strike names the price and the figure at expiry there.
    auto* chartView = qobject_cast<QChartView*>(chart);
    const QPointF inChart = chartView->chart()->mapToPosition(QPointF(strike, 0), atExpiry);
    const QPoint at = chartView->mapFromScene(chartView->chart()->mapToScene(inChart));
    QMouseEvent move(QEvent::MouseMove, at, chartView->viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(chartView->viewport(), &move);
    const QString hover = QToolTip::text();
    QVERIFY2(hover.contains(QStringLiteral("At expiry: ")), qPrintable(hover));
    QVERIFY(!hover.contains(QStringLiteral("Today")));
}

void CPlanChartsTest::TodaysLineFromTheSessionsAnalytics() {
    using CMarket = test::CFrankedCallMarket;
    CPlanWindow window;
    // The analytics' clock is the system's: the market's dates count from today.
    const CMarket market(CurrentFileTime());
    CTradingPlan& plan = window.host.session.TradingPlan();
    const CTradingPlanEntry& written = plan.Append(market.Row());
    const CTradingPlanEntry& missing = plan.Append(market.Row(CMarket::kMissingSeries));
    window.host.session.Market().PublishCalls(market.calls);
    window.host.session.Market().PublishDividends(market.dividends);
    window.host.analytics.Recompute();
    QTRY_VERIFY(window.host.session.Analytics() != nullptr);
    const std::shared_ptr<const CMarketAnalytics> analytics = window.host.session.Analytics();
    const std::optional<CTodayTerms> terms = PlanTodayTerms(written, *analytics);
    QVERIFY(terms.has_value());
    QVERIFY(!PlanTodayTerms(missing, *analytics).has_value());
    CTradingPlanView& view = window.OpenPlan();

    // The priced row: both lines, today's at the share price worth what closing the
    // position there would bring.
    QVERIFY(ChooseFromMenu(view, view.RowOf(&written), PlanColumn::Company, "Payoff"));
    auto* priced = qobject_cast<CPayoffView*>(
        window.Window(QStringLiteral("Payoff - ") + CMarket::kSeries)->widget());
    QWidget* chart = priced->Chart()->Chart();
    QLineSeries* today = Series(chart, QStringLiteral("today"));
    QVERIFY(today != nullptr);
    QCOMPARE(today->count(), Series(chart, QStringLiteral("atExpiry"))->count());
    const double share = CMarket::kShareLast;
    QVERIFY(Near(DrawnAt(today->points(), share), PositionValueToday(written, *terms, share)));
    // Before expiry the sold call is worth more than nothing to buy back: today's figure
    // lies below the outcome at expiry there.
    QVERIFY(DrawnAt(today->points(), share) <
            DrawnAt(Series(chart, QStringLiteral("atExpiry"))->points(), share));

    // With a row the analytics cannot price, the company's rows have no today's line.
    window.frame.OnCommand(ID_TRADING_PLAN_OPEN);
    QVERIFY(ChooseFromMenu(view, view.RowOf(&written), PlanColumn::Company,
                           "Payoff of the Company's Rows"));
    auto* company = qobject_cast<CPayoffView*>(
        window.Window(QStringLiteral("Payoff - ") + CMarket::kCompany)->widget());
    QCOMPARE(company->Position().rows.size(), std::size_t{2});
    QVERIFY(Series(company->Chart()->Chart(), QStringLiteral("atExpiry")) != nullptr);
    QVERIFY(Series(company->Chart()->Chart(), QStringLiteral("today")) == nullptr);
}

void CPlanChartsTest::OnePayoffWindowAPosition() {
    CPlanWindow window;
    CTradingPlan& plan = window.host.session.TradingPlan();
    const CTradingPlanEntry& call =
        plan.Append(Row(TYPE_SELL_CALL, "BHP", "BHPXY9", 1000, 10, 11, 0.5, 50, 60));
    const CTradingPlanEntry& put =
        plan.Append(Row(TYPE_SELL_PUT, "BHP", "BHPPU9", 2000, 10, 9, 0.3, 50, 90));
    plan.Append(Row(TYPE_SELL_CALL, "ANZ", "ANZXY9", 1000, 20, 21, 0.4, 50, 60));
    CTradingPlanView& view = window.OpenPlan();

    // The same row twice: one window, shown again.
    QVERIFY(ChooseFromMenu(view, view.RowOf(&call), PlanColumn::ExpiryDate, "Payoff"));
    window.frame.OnCommand(ID_TRADING_PLAN_OPEN);
    QVERIFY(ChooseFromMenu(view, view.RowOf(&call), PlanColumn::Company, "Payoff"));
    int count = 0;
    QMdiSubWindow* single = window.Window(QStringLiteral("Payoff - BHPXY9"), &count);
    QCOMPARE(count, 1);
    QCOMPARE(window.frame.MdiArea()->activeSubWindow(), single);

    // The company's heading offers the company's rows; they are drawn together, the other
    // company's left out.
    window.frame.OnCommand(ID_TRADING_PLAN_OPEN);
    const int heading =
        view.RowOf(&call) < view.RowOf(&put) ? view.RowOf(&call) - 1 : view.RowOf(&put) - 1;
    QStringList offered;
    QVERIFY(ChooseFromMenu(view, heading, PlanColumn::SrcType, "Payoff of the Company's Rows",
                           &offered));
    QCOMPARE(offered, (QStringList{"Payoff of the Company's Rows", "Capital by Expiry Month"}));
    QMdiSubWindow* company = window.Window(QStringLiteral("Payoff - BHP"), &count);
    QCOMPARE(count, 1);
    const auto* both = qobject_cast<CPayoffView*>(company->widget());
    QCOMPARE(both->Position().rows.size(), std::size_t{2});
    QCOMPARE(both->Payoff().strikes, (std::vector<double>{9, 11}));
    // A row's own company cell offers it too, and it is the same window.
    window.frame.OnCommand(ID_TRADING_PLAN_OPEN);
    QVERIFY(ChooseFromMenu(view, view.RowOf(&put), PlanColumn::Company,
                           "Payoff of the Company's Rows"));
    window.Window(QStringLiteral("Payoff - BHP"), &count);
    QCOMPARE(count, 1);

    // Other cells keep their own behaviour: no charts menu on a figure.
    window.frame.OnCommand(ID_TRADING_PLAN_OPEN);
    QVERIFY(!ChooseFromMenu(view, view.RowOf(&put), PlanColumn::Cost, "Payoff"));

    // A series the plan does not hold: the row ticking it would add, one contract of it.
    CPlanSeriesSource series;
    series.companyCode = "ANZ";
    series.contractCode = "ANZPU7";
    series.isCall = false;
    series.lastPrice = 20;
    series.strikePrice = 19;
    series.premium = 0.25;
    series.contractSize = 100;
    series.expiry = DaysFromNow(30);
    const CPayoffPosition fresh = SeriesPosition(plan, series, CurrentFileTime());
    QCOMPARE(fresh.rows.size(), std::size_t{1});
    QCOMPARE(fresh.rows[0].m_Shares, 100.0);
    QCOMPARE(fresh.rows[0].m_SourceType, std::uint32_t{TYPE_SELL_PUT});
    CPayoffView* drawn = OpenPayoffWindow(window.frame, fresh);
    QCOMPARE(window.frame.MdiArea()->activeSubWindow()->windowTitle(),
             QStringLiteral("Payoff - ANZPU7 (not in the plan)"));
    QVERIFY(Series(drawn->Chart()->Chart(), QStringLiteral("atExpiry")) != nullptr);
    // A series the plan holds in one row is that row's position.
    series.contractCode = "bhpxy9";
    series.isCall = true;
    QCOMPARE(SeriesPosition(plan, series, CurrentFileTime()).key, PlanRowPosition(call).key);
}

void CPlanChartsTest::PayoffWindowsFollowThePlan() {
    CPlanWindow window;
    CTradingPlan& plan = window.host.session.TradingPlan();
    const CTradingPlanEntry& call =
        plan.Append(Row(TYPE_SELL_CALL, "BHP", "BHPXY9", 1000, 10, 11, 0.5, 50, 60));
    plan.Append(Row(TYPE_SELL_PUT, "BHP", "BHPPU9", 2000, 10, 9, 0.3, 50, 90));
    CTradingPlanView& view = window.OpenPlan();
    QVERIFY(ChooseFromMenu(view, view.RowOf(&call), PlanColumn::Company, "Payoff"));
    auto* row = qobject_cast<CPayoffView*>(window.Window("Payoff - BHPXY9")->widget());
    window.frame.OnCommand(ID_TRADING_PLAN_OPEN);
    QVERIFY(ChooseFromMenu(view, view.RowOf(&call), PlanColumn::Company,
                           "Payoff of the Company's Rows"));
    auto* company = qobject_cast<CPayoffView*>(window.Window("Payoff - BHP")->widget());
    const std::vector<double> before = row->Payoff().breakEvens;

    // A premium typed into the plan moves the break-even in both windows.
    window.frame.OnCommand(ID_TRADING_PLAN_OPEN);
    CTradingPlanTable& table = view.Table();
    const int shown = view.RowOf(&call);
    QTest::mouseClick(&table, Qt::LeftButton, {}, CellCentre(view, shown, PlanColumn::FairPrice));
    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(table.ActiveEditor() != nullptr);
    table.ActiveEditor()->setText(QStringLiteral("0.9"));
    QTest::keyClick(table.ActiveEditor(), Qt::Key_Return);
    QCOMPARE(call.m_Premium, 0.9);
    const CTradingPlanEntry* one[] = {&call};
    QVERIFY(row->Payoff().breakEvens != before);
    QCOMPARE(row->Payoff().breakEvens, PayoffBreakEvens(one));
    QCOMPARE(row->Position().rows.front(), call);
    std::vector<const CTradingPlanEntry*> both;
    for (std::size_t i = 0; i < plan.Count(); ++i) {
        both.push_back(&plan.At(i));
    }
    QCOMPARE(company->Payoff().breakEvens, PayoffBreakEvens(both));
}

void CPlanChartsTest::SeriesMenusOfTheReportAndShortListOpenThePayoff() {
    CPlanWindow window;
    CSession& session = window.host.session;
    CReportSettings& settings = session.ReportSettings(ReportKind::Call);
    settings.Reset();
    settings.SetExpire(CReportSettings::AllMonths);
    settings.SetRemoveOld(CReportSettings::kRemoveOldOff);
    session.Market().PublishCalls(
        {test::MakeCompany("AAA", 10.0, true, 12.5, {{11.0, 0.15}, {9.0, 1.2}})});
    session.Market().PublishDividends({{"AAA", test::UtcDay(2010, 8, 20), 0.85}});
    RegisterShortListView(window.frame, [](const std::string&) {});
    RegisterReportViews(window.frame, [&window](CReportView& view) {
        view.SetClock([] { return test::kNow; });
        ConnectReportToShortList(window.frame, view);
    });
    window.frame.OnCommand(ID_YIELD_CALL_REPORTS);
    auto* report =
        dynamic_cast<CReportView*>(window.frame.GetView(ViewKind::CallReport, false, false));
    QTRY_VERIFY(!report->IsBusy());
    CReportBlockTable& block = *report->Block(report->FindBlock("AAA"));
    const int seriesRow = CReportBlockBuilder::kPrintedHeaderRows;
    const auto* series = reinterpret_cast<const CContractInfo*>(block.RowValue(seriesRow));
    QVERIFY(series != nullptr);
    const QString code = QString::fromStdString(series->Code());

    // Not in the plan: the row ticking the series would add, holding one contract.
    {
        CMenuDriver driver(QStringLiteral("Payoff"));
        QTest::mouseClick(&block, Qt::RightButton, {}, block.CellRect(seriesRow, 1).center());
        QVERIFY(driver.found);
        QCOMPARE(driver.items, QStringList{"Payoff"});
    }
    QMdiSubWindow* fromReport = window.Window("Payoff - " + code + " (not in the plan)");
    QVERIFY(fromReport != nullptr);
    const CPayoffPosition reported = qobject_cast<CPayoffView*>(fromReport->widget())->Position();

    // Ticked into the plan from the Short List, the series is that row.
    window.frame.OnCommand(ID_YIELD_CALL_REPORTS);
    QTest::mouseClick(report->CompanyCheckBox(report->FindBlock("AAA")), Qt::LeftButton);
    auto* list =
        dynamic_cast<CShortListView*>(window.frame.GetView(ViewKind::ShortList, false, false));
    QVERIFY(list != nullptr);
    list->SetClock([] { return test::kNow; });
    QTRY_VERIFY(!list->IsLayoutPending());
    CShortListBlockTable& listed = *list->Block(list->FindCompany("AAA", ReportKind::Call));
    const int listedRow = listed.FindSeriesRow(series->Code());
    QTest::mouseClick(&listed, Qt::LeftButton, {},
                      listed.CellRect(listedRow, CShortListBlockTable::CellOf(0)).center());
    QCOMPARE(session.TradingPlan().Count(), std::size_t{1});
    CTradingPlanEntry ticked = session.TradingPlan().At(0);
    QCOMPARE(reported.rows.size(), std::size_t{1});
    QVERIFY(!IsValue(ticked.m_Shares));
    ticked.m_Shares = ticked.m_ContractSize;
    QVERIFY(reported.rows[0] == ticked);

    window.frame.OnCommand(ID_SHORT_LIST_OPEN);
    {
        CMenuDriver driver(QStringLiteral("Payoff"));
        QTest::mouseClick(&listed, Qt::RightButton, {},
                          listed.CellRect(listedRow, CShortListBlockTable::CellOf(3)).center());
        QVERIFY(driver.found);
    }
    QMdiSubWindow* fromList = window.Window("Payoff - " + code);
    QVERIFY(fromList != nullptr);
    const auto* planned = qobject_cast<CPayoffView*>(fromList->widget());
    QCOMPARE(planned->Position().key, PlanRowPosition(session.TradingPlan().At(0)).key);
    // The plan's own row, whose shares were never entered, takes no part.
    QVERIFY(planned->Payoff().points.empty());
    QVERIFY(!planned->Chart()->Message().isEmpty());
}

void CPlanChartsTest::CapitalBarsAddUpAndSelectTheirMonth() {
    CPlanWindow window;
    CTradingPlan& plan = window.host.session.TradingPlan();
    // Two months ahead and one gone by; a bought option pays its premium.
    plan.Append(Row(TYPE_SELL_CALL, "BHP", "BHPXY9", 1000, 10, 11, 0.5, 50, 40));
    plan.Append(Row(TYPE_SELL_PUT, "BHP", "BHPPU9", 2000, 10, 9, 0.3, 50, 100));
    plan.Append(Row(TYPE_SELL_PUT, "ANZ", "ANZPU9", 500, 20, 19, 0.45, 50, 40));
    plan.Append(Row(TYPE_BUY_CALL, "ANZ", "ANZXY9", 1000, 20, 22, 0.2, 50, 100));
    plan.Append(Row(TYPE_SELL_CALL, "WBC", "WBCXY9", 1000, 30, 31, 0.7, 50, -40));

    window.frame.UpdateCommandStates();
    QVERIFY(window.frame.Action(ID_TRADING_PLAN_CAPITAL)->isEnabled());
    QVERIFY(window.frame.OnCommand(ID_TRADING_PLAN_CAPITAL));
    auto* capital =
        dynamic_cast<CCapitalView*>(window.frame.GetView(ViewKind::CapitalByMonth, false, false));
    QVERIFY(capital != nullptr);
    QCOMPARE(window.frame.MdiArea()->activeSubWindow()->windowTitle(),
             QStringLiteral("Capital by Expiry Month"));
    auto* chart = qobject_cast<QChartView*>(capital->Chart()->Chart());
    QVERIFY2(chart != nullptr, qPrintable(capital->Chart()->Message()));
    QBarSeries* bars = nullptr;
    for (QAbstractSeries* series : chart->chart()->series()) {
        bars = bars != nullptr ? bars : qobject_cast<QBarSeries*>(series);
    }
    QVERIFY(bars != nullptr);

    // The open rows' sums, worked out here from the rows themselves, month by month.
    std::map<QString, std::vector<const CTradingPlanEntry*>> monthRows;
    double capitalSum = 0;
    double incomeSum = 0;
    double paidSum = 0;
    const qint64 today = QDateTime::currentDateTimeUtc().date().toJulianDay();
    for (std::size_t i = 0; i < plan.Count(); ++i) {
        const CTradingPlanEntry& row = plan.At(i);
        const QDate expiry =
            QDateTime::fromSecsSinceEpoch(UnixFromFileTime(row.m_DateExpiry), QTimeZone::utc())
                .date();
        if (expiry.toJulianDay() < today) {
            continue;
        }
        monthRows[expiry.toString(QStringLiteral("yyyy MM"))].push_back(&row);
        const double money = row.m_Shares * row.m_Premium;
        switch (row.m_SourceType) {
        case TYPE_SELL_CALL:
            capitalSum += row.m_Shares * row.m_SharePrice;
            incomeSum += money;
            break;
        case TYPE_SELL_PUT:
            capitalSum += row.m_Shares * row.m_StrikePrice;
            incomeSum += money;
            break;
        default:
            paidSum += money;
        }
    }
    QCOMPARE(monthRows.size(), std::size_t{2});
    std::map<QString, double> drawn;
    for (QBarSet* set : bars->barSets()) {
        for (int i = 0; i < set->count(); ++i) {
            drawn[set->label()] += set->at(i);
        }
    }
    QCOMPARE(drawn.size(), std::size_t{3});
    QVERIFY(Near(drawn["Capital"], capitalSum));
    QVERIFY(Near(drawn["Premium income"], incomeSum));
    QVERIFY(Near(drawn["Premium paid"], paidSum));
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart->chart()->axes(Qt::Horizontal).front());
    QStringList expectedMonths;
    for (const auto& [key, rows] : monthRows) {
        expectedMonths << QDate::fromString(key + " 01", QStringLiteral("yyyy MM dd"))
                              .toString(QStringLiteral("MMM yyyy"));
    }
    QCOMPARE(axis->categories(), expectedMonths);

    // A click on a bar of each month selects exactly that month's rows in the plan.
    int month = 0;
    for (const auto& [key, rows] : monthRows) {
        QBarSet* set = bars->barSets().front();
        const int sets = static_cast<int>(bars->barSets().size());
        const double x = month - bars->barWidth() / 2 + bars->barWidth() / sets / 2;
        const QPointF inChart = chart->chart()->mapToPosition(QPointF(x, set->at(month) / 2), bars);
        const QPoint at = chart->mapFromScene(chart->chart()->mapToScene(inChart));
        QTest::mouseClick(chart->viewport(), Qt::LeftButton, {}, at);
        CTradingPlanView* view = nullptr;
        QTRY_VERIFY((view = dynamic_cast<CTradingPlanView*>(
                         window.frame.GetView(ViewKind::TradingPlan, false, false))) != nullptr);
        std::vector<int> expected;
        for (const CTradingPlanEntry* row : rows) {
            expected.push_back(view->RowOf(row));
        }
        std::sort(expected.begin(), expected.end());
        QTRY_COMPARE(view->SelectedRows(), expected);
        QCOMPARE(view->Table().MarkedRows(), expected);
        // The plan shows them; a click anywhere clears the choice.
        QCOMPARE(window.frame.MdiArea()->activeSubWindow()->widget(), view);
        QTest::mouseClick(&view->Table(), Qt::LeftButton, {},
                          CellCentre(*view, expected.front(), PlanColumn::Shares));
        QVERIFY(view->SelectedRows().empty());
        window.frame.OnCommand(ID_TRADING_PLAN_CAPITAL);
        ++month;
    }

    // The plan emptied while its window is closed: the chart follows once it comes forward.
    OpenPayoffWindow(window.frame, PlanRowPosition(plan.At(0)));
    window.Window(QStringLiteral("Trading Plan"))->close();
    window.host.messages.yes = true;
    QVERIFY(window.frame.OnCommand(ID_TRADING_PLAN_CLEAR));
    QCOMPARE(plan.Count(), std::size_t{0});
    QVERIFY(capital->Chart()->Chart() != nullptr);
    window.frame.OnCommand(ID_TRADING_PLAN_CAPITAL);
    QTRY_VERIFY(capital->Months().empty());
    QCOMPARE(capital->Chart()->Chart(), nullptr);
    QVERIFY(!capital->Chart()->Message().isEmpty());
}

// An open chart is drawn again in the dark default's colours when the desktop turns dark,
// and in the light ones when it turns back, as the tables are.
void CPlanChartsTest::AnOpenChartFollowsTheDesktopsColours() {
    CPlanWindow window;
    new CDesktopColourScheme(window.frame); // as the program gives its main window one
    const CTradingPlanEntry& call = window.host.session.TradingPlan().Append(
        Row(TYPE_SELL_CALL, "BHP", "BHPXY9", 1000, 10, 11, 0.5, 50, 60));
    CTradingPlanView& view = window.OpenPlan();
    QVERIFY(ChooseFromMenu(view, view.RowOf(&call), PlanColumn::Company, "Payoff"));
    auto* payoff = qobject_cast<CPayoffView*>(window.Window("Payoff - BHPXY9")->widget());
    const auto background = [payoff] {
        return qobject_cast<QChartView*>(payoff->Chart()->Chart())
            ->chart()
            ->backgroundBrush()
            .color();
    };
    const QColor light = ToQColor(CColorScheme().Get(SchemeColor::ReportBk));
    const QColor dark = ToQColor(DarkDefaultScheme().Get(SchemeColor::ReportBk));
    QCOMPARE(background(), light);

    const QPalette desktop = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(60, 60, 60), QColor(40, 40, 40)));
    QTest::qWait(50);
    QCOMPARE(background(), dark);
    QVERIFY(Series(payoff->Chart()->Chart(), QStringLiteral("atExpiry")) != nullptr);
    QApplication::setPalette(desktop);
    QTest::qWait(50);
    QCOMPARE(background(), light);
}

QTEST_MAIN(CPlanChartsTest)
#include "PlanChartsTest.moc"
