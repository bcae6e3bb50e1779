// The Call and Put Report windows driven as the user drives them: real views on the
// offscreen platform, fed a hand-made market or the generated sample market, clicked,
// scrolled, refreshed in the middle of a build and printed to PDF files.

#include "gui/reports/ReportView.h"

#include "analytics/AnalyticsTexts.h"
#include "analytics/MarketAnalytics.h"
#include "gui/app/Application.h"
#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/app/RefreshKind.h"
#include "gui/reports/AnalyticsCells.h"
#include "gui/reports/MultiTablePrintJob.h"
#include "gui/reports/PrintedPageLayout.h"
#include "gui/reports/ReportBlockBuilder.h"
#include "gui/reports/ReportBlockTable.h"
#include "gui/reports/ReportViews.h"
#include "gui/widgets/QtColor.h"
#include "marketdata/CompanyNameTable.h"
#include "marketdata/MarketDataLoaders.h"
#include "reports/ReportSettings.h"
#include "reports/ReportTexts.h"
#include "reports/ReportViewTestData.h"
#include "session/ApplicationState.h"
#include "session/Session.h"
#include "storage/BuiltInSchemes.h"
#include "storage/ColorScheme.h"
#include "support/MainFrameTestHost.h"
#include "support/PdfPages.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/UserMessageLog.h"
#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace strikeline {

namespace {

using test::CountPdfPages;

using namespace std::chrono;

// Builds of a whole market under the sanitizers take a while.
constexpr int kBuildTimeoutMs = 180000;
constexpr Color kGrey = 0x999999;
constexpr int kAnalytics = static_cast<int>(kAnalyticsColumnCount);

using test::CSeriesQuote;
using test::kNow;
using test::MakeCompany;
using test::UtcDay;

// Three call companies: AAA with a P/E and a name, BBB with neither, CCC with both.
std::vector<CCompanyInfo> SampleCalls() {
    std::vector<CCompanyInfo> companies;
    companies.push_back(
        MakeCompany("AAA", 10.0, true, 12.5, {{9.0, 1.2}, {10.0, 0.5}, {11.0, 0.15}}));
    companies.push_back(MakeCompany("BBB", 4.2, true, std::nullopt, {{4.0, 0.35}, {4.5, 0.1}}));
    companies.push_back(
        MakeCompany("CCC", 2.0, true, 5.0, {{1.5, 0.55}, {2.0, 0.12}, {2.5, 0.02}}));
    return companies;
}

std::vector<CCompanyInfo> SamplePuts() {
    std::vector<CCompanyInfo> companies;
    companies.push_back(MakeCompany("PPP", 7.5, false, 9.0, {{7.0, 0.2}, {8.0, 0.7}}));
    companies.push_back(MakeCompany("QQQ", 3.1, false, std::nullopt, {{3.0, 0.15}}));
    return companies;
}

// A share whose one series last traded a month before the test's moment, so that its
// analytics are from an old trade.
CCompanyInfo OldTradeCompany(bool call) {
    CCompanyInfo company = MakeCompany("OLD", 5.0, call, 8.0, {});
    CContractInfo series = test::MakeSeries(call ? "OLDC1" : "OLDP1", 5.0, 0.3);
    series.SetLastTraded(kNow - FileTime{30} * 24 * 3600 * kFileTimeTicksPerSecond);
    company.AddContract(series);
    return company;
}

void SetNames(CSession& session, std::initializer_list<std::pair<const char*, const char*>> names) {
    CCompanyNameTable table;
    for (const auto& [code, name] : names) {
        table.Add(code, name);
    }
    session.Market().PublishCompanyNames(std::move(table));
}

// Every settings choice that lets the hand-made series through, sorted by code.
void ResetSettings(CSession& session, ReportKind kind) {
    CReportSettings& settings = session.ReportSettings(kind);
    settings.Reset();
    settings.SetExpire(CReportSettings::AllMonths);
    settings.SetRemoveOld(CReportSettings::kRemoveOldOff);
}

// A scheme whose every colour differs from the defaults and from the others.
CColorScheme DistinctScheme() {
    CColorScheme scheme;
    scheme.Set(SchemeColor::ReportBk, Rgb(250, 250, 240));
    scheme.Set(SchemeColor::ReportFg, Rgb(10, 10, 20));
    scheme.Set(SchemeColor::CompanyHeaderBk, Rgb(100, 110, 120));
    scheme.Set(SchemeColor::CompanyHeaderFg, Rgb(240, 241, 242));
    scheme.Set(SchemeColor::OptionsHeaderBk, Rgb(200, 220, 230));
    scheme.Set(SchemeColor::OptionsHeaderFg, Rgb(30, 31, 32));
    scheme.Set(SchemeColor::StrikePriceBk, Rgb(250, 230, 20));
    scheme.Set(SchemeColor::StrikePriceFg, Rgb(40, 41, 42));
    scheme.Set(SchemeColor::ASXFairPriceBk, Rgb(20, 40, 160));
    scheme.Set(SchemeColor::ASXFairPriceFg, Rgb(230, 231, 232));
    scheme.Set(SchemeColor::ReturnPercentsBk, Rgb(60, 170, 10));
    scheme.Set(SchemeColor::ReturnPercentsFg, Rgb(50, 51, 52));
    scheme.Set(SchemeColor::LeverageCostBk, Rgb(200, 10, 80));
    scheme.Set(SchemeColor::LeverageCostFg, Rgb(220, 221, 222));
    return scheme;
}

// Runs the event loop one pass at a time, so that a build can be caught half way: a
// zero-interval timer fires once per pass (waiting with a timeout would run it to the end).
template <typename Predicate> bool RunSlicesUntil(Predicate done) {
    for (int pass = 0; pass < 100000; ++pass) {
        if (done()) {
            return true;
        }
        QCoreApplication::processEvents();
    }
    return done();
}

bool WaitForBuild(const CReportView& view) {
    return QTest::qWaitFor([&view] { return !view.IsBusy(); }, kBuildTimeoutMs);
}

QString Artefact(const QString& name) {
    const QString folder =
        QCoreApplication::applicationDirPath() + QStringLiteral("/reportview-artefacts");
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + name;
}

QImage Picture(QWidget& widget, const QString& artefact) {
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    image.save(Artefact(artefact));
    return image;
}

QColor Pixel(const QImage& image, const QPoint& point) {
    return image.pixelColor(point);
}

void SetupPdf(QPrinter& printer, const QString& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
}

std::vector<std::string> BlockCodes(CReportView& view) {
    std::vector<std::string> codes;
    for (int i = 0; i < view.BlockCount(); ++i) {
        codes.push_back(view.Block(i)->objectName().toStdString());
    }
    return codes;
}

// Whether the view's rule for far tables holds for every table at its scroll position;
// also counts the hidden ones.
bool FarTablesHidden(CReportView& view, int& hidden) {
    hidden = 0;
    const int scroll = view.ScrollPosition();
    const int client = view.viewport()->height();
    for (int i = 0; i < view.BlockCount(); ++i) {
        const int top = view.TableTop(i) - scroll;
        const int bottom = top + view.TableHeight(i);
        const bool far = bottom < -2047 || top >= client + 2048;
        const QWidget* table = view.Block(i);
        if (far != table->isHidden()) {
            return false;
        }
        if (!far && table->geometry() !=
                        QRect(CMultiTableView::kMargin, top, table->width(), view.TableHeight(i))) {
            return false;
        }
        hidden += far ? 1 : 0;
    }
    return true;
}

// A shown, active view of a given size, standing at the test's moment.
struct CShownView {
    CShownView(CSession& session, ReportKind kind, QSize size = QSize(1000, 700))
        : view(session, kind) {
        view.SetClock([] { return kNow; });
        view.resize(size);
        view.show();
        QApplication::setActiveWindow(&view);
    }
    CReportView view;
};

} // namespace

class CReportViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Company blocks.
    void HeaderAndValuesHaveTenCellsWithPriceEarningsAndNineWithout();
    void SeriesRowsShowTheCoreTextsAndKeepNoFigures();
    void BlockColoursFontsAndFramesFollowTheScheme();
    void LeveragedLineSitsUnderTheSeriesAtTheMoney();
    // Two views and empty reports.
    void CallAndPutViewsKeepSeparateSnapshotsAndSelections();
    void EmptyReportShowsTheBusyTextThenTheBackground();
    // Building in slices.
    void WholeMarketIsBuiltInSlicesAndStacked();
    void RefreshDuringABuildStartsItOver();
    void ScrollBarOnlyWhenTheStackIsTallerThanTheWindow();
    // Scrolling.
    void FarBlocksAreHiddenAndShownAgainWhenScrolledNear();
    void BlocksAreMadeWhenNearAndKeepTheViewInPlace();
    void WheelScrollsOneLinePerNotch();
    // Check boxes, names and the selection.
    void CheckBoxCallsTheShortListHookAndIsSetSilently();
    void CompanyNameClickCallsTheTrendHook();
    void HooksMayRebuildTheView();
    void SelectionCrossesIntoTheNeighbouringBlocks();
    void CurrentCellMovedOutOfViewIsScrolledIn();
    // Printing.
    void PagesKeepHeadersTogetherAndRepeatThem();
    void PrintCopyDrawsTheSameTexts();
    void LongBlockPrintsOnSeveralPagesWithItsHeadersRepeated();
    void MarketPrintsToPdfWithTheLaidOutPageCount();
    void PrintingIsRefusedWithoutTables();
    void DarkDesktopPrintsTheLightScheme();
    // The main window.
    void MainWindowOpensRefreshesAndPrintsTheReports();
    // The analytics columns.
    void AnalyticsColumnsFillInWhenReadyAndFollowTheViewMenu_data();
    void AnalyticsColumnsFillInWhenReadyAndFollowTheViewMenu();
    void ProgramStartedOnMarketFilesWorksOutTheAnalytics();

private:
    void InstallMarket();
    void InstallSample(CSession& session);
    void InstallSample() { InstallSample(*m_Session); }
    void UseScheme(const CColorScheme& scheme);

    test::CTempFolder m_Folder;
    // The generated market as loaded once from its files, published again by the tests
    // that want it.
    CMarketData m_Market;
    // Each test's own: a message nobody expects is a warning.
    test::CUserMessageLog m_Log;
    std::unique_ptr<CSession> m_Session;
};

