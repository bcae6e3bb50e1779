// The Trading Plan window driven as the user drives it: real views on the offscreen
// platform over a real plan, diary and temporary folders; cells clicked, typed into and
// coloured, rows closed, the type menu used, exports and mails run through the commands,
// and the table printed to PDF files.

#include "gui/plan/TradingPlanView.h"

#include "analytics/AnalyticsTexts.h"
#include "gui/app/AnalyticsWorker.h"
#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/app/RefreshKind.h"
#include "gui/plan/ColorSelectorWnd.h"
#include "gui/plan/PlanViewColumns.h"
#include "gui/plan/TradingPlanTable.h"
#include "gui/plan/TradingPlanTableBuilder.h"
#include "gui/plan/TradingPlanViews.h"
#include "gui/reports/MultiTablePrintJob.h"
#include "gui/widgets/InPlaceEdit.h"
#include "journal/DiaryDatabase.h"
#include "plan/PlanAnalyticsTestData.h"
#include "plan/PlanColumns.h"
#include "plan/PlanCsvWriter.h"
#include "plan/PlanExport.h"
#include "plan/PlanFigures.h"
#include "plan/PlanHtmlWriter.h"
#include "plan/PlanMail.h"
#include "plan/PlanTestData.h"
#include "plan/TradingPlan.h"
#include "session/ApplicationState.h"
#include "session/Session.h"
#include "storage/ColorScheme.h"
#include "storage/NumberText.h"
#include "support/MainFrameTestHost.h"
#include "support/PdfPages.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/UserMessageLog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QHelpEvent>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace strikeline {

namespace {

using test::CountPdfPages;

namespace C = PlanColumn;

// An export that asks for analytics not worked out yet.
const CPlanExportAnalytics kNotReady{};

// 2010-06-24 06:00:00 UTC; the tests run in universal time, so the plan shows it as is.
constexpr FileTime kNow = FileTimeFromUnix(1277359200);
const QString kTimeStamp = QStringLiteral("Trading Plan Generated at 2010-06-24 06:00:00 ");

// A return a year as the plan shows percentages.
QString Percent(double value) {
    return QString::fromStdString(FormatPercent(value, 2));
}

int Column(std::string_view key) {
    return PlanViewColumnOf(key);
}

QString Text(const CTradingPlanView& view, int row, std::string_view key) {
    const CComplexTableCell* cell = view.Table().Cell(row, Column(key));
    return cell == nullptr ? QStringLiteral("<no cell>") : cell->m_Text;
}

QPoint CellCentre(const CTradingPlanView& view, int row, std::string_view key) {
    return view.Table().CellRect(row, Column(key)).center();
}

// Inside the colour button of a cell: its bottom-right corner.
QPoint CornerOf(const CTradingPlanView& view, int row, std::string_view key) {
    return view.Table().CellRect(row, Column(key)).bottomRight() - QPoint(2, 2);
}

// The plan rows the view shows, top to bottom: the company code for a group row, the
// series code for an entry row.
QStringList RowLabels(const CTradingPlanView& view) {
    QStringList labels;
    for (int row = 1; row < view.TotalsRow() - 1; ++row) {
        if (const CTradingPlanEntry* entry = view.EntryAt(row)) {
            labels << QStringLiteral("row ") + QString::fromStdString(entry->m_ContractID);
        } else {
            labels << QStringLiteral("group ") + view.Table().Cell(row, 0)->m_Text;
        }
    }
    return labels;
}

int VisibleCells(const CComplexTableWnd& table, int row) {
    int visible = 0;
    for (int c = 0; c < table.CellCount(row); ++c) {
        visible += table.Cell(row, c)->m_Visible ? 1 : 0;
    }
    return visible;
}

// The x of every visible cell edge of a row.
std::set<int> Edges(const CComplexTableWnd& table, int row) {
    std::set<int> edges;
    for (int c = 0; c < table.CellCount(row); ++c) {
        const CComplexTableCell& cell = *table.Cell(row, c);
        if (cell.m_Visible) {
            edges.insert(cell.m_X);
            edges.insert(cell.m_X + cell.m_LayoutWidth);
        }
    }
    return edges;
}

CTradingPlanEntry Series(const std::string& company, const std::string& series, double profit) {
    CTradingPlanEntry entry = test::RowWithProfit(company, profit);
    entry.m_ContractID = series;
    return entry;
}

CTradingPlanEntry& Add(CSession& session, CTradingPlanEntry entry) {
    return session.TradingPlan().Append(std::move(entry));
}

// Answers the next popup menu: records its items, then picks `choice` (or dismisses the
// menu when it has no such item). Gives up after a while so that a missing menu cannot
// hang the test.
class CMenuDriver {
public:
    struct CItem {
        QString text;
        bool checked;
    };

    explicit CMenuDriver(QString choice) : m_Choice(std::move(choice)) {
        m_Timer.setInterval(5);
        QObject::connect(&m_Timer, &QTimer::timeout, [this] { Poll(); });
        m_Timer.start();
    }

    bool found = false;
    std::vector<CItem> items;

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
            items.push_back({action->text(), action->isChecked()});
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

// A mail composer that keeps what it was handed and looks at the attachment while it is
// still there.
class CRecordingComposer : public CMailComposer {
public:
    bool Compose(const std::string& mailSubject, const std::string& /*body*/,
                 const std::filesystem::path& attachment, std::string& error) override {
        ++calls;
        subject = mailSubject;
        name = attachment.filename().string();
        existed = std::filesystem::exists(attachment);
        contents = test::ReadTextFile(attachment.string());
        if (!failure.empty()) {
            error = failure;
            return false;
        }
        return true;
    }

    int calls = 0;
    std::string subject;
    std::string name;
    bool existed = false;
    std::string contents;
    std::string failure;
};

struct CUntick {
    std::string company;
    std::string series;
    bool isCall;

    bool operator==(const CUntick&) const = default;
};

// A shown plan view at the test's moment, recording the Short List's unticks and ticks.
struct CShownView {
    explicit CShownView(CSession& session, QSize size = QSize(1400, 700))
        : view(session,
               CTradingPlanViewHooks{
                   [this](const std::string& company, const std::string& series, bool isCall) {
                       unticks.push_back({company, series, isCall});
                   },
                   {},
                   [this](const std::string& company, const std::string& series, bool isCall) {
                       ticks.push_back({company, series, isCall});
                   }}) {
        view.SetClock([] { return kNow; });
        // The exports leave the analytics out unless a test asks otherwise.
        view.ExportCommands().SetAnalyticsChooser([](QWidget*) { return false; });
        view.resize(size);
        view.show();
        QApplication::setActiveWindow(&view);
        view.Refill();
    }

    std::vector<CUntick> unticks;
    std::vector<CUntick> ticks;
    CTradingPlanView view;
};

// Types `text` into a cell as the user does: select it, Enter, the text, Enter.
void TypeInto(CTradingPlanView& view, int row, std::string_view key, const QString& text) {
    auto& table = view.Table();
    QTest::mouseClick(&table, Qt::LeftButton, {}, CellCentre(view, row, key));
    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(table.ActiveEditor() != nullptr);
    table.ActiveEditor()->setText(text);
    QTest::keyClick(table.ActiveEditor(), Qt::Key_Return);
    QVERIFY(!table.IsEditing());
}

// The plan's rows in file order.
std::vector<CTradingPlanEntry> PlanRows(const CTradingPlan& plan) {
    std::vector<CTradingPlanEntry> rows;
    for (std::size_t i = 0; i < plan.Count(); ++i) {
        rows.push_back(plan.At(i));
    }
    return rows;
}

// What the plan and the diary files hold when written now.
std::pair<std::string, std::string> SavedFiles(CSession& session, const test::CTempFolder& folder) {
    const std::string plan = folder.File("tradingplan.xml");
    const std::string diary = folder.File("diary.xml");
    if (!session.TradingPlan().Save(plan) || !session.Diary().Save(diary)) {
        return {};
    }
    return {test::ReadTextFile(plan), test::ReadTextFile(diary)};
}

} // namespace

class CTradingPlanViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Rows and columns.
    void CompaniesGroupInDisplayOrder();
    void TwentyColumnsShowAndTheHiddenOnesChangeNothing();
    void EmptyPlanShowsHeadingZeroTotalsAndTimeStamp();
    void CellsTakeTheirColoursFromThePalette();
    // Editing.
    void TypedTextChangesTheRowAndTheTotals_data();
    void TypedTextChangesTheRowAndTheTotals();
    void RefusedFigureKeepsTheCellAndSaysWhy_data();
    void RefusedFigureKeepsTheCellAndSaysWhy();
    void TypeMenuSwitchesBetweenSellingAndBuying();
    void TypeMenuOffersTheRowsOwnFamily_data();
    void TypeMenuOffersTheRowsOwnFamily();
    // Closing rows.
    void CloseAllRemovesTheRowAndStampsOnlyItsDiaryEntry_data();
    void CloseAllRemovesTheRowAndStampsOnlyItsDiaryEntry();
    void CloseAllUnticksOnlyTheLastRowOfASeries_data();
    void CloseAllUnticksOnlyTheLastRowOfASeries();
    // Colours.
    void ColourPopupStoresTheIndexAndTheFileKeepsIt();
    void ColourPopupClosesWithoutAChoice();
    void ColourPopupBandsCoverItsWidth();
    // Scrolling and selection.
    void RefillSelectsTheGivenRowAndScrollsToIt();
    void KeysKeepTheSelectionInViewAndShowTheHeadingAtTheTop();
    void OpensWithTheFirstEditableCellCurrent();
    void KeysOpenTheTypeMenuAndTheColourPopup();
    void NarrowWindowScrollsSidewaysAndCutsNoText();
    // Commands.
    void FileExportsWriteThroughTheCommands_data();
    void FileExportsWriteThroughTheCommands();
    void CancelledOrFailedExportsWriteNothing();
    void ExportsOnADarkDesktopKeepTheStoredScheme();
    void PrintsOnADarkDesktopInTheLightColours();
    void MailCommandsAttachThePlanUnderItsName_data();
    void MailCommandsAttachThePlanUnderItsName();
    void MailFailureIsShown();
    void PrintsToPdf();
    // The main window.
    void MainWindowOpensRefreshesAndExportsThePlan();
    // Analytics.
    void AnalyticsColumnsFillInWhenTheAnalyticsAreReady();
    void ExportsIncludeTheAnalyticsOnlyWhenTicked();
    // Undo.
    void UndoAndRedoATypedFigure_data();
    void UndoAndRedoATypedFigure();
    void UndoAndRedoSellOrBuy();
    void UndoingCloseAllPutsTheRowAndItsDiaryEntryBack_data();
    void UndoingCloseAllPutsTheRowAndItsDiaryEntryBack();
    void UndoWalksBackThroughAClosedRow();
    void PlanChangedElsewhereForgetsWhatCannotBeUndone();
    void EditMenuUndoesAndRedoesWithTheKeys();

private:
    CSession& Session() { return *m_Session; }
    CTradingPlan& Plan() { return m_Session->TradingPlan(); }
    CDiaryDatabase& Diary() { return m_Session->Diary(); }
    CTradingPlanEntry& Add(CTradingPlanEntry entry) {
        return strikeline::Add(Session(), std::move(entry));
    }
    std::vector<CTradingPlanEntry> PlanRows() { return strikeline::PlanRows(Plan()); }
    std::pair<std::string, std::string> SavedFiles(const test::CTempFolder& folder) {
        return strikeline::SavedFiles(Session(), folder);
    }
    // For a test that expects the messages it checks: they are no longer unexpected.
    test::CUserMessageLog& ExpectMessages() {
        m_Messages->onMessage = {};
        return *m_Messages;
    }

