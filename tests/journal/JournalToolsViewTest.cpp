// The Dividends window and the Leverage Calculator driven as the user drives them: real
// widgets on the offscreen platform, the program's dividends list and average-trades
// figures, and the main window that opens them.

#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/app/RefreshKind.h"
#include "gui/journal/DividendsGrid.h"
#include "gui/journal/DividendsView.h"
#include "gui/journal/JournalViews.h"
#include "gui/journal/LeverageCalcView.h"
#include "gui/widgets/InPlaceEdit.h"
#include "gui/widgets/QtColor.h"
#include "journal/AverageTradesDatabase.h"
#include "journal/JournalViewTestSupport.h"
#include "marketdata/Dividend.h"
#include "session/ApplicationState.h"
#include "session/Session.h"
#include "storage/ColorScheme.h"
#include "storage/NumberText.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/UserMessageLog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <memory>
#include <optional>

namespace strikeline {

namespace {

using test::CUserMessageLog;
using Table = CDividendsGrid;

FileTime At(const char* text) {
    FileTime value = kNoDate;
    if (!ParseFileTime(text, TimeZoneMode::Universal, value)) {
        qFatal("bad test time %s", text);
    }
    return value;
}

FileTime December2010() {
    return At("2010-12-15 12:00:00");
}

FileTime June2010() {
    return At("2010-06-15 12:00:00");
}

// Dividends in file order: mixed letter case, over three years and four months.
std::vector<CDividend> SomeDividends() {
    return {{"nab", At("2010-12-03 00:00:00"), 0.87},
            {"ANZ", At("2011-01-05 00:00:00"), 0.52},
            {"bhp", At("2012-01-20 00:00:00"), 1.25},
            {"CBA", At("2011-02-14 00:00:00"), 2.3},
            {"AMP", At("2010-11-30 00:00:00"), 0.1}};
}

// A scheme whose every colour differs, so that a cell in the wrong colours shows.
CColorScheme DistinctScheme() {
    CColorScheme scheme;
    scheme.Set(SchemeColor::ReportBk, Rgb(250, 240, 200));
    scheme.Set(SchemeColor::ReportFg, Rgb(10, 20, 30));
    scheme.Set(SchemeColor::CompanyHeaderBk, Rgb(20, 90, 160));
    scheme.Set(SchemeColor::CompanyHeaderFg, Rgb(240, 241, 242));
    return scheme;
}

QStringList RowTexts(const Table& table, int row) {
    QStringList texts;
    for (int column = 0; column < table.CellCount(row); ++column) {
        texts << table.Cell(row, column)->m_Text;
    }
    return texts;
}

// The company codes listed, top to bottom.
QStringList ListedCodes(const Table& table) {
    QStringList codes;
    for (int row = CDividendsView::kFirstDataRow; row < table.RowCount(); ++row) {
        codes << table.Cell(row, 0)->m_Text;
    }
    return codes;
}

QVector<int> BorderWidths(const CComplexTableCell& cell) {
    return {cell.m_LeftBorder.m_Width, cell.m_RightBorder.m_Width, cell.m_TopBorder.m_Width,
            cell.m_BottomBorder.m_Width};
}

// Types into a cell's in-place editor as the user does: Enter opens it, Enter commits.
bool TypeIntoCell(Table& table, int row, int column, const QString& text) {
    table.setFocus();
    table.SetCurrentCell(row, column);
    QTest::keyClick(&table, Qt::Key_Return);
    CInPlaceEdit* editor = table.ActiveEditor();
    if (editor == nullptr) {
        return false;
    }
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    return !table.IsEditing();
}

// The scheme and the dividends every test starts from.
void PrepareSession(CSession& session) {
    {
        CApplicationStateLock lock(session.State());
        session.State().SetColorScheme(DistinctScheme());
    }
    session.Market().PublishDividends(SomeDividends());
}

struct CShownDividends {
    explicit CShownDividends(CSession& session, CJournalClock clock = December2010)
        : view(session, std::move(clock)) {
        view.resize(550, 400);
        view.show();
    }
    Table& table() { return *view.Table(); }
    CDividendsView view;
};

} // namespace

class CJournalToolsViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // The Dividends window.
    void TitleRowsHoldTheMonthListAndTheColumnTitles();
    void SelectionsListTheirMonthsInCodeOrder_data();
    void SelectionsListTheirMonthsInCodeOrder();
    void FilterLeavingNothingShowsOnlyTheTitleRows();
    void EmptyListSaysSoForEverySelection_data();
    void EmptyListSaysSoForEverySelection();
    void AverageTradesEditsAreTakenOrRefused_data();
    void AverageTradesEditsAreTakenOrRefused();
    void ClearedFigureIsLeftOutOfTheFile();
    void OnlyTheAverageTradesColumnTakesText();
    void MovingPastTheTopShowsTheTitleRowsAgain();
    void NarrowWindowScrollsSidewaysAndCutsNoFigure();
    void DividendsCommandOpensOneWindowThatRefreshes();