void CReportViewTest::initTestCase() {
    const CGeneratedMarket market = CMarketGenerator(CMarketGeneratorSettings{}).Generate();
    std::string error;
    QVERIFY2(WriteDataFolder(m_Folder.Path().string(), market, error), error.c_str());
    const std::string folder = m_Folder.Path().string();
    QVERIFY(LoadOptionFile(true, folder, m_Market).published);
    QVERIFY(LoadOptionFile(false, folder, m_Market).published);
    QVERIFY(LoadCompanyNamesFile(folder, m_Market).published);
    QVERIFY(LoadTop20File(folder, m_Market).published);
    QVERIFY(m_Market.Current()->Calls().size() > 50);
    QVERIFY(!m_Market.Current()->Puts().empty());
}

void CReportViewTest::init() {
    m_Log.texts.clear();
    m_Log.onMessage = [this] {
        qWarning("unexpected message: %s", qPrintable(m_Log.texts.back()));
    };
    m_Session = std::make_unique<CSession>(std::string{}, &m_Log);
    ResetSettings(*m_Session, ReportKind::Call);
    ResetSettings(*m_Session, ReportKind::Put);
}

void CReportViewTest::cleanup() {
    m_Session.reset();
}

void CReportViewTest::InstallMarket() {
    const auto market = m_Market.Current();
    m_Session->Market().PublishCalls(market->Calls());
    m_Session->Market().PublishPuts(market->Puts());
    m_Session->Market().PublishCompanyNames(market->CompanyNames());
    m_Session->Market().PublishTop20(market->Top20());
}

void CReportViewTest::InstallSample(CSession& session) {
    session.Market().PublishCalls(SampleCalls());
    session.Market().PublishPuts(SamplePuts());
    SetNames(session,
             {{"AAA", "Alpha Limited"}, {"CCC", "Gamma Resources"}, {"PPP", "Pi Holdings"}});
}

void CReportViewTest::UseScheme(const CColorScheme& scheme) {
    CApplicationStateLock lock(m_Session->State());
    m_Session->State().SetColorScheme(scheme);
}

// Company blocks.

void CReportViewTest::HeaderAndValuesHaveTenCellsWithPriceEarningsAndNineWithout() {
    InstallSample();
    CShownView shown(*m_Session, ReportKind::Call);
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    QCOMPARE(BlockCodes(view), (std::vector<std::string>{"AAA", "BBB", "CCC"}));

    const auto snapshot = m_Session->Market().Current();
    const CCompanyNameTable& names = snapshot->CompanyNames();
    for (int i = 0; i < view.BlockCount(); ++i) {
        const CReportBlockTable& block = *view.Block(i);
        const CCompanyInfo& company = *view.Report().blocks[static_cast<std::size_t>(i)].company;
        const bool hasPriceEarnings = company.PriceEarnings() != UNSET_VALUE;
        const int cells = hasPriceEarnings ? 10 : 9;
        QCOMPARE(block.CellCount(0), cells);
        QCOMPARE(block.CellCount(1), cells);
        const std::vector<std::string> header = CompanyHeaderTexts(company);
        const std::vector<std::string> values = CompanyValueTexts(company, names);
        for (int c = 0; c < cells; ++c) {
            QCOMPARE(block.Cell(0, c)->m_Text.toStdString(), header[static_cast<std::size_t>(c)]);
            QCOMPARE(block.Cell(1, c)->m_Text.toStdString(), values[static_cast<std::size_t>(c)]);
            QCOMPARE(block.Cell(0, c)->m_Divisions, cells);
            QCOMPARE(block.Cell(0, c)->m_Span, 1);
            QCOMPARE(block.Cell(1, c)->m_Divisions, cells);
            QVERIFY(!block.Cell(0, c)->m_Selectable);
            QVERIFY(!block.Cell(1, c)->m_Selectable);
        }
        QCOMPARE(block.Cell(0, cells - 1)->m_Text,
                 hasPriceEarnings ? QStringLiteral("P/E") : QStringLiteral("Volume"));
        // The header cells share the row's width: 9 or 10 equal units.
        const int unit = block.width() / cells;
        QVERIFY(std::abs(block.CellRect(0, cells - 1).width() - unit) <= 1);
        // The series header and the series rows have twelve units in both cases, and the
        // analytics columns after them.
        QCOMPARE(block.CellCount(2), 9 + kAnalytics);
        QCOMPARE(block.Cell(2, 7)->m_Kind, CellKind::EmbeddedTable);
        QCOMPARE(block.Cell(2, 7)->m_Span, 4);
        for (int r = 3; r < block.RowCount(); ++r) {
            QCOMPARE(block.CellCount(r), 12 + kAnalytics);
        }
        QCOMPARE(block.PrintedHeaderCount(), 3);
        QCOMPARE(
            block.RowCount(),
            3 + static_cast<int>(view.Report().blocks[static_cast<std::size_t>(i)].series.size()));
    }
    QCOMPARE(view.Block(0)->Cell(1, 0)->m_Text, QStringLiteral("AAA - Alpha Limited"));
    // Texts with spaces wrap as they were measured; single words stay on one line.
    QVERIFY(view.Block(0)->Cell(0, 0)->m_Format & Qt::TextWordWrap);
    QVERIFY(view.Block(0)->Cell(1, 0)->m_Format & Qt::TextWordWrap);
    QVERIFY(!(view.Block(0)->Cell(0, 3)->m_Format & Qt::TextWordWrap));
    QVERIFY(!(view.Block(0)->Cell(1, 1)->m_Format & Qt::TextWordWrap));
    QVERIFY(view.Block(0)->Cell(0, 0)->m_Format & Qt::AlignHCenter);
    // The first title keeps clear of the check box.
    QVERIFY(view.Block(0)->Cell(0, 0)->m_Margins.left() >= 16);
    QCOMPARE(view.Block(1)->Cell(1, 0)->m_Text, QStringLiteral("BBB"));
    // The outcome heading: two rows of four units.
    const CComplexTableWnd& outcome = *view.Block(0)->Cell(2, 7)->m_EmbeddedTable;
    QCOMPARE(outcome.RowCount(), 2);
    QCOMPARE(outcome.Cell(0, 0)->m_Text, QStringLiteral("Not exercised"));
    QCOMPARE(outcome.Cell(0, 1)->m_Text, QStringLiteral("Exercised"));
    QCOMPARE(outcome.Cell(0, 0)->m_Span, 2);
    QStringList titles;
    for (int c = 0; c < outcome.CellCount(1); ++c) {
        titles << outcome.Cell(1, c)->m_Text;
    }
    QCOMPARE(titles, QStringList({"Profit", "% Return", "Profit", "% Return"}));
    QStringList headings;
    for (int c = 0; c < view.Block(0)->CellCount(2); ++c) {
        headings << view.Block(0)->Cell(2, c)->m_Text;
    }
    QStringList expected = {"Company Code",
                            "Last Trade",
                            "Expiry Month",
                            "Strike Price",
                            "ASX Fair Price",
                            "Contract Size",
                            "Open Interest",
                            "",
                            "BEP"};
    for (const std::string_view heading : kAnalyticsHeadings) {
        expected << QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
    }
    QCOMPARE(headings, expected);
    Picture(view, QStringLiteral("sample-call-report.png"));
}

void CReportViewTest::SeriesRowsShowTheCoreTextsAndKeepNoFigures() {
    InstallSample();
    CShownView shown(*m_Session, ReportKind::Put);
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    QCOMPARE(BlockCodes(view), (std::vector<std::string>{"PPP", "QQQ"}));
    for (int i = 0; i < view.BlockCount(); ++i) {
        CReportBlockTable& block = *view.Block(i);
        const CReportBlock& data = view.Report().blocks[static_cast<std::size_t>(i)];
        QCOMPARE(block.Company(), data.company.get());
        for (std::size_t s = 0; s < data.series.size(); ++s) {
            const int row = 3 + static_cast<int>(s);
            const std::array<std::string, 12> texts = SeriesRowTexts(*data.company, data.Series(s));
            QCOMPARE(block.RowValue(row), CSeriesTable::SeriesRowValue(data.Series(s)));
            QCOMPARE(block.Cell(row, 0)->m_Text.toStdString(), texts[0]);
            QVERIFY(!block.Cell(row, 0)->m_TextFromHook);
            for (int c = 1; c < 12; ++c) {
                const CComplexTableCell& cell = *block.Cell(row, c);
                QVERIFY(cell.m_TextFromHook);
                QVERIFY(cell.m_Text.isEmpty());
                QVERIFY(cell.m_Selectable);
                QVERIFY(!cell.m_Editable);
                QCOMPARE(block.GetCellText(row, c).toStdString(),
                         texts[static_cast<std::size_t>(c)]);
                // Only the date and time of the last trade may take two lines; a figure or
                // an expiry is never broken at its hyphens.
                QCOMPARE((cell.m_Format & Qt::TextWordWrap) != 0, c == 1);
            }
        }
    }
    // Rows that are not series rows keep their own texts.
    QCOMPARE(view.Block(0)->GetCellText(0, 0), QStringLiteral("Company Name"));
}