    std::unique_ptr<test::CScopedEnv> m_Zone;
    std::unique_ptr<test::CUserMessageLog> m_Messages;
    std::unique_ptr<CSession> m_Session;
};

void CTradingPlanViewTest::initTestCase() {
    m_Zone = std::make_unique<test::CScopedEnv>("TZ", "UTC");
}

void CTradingPlanViewTest::init() {
    m_Messages = std::make_unique<test::CUserMessageLog>();
    m_Messages->onMessage = [this] {
        qWarning("unexpected message: %s", qPrintable(m_Messages->texts.back()));
    };
    m_Session = std::make_unique<CSession>(std::string(), m_Messages.get());
}

void CTradingPlanViewTest::cleanup() {
    m_Session.reset();
    m_Messages.reset();
}

// Rows and columns.

void CTradingPlanViewTest::CompaniesGroupInDisplayOrder() {
    Add(Series("BHP", "BHPLOW", 50));
    CTradingPlanEntry noProfit = Series("BHP", "BHPNONE", 0);
    noProfit.m_Shares = UNSET_VALUE;
    Add(noProfit);
    Add(Series("ANZ", "ANZONE", 10));
    Add(Series("BHP", "BHPHIGH", 450));
    CShownView shown(Session());
    const CTradingPlanView& view = shown.view;

    const QStringList expected = {QStringLiteral("group ANZ"),  QStringLiteral("row ANZONE"),
                                  QStringLiteral("group BHP"),  QStringLiteral("row BHPHIGH"),
                                  QStringLiteral("row BHPLOW"), QStringLiteral("row BHPNONE")};
    QCOMPARE(RowLabels(view), expected);
    // Heading, six rows, "Totals", totals, spacer, time stamp.
    QCOMPARE(view.Table().RowCount(), 11);
    QCOMPARE(view.Table().Cell(view.TotalsRow() - 1, 0)->m_Text, QStringLiteral("Totals"));
    QCOMPARE(view.TimeStampRow(), 10);
    // A group row: the code over three units, an empty cell over the rest.
    QCOMPARE(view.Table().CellCount(1), 2);
    QCOMPARE(view.Table().Cell(1, 0)->m_Span, 3);
    QCOMPARE(view.Table().Cell(1, 1)->m_Span, 78);
    QVERIFY(!view.Table().Cell(1, 0)->m_Selectable);
    // The rows show the plan's figures; the series code stands under "Company Code".
    QCOMPARE(Text(view, 4, C::NEProfit), QStringLiteral("$450"));
    QCOMPARE(Text(view, 5, C::NEProfit), QStringLiteral("$50"));
    QCOMPARE(Text(view, 6, C::NEProfit), QString());
    QCOMPARE(Text(view, 4, C::Company), QStringLiteral("BHPHIGH"));
    QCOMPARE(Text(view, 4, C::SrcType), QStringLiteral("C (Sell)"));
    QCOMPARE(Text(view, view.TotalsRow(), C::NEProfit), QStringLiteral("$510"));
}

void CTradingPlanViewTest::TwentyColumnsShowAndTheHiddenOnesChangeNothing() {
    Add(test::SoldCall("BHP", "BHPXY9"));
    CTradingPlanEntry flagged = test::SoldCall("BHP", "BHPXY9");
    flagged.m_AddToDiary = {true, true, true, true};
    flagged.m_Trades = 7;
    // Colours kept under hidden keys show nowhere.
    flagged.SetCellColour("AddToDiary2", 3);
    flagged.SetCellColour("Trades", 3);
    Add(flagged);
    CShownView shown(Session());
    const CComplexTableWnd& table = shown.view.Table();
    const int plain = 2;
    const int marked = 3;
    QCOMPARE(shown.view.EntryAt(marked)->m_AddToDiary[0], true);

    for (const int row : {plain, marked, shown.view.TotalsRow()}) {
        QCOMPARE(table.CellCount(row), 28);
        QCOMPARE(VisibleCells(table, row), 23);
        std::set<QString> hidden;
        for (int c = 0; c < table.CellCount(row); ++c) {
            QCOMPARE(table.Cell(row, c)->m_Name,
                     QString::fromLatin1(PlanViewColumns[c].key.data(),
                                         static_cast<qsizetype>(PlanViewColumns[c].key.size())));
            if (!table.Cell(row, c)->m_Visible) {
                hidden.insert(table.Cell(row, c)->m_Name);
            }
        }
        const std::set<QString> expected = {
            QStringLiteral("AddToDiary1"), QStringLiteral("AddToDiary2"),
            QStringLiteral("AddToDiary3"), QStringLiteral("AddToDiary4"), QStringLiteral("Trades")};
        QCOMPARE(hidden, expected);
    }
    // The heading's 19 visible cells stand over the data columns.
    QCOMPARE(VisibleCells(table, 0), 19);
    const std::set<int> dataEdges = Edges(table, plain);
    for (const int edge : Edges(table, 0)) {
        QVERIFY2(dataEdges.count(edge) == 1, qPrintable(QString::number(edge)));
    }
    QCOMPARE(*Edges(table, plain).rbegin(), table.width());
    // The only box that shows is "Close All".
    const int closeAll = Column(C::CloseAll);
    QCOMPARE(table.Cell(plain, closeAll)->m_Kind, CellKind::CheckBox);
    QVERIFY(!table.Cell(plain, closeAll)->m_Ticked);
    QVERIFY(!table.Cell(plain, closeAll)->m_Selectable);
    QCOMPARE(table.Cell(plain, closeAll)->m_Background,
             CTradingPlanTableBuilder::kCheckBoxBackground);

    // The flagged row draws exactly as the plain one (neither holding the current cell).
    shown.view.Table().SetCurrentCell(-1, -1);
    const QImage picture = shown.view.Table().grab().toImage();
    const QRect plainRect(0, table.Row(plain)->m_Y, table.width(), table.RowHeight(plain));
    const QRect markedRect(0, table.Row(marked)->m_Y, table.width(), table.RowHeight(marked));
    QCOMPARE(plainRect.size(), markedRect.size());
    QVERIFY(picture.copy(plainRect) == picture.copy(markedRect));
}

void CTradingPlanViewTest::EmptyPlanShowsHeadingZeroTotalsAndTimeStamp() {
    CShownView shown(Session());
    const CTradingPlanView& view = shown.view;
    const CComplexTableWnd& table = view.Table();
    QCOMPARE(table.RowCount(), 5);
    QCOMPARE(table.Cell(0, 0)->m_Text, QStringLiteral("Type"));
    // "Close All" ends the plan's own headings; the analytics columns follow.
    QCOMPARE(table.Cell(0, table.CellCount(0) - 4)->m_Text, QStringLiteral("Close All"));
    QCOMPARE(table.Cell(0, table.CellCount(0) - 3)->m_Text, QStringLiteral("Days"));
    QCOMPARE(table.Cell(0, table.CellCount(0) - 2)->m_Text, QStringLiteral("Ann. Return %"));
    QCOMPARE(table.Cell(0, table.CellCount(0) - 1)->m_Text, QStringLiteral("Warnings"));
    QCOMPARE(table.Cell(1, 0)->m_Text, QStringLiteral("Totals"));
    QCOMPARE(view.TotalsRow(), 2);
    const std::vector<std::pair<std::string_view, QString>> totals = {
        {C::Cost, QStringLiteral("$0")},
        {C::EquityBrokerage, QStringLiteral("$0")},
        {C::NEBrokerage, QStringLiteral("$0")},
        {C::NEProfit, QStringLiteral("$0")},
        {C::NEReturn, QStringLiteral("0%")},
        {C::EBrokerage, QStringLiteral("$0")},
        {C::EProfit, QStringLiteral("$0")},
        {C::EReturn, QStringLiteral("0%")},
        {C::Shares, QString()},
        {C::BEP, QString()}};
    for (const auto& [key, text] : totals) {
        QCOMPARE(Text(view, view.TotalsRow(), key), text);
    }
    QCOMPARE(view.TimeStampRow(), 4);
    QCOMPARE(table.Cell(4, 0)->m_Text, kTimeStamp);
    QCOMPARE(view.GenerationTime(), kNow);
    QVERIFY(view.EntryAt(2) == nullptr);
}

void CTradingPlanViewTest::CellsTakeTheirColoursFromThePalette() {
    CColorScheme scheme;
    scheme.Set(SchemeColor::ReportBk, Rgb(250, 250, 240));
    scheme.Set(SchemeColor::ReportFg, Rgb(10, 10, 20));
    scheme.Set(SchemeColor::ReturnPercentsBk, Rgb(60, 170, 10));
    scheme.Set(SchemeColor::OptionsHeaderBk, Rgb(200, 220, 230));
    {
        CApplicationStateLock lock(Session().State());
        Session().State().SetColorScheme(scheme);
    }
    CTradingPlanEntry entry = test::SoldCall();
    entry.SetCellColour(C::Cost, 1);
    entry.SetCellColour(C::BEP, 9); // not a palette index: shows colour 0
    Add(entry);
    CShownView shown(Session());
    const CComplexTableWnd& table = shown.view.Table();
    const int row = 2;
    QCOMPARE(table.Cell(row, Column(C::FairPrice))->m_Background, Rgb(0, 255, 255));
    QCOMPARE(table.Cell(row, Column(C::Cost))->m_Background, Rgb(60, 170, 10));
    QCOMPARE(table.Cell(row, Column(C::BEP))->m_Background, Rgb(250, 250, 240));
    QCOMPARE(table.Cell(row, Column(C::Shares))->m_Background, Rgb(250, 250, 240));
    QCOMPARE(table.Cell(row, Column(C::Shares))->m_TextColor, Rgb(10, 10, 20));
    QCOMPARE(table.Cell(0, 0)->m_Background, Rgb(200, 220, 230));
    QCOMPARE(table.Cell(row, Column(C::Shares))->m_CornerMarkerSize, 10);
    QCOMPARE(table.Cell(row, Column(C::Shares))->m_CornerMarkerColor, Color{0});
    QCOMPARE(table.Cell(row, 0)->m_BottomBorder.m_Color, Color{0x999999});
}