    // The Leverage Calculator.
    void CalculatorOpensReadyForTheShareCount();
    void CalculatorPricesTheExample_data();
    void CalculatorPricesTheExample();
    void CalculatorRefusesAnInputWithItsMessage_data();
    void CalculatorRefusesAnInputWithItsMessage();
    void AnyInputEditEmptiesTheResults_data();
    void AnyInputEditEmptiesTheResults();
    void EnterInAnyFieldCalculates_data();
    void EnterInAnyFieldCalculates();
    void TwelveCalculatorsCascadeBackAndCloseAllClosesThem();

private:
    CAverageTradesDatabase& AverageTrades() { return m_Session->AverageTrades(); }

    std::unique_ptr<test::CScopedEnv> m_Zone;
    std::unique_ptr<CUserMessageLog> m_Messages;
    std::unique_ptr<CSession> m_Session;
};

void CJournalToolsViewTest::initTestCase() {
    m_Zone = std::make_unique<test::CScopedEnv>("TZ", "UTC");
}

void CJournalToolsViewTest::init() {
    m_Messages = std::make_unique<CUserMessageLog>();
    m_Session = std::make_unique<CSession>(std::string(), m_Messages.get());
    PrepareSession(*m_Session);
}

void CJournalToolsViewTest::cleanup() {
    m_Session.reset();
    m_Messages.reset();
}

// The Dividends window.

void CJournalToolsViewTest::TitleRowsHoldTheMonthListAndTheColumnTitles() {
    CShownDividends shown(*m_Session);
    Table& table = shown.table();
    QComboBox* filter = shown.view.FilterList();
    QCOMPARE(filter->currentText(), QStringLiteral("All"));
    QStringList choices;
    for (int i = 0; i < filter->count(); ++i) {
        choices << filter->itemText(i);
    }
    QCOMPARE(choices,
             (QStringList{"Current Month", "Current Month and Next Month", "Next Month", "All"}));

    // The month list sits inside the title row, which is twice its height.
    QCOMPARE(table.CellCount(0), 1);
    QCOMPARE(table.RowHeight(0), 2 * filter->sizeHint().height());
    QCOMPARE(filter->parentWidget(), static_cast<QWidget*>(&table));
    QVERIFY(filter->isVisible());
    QCOMPARE(filter->x(), 10);
    QCOMPARE(filter->width(), 300);
    QCOMPARE(filter->y(), (table.RowHeight(0) - filter->height()) / 2);
    QCOMPARE(filter->font(), QApplication::font());

    QCOMPARE(RowTexts(table, 1),
             (QStringList{"Company Code", "Dividends Date", "Dividends Value", "Average Trades"}));
    const CColorScheme scheme = DistinctScheme();
    for (int column = 0; column < 4; ++column) {
        const CComplexTableCell& title = *table.Cell(1, column);
        QCOMPARE(title.m_Background, scheme.Get(SchemeColor::CompanyHeaderBk));
        QCOMPARE(title.m_TextColor, scheme.Get(SchemeColor::CompanyHeaderFg));
        QVERIFY(title.m_Font.has_value() && title.m_Font->bold());
        QVERIFY(!title.m_Selectable);
        QCOMPARE(BorderWidths(title), (QVector<int>{column == 0 ? 0 : 1, 0, 0, 1}));
        QCOMPARE(title.m_LeftBorder.m_Color, Rgb(153, 153, 153));
    }
    QCOMPARE(BorderWidths(*table.Cell(0, 0)), (QVector<int>{0, 0, 0, 1}));

    // Data rows in the report colours; the table fills the width and is as high as its rows.
    const CComplexTableCell& code = *table.Cell(2, 0);
    QCOMPARE(code.m_Background, scheme.Get(SchemeColor::ReportBk));
    QCOMPARE(code.m_TextColor, scheme.Get(SchemeColor::ReportFg));
    QCOMPARE(BorderWidths(code), (QVector<int>{0, 0, 0, 1}));
    QCOMPARE(BorderWidths(*table.Cell(2, 3)), (QVector<int>{1, 0, 0, 1}));
    QCOMPARE(table.width(), shown.view.viewport()->width());
    int rows = 0;
    for (int row = 0; row < table.RowCount(); ++row) {
        rows += table.RowHeight(row);
    }
    QCOMPARE(table.height(), rows);
    QCOMPARE(shown.view.viewport()->palette().color(QPalette::Window),
             ToQColor(scheme.Get(SchemeColor::ReportBk)));
}