void CReportViewTest::BlockColoursFontsAndFramesFollowTheScheme() {
    InstallSample();
    const CColorScheme scheme = DistinctScheme();
    UseScheme(scheme);
    CShownView shown(*m_Session, ReportKind::Call);
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    QCOMPARE(view.Background(), scheme.Get(SchemeColor::ReportBk));

    CReportBlockTable& block = *view.Block(0); // AAA, at the money: 10.00 (row 4)
    const auto colours = [&](int row, int column) {
        const CComplexTableCell& cell = *block.Cell(row, column);
        return std::make_pair(cell.m_Background, cell.m_TextColor);
    };
    const auto pair = [&](SchemeColor bk, SchemeColor fg) {
        return std::make_pair(scheme.Get(bk), scheme.Get(fg));
    };
    QCOMPARE(colours(0, 3), pair(SchemeColor::CompanyHeaderBk, SchemeColor::CompanyHeaderFg));
    QCOMPARE(colours(1, 3), pair(SchemeColor::ReportBk, SchemeColor::ReportFg));
    QCOMPARE(colours(2, 3), pair(SchemeColor::OptionsHeaderBk, SchemeColor::OptionsHeaderFg));
    QCOMPARE(colours(3, 0), pair(SchemeColor::ReportBk, SchemeColor::ReportFg));
    QCOMPARE(colours(3, 4), pair(SchemeColor::ASXFairPriceBk, SchemeColor::ASXFairPriceFg));
    QCOMPARE(colours(3, 8), pair(SchemeColor::ReportBk, SchemeColor::ReportFg));
    QCOMPARE(colours(4, 0), pair(SchemeColor::StrikePriceBk, SchemeColor::StrikePriceFg));
    QCOMPARE(colours(4, 4), pair(SchemeColor::ASXFairPriceBk, SchemeColor::ASXFairPriceFg));
    QCOMPARE(colours(4, 8), pair(SchemeColor::ReturnPercentsBk, SchemeColor::ReturnPercentsFg));
    QCOMPARE(colours(4, 10), pair(SchemeColor::ReturnPercentsBk, SchemeColor::ReturnPercentsFg));
    QCOMPARE(colours(4, 9), pair(SchemeColor::StrikePriceBk, SchemeColor::StrikePriceFg));
    QCOMPARE(colours(5, 1), pair(SchemeColor::ReportBk, SchemeColor::ReportFg));

    // The company name reads as a link.
    const CComplexTableCell& name = *block.Cell(1, 0);
    QCOMPARE(name.m_TextColor, Color{0xFF0000});
    QVERIFY(name.m_Font && name.m_Font->underline());
    QVERIFY(name.m_Cursor && name.m_Cursor->shape() == Qt::PointingHandCursor);
    QVERIFY(block.Cell(0, 0)->m_Font && block.Cell(0, 0)->m_Font->bold());
    QVERIFY(block.Cell(2, 0)->m_Font && block.Cell(2, 0)->m_Font->bold());
    QVERIFY(!block.Cell(3, 0)->m_Font);
    QCOMPARE(block.font().family(), QString::fromStdString(scheme.FontStyle()));
    QVERIFY(!block.font().bold());

    // Frames: all round the header rows; right and bottom on series cells, and the left
    // edge of the code cell.
    for (int row = 0; row < 3; ++row) {
        const CComplexTableCell& cell = *block.Cell(row, 1);
        QCOMPARE(cell.m_LeftBorder.m_Width + cell.m_RightBorder.m_Width + cell.m_TopBorder.m_Width +
                     cell.m_BottomBorder.m_Width,
                 4);
        QCOMPARE(cell.m_LeftBorder.m_Color, kGrey);
    }
    QCOMPARE(block.Cell(3, 0)->m_LeftBorder.m_Width, 1);
    QCOMPARE(block.Cell(3, 1)->m_LeftBorder.m_Width, 0);
    QCOMPARE(block.Cell(3, 1)->m_TopBorder.m_Width, 0);
    QCOMPARE(block.Cell(3, 1)->m_RightBorder.m_Width, 1);
    QCOMPARE(block.Cell(3, 1)->m_BottomBorder.m_Width, 1);
    QCOMPARE(block.Cell(3, 1)->m_BottomBorder.m_Color, kGrey);

    // What the window draws: the fair price cell in its colour, the at-the-money row in
    // the strike colour, and the view's background between blocks.
    const QImage picture = Picture(block, QStringLiteral("scheme-block.png"));
    const auto inside = [](const QRect& rect) {
        return rect.topLeft() + QPoint(2, 2);
    };
    QCOMPARE(Pixel(picture, inside(block.CellRect(3, 4))),
             ToQColor(scheme.Get(SchemeColor::ASXFairPriceBk)));
    QCOMPARE(Pixel(picture, inside(block.CellRect(4, 2))),
             ToQColor(scheme.Get(SchemeColor::StrikePriceBk)));
    QCOMPARE(Pixel(picture, inside(block.CellRect(4, 10))),
             ToQColor(scheme.Get(SchemeColor::ReturnPercentsBk)));
    QCOMPARE(Pixel(picture, block.CellRect(3, 1).bottomRight()), ToQColor(kGrey));
    const QImage whole = Picture(view, QStringLiteral("scheme-view.png"));
    const int gapY = view.TableTop(1) - view.ScrollPosition() - CMultiTableView::kGap / 2;
    QCOMPARE(Pixel(whole, QPoint(view.viewport()->width() / 2, gapY)),
             ToQColor(scheme.Get(SchemeColor::ReportBk)));
}

void CReportViewTest::LeveragedLineSitsUnderTheSeriesAtTheMoney() {
    InstallSample();
    m_Session->ReportSettings(ReportKind::Call).SetDisplayLeveragedBar(true);
    const CColorScheme scheme = DistinctScheme();
    UseScheme(scheme);
    CShownView shown(*m_Session, ReportKind::Call);
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    const CReportBlockTable& block = *view.Block(0);
    const CReportBlock& data = view.Report().blocks[0];
    QVERIFY(data.atTheMoney.has_value());
    QCOMPARE(*data.atTheMoney, std::size_t{1});
    // Header rows, the first two series, the leveraged line, the last series.
    QCOMPARE(block.RowCount(), 3 + 3 + 1);
    const int line = 3 + 2;
    QCOMPARE(block.CellCount(line), 6 + kAnalytics);
    QCOMPARE(block.RowValue(line), std::uintptr_t{0});
    const std::array<std::string, 6> texts =
        LeveragedRowTexts(*data.company, data.Series(1), data.costOfLeverage);
    for (int c = 0; c < 6; ++c) {
        const CComplexTableCell& cell = *block.Cell(line, c);
        QCOMPARE(cell.m_Text.toStdString(), texts[static_cast<std::size_t>(c)]);
        QCOMPARE(cell.m_Span, c == 0 ? 7 : 1);
        QCOMPARE(cell.m_Divisions, CReportBlockBuilder::kAnalyticsDivisions);
        QCOMPARE(cell.m_Background, scheme.Get(SchemeColor::LeverageCostBk));
        QCOMPARE(cell.m_TextColor, scheme.Get(SchemeColor::LeverageCostFg));
        QCOMPARE(cell.m_RightBorder.m_Width, 1);
        QCOMPARE(cell.m_BottomBorder.m_Width, 1);
        QCOMPARE(cell.m_LeftBorder.m_Width, 0);
        QVERIFY(!cell.m_Selectable);
    }
    QVERIFY(block.Cell(line, 0)->m_Text.startsWith(
        QStringLiteral("50% Leveraged Position. Cost of leverage equals approximately $")));
    QVERIFY(block.Cell(line, 5)->m_Text.isEmpty());
    // Under the analytics columns the line is empty, in its own colours.
    for (int c = 6; c < 6 + kAnalytics; ++c) {
        const CComplexTableCell& cell = *block.Cell(line, c);
        QVERIFY(cell.m_Text.isEmpty());
        QVERIFY(cell.m_Visible);
        QCOMPARE(cell.m_Background, scheme.Get(SchemeColor::LeverageCostBk));
    }
    // The series rows keep their cells around the line.
    QCOMPARE(block.CellCount(line - 1), 12 + kAnalytics);
    QCOMPARE(block.CellCount(line + 1), 12 + kAnalytics);
    Picture(view, QStringLiteral("leveraged-call-report.png"));
}

// Two views and empty reports.

void CReportViewTest::CallAndPutViewsKeepSeparateSnapshotsAndSelections() {
    InstallSample();
    QWidget window;
    window.resize(1600, 700);
    CReportView calls(*m_Session, ReportKind::Call, &window);
    CReportView puts(*m_Session, ReportKind::Put, &window);
    calls.SetClock([] { return kNow; });
    puts.SetClock([] { return kNow; });
    calls.setGeometry(0, 0, 800, 700);
    puts.setGeometry(800, 0, 800, 700);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(WaitForBuild(calls));
    QVERIFY(WaitForBuild(puts));
    QCOMPARE(calls.Report().kind, ReportKind::Call);
    QCOMPARE(puts.Report().kind, ReportKind::Put);
    QCOMPARE(BlockCodes(calls), (std::vector<std::string>{"AAA", "BBB", "CCC"}));
    QCOMPARE(BlockCodes(puts), (std::vector<std::string>{"PPP", "QQQ"}));
    for (const CReportBlock& block : puts.Report().blocks) {
        QVERIFY(!block.company->IsCall());
    }

    // A cell selected in each view: each view keeps its own.
    QTest::mouseClick(calls.Block(0), Qt::LeftButton, {}, calls.Block(0)->CellRect(3, 3).center());
    QTest::mouseClick(puts.Block(1), Qt::LeftButton, {}, puts.Block(1)->CellRect(3, 2).center());
    QCOMPARE(calls.Block(0)->CurrentRow(), 3);
    QCOMPARE(calls.ActiveTable(), calls.Block(0));
    QCOMPARE(puts.Block(1)->CurrentRow(), 3);
    QCOMPARE(puts.ActiveTable(), puts.Block(1));

    // New call data rebuilds the Call Report only; the Put Report keeps its snapshot, its
    // blocks and its ticks.
    puts.SetCompanyChecked("QQQ", true);
    const CReportBlockTable* putBlock = puts.Block(1);
    std::vector<CCompanyInfo> newCalls = SampleCalls();
    newCalls.erase(newCalls.begin());
    m_Session->Market().PublishCalls(std::move(newCalls));
    m_Session->Market().PublishPuts({});
    calls.RefreshView();
    QVERIFY(calls.IsBusy());
    QVERIFY(!puts.IsBusy());
    QVERIFY(WaitForBuild(calls));
    QCOMPARE(BlockCodes(calls), (std::vector<std::string>{"BBB", "CCC"}));
    QCOMPARE(BlockCodes(puts), (std::vector<std::string>{"PPP", "QQQ"}));
    QCOMPARE(puts.Block(1), putBlock);
    QVERIFY(puts.CompanyCheckBox(1)->isChecked());
    QCOMPARE(puts.Block(1)->CurrentRow(), 3);
    QCOMPARE(puts.Report().blocks.size(), std::size_t{2});
    QVERIFY(calls.ActiveTable() == nullptr);
}

void CReportViewTest::EmptyReportShowsTheBusyTextThenTheBackground() {
    const CColorScheme scheme = DistinctScheme();
    UseScheme(scheme);
    CReportView put(*m_Session, ReportKind::Put);
    QCOMPARE(put.BusyText(), QStringLiteral("Generating Put Report...\n\nPlease wait..."));

    CShownView shown(*m_Session, ReportKind::Call, QSize(600, 400));
    CReportView& view = shown.view;
    QCOMPARE(view.BusyText(), QStringLiteral("Generating Call Report...\n\nPlease wait..."));
    QVERIFY(view.IsBusy());
    // While busy: white, with the message in the middle.
    const QImage busy = Picture(*view.viewport(), QStringLiteral("busy.png"));
    QCOMPARE(Pixel(busy, QPoint(5, 5)), QColor(Qt::white));
    int dark = 0;
    for (int y = busy.height() / 3; y < 2 * busy.height() / 3; ++y) {
        for (int x = busy.width() / 4; x < 3 * busy.width() / 4; ++x) {
            dark += busy.pixelColor(x, y).lightness() < 128 ? 1 : 0;
        }
    }
    QVERIFY(dark > 50);

    QSignalSpy finished(&view, &CReportView::BuildFinished);
    QVERIFY(WaitForBuild(view));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(view.BlockCount(), 0);
    QVERIFY(view.Report().blocks.empty());
    QVERIFY(!view.verticalScrollBar()->isVisible());
    // Built: nothing but the report background.
    const QImage empty = Picture(*view.viewport(), QStringLiteral("empty.png"));
    const QColor background = ToQColor(scheme.Get(SchemeColor::ReportBk));
    for (int y = 0; y < empty.height(); y += 7) {
        for (int x = 0; x < empty.width(); x += 7) {
            QCOMPARE(empty.pixelColor(x, y), background);
        }
    }
}