// Editing.

void CTradingPlanViewTest::TypedTextChangesTheRowAndTheTotals_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("otherKey");
    QTest::addColumn<QString>("otherText");
    QTest::addColumn<QString>("totalCost");
    // The worked example: 1000 shares at $10 cost $10000.
    QTest::newRow("shares") << "Shares"
                            << " 2000 "
                            << "2000"
                            << "Cost"
                            << "$20000"
                            << "$20000";
    QTest::newRow("contracts") << "OptionContracts"
                               << "3"
                               << "3"
                               << "Shares"
                               << "3000"
                               << "$30000";
    QTest::newRow("money keeps the typed text") << "SharePrice"
                                                << "$1,234"
                                                << "$1,234"
                                                << "Cost"
                                                << "$1234000"
                                                << "$1234000";
    QTest::newRow("empty clears") << "Shares"
                                  << ""
                                  << ""
                                  << "Cost"
                                  << ""
                                  << "$0";
    QTest::newRow("bad date is ignored") << "DividendDate"
                                         << "not a date"
                                         << ""
                                         << "Cost"
                                         << "$10000"
                                         << "$10000";
    QTest::newRow("sold exercise brokerage") << "EBrokerage"
                                             << "100"
                                             << "$100"
                                             << "EProfit"
                                             << "$1350"
                                             << "$10000";
}

void CTradingPlanViewTest::TypedTextChangesTheRowAndTheTotals() {
    QFETCH(QString, key);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, otherKey);
    QFETCH(QString, otherText);
    QFETCH(QString, totalCost);
    const CTradingPlanEntry& entry = Add(test::SoldCall());
    CShownView window(Session());
    CTradingPlanView& view = window.view;
    int stamped = 0;
    view.SetClock([&stamped] { return kNow + ++stamped * kFileTimeTicksPerSecond; });
    const std::string column = key.toStdString();
    const int row = 2;
    auto& table = view.Table();
    QTest::mouseClick(&table, Qt::LeftButton, {}, CellCentre(view, row, column));
    QCOMPARE(table.CurrentRow(), row);
    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(table.ActiveEditor() != nullptr);
    table.ActiveEditor()->setText(typed);
    QTest::keyClick(table.ActiveEditor(), Qt::Key_Return);
    QVERIFY(!table.IsEditing());

    QCOMPARE(Text(view, row, column), shown);
    QCOMPARE(Text(view, row, otherKey.toStdString()), otherText);
    QCOMPARE(Text(view, view.TotalsRow(), C::Cost), totalCost);
    QCOMPARE(QString::fromStdString(PlanCellText(entry, otherKey.toStdString())), otherText);
    // A taken edit recomputes the time stamp; an ignored one leaves everything.
    const bool ignored = key == QStringLiteral("DividendDate");
    QCOMPARE(view.GenerationTime() == kNow, ignored);
    QCOMPARE(table.Cell(view.TimeStampRow(), 0)->m_Text,
             QString::fromStdString(PlanTimeStampText(view.GenerationTime())));
}

void CTradingPlanViewTest::RefusedFigureKeepsTheCellAndSaysWhy_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("message");
    QTest::newRow("no number") << "StrikePrice"
                               << "abc"
                               << "$11"
                               << "Invalid strike price\n\n\"abc\" is not a number.";
    QTest::newRow("more than the plan file holds")
        << "Shares"
        << "2000000000"
        << "1000"
        << "Invalid shares\n\nThe trading plan can hold figures between -1000000000 and "
           "1000000000.";
}

void CTradingPlanViewTest::RefusedFigureKeepsTheCellAndSaysWhy() {
    QFETCH(QString, key);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QFETCH(QString, message);
    const CTradingPlanEntry& entry = Add(test::SoldCall());
    const CTradingPlanEntry before = entry;
    CShownView window(Session());
    CTradingPlanView& view = window.view;
    view.SetClock([] { return kNow + kFileTimeTicksPerSecond; });
    const std::string column = key.toStdString();
    const int row = 2;
    auto& table = view.Table();
    QCOMPARE(Text(view, row, column), kept);
    test::CUserMessageLog& messages = ExpectMessages();
    table.SetCurrentCell(row, Column(column));
    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(table.ActiveEditor() != nullptr);
    table.ActiveEditor()->setText(typed);
    QTest::keyClick(table.ActiveEditor(), Qt::Key_Return);
    QVERIFY(!table.IsEditing());

    QCOMPARE(messages.texts, QStringList{message});
    QCOMPARE(Text(view, row, column), kept);
    QVERIFY(entry == before);
    QCOMPARE(Text(view, view.TotalsRow(), C::Cost), QStringLiteral("$10000"));
    QCOMPARE(view.GenerationTime(), kNow);
}

void CTradingPlanViewTest::TypeMenuSwitchesBetweenSellingAndBuying() {
    const CTradingPlanEntry& entry = Add(test::SoldCall());
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    const int row = 2;
    QVERIFY(view.Table().Cell(row, Column(C::EBrokerage))->m_Editable);
    QCOMPARE(Text(view, view.TotalsRow(), C::EProfit), QStringLiteral("$1390"));
    {
        CMenuDriver driver(QStringLiteral("Buy a Call"));
        QTest::mouseClick(&view.Table(), Qt::RightButton, {}, CellCentre(view, row, C::SrcType));
        QVERIFY(driver.found);
        QCOMPARE(driver.items.size(), std::size_t{2});
        QCOMPARE(driver.items[0].text, QStringLiteral("Sell a Call"));
        QVERIFY(driver.items[0].checked);
        QCOMPARE(driver.items[1].text, QStringLiteral("Buy a Call"));
        QVERIFY(!driver.items[1].checked);
    }
    QCOMPARE(entry.m_SourceType, std::uint32_t{TYPE_BUY_CALL});
    QCOMPARE(Text(view, row, C::SrcType), QStringLiteral("C (Buy)"));
    for (const std::string_view key : {C::EBrokerage, C::EProfit, C::EReturn, C::NEReturn}) {
        QCOMPARE(Text(view, row, key), QStringLiteral("N/A"));
    }
    QCOMPARE(Text(view, row, C::Cost), QStringLiteral("$500"));
    QVERIFY(!view.Table().Cell(row, Column(C::EBrokerage))->m_Editable);
    // The bought option counts its loss as the exercised outcome.
    QCOMPARE(Text(view, view.TotalsRow(), C::EProfit), QStringLiteral("$-500"));
    QCOMPARE(Text(view, view.TotalsRow(), C::EBrokerage), QStringLiteral("$0"));
    // The locked cell opens no editor.
    auto& table = view.Table();
    QTest::mouseClick(&table, Qt::LeftButton, {}, CellCentre(view, row, C::EBrokerage));
    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(!table.IsEditing());

    // And back.
    {
        CMenuDriver driver(QStringLiteral("Sell a Call"));
        QTest::mouseClick(&table, Qt::RightButton, {}, CellCentre(view, row, C::SrcType));
        QVERIFY(driver.found);
        QVERIFY(driver.items[1].checked);
    }
    QCOMPARE(entry.m_SourceType, std::uint32_t{TYPE_SELL_CALL});
    QCOMPARE(Text(view, row, C::EBrokerage), QStringLiteral("$60"));
    QVERIFY(view.Table().Cell(row, Column(C::EBrokerage))->m_Editable);
}

void CTradingPlanViewTest::TypeMenuOffersTheRowsOwnFamily_data() {
    QTest::addColumn<uint>("type");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("sold put") << uint{TYPE_SELL_PUT} << "SrcType"
                              << QStringList{"Sell a Put", "Buy a Put"};
    QTest::newRow("old call") << uint{TYPE_CALL} << "SrcType"
                              << QStringList{"Sell a Call", "Buy a Call"};
    QTest::newRow("no family") << uint{TYPE_NONE} << "SrcType" << QStringList{};
    QTest::newRow("other column") << uint{TYPE_SELL_CALL} << "Cost" << QStringList{};
}

void CTradingPlanViewTest::TypeMenuOffersTheRowsOwnFamily() {
    QFETCH(uint, type);
    QFETCH(QString, column);
    QFETCH(QStringList, items);
    CTradingPlanEntry entry = test::SoldCall();
    entry.m_SourceType = type;
    const CTradingPlanEntry& added = Add(entry);
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    // Dismissed: nothing is chosen.
    CMenuDriver driver(QStringLiteral("(none)"));
    QTest::mouseClick(&view.Table(), Qt::RightButton, {},
                      CellCentre(view, 2, column.toStdString()));
    QStringList offered;
    for (const CMenuDriver::CItem& item : driver.items) {
        offered << item.text;
    }
    QCOMPARE(driver.found, !items.isEmpty());
    QCOMPARE(offered, items);
    QCOMPARE(added.m_SourceType, std::uint32_t{type});
    // The right button selects the cell as the left one does.
    QCOMPARE(view.Table().CurrentRow(), 2);
    QCOMPARE(view.Table().CurrentColumn(), Column(column.toStdString()));
}

// Closing rows.

void CTradingPlanViewTest::CloseAllRemovesTheRowAndStampsOnlyItsDiaryEntry_data() {
    QTest::addColumn<QString>("diarySeries");
    QTest::addColumn<qint64>("diaryStartSeconds");
    QTest::addColumn<bool>("stamped");
    // The row starts at 1000 s after 1970.
    QTest::newRow("matching entry, other letter case") << "bhpxy9" << qint64{1000} << true;
    QTest::newRow("other series") << "BHPXY8" << qint64{1000} << false;
    QTest::newRow("other start") << "BHPXY9" << qint64{1001} << false;
}