void CJournalToolsViewTest::SelectionsListTheirMonthsInCodeOrder_data() {
    QTest::addColumn<int>("selection");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<QStringList>("codes");
    const auto december = static_cast<qint64>(December2010());
    QTest::newRow("current month") << 0 << december << QStringList{"nab"};
    // January of any year is December's next month.
    QTest::newRow("current and next") << 1 << december << QStringList{"ANZ", "bhp", "nab"};
    QTest::newRow("next month") << 2 << december << QStringList{"ANZ", "bhp"};
    QTest::newRow("all") << 3 << december << QStringList{"AMP", "ANZ", "bhp", "CBA", "nab"};
    QTest::newRow("next after November")
        << 2 << static_cast<qint64>(At("2010-11-01 00:00:00")) << QStringList{"nab"};
}

void CJournalToolsViewTest::SelectionsListTheirMonthsInCodeOrder() {
    QFETCH(int, selection);
    QFETCH(qint64, now);
    QFETCH(QStringList, codes);
    AverageTrades().Set("BHP", 12.5);
    const auto moment = static_cast<FileTime>(now);
    CShownDividends shown(*m_Session, [moment] { return moment; });
    shown.view.FilterList()->setCurrentIndex(selection);
    QCOMPARE(ListedCodes(shown.table()), codes);
    if (codes.contains("bhp")) {
        const int row = CDividendsView::kFirstDataRow + static_cast<int>(codes.indexOf("bhp"));
        QCOMPARE(RowTexts(shown.table(), row),
                 (QStringList{"bhp", "20-Jan-2012", "$1.25", "12.5"}));
    }
    if (codes.contains("ANZ")) {
        const int row = CDividendsView::kFirstDataRow + static_cast<int>(codes.indexOf("ANZ"));
        QCOMPARE(RowTexts(shown.table(), row), (QStringList{"ANZ", "05-Jan-2011", "$0.52", ""}));
    }
}

void CJournalToolsViewTest::FilterLeavingNothingShowsOnlyTheTitleRows() {
    CShownDividends shown(*m_Session, June2010);
    shown.view.FilterList()->setCurrentIndex(0);
    QCOMPARE(shown.table().RowCount(), 2);
    shown.view.FilterList()->setCurrentIndex(3);
    QCOMPARE(shown.table().RowCount(), 7);
}

void CJournalToolsViewTest::EmptyListSaysSoForEverySelection_data() {
    QTest::addColumn<int>("selection");
    for (int selection = 0; selection < 4; ++selection) {
        QTest::newRow(qPrintable(QString::number(selection))) << selection;
    }
}