// Building in slices.

void CReportViewTest::WholeMarketIsBuiltInSlicesAndStacked() {
    InstallMarket();
    // Nineteen columns are wider than the window; without the analytics the blocks fit it.
    m_Session->AnalyticsSettings().SetShowColumns(false);
    CShownView shown(*m_Session, ReportKind::Call);
    CReportView& view = shown.view;
    view.SetSliceBudget(microseconds(2000));
    QSignalSpy finished(&view, &CReportView::BuildFinished);
    // The first slice takes the snapshot and stacks the blocks; measuring and placing them
    // takes more, and no block shows before it is placed.
    QVERIFY(RunSlicesUntil([&] { return view.BlockCount() > 0; }));
    QVERIFY(view.IsBusy());
    const std::size_t blocks = view.Report().blocks.size();
    QVERIFY(blocks > 50);
    QCOMPARE(static_cast<std::size_t>(view.BlockCount()), blocks);
    for (int i = 0; i < view.BlockCount(); ++i) {
        QVERIFY(view.MadeBlock(i) == nullptr || view.MadeBlock(i)->isHidden());
    }
    QVERIFY(WaitForBuild(view));
    QCOMPARE(finished.count(), 1);
    QVERIFY(view.SliceStatistics().slices > 1);
    // Only the blocks near the top are made; the others wait until they come near.
    QVERIFY(view.MadeBlock(0) != nullptr);
    QVERIFY(view.MadeTableCount() < view.BlockCount() / 4);
    // Stacked: a margin, then every block with a gap after it; all as wide as the window
    // less the margins and the scroll bar. Making a block gives it its measured height in
    // place of the estimate, and moves the blocks below it.
    QVERIFY(view.verticalScrollBar()->isVisible());
    const int width = view.Block(0)->width();
    QCOMPARE(width,
             view.width() - 2 * CMultiTableView::kMargin - view.verticalScrollBar()->width());
    int top = CMultiTableView::kMargin;
    for (int i = 0; i < view.BlockCount(); ++i) {
        QCOMPARE(view.TableTop(i), top);
        CReportBlockTable* block = view.Block(i);
        QVERIFY(view.TableHeight(i) > 0);
        QCOMPARE(view.TableHeight(i), block->TotalHeight(width));
        QCOMPARE(block->objectName().toStdString(),
                 view.Report().blocks[static_cast<std::size_t>(i)].company->Code());
        top += view.TableHeight(i) + CMultiTableView::kGap;
    }
    QCOMPARE(view.StackHeight(), top);
    QCOMPARE(view.verticalScrollBar()->maximum(), top - view.viewport()->height());
    QCOMPARE(view.verticalScrollBar()->pageStep(), view.viewport()->height());
    QVERIFY(!view.IsLayoutPending());
}

void CReportViewTest::RefreshDuringABuildStartsItOver() {
    InstallMarket();
    CShownView shown(*m_Session, ReportKind::Call);
    CReportView& view = shown.view;
    view.SetSliceBudget(microseconds(1000));
    QSignalSpy finished(&view, &CReportView::BuildFinished);
    QVERIFY(RunSlicesUntil([&] { return view.BlockCount() > 3; }));
    QVERIFY(view.IsBusy());

    // The settings change half way: the build starts over with the new ones.
    CReportSettings& settings = m_Session->ReportSettings(ReportKind::Call);
    settings.SetStocks(CReportSettings::SelectStocks);
    const std::string a = m_Market.Current()->Calls()[3].Code();
    const std::string b = m_Market.Current()->Calls()[7].Code();
    settings.SetCompanyList({b, a});
    view.RefreshView();
    QVERIFY(view.IsBusy());
    QCOMPARE(view.BlockCount(), 0);
    QVERIFY(view.Report().blocks.empty());
    QVERIFY(WaitForBuild(view));
    QCOMPARE(finished.count(), 1);
    std::vector<std::string> expected = {a, b};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(BlockCodes(view), expected);
    // The blocks of the dropped build are freed in later slices.
    QVERIFY(QTest::qWaitFor([&] { return !view.IsWorkPending(); }, kBuildTimeoutMs));
    QCOMPARE(view.viewport()
                 ->findChildren<CReportBlockTable*>(QString(), Qt::FindDirectChildrenOnly)
                 .size(),
             2);
    QCOMPARE(view.CompanyCheckBox(2), nullptr);
    QVERIFY(view.Block(0)->isVisible());
    QVERIFY(view.Block(1)->isVisible());
    QCOMPARE(view.TableTop(0), CMultiTableView::kMargin);
}

void CReportViewTest::ScrollBarOnlyWhenTheStackIsTallerThanTheWindow() {
    InstallSample();
    // Nineteen columns are wider than the window; without the analytics the blocks fit it.
    m_Session->AnalyticsSettings().SetShowColumns(false);
    CShownView shown(*m_Session, ReportKind::Call, QSize(900, 900));
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    // Three small blocks fit: no scroll bar, and the blocks take its width too.
    QVERIFY(!view.verticalScrollBar()->isVisible());
    QCOMPARE(view.Block(0)->width(), 900 - 2 * CMultiTableView::kMargin);
    QCOMPARE(view.Block(0)->x(), CMultiTableView::kMargin);

    // A window too short for them: the scroll bar comes, the blocks make room for it.
    view.resize(900, 200);
    QVERIFY(QTest::qWaitFor([&] { return !view.IsLayoutPending(); }, kBuildTimeoutMs));
    QVERIFY(view.verticalScrollBar()->isVisible());
    const int bar = view.verticalScrollBar()->width();
    QCOMPARE(view.Block(0)->width(), 900 - 2 * CMultiTableView::kMargin - bar);
    QCOMPARE(view.verticalScrollBar()->maximum(), view.StackHeight() - view.viewport()->height());

    // Wider: the blocks follow the width.
    view.resize(1200, 200);
    QVERIFY(QTest::qWaitFor([&] { return !view.IsLayoutPending(); }, kBuildTimeoutMs));
    QCOMPARE(view.Block(2)->width(), 1200 - 2 * CMultiTableView::kMargin - bar);

    // Tall again: the bar goes.
    view.resize(1200, 1000);
    QVERIFY(QTest::qWaitFor([&] { return !view.IsLayoutPending(); }, kBuildTimeoutMs));
    QVERIFY(!view.verticalScrollBar()->isVisible());
    QCOMPARE(view.Block(2)->width(), 1200 - 2 * CMultiTableView::kMargin);
    QCOMPARE(view.ScrollPosition(), 0);
}

// Scrolling.

void CReportViewTest::FarBlocksAreHiddenAndShownAgainWhenScrolledNear() {
    InstallMarket();
    CShownView shown(*m_Session, ReportKind::Call, QSize(900, 600));
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    QVERIFY(view.StackHeight() > 20000);

    int hidden = 0;
    QVERIFY(FarTablesHidden(view, hidden));
    QVERIFY(hidden > 0);
    QVERIFY(view.Block(0)->isVisible());
    QVERIFY(view.Block(view.BlockCount() - 1)->isHidden());
    Picture(view, QStringLiteral("market-top.png"));

    // Half way down: the first blocks are far above now.
    view.ScrollTo(view.StackHeight() / 2);
    QVERIFY(FarTablesHidden(view, hidden));
    QVERIFY(hidden > 0);
    QVERIFY(view.Block(0)->isHidden());
    QVERIFY(view.Block(view.BlockCount() - 1)->isHidden());
    Picture(view, QStringLiteral("market-middle.png"));

    // The bottom: the last block shows.
    view.ScrollTo(view.verticalScrollBar()->maximum());
    QVERIFY(FarTablesHidden(view, hidden));
    QVERIFY(view.Block(view.BlockCount() - 1)->isVisible());
    QVERIFY(view.Block(0)->isHidden());

    // Back to the top, step by step as a user pages up: every position keeps the rule,
    // and the first block shows again.
    while (view.ScrollPosition() > 0) {
        view.ScrollTo(view.ScrollPosition() - 3 * view.viewport()->height());
        QVERIFY(FarTablesHidden(view, hidden));
    }
    QVERIFY(view.Block(0)->isVisible());
    QCOMPARE(view.Block(0)->y(), CMultiTableView::kMargin);
}

void CReportViewTest::BlocksAreMadeWhenNearAndKeepTheViewInPlace() {
    InstallMarket();
    CShownView shown(*m_Session, ReportKind::Call, QSize(900, 600));
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    const int madeAtTop = view.MadeTableCount();
    QVERIFY(madeAtTop < view.BlockCount());
    // A box ticked for a block not made yet shows ticked once it is made.
    const int last = view.BlockCount() - 1;
    QCOMPARE(view.MadeBlock(last), nullptr);
    view.SetCompanyChecked(view.Report().blocks.back().company->Code(), true);
    QVERIFY(view.CompanyCheckBox(last)->isChecked());
    QVERIFY(!view.CompanyCheckBox(last - 1)->isChecked());
    const int madeBefore = view.MadeTableCount();
    view.ClearAllChecks();
    QVERIFY(!view.CompanyCheckBox(last)->isChecked());
    QCOMPARE(view.MadeTableCount(), madeBefore);

    // Half way down: every block in view is made and shown.
    view.ScrollTo(view.StackHeight() / 2);
    int first = -1;
    for (int i = 0; i < view.BlockCount(); ++i) {
        const int top = view.TableTop(i) - view.ScrollPosition();
        if (top + view.TableHeight(i) > 0 && top < view.viewport()->height()) {
            QVERIFY(view.MadeBlock(i) != nullptr);
            QVERIFY(view.MadeBlock(i)->isVisible());
            first = first < 0 ? i : first;
        }
    }
    QVERIFY(first > 0);
    QVERIFY(view.MadeTableCount() > madeBefore);

    // Blocks above that were never made are made now (as a selection moving up or a print
    // makes them): each takes its measured height, and the block in view does not move.
    const CReportBlockTable& inView = *view.MadeBlock(first);
    const int width = inView.width();
    bool corrected = false;
    for (int i = first - 1; i >= 0; --i) {
        if (view.MadeBlock(i) != nullptr) {
            continue;
        }
        const int estimate = view.TableHeight(i);
        const int shownAt = inView.y();
        CReportBlockTable* block = view.Block(i);
        QCOMPARE(view.TableHeight(i), block->TotalHeight(width));
        QCOMPARE(inView.y(), shownAt);
        QCOMPARE(view.TableTop(first) - view.ScrollPosition(), shownAt);
        corrected = corrected || view.TableHeight(i) != estimate;
    }
    // The market's blocks differ from the first one's rows, so some estimate was wrong.
    QVERIFY(corrected);
    int hidden = 0;
    QVERIFY(FarTablesHidden(view, hidden));
}