void CTradingPlanViewTest::CloseAllRemovesTheRowAndStampsOnlyItsDiaryEntry() {
    QFETCH(QString, diarySeries);
    QFETCH(qint64, diaryStartSeconds);
    QFETCH(bool, stamped);
    CTradingPlanEntry closing = test::SoldCall("BHP", "BHPXY9");
    closing.m_StartDate = FileTimeFromUnix(1000);
    Add(closing);
    Add(test::SoldCall("ANZ", "ANZXY9"));
    CDiaryEntry diaryEntry;
    diaryEntry.m_CompanyID = "BHP";
    diaryEntry.m_ContractID = diarySeries.toStdString();
    diaryEntry.m_StartDate = FileTimeFromUnix(diaryStartSeconds);
    Diary().AddEntry(diaryEntry);
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    QCOMPARE(RowLabels(view), (QStringList{"group ANZ", "row ANZXY9", "group BHP", "row BHPXY9"}));
    QCOMPARE(Text(view, view.TotalsRow(), C::Cost), QStringLiteral("$20000"));

    QTest::mouseClick(&view.Table(), Qt::LeftButton, {}, CellCentre(view, 4, C::CloseAll));

    QCOMPARE(Plan().Count(), std::size_t{1});
    QCOMPARE(Plan().At(0).m_ContractID, std::string("ANZXY9"));
    QCOMPARE(RowLabels(view), (QStringList{"group ANZ", "row ANZXY9"}));
    QCOMPARE(Text(view, view.TotalsRow(), C::Cost), QStringLiteral("$10000"));
    QCOMPARE(Diary().Entries().at(0).m_CloseDate, stamped ? kNow : kNoDate);
    // The box of the remaining row is clear.
    QVERIFY(!view.Table().Cell(2, Column(C::CloseAll))->m_Ticked);
}

void CTradingPlanViewTest::CloseAllUnticksOnlyTheLastRowOfASeries_data() {
    QTest::addColumn<QStringList>("rows"); // series and family ("C" or "P") of each row
    QTest::addColumn<int>("closed");       // the plan row closed
    QTest::addColumn<bool>("unticked");
    QTest::addColumn<bool>("isCall");
    QTest::newRow("only row of the series") << QStringList{"BHPXY9 C"} << 0 << true << true;
    QTest::newRow("one of two rows") << QStringList{"BHPXY9 C", "BHPXY9 C"} << 0 << false << true;
    QTest::newRow("same code, other family")
        << QStringList{"BHPXY9 P", "BHPXY9 C"} << 0 << true << false;
    QTest::newRow("other series stays") << QStringList{"BHPXY9 C", "BHPXY8 C"} << 1 << true << true;
}

void CTradingPlanViewTest::CloseAllUnticksOnlyTheLastRowOfASeries() {
    QFETCH(QStringList, rows);
    QFETCH(int, closed);
    QFETCH(bool, unticked);
    QFETCH(bool, isCall);
    std::vector<const CTradingPlanEntry*> entries;
    for (const QString& row : rows) {
        CTradingPlanEntry entry = test::SoldCall("BHP", row.section(' ', 0, 0).toStdString());
        entry.m_SourceType = row.endsWith('C') ? TYPE_SELL_CALL : TYPE_SELL_PUT;
        entries.push_back(&Add(entry));
    }
    const std::string series = entries[static_cast<std::size_t>(closed)]->m_ContractID;
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    const int row = view.RowOf(entries[static_cast<std::size_t>(closed)]);
    QVERIFY(row > 0);
    QTest::mouseClick(&view.Table(), Qt::LeftButton, {}, CellCentre(view, row, C::CloseAll));
    QCOMPARE(Plan().Count(), static_cast<std::size_t>(rows.size() - 1));
    const std::vector<CUntick> expected =
        unticked ? std::vector<CUntick>{{"BHP", series, isCall}} : std::vector<CUntick>{};
    QVERIFY(shown.unticks == expected);
}

// Colours.

void CTradingPlanViewTest::ColourPopupStoresTheIndexAndTheFileKeepsIt() {
    const CTradingPlanEntry& entry = Add(test::SoldCall());
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    auto& table = view.Table();
    const int row = 2;
    // The colour button shows on the current cell: select it, then press the button.
    QTest::mouseClick(&table, Qt::LeftButton, {}, CellCentre(view, row, C::StrikePrice));
    QTest::mouseClick(&table, Qt::LeftButton, {}, CornerOf(view, row, C::StrikePrice));
    QPointer<CColorSelectorWnd> selector = table.ColourSelector();
    QVERIFY(selector != nullptr);
    QVERIFY(selector->isVisible());
    QCOMPARE(selector->ColourCount(), 5);
    QCOMPARE(selector->height(), 60);
    QVERIFY(selector->width() >= 80);
    QVERIFY(!table.IsEditing());

    QTest::mouseClick(selector, Qt::LeftButton, {}, selector->BandRect(3).center());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(selector.isNull());
    QCOMPARE(entry.CellColour(C::StrikePrice), 3);
    QCOMPARE(table.Cell(row, Column(C::StrikePrice))->m_Background, Rgb(255, 0, 0));
    // Other cells keep theirs.
    QCOMPARE(entry.CellColour(C::FairPrice), 4);

    test::CTempFolder folder;
    const std::string path = folder.File("tradingplan.xml");
    std::string error;
    QVERIFY(Plan().Save(path, &error));
    CTradingPlan loaded;
    QVERIFY2(loaded.Load(path, error), error.c_str());
    QCOMPARE(loaded.Count(), std::size_t{1});
    QCOMPARE(loaded.At(0).CellColour(C::StrikePrice), 3);
    QCOMPARE(loaded.At(0).CellColour(C::FairPrice), 4);

    // A refill shows the stored colour again.
    view.Refill();
    QCOMPARE(view.Table().Cell(row, Column(C::StrikePrice))->m_Background, Rgb(255, 0, 0));
}

void CTradingPlanViewTest::ColourPopupClosesWithoutAChoice() {
    const CTradingPlanEntry& entry = Add(test::SoldCall());
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    auto& table = view.Table();
    const int row = 2;
    QTest::mouseClick(&table, Qt::LeftButton, {}, CellCentre(view, row, C::Cost));
    QTest::mouseClick(&table, Qt::LeftButton, {}, CornerOf(view, row, C::Cost));
    QPointer<CColorSelectorWnd> selector = table.ColourSelector();
    QVERIFY(selector != nullptr);
    QTest::keyClick(selector, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(selector.isNull());

    // Losing the focus closes it too.
    QTest::mouseClick(&table, Qt::LeftButton, {}, CornerOf(view, row, C::Cost));
    selector = table.ColourSelector();
    QVERIFY(selector != nullptr);
    selector->clearFocus();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(selector.isNull());

    // A popup whose row went away in a refill changes nothing.
    QTest::mouseClick(&table, Qt::LeftButton, {}, CornerOf(view, row, C::Cost));
    selector = table.ColourSelector();
    QVERIFY(selector != nullptr);
    table.ApplyCellColour(row, Column(C::Cost), &entry, 2);
    QCOMPARE(entry.CellColour(C::Cost), 2);
    const CTradingPlanEntry stranger = test::SoldCall();
    table.ApplyCellColour(row, Column(C::Cost), &stranger, 3);
    QCOMPARE(entry.CellColour(C::Cost), 2);
    view.Refill();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(selector.isNull());
    QCOMPARE(entry.CellColour(C::Cost), 2);
}

void CTradingPlanViewTest::ColourPopupBandsCoverItsWidth() {
    CColorSelectorWnd selector({0xFF0000, 0x00FF00, 0x0000FF, 0x000000, 0xFFFFFF});
    selector.setFixedSize(CColorSelectorWnd::kBandWidth * 5 + 5, CColorSelectorWnd::kHeight);
    int picked = -1;
    QObject::connect(&selector, &CColorSelectorWnd::ColourSelected,
                     [&picked](int index) { picked = index; });
    // x divided by the band width, the last band taking what is left to the right edge.
    QCOMPARE(selector.BandAt(QPoint(1, 30)), 0);
    QCOMPARE(selector.BandAt(QPoint(1 + 16, 30)), 1);
    QCOMPARE(selector.BandAt(QPoint(selector.width() - 2, 30)), 4);
    QCOMPARE(selector.BandRect(4).right(), selector.width() - 2);
    const QImage picture = selector.grab().toImage();
    QCOMPARE(picture.pixelColor(selector.BandRect(0).center()), QColor(0, 0, 255));
    QCOMPARE(picture.pixelColor(selector.BandRect(2).center()), QColor(255, 0, 0));
    QCOMPARE(picture.pixelColor(QPoint(selector.width() - 2, 30)), QColor(255, 255, 255));
    selector.setAttribute(Qt::WA_DeleteOnClose, false);
    selector.show();
    QTest::mouseClick(&selector, Qt::LeftButton, {}, QPoint(selector.width() - 2, 30));
    QCOMPARE(picked, 4);
    QVERIFY(!selector.isVisible());
}

// Scrolling and selection.

void CTradingPlanViewTest::RefillSelectsTheGivenRowAndScrollsToIt() {
    std::vector<const CTradingPlanEntry*> entries;
    for (int i = 0; i < 40; ++i) {
        entries.push_back(&Add(Series("BHP", "BHP" + std::to_string(100 + i), 1000 - i)));
    }
    CShownView shown(Session(), QSize(1400, 300));
    CTradingPlanView& view = shown.view;
    QVERIFY(view.verticalScrollBar()->maximum() > 0);
    QCOMPARE(view.verticalScrollBar()->pageStep(), view.viewport()->height());
    QCOMPARE(view.verticalScrollBar()->singleStep(), view.viewport()->height() / 10);
    QCOMPARE(view.ScrollPosition(), 0);
    view.Refill(entries[35]);
    const int row = view.RowOf(entries[35]);
    QCOMPARE(view.Table().CurrentRow(), row);
    QCOMPARE(view.Table().CurrentColumn(), 0);
    const QRect cell = view.Table().CellRect(row, 0);
    QVERIFY(cell.top() >= view.ScrollPosition());
    QVERIFY(cell.bottom() < view.ScrollPosition() + view.viewport()->height());
    QCOMPARE(view.Table().geometry().top(), -view.ScrollPosition());
}

void CTradingPlanViewTest::KeysKeepTheSelectionInViewAndShowTheHeadingAtTheTop() {
    for (int i = 0; i < 40; ++i) {
        Add(Series("BHP", "BHP" + std::to_string(100 + i), 1000 - i));
    }
    CShownView shown(Session(), QSize(1400, 300));
    CTradingPlanView& view = shown.view;
    auto& table = view.Table();
    const int first = 2;
    QTest::mouseClick(&table, Qt::LeftButton, {}, CellCentre(view, first, C::Shares));
    QCOMPARE(table.CurrentRow(), first);
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(&table, Qt::Key_Down);
    }
    QCOMPARE(table.CurrentRow(), first + 30);
    QRect cell = table.CellRect(table.CurrentRow(), table.CurrentColumn());
    QVERIFY(view.ScrollPosition() > 0);
    QVERIFY(cell.top() >= view.ScrollPosition());
    QVERIFY(cell.bottom() < view.ScrollPosition() + view.viewport()->height());

    // Back to the first row, then up once more: nothing to select, so the heading shows.
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(&table, Qt::Key_Up);
    }
    QCOMPARE(table.CurrentRow(), first);
    view.verticalScrollBar()->setValue(view.Table().Row(first)->m_Y);
    QVERIFY(view.ScrollPosition() > 0);
    QTest::keyClick(&table, Qt::Key_Up);
    QCOMPARE(table.CurrentRow(), first);
    QCOMPARE(view.ScrollPosition(), 0);
}