void CJournalToolsViewTest::EmptyListSaysSoForEverySelection() {
    QFETCH(int, selection);
    m_Session->Market().PublishDividends({});
    CShownDividends shown(*m_Session);
    shown.view.FilterList()->setCurrentIndex(selection);
    Table& table = shown.table();
    QCOMPARE(table.RowCount(), 3);
    QCOMPARE(RowTexts(table, 2), QStringList{"No dividends found"});
    QCOMPARE(BorderWidths(*table.Cell(2, 0)), (QVector<int>{0, 0, 0, 1}));
    QVERIFY(!table.Cell(2, 0)->m_Editable);
    // Nothing to type into: the only line takes no text.
    table.CommitEditedText(2, 0, "5");
    QCOMPARE(table.Cell(2, 0)->m_Text, QStringLiteral("No dividends found"));
}

void CJournalToolsViewTest::AverageTradesEditsAreTakenOrRefused_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    const QString range = QStringLiteral("Invalid average trades\n\nThe average trades can "
                                         "hold figures between 0 and 1000000000.");
    QTest::newRow("leading number") << "  12 trades " << 12.0 << "12 trades" << QString();
    QTest::newRow("zero") << "0" << 0.0 << "0" << QString();
    QTest::newRow("cleared") << "   " << UNSET_VALUE << "" << QString();
    QTest::newRow("no number") << "abc" << 7.0 << "7"
                               << "Invalid average trades\n\n\"abc\" is not a number.";
    // Read up to the comma it would be 1.
    QTest::newRow("cut short") << "1,23" << 7.0 << "7"
                               << "Invalid average trades\n\n\"1,23\" is not a number.";
    // Figures the file could not read back at the next start are refused.
    QTest::newRow("negative") << "-5" << 7.0 << "7" << range;
    QTest::newRow("too large") << "2e9" << 7.0 << "7" << range;
}