void CReportViewTest::WheelScrollsOneLinePerNotch() {
    InstallMarket();
    CShownView shown(*m_Session, ReportKind::Call, QSize(900, 600));
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    const int line = view.viewport()->height() / 10;
    QCOMPARE(view.LineStep(), line);
    const auto wheel = [&](int delta) {
        const QPointF at(100, 100);
        QWheelEvent event(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &event);
    };
    wheel(-120);
    QCOMPARE(view.ScrollPosition(), line);
    wheel(-240);
    QCOMPARE(view.ScrollPosition(), 3 * line);
    // Half notches add up.
    wheel(60);
    QCOMPARE(view.ScrollPosition(), 3 * line);
    wheel(60);
    QCOMPARE(view.ScrollPosition(), 2 * line);
    // Page keys on the view move a whole window.
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_PageDown);
    QCOMPARE(view.ScrollPosition(), 2 * line + view.viewport()->height());
    // The blocks moved with the view.
    QCOMPARE(view.Block(0)->y(), CMultiTableView::kMargin - view.ScrollPosition());
}

// Check boxes, names and the selection.

void CReportViewTest::CheckBoxCallsTheShortListHookAndIsSetSilently() {
    InstallSample();
    CShownView shown(*m_Session, ReportKind::Call);
    CReportView& view = shown.view;
    struct CCall {
        ReportKind kind;
        std::string code;
        bool ticked;
    };
    std::vector<CCall> calls;
    view.SetShortListHook([&calls](ReportKind kind, const CCompanyInfo& company, bool ticked) {
        calls.push_back({kind, company.Code(), ticked});
    });
    QVERIFY(WaitForBuild(view));
    for (int i = 0; i < view.BlockCount(); ++i) {
        QCheckBox* box = view.CompanyCheckBox(i);
        QVERIFY(box != nullptr);
        QCOMPARE(box->parentWidget(), view.Block(i));
        QCOMPARE(box->geometry(), QRect(0, 0, 16, 16));
        QVERIFY(!box->isChecked());
        QVERIFY(box->isVisible());
    }

    QTest::mouseClick(view.CompanyCheckBox(1), Qt::LeftButton);
    QCOMPARE(calls.size(), std::size_t{1});
    QCOMPARE(calls[0].kind, ReportKind::Call);
    QCOMPARE(calls[0].code, std::string("BBB"));
    QVERIFY(calls[0].ticked);
    QVERIFY(view.CompanyCheckBox(1)->isChecked());
    QTest::mouseClick(view.CompanyCheckBox(1), Qt::LeftButton);
    QCOMPARE(calls.size(), std::size_t{2});
    QVERIFY(!calls[1].ticked);
    QVERIFY(!view.CompanyCheckBox(1)->isChecked());

    // Set from the Short List: silent, and the code in any letter case.
    view.SetCompanyChecked("ccc", true);
    QVERIFY(view.CompanyCheckBox(2)->isChecked());
    view.SetCompanyChecked("AAA", true);
    QVERIFY(view.CompanyCheckBox(0)->isChecked());
    view.SetCompanyChecked("Ccc", false);
    QVERIFY(!view.CompanyCheckBox(2)->isChecked());
    view.SetCompanyChecked("ZZZ", true);
    view.SetCompanyChecked("CCC", true);
    view.ClearAllChecks();
    for (int i = 0; i < view.BlockCount(); ++i) {
        QVERIFY(!view.CompanyCheckBox(i)->isChecked());
    }
    QCOMPARE(calls.size(), std::size_t{2});

    // A rebuilt report starts with every box clear.
    view.SetCompanyChecked("AAA", true);
    view.RefreshView();
    QVERIFY(WaitForBuild(view));
    QVERIFY(!view.CompanyCheckBox(0)->isChecked());
    QCOMPARE(calls.size(), std::size_t{2});
}

void CReportViewTest::CompanyNameClickCallsTheTrendHook() {
    InstallSample();
    CShownView shown(*m_Session, ReportKind::Call);
    CReportView& view = shown.view;
    std::vector<std::string> charts;
    view.SetTrendChartHook([&charts](const std::string& code) { charts.push_back(code); });
    QVERIFY(WaitForBuild(view));
    CReportBlockTable& block = *view.Block(1);
    QCOMPARE(&block.ReportView(), &view);

    QTest::mouseClick(&block, Qt::LeftButton, {}, block.CellRect(1, 0).center());
    QCOMPARE(charts, std::vector<std::string>{"BBB"});
    // Elsewhere in the block: no chart.
    QTest::mouseClick(&block, Qt::LeftButton, {}, block.CellRect(0, 0).center());
    QTest::mouseClick(&block, Qt::LeftButton, {}, block.CellRect(1, 1).center());
    QTest::mouseClick(&block, Qt::LeftButton, {}, block.CellRect(3, 0).center());
    QCOMPARE(charts.size(), std::size_t{1});
    QCOMPARE(block.CurrentRow(), 3);
    QCOMPARE(block.CurrentColumn(), 0);
    // The name of another block.
    QTest::mouseClick(view.Block(0), Qt::LeftButton, {}, view.Block(0)->CellRect(1, 0).center());
    QCOMPARE(charts, (std::vector<std::string>{"BBB", "AAA"}));
}

void CReportViewTest::HooksMayRebuildTheView() {
    InstallSample();
    CShownView shown(*m_Session, ReportKind::Call);
    CReportView& view = shown.view;
    int charts = 0;
    int ticks = 0;
    view.SetTrendChartHook([&](const std::string&) {
        ++charts;
        view.RefreshView();
    });
    view.SetShortListHook([&](ReportKind, const CCompanyInfo& company, bool) {
        ++ticks;
        view.RefreshView();
        // The company handed over outlives the rebuild.
        QCOMPARE(company.Code(), std::string("AAA"));
    });
    QVERIFY(WaitForBuild(view));
    QTest::mouseClick(view.Block(2), Qt::LeftButton, {}, view.Block(2)->CellRect(1, 0).center());
    QCOMPARE(charts, 1);
    QVERIFY(view.IsBusy());
    QVERIFY(WaitForBuild(view));
    QTest::mouseClick(view.CompanyCheckBox(0), Qt::LeftButton);
    QCOMPARE(ticks, 1);
    QVERIFY(WaitForBuild(view));
    QVERIFY(QTest::qWaitFor([&] { return !view.IsWorkPending(); }, kBuildTimeoutMs));
    QCOMPARE(view.BlockCount(), 3);
}

void CReportViewTest::SelectionCrossesIntoTheNeighbouringBlocks() {
    InstallSample();
    CShownView shown(*m_Session, ReportKind::Call, QSize(1000, 900));
    CReportView& view = shown.view;
    QVERIFY(QTest::qWaitForWindowActive(&view));
    QVERIFY(WaitForBuild(view));
    CReportBlockTable& first = *view.Block(0);  // AAA: rows 3..5
    CReportBlockTable& second = *view.Block(1); // BBB: rows 3..4
    CReportBlockTable& third = *view.Block(2);  // CCC: rows 3..5

    QTest::mouseClick(&first, Qt::LeftButton, {}, first.CellRect(5, 3).center());
    QCOMPARE(first.CurrentRow(), 5);
    QCOMPARE(view.ActiveTable(), &first);
    QTest::keyClick(&first, Qt::Key_Down);
    QCOMPARE(second.CurrentRow(), 3);
    QCOMPARE(second.CurrentColumn(), 3);
    QCOMPARE(first.CurrentRow(), -1);
    QCOMPARE(view.ActiveTable(), &second);
    QVERIFY(second.hasFocus());

    QTest::keyClick(&second, Qt::Key_Down);
    QCOMPARE(second.CurrentRow(), 4);
    QTest::keyClick(&second, Qt::Key_Down);
    QCOMPARE(third.CurrentRow(), 3);
    QCOMPARE(second.CurrentRow(), -1);
    // Past the last row of the last block nothing moves.
    QTest::keyClick(&third, Qt::Key_Down);
    QTest::keyClick(&third, Qt::Key_Down);
    QTest::keyClick(&third, Qt::Key_Down);
    QCOMPARE(third.CurrentRow(), 5);
    QCOMPARE(view.ActiveTable(), &third);

    // Up from the first series row goes to the last series row above; Shift+Tab from the
    // first cell goes to the last cell of the block above.
    QTest::keyClick(&third, Qt::Key_Up);
    QTest::keyClick(&third, Qt::Key_Up);
    QTest::keyClick(&third, Qt::Key_Up);
    QCOMPARE(second.CurrentRow(), 4);
    QCOMPARE(second.CurrentColumn(), 3);
    QCOMPARE(third.CurrentRow(), -1);
    second.SetCurrentCell(3, 0);
    QTest::keyClick(&second, Qt::Key_Backtab);
    const int lastColumn = 12 + kAnalytics - 1;
    QCOMPARE(first.CurrentRow(), 5);
    QCOMPARE(first.CurrentColumn(), lastColumn);
    QCOMPARE(second.CurrentRow(), -1);
    QTest::keyClick(&first, Qt::Key_Tab);
    QCOMPARE(second.CurrentRow(), 3);
    QCOMPARE(second.CurrentColumn(), 0);

    // A click in another block takes the selection there.
    QTest::mouseClick(&third, Qt::LeftButton, {}, third.CellRect(4, 6).center());
    QCOMPARE(view.ActiveTable(), &third);
    QCOMPARE(third.CurrentRow(), 4);
    QCOMPARE(second.CurrentRow(), -1);
    // Sideways moves stay in the row.
    third.SetCurrentCell(4, lastColumn);
    QTest::keyClick(&third, Qt::Key_Right);
    QCOMPARE(third.CurrentColumn(), lastColumn);
    QCOMPARE(view.ActiveTable(), &third);
}

