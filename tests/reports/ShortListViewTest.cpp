// The Short List window driven as the user drives it: reports and the Short List in a real
// main window on the offscreen platform, companies ticked in the reports, series ticked
// into the Trading Plan, dividends typed, blocks closed, the list refreshed, cleared,
// closed and reopened, and printed to a PDF file.

#include "gui/reports/ShortListView.h"

#include "analytics/AnalyticsTexts.h"
#include "analytics/MarketAnalytics.h"
#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/reports/ReportBlockTable.h"
#include "gui/reports/ReportView.h"
#include "gui/reports/ReportViews.h"
#include "gui/reports/ShortListBlockBuilder.h"
#include "gui/reports/ShortListBlockTable.h"
#include "gui/reports/ShortListCompanyTable.h"
#include "gui/reports/ShortListViews.h"
#include "gui/widgets/InPlaceEdit.h"
#include "marketdata/CompanyNameTable.h"
#include "marketdata/Dividend.h"
#include "plan/PlanEntryType.h"
#include "plan/TradingPlan.h"
#include "reports/ReportSettings.h"
#include "reports/ReportViewTestData.h"
#include "reports/ShortListRules.h"
#include "reports/ShortListStore.h"
#include "reports/ShortListTexts.h"
#include "session/ApplicationState.h"
#include "session/Session.h"
#include "storage/ColorScheme.h"
#include "support/MainFrameTestHost.h"
#include "support/PdfPages.h"
#include "support/TempFolder.h"
#include "support/UserMessageLog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace strikeline {

namespace {

using test::CountPdfPages;

constexpr int kWaitMs = 60000;

using test::kNow;
using test::UtcDay;

// A company whose figures need all five decimals here.
CCompanyInfo MakeCompany(const std::string& code, double last, bool call,
                         std::vector<test::CSeriesQuote> quotes) {
    CCompanyInfo company = test::MakeCompany(code, last, call, 12.123456, std::move(quotes));
    company.SetVolume(123456.125);
    return company;
}

// AAA is optioned both ways; the others are calls only.
void InstallMarket(CMarketData& market) {
    market.PublishCalls({MakeCompany("AAA", 10.0, true, {{11.0, 0.15}, {9.0, 1.2}, {10.0, 0.5}}),
                         MakeCompany("BBB", 4.2, true, {{4.0, 0.35}, {4.5, 0.1}}),
                         MakeCompany("CCC", 2.0, true, {{1.5, 0.55}, {2.0, 0.12}})});
    market.PublishPuts({MakeCompany("AAA", 10.0, false, {{9.5, 0.2}, {10.5, 0.7}})});
    CCompanyNameTable names;
    names.Add("AAA", "Alpha Limited");
    market.PublishCompanyNames(std::move(names));
    market.PublishDividends({{"AAA", UtcDay(2010, 8, 20), 0.85}});
}

void ResetSettings(CSession& session, ReportKind kind) {
    CReportSettings& settings = session.ReportSettings(kind);
    settings.Reset();
    settings.SetExpire(CReportSettings::AllMonths);
    settings.SetRemoveOld(CReportSettings::kRemoveOldOff);
    settings.SetSortMode(CReportSettings::ByName);
    settings.SetSortAscending(true);
}

// The desk's session with the test's market and settings, and whatever else the test
// wants in place before the window opens.
bool Prepare(CSession& session, const std::function<void(CSession&)>& prepare) {
    ResetSettings(session, ReportKind::Call);
    ResetSettings(session, ReportKind::Put);
    InstallMarket(session.Market());
    if (prepare) {
        prepare(session);
    }
    return true;
}

// A main window with both reports and the Short List, as the program registers them.
struct CDesk {
    explicit CDesk(const std::function<void(CSession&)>& prepare = {})
        : prepared(Prepare(host.session, prepare)) {
        RegisterShortListView(frame, [this](const std::string& code) { charts.push_back(code); });
        RegisterReportViews(frame, [this](CReportView& view) {
            view.SetClock([] { return kNow; });
            ConnectReportToShortList(frame, view);
        });
        frame.resize(1400, 900);
        frame.show();
    }

    CReportView& Report(ReportKind kind) {
        frame.OnCommand(kind == ReportKind::Call ? ID_YIELD_CALL_REPORTS : ID_YIELD_PUT_REPORTS);
        auto* view = dynamic_cast<CReportView*>(frame.GetView(
            kind == ReportKind::Call ? ViewKind::CallReport : ViewKind::PutReport, false, false));
        Q_ASSERT(view != nullptr);
        if (!QTest::qWaitFor([view] { return !view->IsBusy(); }, kWaitMs)) {
            qFatal("the report did not finish building");
        }
        return *view;
    }
    CShortListView* ShortList() {
        return dynamic_cast<CShortListView*>(frame.GetView(ViewKind::ShortList, false, false));
    }
    // Clicks the report's box of the company, as the user does.
    void TickInReport(ReportKind kind, const std::string& code) {
        CReportView& report = Report(kind);
        QCheckBox* box = report.CompanyCheckBox(report.FindBlock(code));
        Q_ASSERT(box != nullptr);
        QTest::mouseClick(box, Qt::LeftButton);
        if (CShortListView* list = ShortList()) {
            list->SetClock([] { return kNow; });
            if (!QTest::qWaitFor([list] { return !list->IsLayoutPending(); }, kWaitMs)) {
                qFatal("the Short List did not finish its layout");
            }
        }
    }