void CJournalToolsViewTest::AverageTradesEditsAreTakenOrRefused() {
    QFETCH(QString, typed);
    QFETCH(double, stored);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    AverageTrades().Set("anz", 7);
    CUserMessageLog& messages = *m_Messages;
    CShownDividends window(*m_Session);
    Table& table = window.table();
    const int row = CDividendsView::kFirstDataRow + 1; // ANZ
    QCOMPARE(table.Cell(row, 0)->m_Text, QStringLiteral("ANZ"));
    QCOMPARE(table.Cell(row, 3)->m_Text, QStringLiteral("7"));
    QVERIFY(TypeIntoCell(table, row, 3, typed));
    QCOMPARE(table.Cell(row, 3)->m_Text, shown);
    QCOMPARE(messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(AverageTrades().Lookup("ANZ"), std::optional<double>(stored));
    // Nothing else changed.
    QCOMPARE(AverageTrades().Items().size(), std::size_t{1});
    QCOMPARE(RowTexts(table, row).mid(0, 3), (QStringList{"ANZ", "05-Jan-2011", "$0.52"}));

    // A rebuild shows what was stored.
    window.view.RefreshDividends();
    QCOMPARE(table.Cell(row, 3)->m_Text, stored == UNSET_VALUE ? QString() : shown.split(' ')[0]);
}

void CJournalToolsViewTest::ClearedFigureIsLeftOutOfTheFile() {
    test::CTempFolder folder;
    AverageTrades().Set("ANZ", 7);
    AverageTrades().Set("CBA", 3);
    CShownDividends window(*m_Session);
    QVERIFY(TypeIntoCell(window.table(), CDividendsView::kFirstDataRow + 1, 3, ""));
    const std::string path = folder.File("averagetrades.xml");
    QVERIFY(AverageTrades().Save(path));
    CAverageTradesDatabase reread;
    std::string error;
    QVERIFY(reread.Load(path, error));
    QCOMPARE(reread.Lookup("ANZ"), std::optional<double>());
    QCOMPARE(reread.Lookup("CBA"), std::optional<double>(3.0));
}

void CJournalToolsViewTest::OnlyTheAverageTradesColumnTakesText() {
    CShownDividends window(*m_Session);
    Table& table = window.table();
    const int row = CDividendsView::kFirstDataRow;
    for (int column = 0; column < 3; ++column) {
        QVERIFY(table.Cell(row, column)->m_Selectable);
        QVERIFY(!table.Cell(row, column)->m_Editable);
        const QString before = table.Cell(row, column)->m_Text;
        table.CommitEditedText(row, column, "99");
        QCOMPARE(table.Cell(row, column)->m_Text, before);
    }
    QVERIFY(table.Cell(row, 3)->m_Editable);
    QVERIFY(AverageTrades().Items().empty());
}

void CJournalToolsViewTest::NarrowWindowScrollsSidewaysAndCutsNoFigure() {
    m_Session->Market().PublishDividends({{"AAA", At("2010-12-03 00:00:00"), 1234567.125}});
    CShownDividends shown(*m_Session);
    CDividendsView& view = shown.view;
    Table& table = shown.table();
    view.resize(table.MinimumLayoutWidth() / 2, 400);
    QVERIFY(table.MinimumLayoutWidth() > view.viewport()->width());
    QCOMPARE(table.width(), table.MinimumLayoutWidth());
    QScrollBar& across = *view.horizontalScrollBar();
    QTRY_VERIFY(across.isVisible());
    QCOMPARE(across.maximum(), table.width() - view.viewport()->width());
    for (int row = CDividendsView::kColumnTitlesRow; row < table.RowCount(); ++row) {
        for (int column = 0; column < table.CellCount(row); ++column) {
            QCOMPARE(table.ShownText(row, column), table.Cell(row, column)->m_Text);
        }
    }
    // The average-trades cell at the right comes into view when it becomes current.
    table.setFocus();
    table.SetCurrentCell(CDividendsView::kFirstDataRow, 0);
    QTest::keyClick(&table, Qt::Key_Tab);
    QTest::keyClick(&table, Qt::Key_Tab);
    QTest::keyClick(&table, Qt::Key_Tab);
    QCOMPARE(table.CurrentColumn(), CDividendsView::kAverageTradesColumn);
    const QRect cell = table.CellRect(CDividendsView::kFirstDataRow, table.CurrentColumn());
    QVERIFY(across.value() > 0);
    QCOMPARE(table.x(), -across.value());
    QVERIFY(cell.right() < across.value() + view.viewport()->width());
}

void CJournalToolsViewTest::MovingPastTheTopShowsTheTitleRowsAgain() {
    std::vector<CDividend> many;
    for (int i = 0; i < 60; ++i) {
        many.push_back({QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')).toStdString(),
                        At("2010-12-03 00:00:00"), 1.0});
    }
    m_Session->Market().PublishDividends(many);
    CShownDividends window(*m_Session);
    Table& table = window.table();
    QScrollBar* bar = window.view.verticalScrollBar();
    const int client = window.view.viewport()->height();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->singleStep(), client / 10);
    QCOMPARE(bar->maximum(), table.height() - client);

    // Down to the bottom: the current cell stays in view.
    table.setFocus();
    table.SetCurrentCell(CDividendsView::kFirstDataRow, 0);
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(&table, Qt::Key_PageDown);
        const QRect cell = table.CellRect(table.CurrentRow(), 0);
        QVERIFY(cell.top() >= bar->value());
        QVERIFY(cell.bottom() < bar->value() + client);
    }
    QCOMPARE(table.CurrentRow(), table.RowCount() - 1);
    QCOMPARE(bar->value(), bar->maximum());

    // Up to the first line: it shows at the top, the title rows above it stay hidden.
    for (int i = 0; i < 100 && table.CurrentRow() > CDividendsView::kFirstDataRow; ++i) {
        QTest::keyClick(&table, Qt::Key_Up);
    }
    QCOMPARE(table.CurrentRow(), CDividendsView::kFirstDataRow);
    QCOMPARE(bar->value(), table.CellRect(CDividendsView::kFirstDataRow, 0).top());
    QVERIFY(bar->value() > 0);
    // One more step up hits the top: the window goes back to its corner.
    QTest::keyClick(&table, Qt::Key_Up);
    QCOMPARE(table.CurrentRow(), CDividendsView::kFirstDataRow);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(table.y(), 0);

    // Shift+Tab from the first cell does the same.
    bar->setValue(bar->maximum());
    QTest::keyClick(&table, Qt::Key_Backtab);
    QCOMPARE(bar->value(), 0);
}