void CReportViewTest::CurrentCellMovedOutOfViewIsScrolledIn() {
    InstallMarket();
    CShownView shown(*m_Session, ReportKind::Call, QSize(900, 500));
    CReportView& view = shown.view;
    QVERIFY(QTest::qWaitForWindowActive(&view));
    QVERIFY(WaitForBuild(view));
    CReportBlockTable& first = *view.Block(0);
    QTest::mouseClick(&first, Qt::LeftButton, {}, first.CellRect(3, 2).center());
    QCOMPARE(view.ScrollPosition(), 0);
    // Down through the first blocks: the view follows, and the cell stays in sight.
    for (int i = 0; i < 60; ++i) {
        CStackedTable* active = view.ActiveTable();
        QVERIFY(active != nullptr);
        QTest::keyClick(active, Qt::Key_Down);
        active = view.ActiveTable();
        const QRect cell = active->CellRect(active->CurrentRow(), active->CurrentColumn());
        const int top = view.TableTop(view.IndexOf(active)) + cell.top() - view.ScrollPosition();
        QVERIFY(top >= 0);
        QVERIFY(top + cell.height() <= view.viewport()->height());
    }
    QVERIFY(view.ScrollPosition() > 0);
    QVERIFY(view.ActiveTable() != &first);
    QCOMPARE(first.CurrentRow(), -1);
    // A cell far away taken directly: scrolled to just enough.
    CReportBlockTable& far = *view.Block(view.BlockCount() - 1);
    view.SetActiveTable(&far);
    far.SetCurrentCell(far.RowCount() - 1, 1);
    const int bottom =
        view.TableTop(view.BlockCount() - 1) + far.CellRect(far.RowCount() - 1, 1).bottom() + 1;
    QCOMPARE(view.ScrollPosition(), bottom - view.viewport()->height());
    QVERIFY(far.isVisible());
}

// Printing.

void CReportViewTest::PagesKeepHeadersTogetherAndRepeatThem() {
    // Page 500 high: rows from 30 down to 470.
    {
        // Two small tables share a page, 30 apart.
        const CPrintedPageLayout layout({{{20, 20, 20, 10, 10}, 3}, {{20, 20, 20, 10}, 3}}, 500);
        QCOMPARE(layout.PageCount(), 1);
        QCOMPARE(layout.Page(0),
                 (CPrintedPageLayout::CPage{{0, 0, 5, 30}, {1, 0, 4, 30 + 80 + 30}}));
    }
    {
        // The second table's headers do not fit under the first: a new page.
        const CPrintedPageLayout layout({{{100, 100, 100, 50, 50}, 3}, {{20, 20, 20, 10}, 3}}, 500);
        QCOMPARE(layout.PageCount(), 2);
        QCOMPARE(layout.Page(0), (CPrintedPageLayout::CPage{{0, 0, 5, 30}}));
        QCOMPARE(layout.Page(1), (CPrintedPageLayout::CPage{{1, 0, 4, 30}}));
    }
    {
        // A long table: every further page starts with the three header rows again.
        std::vector<int> heights = {40, 30, 30};
        heights.insert(heights.end(), 50, 20); // 1000 units of series rows
        const CPrintedPageLayout layout({{heights, 3}}, 500);
        // 440 units a page; 100 for the headers leaves 17 rows of 20 per page.
        QCOMPARE(layout.PageCount(), 3);
        QCOMPARE(layout.Page(0), (CPrintedPageLayout::CPage{{0, 0, 20, 30}}));
        QCOMPARE(layout.Page(1), (CPrintedPageLayout::CPage{{0, 0, 3, 30}, {0, 20, 17, 130}}));
        QCOMPARE(layout.Page(2), (CPrintedPageLayout::CPage{{0, 0, 3, 30}, {0, 37, 16, 130}}));
    }
    {
        // Headers fitting under another table, its first row not: the row moves on with
        // the headers repeated.
        const CPrintedPageLayout layout({{{200, 100}, 0}, {{20, 20, 20, 100}, 3}}, 500);
        QCOMPARE(layout.PageCount(), 2);
        QCOMPARE(layout.Page(0), (CPrintedPageLayout::CPage{{0, 0, 2, 30}, {1, 0, 3, 360}}));
        QCOMPARE(layout.Page(1), (CPrintedPageLayout::CPage{{1, 0, 4, 30}}));
    }
    {
        // Rows taller than a page each get a page; nothing loops.
        const CPrintedPageLayout layout({{{20, 20, 20, 900, 900, 10}, 3}}, 500);
        QCOMPARE(layout.PageCount(), 3);
        QCOMPARE(layout.Page(0), (CPrintedPageLayout::CPage{{0, 0, 4, 30}}));
        QCOMPARE(layout.Page(1), (CPrintedPageLayout::CPage{{0, 0, 3, 30}, {0, 4, 1, 90}}));
        QCOMPARE(layout.Page(2), (CPrintedPageLayout::CPage{{0, 0, 3, 30}, {0, 5, 1, 90}}));
    }
    {
        // Tables without header rows simply flow on; empty tables take no room.
        const CPrintedPageLayout layout({{{300, 100}, 0}, {{}, 0}, {{100, 100}, 0}}, 500);
        QCOMPARE(layout.PageCount(), 2);
        QCOMPARE(layout.Page(0), (CPrintedPageLayout::CPage{{0, 0, 2, 30}}));
        QCOMPARE(layout.Page(1), (CPrintedPageLayout::CPage{{2, 0, 2, 30}}));
        QVERIFY(layout.Page(2).empty());
    }
    QCOMPARE(CPrintedPageLayout({}, 500).PageCount(), 0);
}

void CReportViewTest::PrintCopyDrawsTheSameTexts() {
    InstallSample();
    m_Session->ReportSettings(ReportKind::Call).SetDisplayLeveragedBar(true);
    CShownView shown(*m_Session, ReportKind::Call);
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    CReportBlockTable& block = *view.Block(0);
    const std::unique_ptr<CComplexTableWnd> copy = CMultiTablePrintJob::CopyTable(block);
    QCOMPARE(copy->RowCount(), block.RowCount());
    QCOMPARE(copy->PrintedHeaderCount(), 3);
    for (int r = 0; r < block.RowCount(); ++r) {
        QCOMPARE(copy->CellCount(r), block.CellCount(r));
        QCOMPARE(copy->RowValue(r), block.RowValue(r));
        for (int c = 0; c < block.CellCount(r); ++c) {
            const CComplexTableCell& from = *block.Cell(r, c);
            const CComplexTableCell& to = *copy->Cell(r, c);
            QVERIFY(!to.m_TextFromHook);
            QCOMPARE(to.m_Text, from.m_TextFromHook ? block.GetCellText(r, c) : from.m_Text);
            QCOMPARE(to.m_Background, from.m_Background);
            QCOMPARE(to.m_TextColor, from.m_TextColor);
            QCOMPARE(to.m_Span, from.m_Span);
            QCOMPARE(to.m_Kind, from.m_Kind);
            QCOMPARE(to.m_RightBorder.m_Width, from.m_RightBorder.m_Width);
            QCOMPARE(to.m_Font, from.m_Font);
        }
    }
    const CComplexTableWnd& outcome = *copy->Cell(2, 7)->m_EmbeddedTable;
    QCOMPARE(outcome.Cell(1, 3)->m_Text, QStringLiteral("% Return"));
    QCOMPARE(outcome.parentWidget(), copy.get());
    // Laid out at the same width, the copy is as tall as the block.
    QCOMPARE(copy->TotalHeight(block.width()), block.TotalHeight(block.width()));
    QVERIFY(copy->CurrentRow() == -1);
}

void CReportViewTest::LongBlockPrintsOnSeveralPagesWithItsHeadersRepeated() {
    std::vector<CSeriesQuote> series;
    for (int i = 0; i < 90; ++i) {
        series.push_back({1.0 + 0.05 * i, 0.01 + 0.001 * i});
    }
    std::vector<CCompanyInfo> companies;
    companies.push_back(MakeCompany("LNG", 3.0, true, 10.0, series));
    m_Session->Market().PublishCalls(std::move(companies));
    CShownView shown(*m_Session, ReportKind::Call);
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    QCOMPARE(view.BlockCount(), 1);

    const QString pdf = Artefact(QStringLiteral("long-block.pdf"));
    QFile::remove(pdf);
    QPrinter printer(QPrinter::HighResolution);
    SetupPdf(printer, pdf);
    const QSize units = PrintUnits(printer, view);

    // What the pages must be: the block at the page width, three header rows on every page.
    const std::unique_ptr<CComplexTableWnd> copy = CMultiTablePrintJob::CopyTable(*view.Block(0));
    copy->SetStretchLastRow(false);
    copy->RecalcLayout(units.width() - 60);
    const int headers = copy->RowHeight(0) + copy->RowHeight(1) + copy->RowHeight(2);
    const int row = copy->RowHeight(3);
    for (int r = 3; r < copy->RowCount(); ++r) {
        QCOMPARE(copy->RowHeight(r), row);
    }
    const int perPage = (units.height() - 60 - headers) / row;
    const int expected = (90 + perPage - 1) / perPage;
    QVERIFY(expected >= 2);

    QCOMPARE(view.PrintedPageCount(printer), expected);
    QVERIFY(view.Print(printer));
    QCOMPARE(CountPdfPages(pdf), expected);

    // The second page opens with the header rows again, then the rows that follow the
    // first page's.
    const std::vector<CComplexTableWnd*> tables{view.Block(0)};
    CMultiTablePrintJob job(tables, units, view.logicalDpiY());
    QCOMPARE(job.PageCount(), expected);
    QCOMPARE(job.Layout().Page(1).front(), (CPrintedPageLayout::CRun{0, 0, 3, 30}));
    QCOMPARE(job.Layout().Page(1).back().firstRow, 3 + perPage);
    QImage page(units, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        job.PaintPage(painter, 1);
    }
    page.save(Artefact(QStringLiteral("long-block-page2.png")));
    const CColorScheme scheme;
    QCOMPARE(page.pixelColor(32, 32), ToQColor(scheme.Get(SchemeColor::CompanyHeaderBk)));
    QCOMPARE(page.pixelColor(32, 30 + headers + 2), ToQColor(scheme.Get(SchemeColor::ReportBk)));
    QCOMPARE(page.pixelColor(10, 10), QColor(Qt::white));
    // Text is drawn at its screen size: the header row holds dark-on-grey text pixels only
    // within its own height.
    int textPixels = 0;
    for (int y = 30; y < 30 + copy->RowHeight(0); ++y) {
        for (int x = 30; x < 30 + (units.width() - 60) / 10; ++x) {
            textPixels += page.pixelColor(x, y).lightness() > 200 ? 1 : 0;
        }
    }
    QVERIFY(textPixels > 10);
}