    // The session's messages, cleared, with questions answered `yes`.
    test::CUserMessageLog& Answering(bool yes) {
        host.messages.texts.clear();
        host.messages.yes = yes;
        return host.messages;
    }
    CSession& Session() { return host.session; }

    test::CMainFrameTestHost host;
    bool prepared; // the session made ready before the window opens
    CMainFrame frame{host};
    std::vector<std::string> charts;
};

bool WaitForLayout(CShortListView& view) {
    return QTest::qWaitFor([&view] { return !view.IsLayoutPending(); }, kWaitMs);
}

// Clicks the middle of a table cell (a check box sits there).
void ClickCell(CComplexTableWnd& table, int row, int column) {
    QTest::mouseClick(&table, Qt::LeftButton, Qt::NoModifier, table.CellRect(row, column).center());
}

void ClickPlanBox(CShortListBlockTable& block, int row) {
    ClickCell(block, row, CShortListBlockTable::CellOf(kShortListPlanColumn));
}

void ClickCloseBox(CShortListBlockTable& block) {
    CShortListCompanyTable& header = *block.CompanyTable();
    ClickCell(header, CShortListCompanyTable::kValueRow, header.CloseColumn());
}

// Types into a dividend cell through the table's own editor.
void TypeInto(CShortListBlockTable& block, int row, int column, const QString& text) {
    const int cell = CShortListBlockTable::CellOf(column);
    block.SetCurrentCell(row, cell);
    block.BeginEditing(row, cell);
    QVERIFY(block.ActiveEditor() != nullptr);
    block.ActiveEditor()->setText(text);
    QTest::keyClick(block.ActiveEditor(), Qt::Key_Return);
}

QString CellText(const CComplexTableWnd& table, int row, int column) {
    const CComplexTableCell* cell = table.Cell(row, column);
    return cell != nullptr ? cell->m_Text : QStringLiteral("<none>");
}

std::vector<std::string> Blocks(const CShortListView& view) {
    std::vector<std::string> blocks;
    for (int i = 0; i < view.BlockCount(); ++i) {
        const CShortListBlockTable& block = *view.Block(i);
        blocks.push_back(block.Company().Code() + (block.Kind() == ReportKind::Call ? "/C" : "/P"));
    }
    return blocks;
}

// A picture of the window, kept beside the test for a look (not compared).
void SavePicture(QWidget& widget, const QString& name) {
    const QString folder =
        QCoreApplication::applicationDirPath() + QStringLiteral("/shortlist-artefacts");
    QDir().mkpath(folder);
    QVERIFY(widget.grab().save(folder + QLatin1Char('/') + name));
}

} // namespace

class CShortListViewTest : public QObject {
    Q_OBJECT

private slots:
    void CallAndPutTicksGiveTwoBlocksInOrderBehindTheReport();
    void BlockShowsTheCompanySeriesDividendsAndColours();
    void CloseBoxAsksWhenThePlanHoldsTheCompanyAndReportUntickDoesNot();
    void TrendChartOpensFromTheCompanyName();
    void DividendCellsKeepOnlyTextsThatRead();
    void TypingADateIntoADividendCellAddsNoPlanRow();
    void NarrowWindowScrollsSidewaysAndCutsNoFigure();
    void RefreshKeepsTicksDropsTypedDividendsAndGoneCompanies();
    void EveryTickAddsAPlanRowAndClearingThePlanUnticks();
    void UndoneCloseTicksTheBoxAgainWithoutAddingARow();
    void ClearShortListAsksOnlyWhenThePlanHoldsItsOptions();
    void ClearOnCloseFlagDecidesWhatReopeningShows();
    void PrintsToPdfAndRefusesWithoutBlocks();
    void AnalyticsColumnsFillInWhenReadyAndFollowTheViewMenu();
};

void CShortListViewTest::CallAndPutTicksGiveTwoBlocksInOrderBehindTheReport() {
    CDesk desk;
    test::CUserMessageLog& messages = desk.host.messages;
    desk.TickInReport(ReportKind::Call, "CCC");
    CShortListView* list = desk.ShortList();
    QVERIFY(list != nullptr);
    // Opened behind: the report stays the active window.
    QCOMPARE(desk.frame.MdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("Call Report"));
    QCOMPARE(list->parentWidget()->windowTitle(), QStringLiteral("Short List"));
    QCOMPARE(list->OrderKind(), std::optional<ReportKind>(ReportKind::Call));

    desk.TickInReport(ReportKind::Call, "AAA");
    desk.TickInReport(ReportKind::Put, "AAA");
    desk.TickInReport(ReportKind::Call, "BBB");
    // By name under the Call settings, the put block among them; of the two AAA blocks the
    // one whose option at the money is cheaper (the put's 0.2 against the call's 0.5) first.
    QCOMPARE(Blocks(*list), (std::vector<std::string>{"AAA/P", "AAA/C", "BBB/C", "CCC/C"}));
    QCOMPARE(desk.Session().ShortList().Entries().size(), std::size_t{4});
    QVERIFY(messages.texts.isEmpty());
    // Placed one under the other.
    for (int i = 1; i < list->BlockCount(); ++i) {
        QCOMPARE(list->TableTop(i),
                 list->TableTop(i - 1) + list->TableHeight(i - 1) + CMultiTableView::kGap);
        QVERIFY(list->TableHeight(i) > 0);
    }

    // Ticking a company already there adds nothing; the report's untick takes it off.
    list->AddCompany(desk.Session().Market().Current()->Calls()[1], ReportKind::Call);
    QCOMPARE(list->BlockCount(), 4);
    desk.TickInReport(ReportKind::Call, "BBB");
    QCOMPARE(Blocks(*list), (std::vector<std::string>{"AAA/P", "AAA/C", "CCC/C"}));
    QVERIFY(!desk.Session().ShortList().Find("BBB", ReportKind::Call));
    QCOMPARE(list->FindCompany("aaa", ReportKind::Put), 0);
    QCOMPARE(list->FindCompany("AAA", ReportKind::Call), 1);
}