void CTradingPlanViewTest::OpensWithTheFirstEditableCellCurrent() {
    Add(Series("BHP", "BHP100", 500));
    Add(Series("BHP", "BHP101", 400));
    CTradingPlanView view(Session());
    view.resize(1400, 500);
    view.show();
    QApplication::setActiveWindow(&view);
    QVERIFY(QTest::qWaitForWindowActive(&view));
    auto& table = view.Table();
    QCOMPARE(table.CurrentRow(), 2);
    QCOMPARE(table.CurrentColumn(), Column(C::Shares));
    QVERIFY(table.hasFocus());

    // The keys work at once: Tab moves on, Down to the next row, typing edits.
    QTest::keyClick(&table, Qt::Key_Tab);
    QCOMPARE(table.CurrentColumn(), Column(C::OptionContracts));
    QTest::keyClick(&table, Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(&table, Qt::Key_Down);
    QCOMPARE(table.CurrentRow(), 3);
    QCOMPARE(table.CurrentColumn(), Column(C::Shares));
    QTest::keyClick(&table, Qt::Key_7);
    QVERIFY(table.ActiveEditor() != nullptr);
    QTest::keyClick(table.ActiveEditor(), Qt::Key_0);
    QTest::keyClick(table.ActiveEditor(), Qt::Key_Return);
    QCOMPARE(Text(view, 3, C::Shares), QStringLiteral("70"));
    QCOMPARE(view.EntryAt(3)->m_Shares, 70.0);
}

void CTradingPlanViewTest::KeysOpenTheTypeMenuAndTheColourPopup() {
    const CTradingPlanEntry& entry = Add(test::SoldCall());
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    QVERIFY(QTest::qWaitForWindowActive(&view));
    auto& table = view.Table();
    const int row = 2;
    table.setFocus();
    table.SetCurrentCell(row, Column(C::SrcType));
    {
        CMenuDriver driver(QStringLiteral("Buy a Call"));
        QTest::keyClick(&table, Qt::Key_Menu);
        QVERIFY(driver.found);
    }
    QCOMPARE(entry.m_SourceType, std::uint32_t{TYPE_BUY_CALL});
    {
        CMenuDriver driver(QStringLiteral("Sell a Call"));
        QTest::keyClick(&table, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(driver.found);
    }
    QCOMPARE(entry.m_SourceType, std::uint32_t{TYPE_SELL_CALL});

    // The colour popup of the current cell, worked with the keys.
    table.SetCurrentCell(row, Column(C::StrikePrice));
    QTest::keyClick(&table, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QPointer<CColorSelectorWnd> selector = table.ColourSelector();
    QVERIFY(selector != nullptr);
    QVERIFY(selector->isVisible());
    QCOMPARE(selector->MarkedBand(), 0);
    QTest::keyClick(selector, Qt::Key_Right);
    QTest::keyClick(selector, Qt::Key_Right);
    QCOMPARE(selector->MarkedBand(), 2);
    QTest::keyClick(selector, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(selector.isNull());
    QCOMPARE(entry.CellColour(C::StrikePrice), 2);
    QCOMPARE(table.Cell(row, Column(C::StrikePrice))->m_Background, view.Palette()[2]);
    // A digit picks a band at once.
    table.SetCurrentCell(row, Column(C::Cost));
    QTest::keyClick(&table, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    selector = table.ColourSelector();
    QVERIFY(selector != nullptr);
    QTest::keyClick(selector, Qt::Key_5);
    QCOMPARE(entry.CellColour(C::Cost), 4);
}

void CTradingPlanViewTest::NarrowWindowScrollsSidewaysAndCutsNoText() {
    Add(Series("BHP", "BHP100", 500));
    // Half as wide as its texts need, as a maximised plan is at 200% on a small screen.
    CShownView shown(Session(), QSize(600, 400));
    CTradingPlanView& view = shown.view;
    auto& table = view.Table();
    view.resize(table.MinimumLayoutWidth() / 2, 400);
    QVERIFY(table.MinimumLayoutWidth() > view.viewport()->width());
    QCOMPARE(table.width(), table.MinimumLayoutWidth());
    QScrollBar& across = *view.horizontalScrollBar();
    QTRY_VERIFY(across.isVisible());
    QCOMPARE(across.maximum(), table.width() - view.viewport()->width());

    // Every text shows whole, the headings in their embedded tables included.
    int texts = 0;
    std::function<void(CComplexTableWnd&)> checkWhole = [&](CComplexTableWnd& checked) {
        for (int row = 0; row < checked.RowCount(); ++row) {
            for (int column = 0; column < checked.CellCount(row); ++column) {
                const CComplexTableCell& cell = *checked.Cell(row, column);
                if (!cell.m_Visible) {
                    continue;
                }
                if (cell.m_EmbeddedTable) {
                    checkWhole(*cell.m_EmbeddedTable);
                } else if (cell.m_Kind == CellKind::Text && !cell.m_Text.isEmpty()) {
                    QCOMPARE(checked.ShownText(row, column), cell.m_Text);
                    ++texts;
                }
            }
        }
    };
    checkWhole(table);
    QVERIFY(texts > 40);

    // Moving right along the row scrolls the current cell into view.
    table.setFocus();
    table.SetCurrentCell(2, Column(C::Shares));
    while (table.MoveSelection(table.CurrentRow(), table.CurrentColumn(), TableDirection::Right)) {
    }
    QCOMPARE(table.CurrentColumn(), Column(C::BEP));
    const QRect cell = table.CellRect(2, Column(C::BEP));
    QVERIFY(across.value() > 0);
    QVERIFY(cell.left() >= across.value());
    QVERIFY(cell.right() < across.value() + view.viewport()->width());
    QCOMPARE(table.x(), -across.value());

    // A wide window needs no scrolling and the table fills it.
    view.resize(table.MinimumLayoutWidth() + 200, 400);
    QVERIFY(QTest::qWaitFor([&] { return table.width() == view.viewport()->width(); }));
    QCOMPARE(across.maximum(), 0);
}

// Commands.

void CTradingPlanViewTest::FileExportsWriteThroughTheCommands_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("opened");
    QTest::newRow("csv") << int{ID_FILE_EXPORT_CSV} << "plan.csv"
                         << "CSV Files (*.csv)" << QByteArray("Type,Company Code,")
                         << "CSV file created successfully." << false;
    QTest::newRow("excel") << int{ID_FILE_EXPORT_EXCEL} << "plan.xlsx"
                           << "Excel Files (*.xlsx)" << QByteArray("PK\x03\x04", 4)
                           << "Excel file created successfully." << true;
    QTest::newRow("word") << int{ID_FILE_EXPORT_WORD} << "plan.docx"
                          << "Word Files (*.docx)" << QByteArray("PK\x03\x04", 4)
                          << "Word file created successfully." << false;
    QTest::newRow("html") << int{ID_FILE_EXPORT_HTML} << "plan.html"
                          << "HTML Files (*.html)" << QByteArray("<")
                          << "HTML file created successfully." << false;
}

void CTradingPlanViewTest::FileExportsWriteThroughTheCommands() {
    QFETCH(int, command);
    QFETCH(QString, name);
    QFETCH(QString, filter);
    QFETCH(QByteArray, start);
    QFETCH(QString, message);
    QFETCH(bool, opened);
    Add(test::SoldCall("BHP", "BHPXY9"));
    Add(test::SoldCall("ANZ", "ANZXY9"));
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    test::CTempFolder folder;
    const QString path = QString::fromStdString(folder.File(name.toStdString()));
    // An older export is replaced.
    test::WriteTextFile(path.toStdString(), "old contents");
    QString askedFilter;
    QString askedSuffix;
    view.ExportCommands().SetSavePathChooser(
        [&](QWidget*, const QString& offered, const QString& suffix) {
            askedFilter = offered;
            askedSuffix = suffix;
            return path;
        });
    std::vector<QUrl> openedUrls;
    view.ExportCommands().SetFileOpener(
        [&openedUrls](const QUrl& url) { openedUrls.push_back(url); });
    test::CUserMessageLog& messages = ExpectMessages();

    QVERIFY(view.HandlesCommand(command));
    view.OnCommand(command);

    QCOMPARE(messages.texts, QStringList{message});
    QVERIFY(askedFilter.startsWith(filter));
    QVERIFY(filter.contains(askedSuffix));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray contents = file.readAll();
    QVERIFY2(contents.startsWith(start), contents.left(40).constData());
    QCOMPARE(openedUrls.size(), std::size_t{opened ? 1u : 0u});
    if (opened) {
        QCOMPARE(openedUrls[0], QUrl::fromLocalFile(path));
    }
    if (command == ID_FILE_EXPORT_CSV) {
        // Exactly the plan's CSV at the view's generation time.
        const std::string expected = PlanCsvText(BuildPlanExport(Plan(), view.GenerationTime()));
        QCOMPARE(contents.toStdString(), expected);
        QVERIFY(contents.contains(kTimeStamp.toLatin1()));
        QVERIFY(contents.indexOf("ANZXY9") < contents.indexOf("BHPXY9"));
    }
}

// The window shows the dark default on a dark desktop; a file written for others keeps the
// scheme the user keeps.
void CTradingPlanViewTest::ExportsOnADarkDesktopKeepTheStoredScheme() {
    Add(test::SoldCall());
    Session().SetDarkDesktop(true);
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    test::CTempFolder folder;
    const QString path = QString::fromStdString(folder.File("plan.html"));
    view.ExportCommands().SetSavePathChooser(
        [&path](QWidget*, const QString&, const QString&) { return path; });
    view.ExportCommands().SetFileOpener([](const QUrl&) {});
    ExpectMessages();
    view.OnCommand(ID_FILE_EXPORT_HTML);
    Session().SetDarkDesktop(false);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(Session().ColorScheme() == CColorScheme());
    QCOMPARE(file.readAll().toStdString(),
             PlanHtmlText(BuildPlanExport(Plan(), view.GenerationTime()), CColorScheme()));
}

// Paper is white whatever the desktop: the plan printed on a dark desktop has the colours
// the window shows on a light one, cell by cell, highlights included.
void CTradingPlanViewTest::PrintsOnADarkDesktopInTheLightColours() {
    Add(test::SoldCall()); // its premium cyan, as every new row's
    CTradingPlanEntry red = test::SoldCall();
    red.SetCellColour("BEP", 3);
    Add(red);
    Session().SetDarkDesktop(true);
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    const std::unique_ptr<CMultiTablePrintJob> job = view.PrintJob(QSize(1000, 1400));
    const CComplexTableWnd& printed = job->Table(0);
    const CTradingPlanTable& table = view.Table();
    QVERIFY(printed.Cell(0, 0)->m_Background != table.Cell(0, 0)->m_Background);

    Session().SetDarkDesktop(false);
    view.RefreshView();
    QCOMPARE(printed.RowCount(), table.RowCount());
    for (int r = 0; r < table.RowCount(); ++r) {
        QCOMPARE(printed.CellCount(r), table.CellCount(r));
        for (int c = 0; c < table.CellCount(r); ++c) {
            const QString where = QStringLiteral("row %1 cell %2").arg(r).arg(c);
            QVERIFY2(printed.Cell(r, c)->m_Background == table.Cell(r, c)->m_Background,
                     qPrintable(where));
            QVERIFY2(printed.Cell(r, c)->m_TextColor == table.Cell(r, c)->m_TextColor,
                     qPrintable(where));
        }
    }
}

void CTradingPlanViewTest::CancelledOrFailedExportsWriteNothing() {
    Add(test::SoldCall());
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    test::CTempFolder folder;
    QString answer;
    view.ExportCommands().SetSavePathChooser(
        [&answer](QWidget*, const QString&, const QString&) { return answer; });
    int opened = 0;
    view.ExportCommands().SetFileOpener([&opened](const QUrl&) { ++opened; });
    test::CUserMessageLog& messages = ExpectMessages();

    // Cancelled: no message, no file.
    for (const int command :
         {ID_FILE_EXPORT_CSV, ID_FILE_EXPORT_EXCEL, ID_FILE_EXPORT_WORD, ID_FILE_EXPORT_HTML}) {
        view.OnCommand(command);
    }
    QVERIFY(messages.texts.isEmpty());
    QVERIFY(std::filesystem::is_empty(folder.Path()));

    // A folder that is not there: the writer's message, and Excel opens nothing.
    answer = QString::fromStdString(folder.File("missing/plan.xlsx"));
    view.OnCommand(ID_FILE_EXPORT_EXCEL);
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY2(
        messages.texts[0].startsWith(QStringLiteral("Unable to create Excel file (error code: ")),
        qPrintable(messages.texts[0]));
    QVERIFY(messages.texts[0].endsWith(QStringLiteral("\n\nPlease try exporting to CSV format.")));
    QCOMPARE(opened, 0);
    answer = QString::fromStdString(folder.File("missing/plan.csv"));
    view.OnCommand(ID_FILE_EXPORT_CSV);
    QCOMPARE(messages.texts.size(), 2);
    QVERIFY2(messages.texts[1].startsWith(QStringLiteral("Unable to create file ") + answer +
                                          QStringLiteral("\n\n")),
             qPrintable(messages.texts[1]));
    QVERIFY(std::filesystem::is_empty(folder.Path()));
}

void CTradingPlanViewTest::MailCommandsAttachThePlanUnderItsName_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("name");
    QTest::newRow("csv") << int{ID_FILE_EXPORT_CSV_MAIL} << "TradingPlan_2010-06-24_06_00_00.csv";
    QTest::newRow("excel") << int{ID_FILE_EXPORT_EXCEL_MAIL}
                           << "TradingPlan_2010-06-24_06_00_00.xlsx";
}

void CTradingPlanViewTest::MailCommandsAttachThePlanUnderItsName() {
    QFETCH(int, command);
    QFETCH(QString, name);
    Add(test::SoldCall());
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    auto composer = std::make_shared<CRecordingComposer>();
    CMailAttachments attachments;
    view.ExportCommands().SetMailComposer(composer);
    view.ExportCommands().SetMailAttachments(&attachments);
    test::CUserMessageLog& messages = ExpectMessages();

    QVERIFY(view.HandlesCommand(command));
    view.OnCommand(command);

    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(composer->calls, 1);
    QCOMPARE(composer->subject, std::string("TRADING PLAN BY STRIKELINE"));
    QCOMPARE(QString::fromStdString(composer->name), name);
    QVERIFY(composer->existed);
    if (command == ID_FILE_EXPORT_CSV_MAIL) {
        QCOMPARE(composer->contents, PlanCsvText(BuildPlanExport(Plan(), view.GenerationTime())));
    } else {
        QVERIFY(composer->contents.rfind("PK\x03\x04", 0) == 0);
    }
    QVERIFY(attachments.Root().string().rfind(std::filesystem::temp_directory_path().string(), 0) ==
            0);
}

void CTradingPlanViewTest::MailFailureIsShown() {
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    auto composer = std::make_shared<CRecordingComposer>();
    composer->failure = "Unable to load MAPI library";
    CMailAttachments attachments;
    view.ExportCommands().SetMailComposer(composer);
    view.ExportCommands().SetMailAttachments(&attachments);
    test::CUserMessageLog& messages = ExpectMessages();
    view.OnCommand(ID_FILE_EXPORT_CSV_MAIL);
    QCOMPARE(messages.texts, QStringList{QStringLiteral("Unable to load MAPI library")});
    QCOMPARE(composer->calls, 1);
}

void CTradingPlanViewTest::PrintsToPdf() {
    test::CTempFolder folder;
    const auto printTo = [&folder](CTradingPlanView& view, const char* name, int& pages) {
        const QString pdf = QString::fromStdString(folder.File(name));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Landscape);
        pages = view.PrintedPageCount(printer);
        QVERIFY(view.Print(printer));
        QCOMPARE(CountPdfPages(pdf), pages);
    };
    {
        // Even an empty plan prints its heading, totals and time stamp.
        CShownView shown(Session());
        QVERIFY(shown.view.HandlesCommand(ID_FILE_PRINT));
        int pages = 0;
        printTo(shown.view, "empty.pdf", pages);
        QCOMPARE(pages, 1);
    }
    for (int i = 0; i < 60; ++i) {
        Add(Series(i % 2 == 0 ? "BHP" : "ANZ", "S" + std::to_string(100 + i), 100 + i));
    }
    CShownView shown(Session());
    int pages = 0;
    printTo(shown.view, "long.pdf", pages);
    QVERIFY(pages > 1);
}

// Undo.

void CTradingPlanViewTest::UndoAndRedoATypedFigure_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("typed");
    QTest::newRow("shares") << "Shares"
                            << "2000";
    QTest::newRow("contracts") << "OptionContracts"
                               << "3";
    QTest::newRow("money as typed") << "SharePrice"
                                    << "$12.5";
    QTest::newRow("cleared") << "Shares"
                             << "";
    QTest::newRow("dividend date") << "DividendDate"
                                   << "05-Mar-2027";
    QTest::newRow("exercise brokerage") << "EBrokerage"
                                        << "100";
}

void CTradingPlanViewTest::UndoAndRedoATypedFigure() {
    QFETCH(QString, key);
    QFETCH(QString, typed);
    const CTradingPlanEntry& entry = Add(test::SoldCall("BHP", "BHPXY9"));
    const CTradingPlanEntry& other = Add(test::SoldCall("ANZ", "ANZXY9"));
    const CTradingPlanEntry otherBefore = other;
    CShownView window(Session());
    CTradingPlanView& view = window.view;
    auto& table = view.Table();
    const std::string column = key.toStdString();
    const int row = view.RowOf(&entry);
    const CTradingPlanEntry before = entry;
    const QString textBefore = Text(view, row, column);
    const QString totalBefore = Text(view, view.TotalsRow(), C::NEProfit);
    QVERIFY(!view.HandlesCommand(ID_EDIT_UNDO));
    QVERIFY(!view.HandlesCommand(ID_EDIT_REDO));

    TypeInto(view, row, column, typed);
    const CTradingPlanEntry after = entry;
    const QString textAfter = Text(view, row, column);
    const QString totalAfter = Text(view, view.TotalsRow(), C::NEProfit);
    QVERIFY(!(after == before));
    QVERIFY(view.HandlesCommand(ID_EDIT_UNDO));
    QVERIFY(!view.HandlesCommand(ID_EDIT_REDO));

    // Elsewhere when undoing: the cell undone becomes current.
    table.SetCurrentCell(row, Column(C::SrcType));
    view.OnCommand(ID_EDIT_UNDO);
    QVERIFY(entry == before);
    QCOMPARE(Text(view, row, column), textBefore);
    for (const std::string_view figure : {C::Cost, C::NEProfit, C::EProfit, C::BEP}) {
        QCOMPARE(Text(view, row, figure), QString::fromStdString(PlanCellText(before, figure)));
    }
    QCOMPARE(Text(view, view.TotalsRow(), C::NEProfit), totalBefore);
    QCOMPARE(table.CurrentRow(), row);
    QCOMPARE(table.CurrentColumn(), Column(column));
    QVERIFY(!view.HandlesCommand(ID_EDIT_UNDO));
    QVERIFY(view.HandlesCommand(ID_EDIT_REDO));

    view.OnCommand(ID_EDIT_REDO);
    QVERIFY(entry == after);
    QCOMPARE(Text(view, row, column), textAfter);
    QCOMPARE(Text(view, view.TotalsRow(), C::NEProfit), totalAfter);
    QVERIFY(view.HandlesCommand(ID_EDIT_UNDO));
    QVERIFY(!view.HandlesCommand(ID_EDIT_REDO));
    QVERIFY(other == otherBefore);
}

void CTradingPlanViewTest::UndoAndRedoSellOrBuy() {
    const CTradingPlanEntry& entry = Add(test::SoldCall());
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    auto& table = view.Table();
    const int row = 2;
    const auto choose = [&](const QString& item) {
        CMenuDriver driver(item);
        QTest::mouseClick(&table, Qt::RightButton, {}, CellCentre(view, row, C::SrcType));
        QVERIFY(driver.found);
    };
    choose(QStringLiteral("Buy a Call"));
    QCOMPARE(entry.m_SourceType, std::uint32_t{TYPE_BUY_CALL});
    // The side the row already has changes nothing, and leaves nothing to undo.
    choose(QStringLiteral("Buy a Call"));
    QCOMPARE(view.UndoStack().count(), 1);

    view.OnCommand(ID_EDIT_UNDO);
    QCOMPARE(entry.m_SourceType, std::uint32_t{TYPE_SELL_CALL});
    QCOMPARE(Text(view, row, C::SrcType), QStringLiteral("C (Sell)"));
    QCOMPARE(Text(view, row, C::EBrokerage), QStringLiteral("$60"));
    QVERIFY(table.Cell(row, Column(C::EBrokerage))->m_Editable);
    QCOMPARE(Text(view, view.TotalsRow(), C::EProfit), QStringLiteral("$1390"));

    view.OnCommand(ID_EDIT_REDO);
    QCOMPARE(entry.m_SourceType, std::uint32_t{TYPE_BUY_CALL});
    QCOMPARE(Text(view, row, C::SrcType), QStringLiteral("C (Buy)"));
    QCOMPARE(Text(view, row, C::EBrokerage), QStringLiteral("N/A"));
    QVERIFY(!table.Cell(row, Column(C::EBrokerage))->m_Editable);
    QCOMPARE(Text(view, view.TotalsRow(), C::EProfit), QStringLiteral("$-500"));
}

void CTradingPlanViewTest::UndoingCloseAllPutsTheRowAndItsDiaryEntryBack_data() {
    QTest::addColumn<qint64>("closedBeforeSeconds"); // 0: the trade was open
    QTest::newRow("open trade") << qint64{0};
    QTest::newRow("trade closed before") << qint64{5000};
}

void CTradingPlanViewTest::UndoingCloseAllPutsTheRowAndItsDiaryEntryBack() {
    QFETCH(qint64, closedBeforeSeconds);
    const FileTime closedBefore =
        closedBeforeSeconds == 0 ? kNoDate : FileTimeFromUnix(closedBeforeSeconds);
    Add(test::SoldCall("ANZ", "ANZXY9"));
    CTradingPlanEntry closing = test::SoldCall("BHP", "BHPXY9");
    closing.m_StartDate = FileTimeFromUnix(1000);
    closing.SetCellColour(C::Cost, 2);
    Add(closing);
    Add(test::SoldCall("NAB", "NABXY9"));
    CDiaryEntry trade;
    trade.m_CompanyID = "BHP";
    trade.m_ContractID = "BHPXY9";
    trade.m_StartDate = closing.m_StartDate;
    trade.m_CloseDate = closedBefore;
    Diary().AddEntry(trade);
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    test::CTempFolder folder;
    const std::vector<CTradingPlanEntry> rowsBefore = PlanRows();
    const auto filesBefore = SavedFiles(folder);
    QVERIFY(!filesBefore.first.empty());
    const QStringList labels = RowLabels(view);
    const QString totalBefore = Text(view, view.TotalsRow(), C::Cost);

    QTest::mouseClick(&view.Table(), Qt::LeftButton, {}, CellCentre(view, 4, C::CloseAll));
    QCOMPARE(Plan().Count(), std::size_t{2});
    QCOMPARE(Diary().Entries()[0].m_CloseDate, kNow);
    QVERIFY((shown.unticks == std::vector<CUntick>{{"BHP", "BHPXY9", true}}));
    QVERIFY(view.HandlesCommand(ID_EDIT_UNDO));

    // Later: the stamp put back and done again is the first one.
    view.SetClock([] { return kNow + 3600 * kFileTimeTicksPerSecond; });
    view.OnCommand(ID_EDIT_UNDO);
    QVERIFY(PlanRows() == rowsBefore);
    QCOMPARE(Diary().Entries()[0].m_CloseDate, closedBefore);
    QVERIFY(SavedFiles(folder) == filesBefore);
    QCOMPARE(RowLabels(view), labels);
    QCOMPARE(Text(view, view.TotalsRow(), C::Cost), totalBefore);
    // The row back is the current one, its box clear, its colours kept; the Short List
    // ticks the series again.
    QCOMPARE(view.EntryAt(view.Table().CurrentRow())->m_ContractID, std::string("BHPXY9"));
    QVERIFY(!view.Table().Cell(4, Column(C::CloseAll))->m_Ticked);
    QCOMPARE(view.Table().Cell(4, Column(C::Cost))->m_Background, view.Palette()[2]);
    QVERIFY((shown.ticks == std::vector<CUntick>{{"BHP", "BHPXY9", true}}));

    view.OnCommand(ID_EDIT_REDO);
    QCOMPARE(Plan().Count(), std::size_t{2});
    QCOMPARE(RowLabels(view), (QStringList{"group ANZ", "row ANZXY9", "group NAB", "row NABXY9"}));
    QCOMPARE(Diary().Entries()[0].m_CloseDate, kNow);
    QCOMPARE(shown.unticks.size(), std::size_t{2});

    view.OnCommand(ID_EDIT_UNDO);
    QVERIFY(PlanRows() == rowsBefore);
    QVERIFY(SavedFiles(folder) == filesBefore);
}

void CTradingPlanViewTest::UndoWalksBackThroughAClosedRow() {
    // Every change names its row by its place in the plan, so changes made before a close
    // still find the row the undone close put back.
    const CTradingPlanEntry& entry = Add(test::SoldCall("BHP", "BHPXY9"));
    Add(test::SoldCall("ANZ", "ANZXY9"));
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    std::vector<std::vector<CTradingPlanEntry>> states{PlanRows()};
    const int row = view.RowOf(&entry);
    TypeInto(view, row, C::Shares, QStringLiteral("2000"));
    states.push_back(PlanRows());
    view.Table().ApplyCellColour(row, Column(C::StrikePrice), &entry, 3);
    QCOMPARE(view.Table().Cell(row, Column(C::StrikePrice))->m_Background, Rgb(255, 0, 0));
    states.push_back(PlanRows());
    QTest::mouseClick(&view.Table(), Qt::LeftButton, {}, CellCentre(view, row, C::CloseAll));
    states.push_back(PlanRows());
    QCOMPARE(states.back().size(), std::size_t{1});
    QCOMPARE(view.UndoStack().count(), 3);

    for (int step = 3; step > 0; --step) {
        view.OnCommand(ID_EDIT_UNDO);
        QVERIFY2(PlanRows() == states[static_cast<std::size_t>(step - 1)],
                 qPrintable(QString::number(step)));
    }
    const int back = view.RowOf(&Plan().At(0));
    QCOMPARE(Text(view, back, C::Shares), QStringLiteral("1000"));
    QCOMPARE(view.Table().Cell(back, Column(C::StrikePrice))->m_Background, view.Palette()[0]);
    QVERIFY(!view.HandlesCommand(ID_EDIT_UNDO));
    for (int step = 1; step <= 3; ++step) {
        view.OnCommand(ID_EDIT_REDO);
        QVERIFY2(PlanRows() == states[static_cast<std::size_t>(step)],
                 qPrintable(QString::number(step)));
    }
}

void CTradingPlanViewTest::PlanChangedElsewhereForgetsWhatCannotBeUndone() {
    const CTradingPlanEntry& entry = Add(test::SoldCall("BHP", "BHPXY9"));
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    TypeInto(view, view.RowOf(&entry), C::Shares, QStringLiteral("2000"));

    // A series added from the Short List goes at the end: every change can still be undone.
    const CTradingPlanEntry& added = Add(test::SoldCall("ANZ", "ANZXY9"));
    view.RefreshView();
    QVERIFY(view.HandlesCommand(ID_EDIT_UNDO));
    view.OnCommand(ID_EDIT_UNDO);
    QCOMPARE(entry.m_Shares, 1000.0);
    QCOMPARE(added.m_Shares, 1000.0);
    view.OnCommand(ID_EDIT_REDO);
    QCOMPARE(entry.m_Shares, 2000.0);

    // A row changed elsewhere: the stack no longer fits the plan and is forgotten.
    Plan().At(0).m_Premium = 0.75;
    view.RefreshView();
    QVERIFY(!view.HandlesCommand(ID_EDIT_UNDO));
    QVERIFY(!view.HandlesCommand(ID_EDIT_REDO));

    // "Clear Trading Plan" empties the plan: nothing to undo or redo any more.
    TypeInto(view, view.RowOf(&entry), C::Shares, QStringLiteral("3000"));
    view.OnCommand(ID_EDIT_UNDO);
    QVERIFY(view.HandlesCommand(ID_EDIT_REDO));
    Plan().Clear();
    view.RefreshView();
    QVERIFY(!view.HandlesCommand(ID_EDIT_UNDO));
    QVERIFY(!view.HandlesCommand(ID_EDIT_REDO));
    QCOMPARE(Plan().Count(), std::size_t{0});
}

void CTradingPlanViewTest::EditMenuUndoesAndRedoesWithTheKeys() {
    test::CMainFrameTestHost host;
    auto owned = std::make_unique<CMainFrame>(host);
    CMainFrame& frame = *owned;
    RegisterTradingPlanView(
        frame, {{}, [](CTradingPlanView& view) { view.SetClock([] { return kNow; }); }, {}});
    strikeline::Add(host.session, test::SoldCall("BHP", "BHPXY9"));
    frame.resize(1400, 900);
    frame.show();
    QApplication::setActiveWindow(&frame);
    QVERIFY(frame.OnCommand(ID_TRADING_PLAN_OPEN));
    auto* view =
        qobject_cast<CTradingPlanView*>(frame.GetView(ViewKind::TradingPlan, false, false));
    QVERIFY(view != nullptr);
    QAction* undo = frame.Action(ID_EDIT_UNDO);
    QAction* redo = frame.Action(ID_EDIT_REDO);
    QVERIFY(undo != nullptr && redo != nullptr);
    QVERIFY(undo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Z)));
    QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());

    // The actions follow the stack before the next key: a key of a disabled action does
    // nothing.
    QTest::mouseClick(&view->Table(), Qt::LeftButton, {}, CellCentre(*view, 2, C::CloseAll));
    QCOMPARE(host.session.TradingPlan().Count(), std::size_t{0});
    QTRY_VERIFY(undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus != nullptr);
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(host.session.TradingPlan().Count(), std::size_t{1});
    QTRY_VERIFY(redo->isEnabled());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z,
                    Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(host.session.TradingPlan().Count(), std::size_t{0});
    QTRY_VERIFY(!redo->isEnabled());
    // Through the menu's command as well.
    QVERIFY(frame.OnCommand(ID_EDIT_UNDO));
    QCOMPARE(host.session.TradingPlan().Count(), std::size_t{1});

    // Another window active: the plan's undo is not its to run.
    QMdiSubWindow* other = frame.MdiArea()->addSubWindow(new QWidget);
    other->show();
    frame.MdiArea()->setActiveSubWindow(other);
    QVERIFY(!undo->isEnabled());
    QVERIFY(!frame.OnCommand(ID_EDIT_REDO));
    QCOMPARE(host.session.TradingPlan().Count(), std::size_t{1});

    // The main window goes with the plan window open, changes on its stack and a figure
    // being typed: the figure is taken, and nothing calls back into the going window.
    frame.MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(view->parentWidget()));
    auto& table = view->Table();
    QTest::mouseClick(&table, Qt::LeftButton, {}, CellCentre(*view, 2, C::Shares));
    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(table.ActiveEditor() != nullptr);
    table.ActiveEditor()->setText(QStringLiteral("2000"));
    owned.reset();
    QCOMPARE(host.session.TradingPlan().At(0).m_Shares, 2000.0);
}