void CReportViewTest::MarketPrintsToPdfWithTheLaidOutPageCount() {
    InstallMarket();
    CReportSettings& settings = m_Session->ReportSettings(ReportKind::Put);
    settings.SetStocks(CReportSettings::ListHighest10);
    CShownView shown(*m_Session, ReportKind::Put);
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    QVERIFY(view.BlockCount() > 1);
    QVERIFY(view.BlockCount() <= 10);

    const QString pdf = Artefact(QStringLiteral("put-highest10.pdf"));
    QFile::remove(pdf);
    QPrinter printer(QPrinter::HighResolution);
    SetupPdf(printer, pdf);
    const int pages = view.PrintedPageCount(printer);
    QVERIFY(pages >= 1);
    QVERIFY(view.Print(printer));
    QCOMPARE(CountPdfPages(pdf), pages);

    // Every block's rows are on the pages exactly once, besides the repeated headers.
    const std::vector<CComplexTableWnd*> tables = [&] {
        std::vector<CComplexTableWnd*> list;
        for (int i = 0; i < view.BlockCount(); ++i) {
            list.push_back(view.Block(i));
        }
        return list;
    }();
    const CMultiTablePrintJob job(tables, PrintUnits(printer, view), view.logicalDpiY());
    QCOMPARE(job.PageCount(), pages);
    std::vector<int> printed(tables.size(), 0);
    for (int p = 0; p < job.PageCount(); ++p) {
        for (const CPrintedPageLayout::CRun& run : job.Layout().Page(p)) {
            if (run.firstRow >= 3) {
                printed[run.table] += run.rowCount;
            } else if (run.rowCount > 3) {
                printed[run.table] += run.rowCount - 3;
            }
            QVERIFY(run.y >= 30);
        }
    }
    for (std::size_t t = 0; t < tables.size(); ++t) {
        QCOMPARE(printed[t], tables[t]->RowCount() - 3);
    }

    // A page range prints only those pages.
    if (pages >= 2) {
        const QString range = Artefact(QStringLiteral("put-highest10-page2.pdf"));
        QPrinter second(QPrinter::HighResolution);
        SetupPdf(second, range);
        second.setPrintRange(QPrinter::PageRange);
        second.setFromTo(2, 2);
        QVERIFY(view.Print(second));
        QCOMPARE(CountPdfPages(range), 1);
    }
}

namespace {

// The colours of two tables are the same, cell by cell, in the tables they embed too.
void CompareColours(const CComplexTableWnd& first, const CComplexTableWnd& second,
                    const QString& where) {
    QCOMPARE(first.RowCount(), second.RowCount());
    for (int r = 0; r < first.RowCount(); ++r) {
        QCOMPARE(first.CellCount(r), second.CellCount(r));
        for (int c = 0; c < first.CellCount(r); ++c) {
            const CComplexTableCell& a = *first.Cell(r, c);
            const CComplexTableCell& b = *second.Cell(r, c);
            const QString cell = QStringLiteral("%1 row %2 cell %3").arg(where).arg(r).arg(c);
            QVERIFY2(a.m_Background == b.m_Background && a.m_TextColor == b.m_TextColor,
                     qPrintable(cell));
            QCOMPARE(a.m_EmbeddedTable != nullptr, b.m_EmbeddedTable != nullptr);
            if (a.m_EmbeddedTable) {
                CompareColours(*a.m_EmbeddedTable, *b.m_EmbeddedTable, cell);
            }
        }
    }
}

} // namespace

// Paper is white whatever the desktop: the report printed on a dark one, where the window
// shows the dark default, has the colours it prints with on a light one, cell by cell.
void CReportViewTest::DarkDesktopPrintsTheLightScheme() {
    InstallSample();
    m_Session->SetDarkDesktop(true);
    CShownView shown(*m_Session, ReportKind::Call);
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    QCOMPARE(view.Block(0)->Cell(0, 1)->m_Background,
             DarkDefaultScheme().Get(SchemeColor::CompanyHeaderBk));
    const std::unique_ptr<CMultiTablePrintJob> dark = view.PrintJob(QSize(1000, 1400));
    QVERIFY(dark != nullptr);

    m_Session->SetDarkDesktop(false);
    view.RefreshView();
    QVERIFY(WaitForBuild(view));
    const std::unique_ptr<CMultiTablePrintJob> light = view.PrintJob(QSize(1000, 1400));
    // On a light desktop the blocks print as they show.
    QCOMPARE(light->Table(0).Cell(0, 1)->m_Background,
             CColorScheme().Get(SchemeColor::CompanyHeaderBk));
    QCOMPARE(dark->PageCount(), light->PageCount());
    for (int b = 0; b < view.BlockCount(); ++b) {
        CompareColours(dark->Table(b), light->Table(b), QStringLiteral("block %1").arg(b));
        if (QTest::currentTestFailed()) {
            return;
        }
    }
}

void CReportViewTest::PrintingIsRefusedWithoutTables() {
    m_Log.onMessage = {};
    CShownView shown(*m_Session, ReportKind::Call);
    CReportView& view = shown.view;
    QVERIFY(WaitForBuild(view));
    QCOMPARE(view.BlockCount(), 0);
    QVERIFY(!view.HandlesCommand(ID_FILE_PRINT));
    const QString pdf = Artefact(QStringLiteral("refused.pdf"));
    QFile::remove(pdf);
    QPrinter printer(QPrinter::HighResolution);
    SetupPdf(printer, pdf);
    QCOMPARE(view.PrintedPageCount(printer), 0);
    QVERIFY(!view.Print(printer));
    QVERIFY(!QFile::exists(pdf));
    view.OnCommand(ID_FILE_PRINT); // nothing to preview: no window opens
    QVERIFY(m_Log.texts.isEmpty());

    // A build still running prints once it is done.
    InstallSample();
    view.RefreshView();
    QVERIFY(view.IsBusy());
    QVERIFY(view.HandlesCommand(ID_FILE_PRINT));
    QVERIFY(view.Print(printer));
    QVERIFY(!view.IsBusy());
    QCOMPARE(view.BlockCount(), 3);
    QCOMPARE(CountPdfPages(pdf), 1);
}

// The main window.

void CReportViewTest::MainWindowOpensRefreshesAndPrintsTheReports() {
    test::CMainFrameTestHost host;
    ResetSettings(host.session, ReportKind::Call);
    ResetSettings(host.session, ReportKind::Put);
    InstallSample(host.session);
    CMainFrame frame(host);
    std::vector<CReportView*> created;
    RegisterReportViews(frame, [&created](CReportView& view) {
        view.SetClock([] { return kNow; });
        created.push_back(&view);
    });
    frame.resize(1200, 800);
    frame.show();
    QVERIFY(frame.Action(ID_YIELD_CALL_REPORTS)->isEnabled());
    QVERIFY(frame.Action(ID_YIELD_PUT_REPORTS)->isEnabled());

    QVERIFY(frame.OnCommand(ID_YIELD_CALL_REPORTS));
    auto* calls = qobject_cast<CReportView*>(frame.GetView(ViewKind::CallReport, false, false));
    QVERIFY(calls != nullptr);
    QCOMPARE(created, std::vector<CReportView*>{calls});
    QCOMPARE(calls->Kind(), ReportKind::Call);
    QCOMPARE(frame.MdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("Call Report"));
    QVERIFY(frame.OnCommand(ID_YIELD_PUT_REPORTS));
    auto* puts = qobject_cast<CReportView*>(frame.GetView(ViewKind::PutReport, false, false));
    QVERIFY(puts != nullptr);
    QCOMPARE(puts->Kind(), ReportKind::Put);
    QCOMPARE(frame.MdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("Put Report"));
    QVERIFY(WaitForBuild(*calls));
    QVERIFY(WaitForBuild(*puts));
    // The same command again activates the open window.
    QVERIFY(frame.OnCommand(ID_YIELD_CALL_REPORTS));
    QCOMPARE(created.size(), std::size_t{2});
    QCOMPARE(frame.MdiArea()->activeSubWindow()->widget(), calls);

    // A refresh request of its kind rebuilds the view.
    frame.RefreshView(RefreshKind::CallReport);
    QVERIFY(calls->IsBusy());
    QVERIFY(!puts->IsBusy());
    QVERIFY(WaitForBuild(*calls));

    // Print: the preview of the active report, landscape, with the pages laid out.
    frame.UpdateCommandStates();
    QVERIFY(frame.Action(ID_FILE_PRINT)->isEnabled());
    int previewPages = -1;
    bool landscape = false;
    QTimer watcher;
    watcher.setInterval(10);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        watcher.stop();
        if (auto* preview = dialog->findChild<QPrintPreviewWidget*>()) {
            preview->updatePreview();
            previewPages = preview->pageCount();
        }
        landscape = dialog->printer()->pageLayout().orientation() == QPageLayout::Landscape;
        dialog->reject();
    });
    watcher.start();
    QVERIFY(frame.OnCommand(ID_FILE_PRINT));
    QVERIFY(landscape);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QCOMPARE(previewPages, calls->PrintedPageCount(printer));
    QVERIFY(previewPages >= 1);

    // The windows go before the main window does.
    frame.MdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(frame.GetView(ViewKind::CallReport, false, false) == nullptr);
    frame.hide();
}

// The analytics columns.

void CReportViewTest::AnalyticsColumnsFillInWhenReadyAndFollowTheViewMenu_data() {
    QTest::addColumn<bool>("call");
    QTest::addColumn<bool>("shown");
    QTest::newRow("Call Report") << true << true;
    QTest::newRow("Put Report") << false << true;
    QTest::newRow("Call Report built without the columns") << true << false;
}