void CShortListViewTest::BlockShowsTheCompanySeriesDividendsAndColours() {
    CColorScheme scheme;
    scheme.Set(SchemeColor::ReportBk, Rgb(250, 250, 240));
    scheme.Set(SchemeColor::CompanyHeaderBk, Rgb(100, 110, 120));
    scheme.Set(SchemeColor::OptionsHeaderBk, Rgb(200, 220, 230));
    scheme.Set(SchemeColor::StrikePriceBk, Rgb(250, 230, 20));
    scheme.Set(SchemeColor::ReturnPercentsBk, Rgb(60, 170, 10));
    CDesk desk([&scheme](CSession& session) {
        CApplicationStateLock lock(session.State());
        session.State().SetColorScheme(scheme);
    });
    desk.TickInReport(ReportKind::Call, "AAA");
    desk.TickInReport(ReportKind::Put, "AAA");
    CShortListView& list = *desk.ShortList();
    const CShortListBlockTable& call = *list.Block(list.FindCompany("AAA", ReportKind::Call));
    const CShortListBlockTable& put = *list.Block(list.FindCompany("AAA", ReportKind::Put));

    // The company header: the report's titles and "Close"; figures with five decimals.
    const CShortListCompanyTable& header = *call.CompanyTable();
    QCOMPARE(header.CellCount(0), 11);
    QCOMPARE(CellText(header, 0, 9), QStringLiteral("P/E"));
    QCOMPARE(CellText(header, 0, 10), QStringLiteral("Close"));
    QCOMPARE(CellText(header, 1, 0), QStringLiteral("AAA - Alpha Limited"));
    QCOMPARE(CellText(header, 1, 8), QStringLiteral("123456.125"));
    QCOMPARE(CellText(header, 1, 9), QStringLiteral("12.12346"));
    QCOMPARE(header.Cell(1, 10)->m_Kind, CellKind::CheckBox);
    QVERIFY(!header.Cell(1, 10)->m_Ticked);
    QCOMPARE(header.Cell(0, 3)->m_Background, Rgb(100, 110, 120));
    QCOMPARE(header.Cell(1, 3)->m_Background, Rgb(250, 250, 240));

    QCOMPARE(CellText(call, 1, 0), QStringLiteral("CALL\noptions"));
    QCOMPARE(CellText(put, 1, 0), QStringLiteral("PUT\noptions"));
    QCOMPARE(CellText(call, 1, 1), QStringLiteral("Trading Plan"));
    QCOMPARE(call.Cell(1, 1)->m_Background, Rgb(200, 220, 230));

    // Series in series order (strike ascending); the one nearest 10.0 at the money.
    QCOMPARE(call.RowCount(), CShortListBlockTable::kFirstSeriesRow + 3);
    const auto dividend = desk.Session().Market().Current()->FindDividend("AAA");
    for (int i = 0; i < 3; ++i) {
        const int row = CShortListBlockTable::kFirstSeriesRow + i;
        const CContractInfo& series = *call.SeriesAt(row);
        QCOMPARE(series.Exercise(), 9.0 + i);
        const auto texts = ShortListSeriesTexts(call.Company(), series, dividend);
        for (int column = 1; column < static_cast<int>(kShortListColumns); ++column) {
            const CComplexTableCell& cell = *call.Cell(row, CShortListBlockTable::CellOf(column));
            QCOMPARE(cell.m_Text.toStdString(), texts[static_cast<std::size_t>(column)]);
            QCOMPARE(cell.m_Selectable, true);
            QCOMPARE(cell.m_Editable, column == kShortListDividendValueColumn ||
                                          column == kShortListDividendDateColumn);
        }
        const CComplexTableCell& box =
            *call.Cell(row, CShortListBlockTable::CellOf(kShortListPlanColumn));
        QCOMPARE(box.m_Kind, CellKind::CheckBox);
        QVERIFY(box.m_Selectable); // for Space on it
        QCOMPARE(call.Cell(row, CShortListBlockTable::CellOf(kShortListPriceColumn))->m_Background,
                 CShortListBlockBuilder::kOptionPriceBackground);
        const bool atTheMoney = i == 1;
        QCOMPARE(call.Cell(row, CShortListBlockTable::CellOf(2))->m_Background,
                 atTheMoney ? Rgb(250, 230, 20) : Rgb(250, 250, 240));
        QCOMPARE(call.Cell(row, CShortListBlockTable::CellOf(kShortListExercisedReturnColumn))
                     ->m_Background,
                 atTheMoney ? Rgb(60, 170, 10) : Rgb(250, 250, 240));
    }
    const int atm = CShortListBlockTable::kFirstSeriesRow + 1;
    QCOMPARE(CellText(call, atm, CShortListBlockTable::CellOf(kShortListPriceColumn)),
             QStringLiteral("$0.5"));
    QCOMPARE(CellText(call, atm, CShortListBlockTable::CellOf(kShortListDividendValueColumn)),
             QStringLiteral("$0.85"));
    QCOMPARE(CellText(call, atm, CShortListBlockTable::CellOf(kShortListDividendDateColumn)),
             QStringLiteral("20-Aug-2010"));
    list.parentWidget()->showMaximized();
    QVERIFY(WaitForLayout(list));
    SavePicture(list, QStringLiteral("short-list.png"));
    // Break-even is last sale less premium for puts too.
    QCOMPARE(CellText(put, CShortListBlockTable::kFirstSeriesRow, CShortListBlockTable::CellOf(14)),
             QStringLiteral("$9.8"));
}