// The main window.

void CTradingPlanViewTest::MainWindowOpensRefreshesAndExportsThePlan() {
    test::CMainFrameTestHost host;
    CMainFrame frame(host);
    std::vector<CTradingPlanView*> created;
    std::vector<CUntick> unticks;
    test::CTempFolder folder;
    const QString csv = QString::fromStdString(folder.File("plan.csv"));
    RegisterTradingPlanView(
        frame, {[&unticks](const std::string& company, const std::string& series, bool isCall) {
                    unticks.push_back({company, series, isCall});
                },
                [&](CTradingPlanView& view) {
                    view.SetClock([] { return kNow; });
                    view.ExportCommands().SetAnalyticsChooser([](QWidget*) { return false; });
                    view.ExportCommands().SetSavePathChooser(
                        [csv](QWidget*, const QString&, const QString&) { return csv; });
                    created.push_back(&view);
                },
                {}});
    frame.resize(1400, 900);
    frame.show();
    QVERIFY(frame.Action(ID_TRADING_PLAN_OPEN)->isEnabled());
    QVERIFY(frame.OnCommand(ID_TRADING_PLAN_OPEN));
    auto* view =
        qobject_cast<CTradingPlanView*>(frame.GetView(ViewKind::TradingPlan, false, false));
    QVERIFY(view != nullptr);
    QCOMPARE(created, std::vector<CTradingPlanView*>{view});
    QCOMPARE(frame.MdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("Trading Plan"));
    QCOMPARE(view->Table().Cell(view->TimeStampRow(), 0)->m_Text, kTimeStamp);
    QVERIFY(view->Table().width() > 0);
    QCOMPARE(view->Table().width(), view->viewport()->width());

    // A row added elsewhere shows after the refresh request.
    const CTradingPlanEntry& added = strikeline::Add(host.session, test::SoldCall("BHP", "BHPXY9"));
    frame.RefreshView(RefreshKind::TradingPlan);
    QCOMPARE(view->EntryAt(2), &added);

    // The exports run from the menu while the plan window is active.
    frame.UpdateCommandStates();
    for (const int command :
         {ID_FILE_EXPORT_CSV, ID_FILE_EXPORT_EXCEL, ID_FILE_EXPORT_WORD, ID_FILE_EXPORT_HTML,
          ID_FILE_EXPORT_CSV_MAIL, ID_FILE_EXPORT_EXCEL_MAIL, ID_FILE_PRINT}) {
        QVERIFY(frame.Action(command)->isEnabled());
    }
    QVERIFY(frame.OnCommand(ID_FILE_EXPORT_CSV));
    QCOMPARE(host.messages.texts, QStringList{QStringLiteral("CSV file created successfully.")});
    QVERIFY(test::ReadTextFile(csv.toStdString()).find("BHPXY9") != std::string::npos);

    // Closing the only row tells the Short List through the registered hook.
    QTest::mouseClick(&view->Table(), Qt::LeftButton, {}, CellCentre(*view, 2, C::CloseAll));
    QCOMPARE(host.session.TradingPlan().Count(), std::size_t{0});
    QVERIFY((unticks == std::vector<CUntick>{{"BHP", "BHPXY9", true}}));

    frame.MdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(frame.GetView(ViewKind::TradingPlan, false, false) == nullptr);
    frame.hide();
}