void CJournalToolsViewTest::DividendsCommandOpensOneWindowThatRefreshes() {
    test::CMainFrameTestHost host;
    PrepareSession(host.session);
    CMainFrame frame(host);
    RegisterJournalViews(frame, December2010);
    frame.resize(1200, 800);
    frame.show();
    QVERIFY(frame.Action(ID_YIELD_DIVIDENDS)->isEnabled());
    QVERIFY(frame.OnCommand(ID_YIELD_DIVIDENDS));
    QMdiSubWindow* window = frame.MdiArea()->activeSubWindow();
    QVERIFY(window != nullptr);
    QCOMPARE(window->windowTitle(), QStringLiteral("Dividends"));
    QCOMPARE(window->size(), QSize(550, 400));
    auto* view = qobject_cast<CDividendsView*>(frame.GetView(ViewKind::Dividends, false, false));
    QVERIFY(view != nullptr);
    QVERIFY(frame.OnCommand(ID_YIELD_DIVIDENDS));
    QCOMPARE(frame.MdiArea()->activeSubWindow(), window);

    // New data and a new scheme reach the open window through the main window's refresh,
    // which keeps the chosen months.
    view->FilterList()->setCurrentIndex(1);
    host.session.Market().PublishDividends({{"wbc", At("2011-01-07 00:00:00"), 0.74}});
    CColorScheme scheme = DistinctScheme();
    scheme.Set(SchemeColor::ReportBk, Rgb(1, 2, 3));
    {
        CApplicationStateLock lock(host.session.State());
        host.session.State().SetColorScheme(scheme);
    }
    frame.RefreshView(RefreshKind::Dividends);
    QCOMPARE(view->FilterList()->currentIndex(), 1);
    QCOMPARE(ListedCodes(*view->Table()), QStringList{"wbc"});
    QCOMPARE(view->Table()->Cell(2, 0)->m_Background, Rgb(1, 2, 3));
}

// The Leverage Calculator.

void CJournalToolsViewTest::CalculatorOpensReadyForTheShareCount() {
    test::CMainFrameTestHost host;
    CMainFrame frame(host);
    RegisterJournalViews(frame);
    frame.show();
    QVERIFY(frame.OnCommand(ID_CALCULATOR));
    const QList<CLeverageCalcView*> open = frame.findChildren<CLeverageCalcView*>();
    QCOMPARE(open.size(), 1);
    CLeverageCalcView& calculator = *open.front();
    // A window of the main window's area, the active one.
    auto* window = qobject_cast<QMdiSubWindow*>(calculator.parentWidget());
    QVERIFY(window != nullptr);
    QCOMPARE(window->mdiArea(), frame.MdiArea());
    QCOMPARE(frame.MdiArea()->activeSubWindow(), window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Leverage Calculator"));
    QVERIFY(calculator.isVisible());
    QCOMPARE(calculator.windowTitle(), QStringLiteral("Leverage Calculator"));
    QCOMPARE(calculator.InputEdit(LeverageField::InterestRate)->text(), QStringLiteral("9"));
    QCOMPARE(calculator.focusWidget(), calculator.InputEdit(LeverageField::Shares));
    QCOMPARE(calculator.CalculateButton()->text(), QStringLiteral("Calculate"));

    // Results are read-only and a shade darker than the inputs.
    const QColor field =
        calculator.InputEdit(LeverageField::Shares)->palette().color(QPalette::Base);
    for (const QLineEdit* result :
         {calculator.TotalPurchasePriceEdit(), calculator.CostPerShareEdit(),
          calculator.CostOfLeverageEdit()}) {
        QVERIFY(result->isReadOnly());
        QCOMPARE(result->palette().color(QPalette::Base),
                 CLeverageCalcView::ResultBackground(field));
    }
    QVERIFY(!calculator.InputEdit(LeverageField::PeriodDays)->isReadOnly());
    QCOMPARE(CLeverageCalcView::ResultBackground(QColor(255, 255, 255)), QColor(235, 235, 235));
    QCOMPARE(CLeverageCalcView::ResultBackground(QColor(10, 30, 255)), QColor(0, 10, 235));
}

void CJournalToolsViewTest::CalculatorPricesTheExample_data() {
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QStringList>("results");
    const QStringList example{"$2500", "$0.01875", "$18.49315"};
    QTest::newRow("example") << QStringList{"1000", "2.50", "9", "30"} << example;
    QTest::newRow("signs ignored") << QStringList{"1000", "$2.50", "9%", "30"} << example;
    QTest::newRow("zero and negative allowed")
        << QStringList{"100", "-2", "0", "-30"} << QStringList{"$-200", "$0", "$0"};
}

void CJournalToolsViewTest::CalculatorPricesTheExample() {
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, results);
    CUserMessageLog& messages = *m_Messages;
    CLeverageCalcView calculator(*m_Messages);
    calculator.show();
    const LeverageField fields[] = {LeverageField::Shares, LeverageField::PricePerShare,
                                    LeverageField::InterestRate, LeverageField::PeriodDays};
    for (int i = 0; i < 4; ++i) {
        calculator.InputEdit(fields[i])->setText(inputs[i]);
    }
    QTest::mouseClick(calculator.CalculateButton(), Qt::LeftButton);
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE((QStringList{calculator.TotalPurchasePriceEdit()->text(),
                          calculator.CostPerShareEdit()->text(),
                          calculator.CostOfLeverageEdit()->text()}),
             results);
}