void CShortListViewTest::CloseBoxAsksWhenThePlanHoldsTheCompanyAndReportUntickDoesNot() {
    CDesk desk;
    desk.TickInReport(ReportKind::Call, "AAA");
    desk.TickInReport(ReportKind::Call, "BBB");
    CShortListView& list = *desk.ShortList();
    const int row = CShortListBlockTable::kFirstSeriesRow;
    ClickPlanBox(*list.Block(0), row);
    QCOMPARE(desk.Session().TradingPlan().Count(), std::size_t{1});
    QVERIFY(desk.Session().ShortList().IsTicked(list.Block(0)->SeriesAt(row)->Code(),
                                                ReportKind::Call));

    {
        // No: the block stays and its box stays clear.
        test::CUserMessageLog& refuse = desk.Answering(false);
        ClickCloseBox(*list.Block(0));
        QCOMPARE(refuse.texts, QStringList{QStringLiteral(
                                   "AAA appears in the Trading Plan.\n\nAre you sure you want "
                                   "to remove it?")});
        QCoreApplication::processEvents();
        QCOMPARE(Blocks(list), (std::vector<std::string>{"AAA/C", "BBB/C"}));
        const CShortListCompanyTable& header = *list.Block(0)->CompanyTable();
        QVERIFY(!header.Cell(1, header.CloseColumn())->m_Ticked);
    }
    {
        // Yes: the block goes, and so does the report's tick and the series' key.
        test::CUserMessageLog& agree = desk.Answering(true);
        ClickCloseBox(*list.Block(0));
        QCOMPARE(agree.texts.size(), 1);
        QVERIFY(QTest::qWaitFor([&list] { return list.BlockCount() == 1; }, kWaitMs));
        QCOMPARE(Blocks(list), std::vector<std::string>{"BBB/C"});
        CReportView& report = desk.Report(ReportKind::Call);
        QVERIFY(!report.CompanyCheckBox(report.FindBlock("AAA"))->isChecked());
        QVERIFY(desk.Session().ShortList().TickedKeys().empty());
        QVERIFY(!desk.Session().ShortList().Find("AAA", ReportKind::Call));
    }
    {
        // A company without plan rows goes without a question.
        test::CUserMessageLog& silent = desk.Answering(false);
        ClickCloseBox(*list.Block(0));
        QVERIFY(QTest::qWaitFor([&list] { return list.BlockCount() == 0; }, kWaitMs));
        QVERIFY(silent.texts.isEmpty());
        QCOMPARE(list.OrderKind(), std::optional<ReportKind>());
    }
    {
        // Unticking in the report never asks, plan rows or not.
        test::CUserMessageLog& silent = desk.Answering(false);
        desk.TickInReport(ReportKind::Call, "AAA");
        QCOMPARE(Blocks(list), std::vector<std::string>{"AAA/C"});
        desk.TickInReport(ReportKind::Call, "AAA");
        QCOMPARE(list.BlockCount(), 0);
        QVERIFY(silent.texts.isEmpty());
        QCOMPARE(desk.Session().TradingPlan().Count(), std::size_t{1});
    }
}

void CShortListViewTest::TrendChartOpensFromTheCompanyName() {
    CDesk desk;
    desk.TickInReport(ReportKind::Put, "AAA");
    CShortListCompanyTable& header = *desk.ShortList()->Block(0)->CompanyTable();
    ClickCell(header, CShortListCompanyTable::kValueRow, 1);
    QVERIFY(desk.charts.empty());
    ClickCell(header, CShortListCompanyTable::kValueRow, CShortListCompanyTable::kNameColumn);
    QCOMPARE(desk.charts, std::vector<std::string>{"AAA"});
}