// Analytics.

void CTradingPlanViewTest::AnalyticsColumnsFillInWhenTheAnalyticsAreReady() {
    using CMarket = test::CFrankedCallMarket;
    test::CMainFrameTestHost host;
    CMainFrame frame(host);
    RegisterTradingPlanView(frame,
                            {{},
                             [](CTradingPlanView& view) { view.SetClock([] { return kNow; }); },
                             {},
                             &host.analytics});
    // The worker's clock is the system's: the market's dates count from today.
    const CMarket market(CurrentFileTime());
    const CTradingPlanEntry& written = strikeline::Add(host.session, market.Row());
    const CTradingPlanEntry& missing =
        strikeline::Add(host.session, market.Row(CMarket::kMissingSeries));
    frame.resize(1400, 900);
    frame.show();
    QVERIFY(frame.OnCommand(ID_TRADING_PLAN_OPEN));
    auto* view =
        qobject_cast<CTradingPlanView*>(frame.GetView(ViewKind::TradingPlan, false, false));
    QVERIFY(view != nullptr);
    const int writtenRow = view->RowOf(&written);
    const int missingRow = view->RowOf(&missing);
    QVERIFY(writtenRow > 0 && missingRow > 0);
    const auto analyticsTexts = [&](int row) {
        return QStringList{Text(*view, row, C::Days), Text(*view, row, C::AnnualReturn),
                           Text(*view, row, C::Warnings)};
    };
    // Nothing worked out yet: the cells are there, empty, and the figures are the plan's.
    const QString bep = Text(*view, writtenRow, C::BEP);
    QCOMPARE(analyticsTexts(writtenRow), QStringList({QString(), QString(), QString()}));
    QCOMPARE(analyticsTexts(missingRow), QStringList({QString(), QString(), QString()}));
    const QString totals = Text(*view, view->TotalsRow(), C::NEProfit);

    host.session.Market().PublishCalls(market.calls);
    host.session.Market().PublishDividends(market.dividends);
    // Not waited for: the window fills in on Ready, as it does for the user.
    host.analytics.Recompute();
    QTRY_COMPARE(Text(*view, writtenRow, C::Days), QString::number(CMarket::kExpiryDays));

    // The written call: its days, its not-exercised return a year and the franking warning
    // in the warning colour.
    const double perYear = NotExercisedReturn(written) * 365.0 / CMarket::kExpiryDays;
    QCOMPARE(Text(*view, writtenRow, C::AnnualReturn), Percent(perYear));
    const QString warning = Text(*view, writtenRow, C::Warnings);
    QVERIFY2(warning.contains(QString::fromStdString(CMarket::FrankingWarning())),
             qPrintable(warning));
    const CComplexTableWnd& table = view->Table();
    QCOMPARE(table.Cell(writtenRow, Column(C::Warnings))->m_TextColor,
             CTradingPlanTableBuilder::kWarningColor);
    // The row not in the market: the note in the plain colour, and no figures.
    QCOMPARE(analyticsTexts(missingRow),
             QStringList({QString(), QString(),
                          QString::fromUtf8(kNoAnalyticsNote.data(), kNoAnalyticsNote.size())}));
    QCOMPARE(table.Cell(missingRow, Column(C::Warnings))->m_TextColor,
             Session().ColorScheme().Get(SchemeColor::ReportFg));
    // The plan's own figures stay as they were.
    QCOMPARE(Text(*view, writtenRow, C::BEP), bep);
    QCOMPARE(Text(*view, view->TotalsRow(), C::NEProfit), totals);

    // The whole warning is the cell's tooltip.
    const QPoint centre = CellCentre(*view, writtenRow, C::Warnings);
    QHelpEvent help(QEvent::ToolTip, centre, view->Table().mapToGlobal(centre));
    QApplication::sendEvent(&view->Table(), &help);
    QTRY_COMPARE(QToolTip::text(), warning);
    QToolTip::hideText();

    // A typed premium changes the return a year at once.
    TypeInto(*view, writtenRow, C::FairPrice, QStringLiteral("16"));
    QCOMPARE(Text(*view, writtenRow, C::AnnualReturn),
             Percent(NotExercisedReturn(written) * 365.0 / CMarket::kExpiryDays));
    QVERIFY(Text(*view, writtenRow, C::AnnualReturn) != Percent(perYear));
    frame.hide();
}