void CJournalToolsViewTest::CalculatorRefusesAnInputWithItsMessage_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const auto add = [](const char* name, LeverageField field, const char* text,
                        const char* message) {
        QTest::newRow(name) << static_cast<int>(field) << QString::fromLatin1(text)
                            << QString::fromLatin1(message);
    };
    add("no shares", LeverageField::Shares, "0", "Invalid number of shares");
    add("negative shares", LeverageField::Shares, "-5", "Invalid number of shares");
    add("blank shares", LeverageField::Shares, "", "Invalid number of shares");
    add("price text", LeverageField::PricePerShare, "abc", "Invalid price per share");
    add("price only a sign", LeverageField::PricePerShare, "$", "Invalid price per share");
    add("rate only a sign", LeverageField::InterestRate, "%", "Invalid interest rate");
    add("days blank", LeverageField::PeriodDays, "", "Invalid period of margin");
}

void CJournalToolsViewTest::CalculatorRefusesAnInputWithItsMessage() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    CUserMessageLog& messages = *m_Messages;
    CLeverageCalcView calculator(*m_Messages);
    calculator.show();
    calculator.InputEdit(LeverageField::Shares)->setText("1000");
    calculator.InputEdit(LeverageField::PricePerShare)->setText("2.5");
    calculator.InputEdit(LeverageField::PeriodDays)->setText("30");
    QLineEdit* edit = calculator.InputEdit(static_cast<LeverageField>(field));
    edit->setText(text);
    calculator.Calculate();
    QCOMPARE(messages.texts, QStringList{message});
    QCOMPARE(calculator.focusWidget(), edit);
    QVERIFY(calculator.TotalPurchasePriceEdit()->text().isEmpty());
    QVERIFY(calculator.CostPerShareEdit()->text().isEmpty());
    QVERIFY(calculator.CostOfLeverageEdit()->text().isEmpty());
}

void CJournalToolsViewTest::AnyInputEditEmptiesTheResults_data() {
    QTest::addColumn<int>("field");
    QTest::newRow("shares") << static_cast<int>(LeverageField::Shares);
    QTest::newRow("price") << static_cast<int>(LeverageField::PricePerShare);
    QTest::newRow("rate") << static_cast<int>(LeverageField::InterestRate);
    QTest::newRow("days") << static_cast<int>(LeverageField::PeriodDays);
}