void CShortListViewTest::DividendCellsKeepOnlyTextsThatRead() {
    CDesk desk;
    desk.TickInReport(ReportKind::Call, "BBB");
    CShortListBlockTable& block = *desk.ShortList()->Block(0);
    const int row = CShortListBlockTable::kFirstSeriesRow;
    const int value = CShortListBlockTable::CellOf(kShortListDividendValueColumn);
    const int date = CShortListBlockTable::CellOf(kShortListDividendDateColumn);
    QCOMPARE(CellText(block, row, value), QString()); // no dividend announced

    struct CEdit {
        int column;
        const char* typed;
        const char* shown;
    };
    const CEdit edits[] = {
        {kShortListDividendValueColumn, " 0.42 ", "$0.42"},
        {kShortListDividendValueColumn, "$1.5", "$1.5"},
        {kShortListDividendValueColumn, "abc", "$1.5"},
        {kShortListDividendDateColumn, "2010-09-01", "2010-09-01"},
        {kShortListDividendDateColumn, "31 Foo 2010", "2010-09-01"},
        {kShortListDividendDateColumn, "3 Sep 2010", "3 Sep 2010"},
        {kShortListDividendValueColumn, "   ", ""},
    };
    for (const CEdit& edit : edits) {
        TypeInto(block, row, edit.column, QString::fromLatin1(edit.typed));
        QCOMPARE(CellText(block, row, CShortListBlockTable::CellOf(edit.column)),
                 QString::fromLatin1(edit.shown));
    }
    // The typed texts go into the plan row.
    TypeInto(block, row, kShortListDividendValueColumn, QStringLiteral("0.3"));
    ClickPlanBox(block, row);
    QCOMPARE(desk.Session().TradingPlan().Count(), std::size_t{1});
    const CTradingPlanEntry& entry = desk.Session().TradingPlan().At(0);
    QCOMPARE(entry.m_DividendsValue, 0.3);
    QVERIFY(entry.m_DividendsDate != kNoDate);
    QCOMPARE(entry.m_ContractID, block.SeriesAt(row)->Code());
    QCOMPARE(CellText(block, row, date), QStringLiteral("3 Sep 2010"));
}