void CReportViewTest::AnalyticsColumnsFillInWhenReadyAndFollowTheViewMenu() {
    QFETCH(bool, call);
    QFETCH(bool, shown);
    const ReportKind kind = call ? ReportKind::Call : ReportKind::Put;
    test::CMainFrameTestHost host;
    CSession& session = host.session;
    session.AnalyticsSettings().SetShowColumns(shown);
    ResetSettings(session, ReportKind::Call);
    ResetSettings(session, ReportKind::Put);
    session.ReportSettings(kind).SetDisplayLeveragedBar(true);
    InstallSample(session);
    std::vector<CCompanyInfo> companies = call ? SampleCalls() : SamplePuts();
    companies.push_back(OldTradeCompany(call));
    if (call) {
        session.Market().PublishCalls(std::move(companies));
    } else {
        session.Market().PublishPuts(std::move(companies));
    }
    // Ex-date before the series expire: early exercise of AAA's deep call is likely.
    session.Market().PublishDividends({{"AAA", UtcDay(2010, 6, 28), 0.85}});
    CMainFrame frame(host);
    RegisterReportViews(frame, [](CReportView& view) { view.SetClock([] { return kNow; }); });
    frame.resize(1400, 900);
    frame.show();
    QVERIFY(frame.OnCommand(call ? ID_YIELD_CALL_REPORTS : ID_YIELD_PUT_REPORTS));
    auto* view = dynamic_cast<CReportView*>(
        frame.GetView(call ? ViewKind::CallReport : ViewKind::PutReport, false, false));
    QVERIFY(view != nullptr);
    QVERIFY(WaitForBuild(*view));
    const auto settled = [view] {
        return QTest::qWaitFor([view] { return !view->IsLayoutPending(); }, kBuildTimeoutMs);
    };
    QVERIFY(settled());
    QCOMPARE(frame.Action(ID_VIEW_ANALYTICS_COLUMNS)->isChecked(), shown);
    QCOMPARE(BlockCodes(*view), (call ? std::vector<std::string>{"AAA", "BBB", "CCC", "OLD"}
                                      : std::vector<std::string>{"OLD", "PPP", "QQQ"}));
    constexpr int kFirst = CSeriesTable::kSeriesColumns;
    constexpr int kBep = kFirst - 1;
    // Every analytics cell of the rows from the series header down, with its row.
    const auto forEachAnalyticsCell = [view](const auto& check) {
        for (int i = 0; i < view->BlockCount(); ++i) {
            CReportBlockTable& block = *view->Block(i);
            for (int row = 2; row < block.RowCount(); ++row) {
                for (int c = block.CellCount(row) - kAnalytics; c < block.CellCount(row); ++c) {
                    check(block, row, c);
                }
            }
        }
    };

    // The report shows at once; the cells wait for the analytics.
    int leveragedLines = 0;
    forEachAnalyticsCell([&](CReportBlockTable& block, int row, int column) {
        const CComplexTableCell& cell = *block.Cell(row, column);
        QCOMPARE(cell.m_Visible, shown);
        if (row > 2) {
            QVERIFY(cell.m_Text.isEmpty());
            QVERIFY(cell.m_ToolTip.isEmpty());
            leveragedLines += block.RowValue(row) == 0 && column == block.CellCount(row) - 1;
        }
    });
    QVERIFY(leveragedLines > 0);
    if (!shown) {
        // Built without them, the series columns take the whole width; the View item
        // brings them.
        forEachAnalyticsCell([](CReportBlockTable& block, int row, int /*column*/) {
            const int last = block.CellCount(row) - kAnalytics - 1;
            QCOMPARE(block.CellRect(row, last).right() + 1, block.width());
        });
        QVERIFY(frame.OnCommand(ID_VIEW_ANALYTICS_COLUMNS));
        QVERIFY(settled());
        forEachAnalyticsCell([](CReportBlockTable& block, int row, int column) {
            QVERIFY(block.Cell(row, column)->m_Visible);
            QVERIFY(block.CellRect(row, column).width() > 0);
        });
    }

    // Ready: the blocks already built take the figures without being built again.
    const std::shared_ptr<const CMarketAnalytics> analytics = ComputeMarketAnalytics(
        *session.Market().Current(), MakeAnalyticsContext(kNow, session.AnalyticsSettings()), 1);
    QVERIFY(analytics != nullptr);
    session.PublishAnalytics(analytics, session.Market().Current());
    std::vector<const CReportBlockTable*> blocks;
    for (int i = 0; i < view->BlockCount(); ++i) {
        blocks.push_back(view->Block(i));
    }
    emit host.analytics.Ready();
    QVERIFY(view->IsLayoutPending());
    QVERIFY(settled());
    for (int i = 0; i < view->BlockCount(); ++i) {
        QCOMPARE(view->Block(i), blocks[static_cast<std::size_t>(i)]);
    }
    const Color dimmed = StaleAnalyticsColor();
    QVERIFY(dimmed != session.ColorScheme().Get(SchemeColor::ReportFg));
    int stale = 0;
    int fresh = 0;
    int warnings = 0;
    for (int i = 0; i < view->BlockCount(); ++i) {
        const CReportBlockTable& block = *view->Block(i);
        for (int row = 3; row < block.RowCount(); ++row) {
            const auto* series = reinterpret_cast<const CContractInfo*>(block.RowValue(row));
            if (series == nullptr) {
                // The leveraged line has nothing under the analytics.
                for (int c = block.CellCount(row) - kAnalytics; c < block.CellCount(row); ++c) {
                    QVERIFY(block.Cell(row, c)->m_Text.isEmpty());
                }
                continue;
            }
            const std::optional<CSeriesAnalytics> figures = analytics->Find(call, series->Code());
            QVERIFY(figures);
            const CAnalyticsTexts texts = SeriesAnalyticsTexts(*figures, call);
            for (int c = 0; c < kAnalytics; ++c) {
                const CComplexTableCell& cell = *block.Cell(row, kFirst + c);
                QCOMPARE(cell.m_Text.toStdString(), texts.cells[static_cast<std::size_t>(c)]);
                QCOMPARE(cell.m_ToolTip.toStdString(), texts.tooltip);
                const Color figureColor = texts.stale ? dimmed : block.Cell(row, kBep)->m_TextColor;
                QCOMPARE(cell.m_TextColor,
                         c == kAnalytics - 1 ? kAnalyticsWarningColor : figureColor);
            }
            stale += texts.stale ? 1 : 0;
            fresh += texts.stale ? 0 : 1;
            warnings += texts.cells.back().empty() ? 0 : 1;
        }
    }
    QCOMPARE(stale, 1);
    QVERIFY(fresh > 0);
    QCOMPARE(warnings > 0, call);
    QCOMPARE(view->TableHeight(0), view->Block(0)->TotalHeight(view->Block(0)->width()));

    // The tooltip shows while the mouse rests on a cell.
    CReportBlockTable& first = *view->Block(0);
    const QPoint point = first.CellRect(3, kFirst).center();
    QHelpEvent help(QEvent::ToolTip, point, first.mapToGlobal(point));
    QApplication::sendEvent(&first, &help);
    QVERIFY(!first.Cell(3, kFirst)->m_ToolTip.isEmpty());
    QTRY_COMPARE(QToolTip::text(), first.Cell(3, kFirst)->m_ToolTip);
    QToolTip::hideText();

    // Printed as shown: the copy the pages are drawn from has the figures.
    const std::unique_ptr<CComplexTableWnd> shownCopy = CMultiTablePrintJob::CopyTable(first);
    for (int c = kFirst; c < kFirst + kAnalytics; ++c) {
        QVERIFY(shownCopy->Cell(3, c)->m_Visible);
        QCOMPARE(shownCopy->Cell(3, c)->m_Text, first.Cell(3, c)->m_Text);
    }

    // The View menu hides the columns in the open report and remembers it; the series
    // columns take the whole width again, and a selection in them steps back onto BEP.
    first.SetCurrentCell(3, kFirst + 2);
    QVERIFY(frame.OnCommand(ID_VIEW_ANALYTICS_COLUMNS));
    QVERIFY(!session.AnalyticsSettings().ShowColumns());
    QVERIFY(!frame.Action(ID_VIEW_ANALYTICS_COLUMNS)->isChecked());
    QVERIFY(settled());
    forEachAnalyticsCell([](CReportBlockTable& block, int row, int column) {
        QVERIFY(!block.Cell(row, column)->m_Visible);
        const int last = block.CellCount(row) - kAnalytics - 1;
        QCOMPARE(block.CellRect(row, last).right() + 1, block.width());
    });
    QVERIFY(!view->horizontalScrollBar()->isVisible());
    QCOMPARE(first.CurrentRow(), 3);
    QCOMPARE(first.CurrentColumn(), kBep);
    const std::unique_ptr<CComplexTableWnd> hiddenCopy = CMultiTablePrintJob::CopyTable(first);
    constexpr int kPageWidth = 900;
    hiddenCopy->RecalcLayout(kPageWidth);
    for (int c = kFirst; c < kFirst + kAnalytics; ++c) {
        QVERIFY(!hiddenCopy->Cell(3, c)->m_Visible);
        QCOMPARE(hiddenCopy->CellRect(3, c).width(), 0);
    }
    QCOMPARE(hiddenCopy->CellRect(3, kBep).right() + 1, kPageWidth);

    // And shows them again, figures and all.
    QVERIFY(frame.OnCommand(ID_VIEW_ANALYTICS_COLUMNS));
    QVERIFY(session.AnalyticsSettings().ShowColumns());
    QVERIFY(frame.Action(ID_VIEW_ANALYTICS_COLUMNS)->isChecked());
    QVERIFY(settled());
    forEachAnalyticsCell([](CReportBlockTable& block, int row, int column) {
        QVERIFY(block.Cell(row, column)->m_Visible);
        QVERIFY(block.CellRect(row, column).width() > 0);
    });
    QCOMPARE(first.Cell(3, kFirst)->m_Text, shownCopy->Cell(3, kFirst)->m_Text);
}

void CReportViewTest::ProgramStartedOnMarketFilesWorksOutTheAnalytics() {
    // The feed is nowhere: whatever the program knows comes from the files read at start.
    const test::CScopedEnv feed("STRIKELINE_FEED_URL", "http://127.0.0.1:9");
    const test::CScopedEnv site("STRIKELINE_SITE_URL", "http://127.0.0.1:9");
    test::CTempFolder home;
    const std::filesystem::path data = home.File("data");
    std::filesystem::create_directories(data);
    for (const auto& entry : std::filesystem::directory_iterator(m_Folder.Path())) {
        if (entry.is_regular_file()) {
            std::filesystem::copy_file(entry.path(), data / entry.path().filename());
        }
    }
    test::CUserMessageLog messages;
    CApplication app(CStartOptions{data.string(), home.File("settings.reg"),
                                   QString::fromStdString(home.File("instance")), false,
                                   &messages});
    QVERIFY(app.InitInstance());
    QTRY_VERIFY_WITH_TIMEOUT(app.Session().Analytics() != nullptr, kBuildTimeoutMs);
    const std::shared_ptr<const CMarketAnalytics> analytics = app.Session().Analytics();
    const std::shared_ptr<const CMarketSnapshot> market = app.Session().Market().Current();
    std::size_t series = 0;
    for (const bool isCall : {true, false}) {
        for (const CCompanyInfo& company : market->Companies(isCall)) {
            series += company.Contracts().size();
            for (const CContractInfo& contract : company.Contracts()) {
                QVERIFY(analytics->Find(isCall, contract.Code()));
            }
        }
    }
    // The same files the test read itself.
    std::size_t expected = 0;
    for (const bool isCall : {true, false}) {
        for (const CCompanyInfo& company : m_Market.Current()->Companies(isCall)) {
            expected += company.Contracts().size();
        }
    }
    QVERIFY(expected > 0);
    QCOMPARE(series, expected);
    QCOMPARE(analytics->Size(), series);
    app.MainFrame()->close();
    app.ExitInstance(0);
}

} // namespace strikeline

QTEST_MAIN(strikeline::CReportViewTest)
#include "ReportViewTest.moc"