void CTradingPlanViewTest::ExportsIncludeTheAnalyticsOnlyWhenTicked() {
    const test::CFrankedCallMarket market(kNow);
    Add(market.Row());
    CShownView shown(Session());
    CTradingPlanView& view = shown.view;
    test::CTempFolder folder;
    const QString path = QString::fromStdString(folder.File("plan.csv"));
    view.ExportCommands().SetSavePathChooser(
        [&path](QWidget*, const QString&, const QString&) { return path; });
    view.ExportCommands().SetAnalyticsChooser({});
    test::CUserMessageLog& messages = ExpectMessages();

    // The question comes first, its box unticked and holding the focus; the keys answer it.
    struct CAsked {
        bool asked = false;
        bool ticked = true;
        bool focused = false;
    };
    const auto answer = [](std::vector<int> keys, CAsked* asked) {
        QTimer::singleShot(0, [keys = std::move(keys), asked] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            auto* box = dialog == nullptr ? nullptr : dialog->findChild<QCheckBox*>();
            if (box == nullptr) {
                return;
            }
            asked->asked = true;
            asked->ticked = box->isChecked();
            asked->focused = dialog->focusWidget() == box;
            for (const int key : keys) {
                QTest::keyClick(box, static_cast<Qt::Key>(key));
            }
            // Never left open by keys that did not answer it.
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
    };
    struct Case {
        const char* name;
        std::vector<int> keys;
        bool written;
        bool analytics;
    };
    const Case cases[] = {
        {"cancelled", {Qt::Key_Escape}, false, false},
        {"left out", {Qt::Key_Return}, true, false},
        {"ticked", {Qt::Key_Space, Qt::Key_Return}, true, true},
    };
    for (const Case& c : cases) {
        QFile::remove(path);
        messages.texts.clear();
        CAsked asked;
        answer(c.keys, &asked);
        view.OnCommand(ID_FILE_EXPORT_CSV);
        QVERIFY2(asked.asked && !asked.ticked && asked.focused, c.name);
        QCOMPARE(QFile::exists(path), c.written);
        if (!c.written) {
            QVERIFY2(messages.texts.isEmpty(), c.name);
            continue;
        }
        const std::string csv = test::ReadTextFile(path.toStdString());
        QCOMPARE(csv.find(",BEP,Days,Ann. Return %,Warnings\n") != std::string::npos, c.analytics);
        // The analytics are not worked out in this session: their cells are empty.
        QCOMPARE(csv, PlanCsvText(BuildPlanExport(Plan(), view.GenerationTime(),
                                                  c.analytics ? &kNotReady : nullptr)));
    }

    // The mails ask too.
    auto composer = std::make_shared<CRecordingComposer>();
    CMailAttachments attachments;
    view.ExportCommands().SetMailComposer(composer);
    view.ExportCommands().SetMailAttachments(&attachments);
    view.ExportCommands().SetAnalyticsChooser([](QWidget*) { return true; });
    view.OnCommand(ID_FILE_EXPORT_CSV_MAIL);
    QCOMPARE(composer->calls, 1);
    QVERIFY(composer->contents.find(",BEP,Days,Ann. Return %,Warnings\n") != std::string::npos);
    view.ExportCommands().SetAnalyticsChooser([](QWidget*) { return std::nullopt; });
    view.OnCommand(ID_FILE_EXPORT_EXCEL_MAIL);
    QCOMPARE(composer->calls, 1);
}

} // namespace strikeline

QTEST_MAIN(strikeline::CTradingPlanViewTest)
#include "TradingPlanViewTest.moc"