void CShortListViewTest::TypingADateIntoADividendCellAddsNoPlanRow() {
    CDesk desk;
    desk.TickInReport(ReportKind::Call, "AAA");
    CShortListBlockTable& block = *desk.ShortList()->Block(0);
    const int row = CShortListBlockTable::kFirstSeriesRow;
    const int date = CShortListBlockTable::CellOf(kShortListDividendDateColumn);
    QApplication::setActiveWindow(&desk.frame);
    QVERIFY(QTest::qWaitForWindowActive(&desk.frame));
    block.setFocus();
    block.SetCurrentCell(row, date);
    // Typed as a user types: each key to whatever has the focus, the editor once it opens.
    for (const QChar c : QStringLiteral("5 Mar 2027")) {
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(CellText(block, row, date), QStringLiteral("5 Mar 2027"));
    QVERIFY(!block.IsPlanTicked(row));
    QCOMPARE(desk.Session().TradingPlan().Count(), std::size_t{0});
    QVERIFY(desk.Session().ShortList().TickedKeys().empty());

    // Space on another cell of the row that cannot be edited leaves the box too.
    block.SetCurrentCell(row, CShortListBlockTable::CellOf(1));
    QTest::keyClick(&block, Qt::Key_Space);
    QVERIFY(!block.IsPlanTicked(row));
    QCOMPARE(desk.Session().TradingPlan().Count(), std::size_t{0});
}

void CShortListViewTest::NarrowWindowScrollsSidewaysAndCutsNoFigure() {
    CDesk desk;
    desk.TickInReport(ReportKind::Call, "AAA");
    desk.TickInReport(ReportKind::Call, "BBB");
    CShortListView& list = *desk.ShortList();
    QWidget& window = *list.parentWidget();
    window.showNormal();
    window.resize(320, 600);
    QVERIFY(WaitForLayout(list));
    CShortListBlockTable& block = *list.Block(0);
    const int widest = std::max(block.MinimumLayoutWidth(), list.Block(1)->MinimumLayoutWidth());
    QVERIFY(widest > list.viewport()->width());
    QCOMPARE(block.width(), widest);
    QCOMPARE(list.Block(1)->width(), widest);
    QScrollBar& across = *list.horizontalScrollBar();
    QVERIFY(across.isVisible());
    QCOMPARE(across.maximum(), widest + 2 * CMultiTableView::kMargin - list.viewport()->width());
    // Every figure of every series shows whole.
    for (int row = CShortListBlockTable::kFirstSeriesRow; row < block.RowCount(); ++row) {
        for (int column = 1; column < static_cast<int>(kShortListColumns); ++column) {
            const int cell = CShortListBlockTable::CellOf(column);
            QCOMPARE(block.ShownText(row, cell), CellText(block, row, cell));
        }
    }
    // The current cell at the far right comes into view.
    const int row = CShortListBlockTable::kFirstSeriesRow;
    const int bep = CShortListBlockTable::CellOf(static_cast<int>(kShortListColumns) - 1);
    block.SetCurrentCell(row, bep);
    QVERIFY(across.value() > 0);
    QCOMPARE(block.x(), CMultiTableView::kMargin - across.value());
    const QRect shown = block.CellRect(row, bep).translated(block.pos());
    QVERIFY(shown.left() >= 0);
    QVERIFY(shown.right() < list.viewport()->width());

    // Wide again, the blocks fit and nothing scrolls sideways.
    window.resize(widest + 200, 600);
    QVERIFY(WaitForLayout(list));
    QVERIFY(!across.isVisible());
    QCOMPARE(block.x(), CMultiTableView::kMargin);
}

void CShortListViewTest::RefreshKeepsTicksDropsTypedDividendsAndGoneCompanies() {
    CDesk desk;
    desk.TickInReport(ReportKind::Call, "AAA");
    desk.TickInReport(ReportKind::Call, "CCC");
    CShortListView& list = *desk.ShortList();
    const int row = CShortListBlockTable::kFirstSeriesRow + 2;
    const std::string series = list.Block(0)->SeriesAt(row)->Code();
    ClickPlanBox(*list.Block(0), row);
    TypeInto(*list.Block(0), row, kShortListDividendValueColumn, QStringLiteral("2"));
    QCOMPARE(
        CellText(*list.Block(0), row, CShortListBlockTable::CellOf(kShortListDividendValueColumn)),
        QStringLiteral("$2"));

    // CCC leaves the market; the refresh request rebuilds from the new data.
    std::vector<CCompanyInfo> calls = desk.Session().Market().Current()->Calls();
    calls.pop_back();
    desk.Session().Market().PublishCalls(std::move(calls));
    desk.frame.RefreshView(RefreshKind::ShortList);
    QVERIFY(WaitForLayout(list));
    QCOMPARE(Blocks(list), std::vector<std::string>{"AAA/C"});
    QVERIFY(!desk.Session().ShortList().Find("CCC", ReportKind::Call));
    CShortListBlockTable& block = *list.Block(0);
    QCOMPARE(block.FindSeriesRow(series), row);
    QVERIFY(block.IsPlanTicked(row));
    QCOMPARE(block.TickedKeys(), std::vector<std::string>{series + "C"});
    QCOMPARE(CellText(block, row, CShortListBlockTable::CellOf(kShortListDividendValueColumn)),
             QStringLiteral("$0.85"));
    // A download alone leaves the open list as it is.
    desk.Session().Market().PublishCalls({});
    desk.frame.RefreshView(RefreshKind::CallReport);
    QCOMPARE(list.BlockCount(), 1);
}

void CShortListViewTest::EveryTickAddsAPlanRowAndClearingThePlanUnticks() {
    CDesk desk;
    desk.TickInReport(ReportKind::Call, "AAA");
    desk.TickInReport(ReportKind::Put, "AAA");
    CShortListView& list = *desk.ShortList();
    const int row = CShortListBlockTable::kFirstSeriesRow;
    CShortListBlockTable& call = *list.Block(list.FindCompany("AAA", ReportKind::Call));
    CShortListBlockTable& put = *list.Block(list.FindCompany("AAA", ReportKind::Put));
    ClickPlanBox(call, row);
    QCOMPARE(desk.Session().TradingPlan().Count(), std::size_t{1});
    ClickPlanBox(call, row); // clearing takes nothing out
    QVERIFY(!call.IsPlanTicked(row));
    QCOMPARE(desk.Session().TradingPlan().Count(), std::size_t{1});
    ClickPlanBox(call, row);
    ClickPlanBox(put, row);
    const CTradingPlan& plan = desk.Session().TradingPlan();
    QCOMPARE(plan.Count(), std::size_t{3});
    QCOMPARE(plan.At(0).m_ContractID, plan.At(1).m_ContractID);
    QCOMPARE(plan.At(0).m_SourceType, std::uint32_t{4});
    QCOMPARE(plan.At(2).m_SourceType, std::uint32_t{2});
    QCOMPARE(plan.At(2).m_CompanyID, std::string("AAA"));
    // From the keyboard: Space on the box ticks it.
    call.setFocus();
    call.SetCurrentCell(row + 1, CShortListBlockTable::CellOf(kShortListPlanColumn));
    QTest::keyClick(&call, Qt::Key_Space);
    QVERIFY(call.IsPlanTicked(row + 1));
    QCOMPARE(plan.Count(), std::size_t{4});
    QCOMPARE(plan.At(3).m_ContractID, call.SeriesAt(row + 1)->Code());

    // A plan row's series unticked from the plan; then the whole plan cleared.
    UntickShortListSeries(desk.frame, "aaa", plan.At(2).m_ContractID, ReportKind::Put);
    QVERIFY(!put.IsPlanTicked(row));
    QVERIFY(call.IsPlanTicked(row));
    test::CUserMessageLog& agree = desk.Answering(true);
    QVERIFY(desk.frame.OnCommand(ID_TRADING_PLAN_CLEAR));
    QCOMPARE(agree.texts,
             QStringList{QStringLiteral("Are you sure you want to clear your Trading Plan?")});
    QVERIFY(!call.IsPlanTicked(row));
    QVERIFY(desk.Session().ShortList().TickedKeys().empty());
}

void CShortListViewTest::UndoneCloseTicksTheBoxAgainWithoutAddingARow() {
    CDesk desk;
    desk.TickInReport(ReportKind::Call, "AAA");
    const int row = CShortListBlockTable::kFirstSeriesRow;
    CShortListBlockTable& block = *desk.ShortList()->Block(0);
    ClickPlanBox(block, row);
    QCOMPARE(desk.Session().TradingPlan().Count(), std::size_t{1});
    const std::string series = block.SeriesAt(row)->Code();

    // The plan closed the series' last row, then the close was undone.
    UntickShortListSeries(desk.frame, "aaa", series, ReportKind::Call);
    QVERIFY(!block.IsPlanTicked(row));
    TickShortListSeries(desk.frame, "aaa", series, ReportKind::Call);
    QVERIFY(block.IsPlanTicked(row));
    QVERIFY(desk.Session().ShortList().IsTicked(series, ReportKind::Call));
    QCOMPARE(desk.Session().TradingPlan().Count(), std::size_t{1});
    // A company the list does not show gets no tick.
    TickShortListSeries(desk.frame, "BBB", "BBBZZ9", ReportKind::Call);
    QVERIFY(!desk.Session().ShortList().IsTicked("BBBZZ9", ReportKind::Call));

    // With the window closed the store keeps the tick for the reopened window.
    desk.ShortList()->parentWidget()->close();
    QVERIFY(QTest::qWaitFor([&desk] { return desk.ShortList() == nullptr; }, kWaitMs));
    UntickShortListSeries(desk.frame, "AAA", series, ReportKind::Call);
    QVERIFY(!desk.Session().ShortList().IsTicked(series, ReportKind::Call));
    TickShortListSeries(desk.frame, "AAA", series, ReportKind::Call);
    TickShortListSeries(desk.frame, "BBB", "BBBZZ9", ReportKind::Call);
    QVERIFY(desk.Session().ShortList().IsTicked(series, ReportKind::Call));
    QVERIFY(!desk.Session().ShortList().IsTicked("BBBZZ9", ReportKind::Call));
    QCOMPARE(desk.Session().TradingPlan().Count(), std::size_t{1});
}

void CShortListViewTest::ClearShortListAsksOnlyWhenThePlanHoldsItsOptions() {
    CDesk desk;
    QVERIFY(desk.frame.Action(ID_SHORT_LIST_CLEAR)->isEnabled());
    desk.TickInReport(ReportKind::Call, "AAA");
    desk.TickInReport(ReportKind::Put, "AAA");
    CShortListView& list = *desk.ShortList();
    ClickPlanBox(*list.Block(1), CShortListBlockTable::kFirstSeriesRow);
    const QString question = QString::fromLatin1(kClearShortListQuestion);
    {
        test::CUserMessageLog& refuse = desk.Answering(false);
        QVERIFY(desk.frame.OnCommand(ID_SHORT_LIST_CLEAR));
        QCOMPARE(refuse.texts, QStringList{question});
        QCOMPARE(list.BlockCount(), 2);
    }
    {
        test::CUserMessageLog& agree = desk.Answering(true);
        QVERIFY(desk.frame.OnCommand(ID_SHORT_LIST_CLEAR));
        QCOMPARE(agree.texts, QStringList{question});
        QCOMPARE(list.BlockCount(), 0);
        QVERIFY(desk.Session().ShortList().IsEmpty());
        for (const ReportKind kind : {ReportKind::Call, ReportKind::Put}) {
            CReportView& report = desk.Report(kind);
            QVERIFY(!report.CompanyCheckBox(report.FindBlock("AAA"))->isChecked());
        }
    }
    {
        // Nothing of the list in the plan: no question; with the window closed as well.
        test::CUserMessageLog& silent = desk.Answering(false);
        desk.TickInReport(ReportKind::Call, "BBB");
        desk.ShortList()->parentWidget()->close();
        QVERIFY(desk.Session().ShortList().Find("BBB", ReportKind::Call));
        QVERIFY(ClearShortList(desk.frame));
        QVERIFY(silent.texts.isEmpty());
        QVERIFY(desk.Session().ShortList().IsEmpty());
        CReportView& report = desk.Report(ReportKind::Call);
        QVERIFY(!report.CompanyCheckBox(report.FindBlock("BBB"))->isChecked());
    }
}

void CShortListViewTest::ClearOnCloseFlagDecidesWhatReopeningShows() {
    for (const bool clearOnClose : {false, true}) {
        CDesk desk;
        if (clearOnClose) {
            QVERIFY(desk.frame.OnCommand(ID_EDIT_CLEAR_SHORT_LIST_ON_CLOSE));
        }
        QCOMPARE(desk.Session().State().ClearShortListOnClose(), clearOnClose);
        desk.TickInReport(ReportKind::Call, "CCC");
        desk.TickInReport(ReportKind::Call, "AAA");
        const int row = CShortListBlockTable::kFirstSeriesRow;
        ClickPlanBox(*desk.ShortList()->Block(1), row);

        desk.ShortList()->parentWidget()->close();
        QVERIFY(QTest::qWaitFor([&desk] { return desk.ShortList() == nullptr; }, kWaitMs));
        QVERIFY(desk.frame.OnCommand(ID_SHORT_LIST_OPEN));
        CShortListView& reopened = *desk.ShortList();
        QVERIFY(WaitForLayout(reopened));
        if (clearOnClose) {
            QCOMPARE(reopened.BlockCount(), 0);
            QVERIFY(desk.Session().ShortList().IsEmpty());
        } else {
            QCOMPARE(Blocks(reopened), (std::vector<std::string>{"AAA/C", "CCC/C"}));
            QVERIFY(reopened.Block(1)->IsPlanTicked(row));
        }
        // The report's boxes stay as they were either way.
        CReportView& report = desk.Report(ReportKind::Call);
        QVERIFY(report.CompanyCheckBox(report.FindBlock("CCC"))->isChecked());
        QVERIFY(report.CompanyCheckBox(report.FindBlock("AAA"))->isChecked());
    }
}

void CShortListViewTest::PrintsToPdfAndRefusesWithoutBlocks() {
    CDesk desk;
    QVERIFY(desk.frame.OnCommand(ID_SHORT_LIST_OPEN));
    CShortListView& list = *desk.ShortList();
    QVERIFY(!list.HandlesCommand(ID_FILE_PRINT));
    desk.TickInReport(ReportKind::Call, "AAA");
    desk.TickInReport(ReportKind::Put, "AAA");
    desk.TickInReport(ReportKind::Call, "BBB");
    QVERIFY(list.HandlesCommand(ID_FILE_PRINT));

    test::CTempFolder folder;
    const QString path = QString::fromStdString((folder.Path() / "shortlist.pdf").string());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(QPageLayout::Landscape);
    const int pages = list.PrintedPageCount(printer);
    QVERIFY(pages >= 1);
    QVERIFY(list.Print(printer));
    QCOMPARE(CountPdfPages(path), pages);
}

void CShortListViewTest::AnalyticsColumnsFillInWhenReadyAndFollowTheViewMenu() {
    CDesk desk;
    desk.TickInReport(ReportKind::Call, "AAA");
    desk.TickInReport(ReportKind::Put, "AAA");
    CShortListView& list = *desk.ShortList();
    QVERIFY(WaitForLayout(list));
    QCOMPARE(list.BlockCount(), 2);
    const int first = CShortListBlockTable::CellOf(static_cast<int>(kShortListColumns));
    const int analyticsCells = static_cast<int>(kAnalyticsColumnCount);
    const auto forEachSeriesRow = [&list](const auto& check) {
        for (int i = 0; i < list.BlockCount(); ++i) {
            CShortListBlockTable& block = *list.Block(i);
            for (int row = CShortListBlockTable::kFirstSeriesRow; row < block.RowCount(); ++row) {
                check(block, row);
            }
        }
    };
    // The headings follow BEP; the cells wait for the analytics.
    const int header = CShortListBlockTable::kSeriesHeaderRow;
    for (int i = 0; i < list.BlockCount(); ++i) {
        const CShortListBlockTable& block = *list.Block(i);
        const int headings = block.CellCount(header) - analyticsCells;
        QCOMPARE(CellText(block, header, headings - 1), QStringLiteral("BEP"));
        for (int c = 0; c < analyticsCells; ++c) {
            QCOMPARE(CellText(block, header, headings + c).toStdString(),
                     kAnalyticsHeadings[static_cast<std::size_t>(c)]);
        }
    }
    forEachSeriesRow([&](CShortListBlockTable& block, int row) {
        QCOMPARE(block.CellCount(row), first + analyticsCells);
        for (int c = first; c < first + analyticsCells; ++c) {
            QVERIFY(CellText(block, row, c).isEmpty());
            QVERIFY(block.Cell(row, c)->m_Visible);
        }
    });

    // The worker publishes the analytics and tells the windows.
    desk.host.analytics.Recompute();
    desk.host.analytics.Wait();
    QTRY_VERIFY(desk.Session().Analytics() != nullptr);
    QVERIFY(WaitForLayout(list));
    const std::shared_ptr<const CMarketAnalytics> analytics = desk.Session().Analytics();
    int rows = 0;
    forEachSeriesRow([&](CShortListBlockTable& block, int row) {
        const bool isCall = block.Kind() == ReportKind::Call;
        const std::optional<CSeriesAnalytics> figures =
            analytics->Find(isCall, block.SeriesAt(row)->Code());
        QVERIFY(figures);
        const CAnalyticsTexts texts = SeriesAnalyticsTexts(*figures, isCall);
        for (int c = 0; c < analyticsCells; ++c) {
            const CComplexTableCell& cell = *block.Cell(row, first + c);
            QCOMPARE(cell.m_Text.toStdString(), texts.cells[static_cast<std::size_t>(c)]);
            QCOMPARE(cell.m_ToolTip.toStdString(), texts.tooltip);
            QVERIFY(!cell.m_Editable);
        }
        ++rows;
    });
    QCOMPARE(rows, 5);

    // The View menu hides them in the Short List and the report at once, and shows them
    // again.
    CReportView& report = desk.Report(ReportKind::Call);
    for (const bool shown : {false, true}) {
        QVERIFY(desk.frame.OnCommand(ID_VIEW_ANALYTICS_COLUMNS));
        QCOMPARE(desk.Session().AnalyticsSettings().ShowColumns(), shown);
        QVERIFY(WaitForLayout(list));
        QVERIFY(QTest::qWaitFor([&report] { return !report.IsLayoutPending(); }, kWaitMs));
        forEachSeriesRow([&](CShortListBlockTable& block, int row) {
            for (int c = first; c < first + analyticsCells; ++c) {
                QCOMPARE(block.Cell(row, c)->m_Visible, shown);
            }
            QCOMPARE(block.CellRect(row, first - 1).right() + 1 == block.width(), !shown);
        });
        const CReportBlockTable& reportBlock = *report.Block(0);
        QCOMPARE(reportBlock.Cell(3, CSeriesTable::kSeriesColumns)->m_Visible, shown);
    }
    QVERIFY(!CellText(*list.Block(0), CShortListBlockTable::kFirstSeriesRow, first).isEmpty());
}

} // namespace strikeline

QTEST_MAIN(strikeline::CShortListViewTest)
#include "ShortListViewTest.moc"