void CJournalToolsViewTest::AnyInputEditEmptiesTheResults() {
    QFETCH(int, field);
    CUserMessageLog& messages = *m_Messages;
    CLeverageCalcView calculator(*m_Messages);
    calculator.show();
    calculator.InputEdit(LeverageField::Shares)->setText("1000");
    calculator.InputEdit(LeverageField::PricePerShare)->setText("2.5");
    calculator.InputEdit(LeverageField::PeriodDays)->setText("30");
    calculator.Calculate();
    QCOMPARE(calculator.CostOfLeverageEdit()->text(), QStringLiteral("$18.49315"));
    QLineEdit* edit = calculator.InputEdit(static_cast<LeverageField>(field));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_1);
    QVERIFY(calculator.TotalPurchasePriceEdit()->text().isEmpty());
    QVERIFY(calculator.CostPerShareEdit()->text().isEmpty());
    QVERIFY(calculator.CostOfLeverageEdit()->text().isEmpty());
    calculator.Calculate();
    QVERIFY(!calculator.TotalPurchasePriceEdit()->text().isEmpty());
    QVERIFY(messages.texts.isEmpty());
}

void CJournalToolsViewTest::EnterInAnyFieldCalculates_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("key");
    QTest::newRow("shares") << static_cast<int>(LeverageField::Shares) << int(Qt::Key_Return);
    QTest::newRow("price") << static_cast<int>(LeverageField::PricePerShare) << int(Qt::Key_Return);
    QTest::newRow("rate") << static_cast<int>(LeverageField::InterestRate) << int(Qt::Key_Return);
    QTest::newRow("days, keypad Enter")
        << static_cast<int>(LeverageField::PeriodDays) << int(Qt::Key_Enter);
}

void CJournalToolsViewTest::EnterInAnyFieldCalculates() {
    QFETCH(int, field);
    QFETCH(int, key);
    CUserMessageLog& messages = *m_Messages;
    CLeverageCalcView calculator(*m_Messages);
    calculator.show();
    QVERIFY(QTest::qWaitForWindowActive(&calculator));
    calculator.InputEdit(LeverageField::Shares)->setText("1000");
    calculator.InputEdit(LeverageField::PricePerShare)->setText("2.5");
    calculator.InputEdit(LeverageField::PeriodDays)->setText("30");
    QLineEdit* edit = calculator.InputEdit(static_cast<LeverageField>(field));
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, static_cast<Qt::Key>(key),
                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(calculator.CostOfLeverageEdit()->text(), QStringLiteral("$18.49315"));

    // A refused input says why, as the button does.
    calculator.InputEdit(LeverageField::Shares)->setText("0");
    QTest::keyClick(edit, static_cast<Qt::Key>(key),
                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(messages.texts, QStringList{"Invalid number of shares"});
}

void CJournalToolsViewTest::TwelveCalculatorsCascadeBackAndCloseAllClosesThem() {
    test::CMainFrameTestHost host;
    CMainFrame frame(host);
    RegisterJournalViews(frame);
    frame.resize(1000, 700);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QList<QPointer<CLeverageCalcView>> opened;
    QList<int> shifts;
    for (int i = 0; i < 12; ++i) {
        QVERIFY(frame.OnCommand(ID_CALCULATOR));
        const QList<CLeverageCalcView*> all = frame.findChildren<CLeverageCalcView*>();
        QCOMPARE(all.size(), i + 1);
        CLeverageCalcView* latest = nullptr;
        for (CLeverageCalcView* calculator : all) {
            if (!opened.contains(calculator)) {
                latest = calculator;
            }
        }
        QVERIFY(latest != nullptr);
        // Placed inside the window area, below the menu bar, from the area's corner.
        auto* window = qobject_cast<QMdiSubWindow*>(latest->parentWidget());
        QVERIFY(window != nullptr);
        QCOMPARE(window->mdiArea(), frame.MdiArea());
        const QPoint shift = window->pos();
        QCOMPARE(shift.x(), shift.y());
        QVERIFY(window->mapTo(&frame, QPoint(0, 0)).y() > frame.menuBar()->geometry().bottom());
        shifts << shift.x();
        opened << latest;
    }
    QCOMPARE(shifts, (QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 10}));

    // Closing one destroys it; Close All takes the rest.
    opened.front()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(opened.front().isNull());
    QVERIFY(frame.OnCommand(ID_WINDOW_CLOSE_ALL));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QPointer<CLeverageCalcView>& calculator : opened) {
        QVERIFY(calculator.isNull());
    }
}

} // namespace strikeline

QTEST_MAIN(strikeline::CJournalToolsViewTest)
#include "JournalToolsViewTest.moc"
