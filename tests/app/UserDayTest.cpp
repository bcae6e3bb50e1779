// A user's whole day with the real program: the local feed serves today's market, the
// program fetches it, and the user opens the Call Report, ticks companies onto the Short
// List, ticks a series into the Trading Plan, types the shares, exports the plan to CSV
// and Excel, closes yesterday's row and quits; the files on disk tell whether it all
// happened. It runs on the offscreen platform and, in CI, once more in a real X display.

#include "app/views/CommandIds.h"
#include "app/views/MainFrame.h"
#include "app/views/TesseraApp.h"
#include "journal/DiaryDatabase.h"
#include "marketdata/CompanyList.h"
#include "plan/PlanFigures.h"
#include "plan/PlanTestData.h"
#include "plan/TradingPlan.h"
#include "plan/views/ComplexTableWndForTradingPlanView.h"
#include "plan/views/PlanViewColumns.h"
#include "plan/views/TradingPlanView.h"
#include "reports/ShortListStore.h"
#include "reports/ShortListTexts.h"
#include "reports/views/ComplexTableWndForWatchView.h"
#include "reports/views/ReportView.h"
#include "reports/views/WatchView.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/UserMessageLog.h"
#include "tools/FeedServer.h"
#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"
#include "ui/views/InPlaceEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QUrl>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace strikeline {

namespace {

// The first fetch of a whole market, and report builds, under the sanitizers.
constexpr int kWaitMs = 180000;
// Yesterday's trade, opened in the plan and the diary before today's run.
const std::string kOpenSeries = "XYZXY9";
constexpr FileTime kOpened = FileTimeFromUnix(1262304000); // 2010-01-01

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Today's market laid out as the feed publishes it once the day is over.
class CLocalFeed {
public:
    CLocalFeed() {
        const std::chrono::year_month_day today{
            std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
        CMarketGeneratorSettings settings;
        settings.m_Year = static_cast<int>(today.year());
        settings.m_Month = static_cast<unsigned>(today.month());
        settings.m_Day = static_cast<unsigned>(today.day());
        std::string error;
        m_Ready = WriteFeedFolder(m_Folder.File("feed"), settings, 24 * 60, error);
        CFeedServerOptions options;
        options.root = m_Folder.File("feed");
        options.port = 0;
        m_Ready = m_Ready && m_Server.Start(options, error);
        m_Error = error;
    }
    bool Ready() const { return m_Ready; }
    const std::string& Error() const { return m_Error; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_Server.Port()); }

private:
    test::CTempFolder m_Folder;
    CFeedServer m_Server;
    bool m_Ready = false;
    std::string m_Error;
};

void ClickCell(CComplexTableWnd& table, int row, int column) {
    QTest::mouseClick(&table, Qt::LeftButton, Qt::NoModifier, table.CellRect(row, column).center());
}

template <typename View> View* OpenView(CMainFrame& frame, ViewKind kind) {
    return dynamic_cast<View*>(frame.GetView(kind, false, false));
}

} // namespace

class UserDayTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("Strikeline")); }
    void AUsersDayFromTheReportToTheDiary();
};

void UserDayTest::AUsersDayFromTheReportToTheDiary() {
    CLocalFeed feed;
    QVERIFY2(feed.Ready(), feed.Error().c_str());
    const test::CScopedEnv feedUrl("STRIKELINE_FEED_URL", feed.Url().c_str());
    const test::CScopedEnv siteUrl("STRIKELINE_SITE_URL", feed.Url().c_str());
    test::CTempFolder home;
    const std::string data = home.File("data");
    std::filesystem::create_directories(data);

    // Yesterday: one sold call in the plan and its diary entry, both opened at kOpened.
    {
        CTradingPlan plan;
        CTradingPlanEntry open = test::SoldCall("XYZ", kOpenSeries);
        open.m_StartDate = kOpened;
        plan.Append(open);
        QVERIFY(plan.Save(data + "/tradingplan.xml"));
        CDiaryDatabase diary;
        CDiaryEntry entry;
        entry.m_CompanyID = "XYZ";
        entry.m_ContractID = kOpenSeries;
        entry.m_StartDate = kOpened;
        diary.AddEntry(entry);
        QVERIFY(diary.Save(data + "/diary.xml"));
    }

    test::CUserMessageLog messages;
    const FileTime started = CurrentFileTime();
    CTesseraApp app(CStartOptions{data, home.File("settings.reg"),
                                  QString::fromStdString(home.File("instance")), false});
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    frame.resize(1400, 900);
    QCOMPARE(GetTradingPlan()->Count(), std::size_t{1});

    // The downloader brings today's market from the feed.
    QVERIFY(QTest::qWaitFor(
        [] {
            const auto lock = GetCallCompanies().Lock();
            return !GetCallCompanies().Companies().empty();
        },
        kWaitMs));

    // The Call Report, two companies ticked onto the Short List, which opens behind it.
    QVERIFY(frame.OnCommand(ID_YIELD_CALL_REPORTS));
    auto* report = OpenView<CReportView>(frame, ViewKind::CallReport);
    QVERIFY(report != nullptr);
    QVERIFY(QTest::qWaitFor([report] { return !report->IsBusy(); }, kWaitMs));
    QVERIFY(report->BlockCount() >= 2);
    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(report->CompanyCheckBox(i), Qt::LeftButton);
    }
    auto* shortList = OpenView<CWatchView>(frame, ViewKind::ShortList);
    QVERIFY(shortList != nullptr);
    QCOMPARE(frame.MdiArea()->activeSubWindow()->widget(), report);
    QCOMPARE(GetShortListStore().Entries().size(), std::size_t{2});

    // On the Short List, the first series of the first block goes into the plan.
    QVERIFY(frame.OnCommand(ID_SHORT_LIST_OPEN));
    QVERIFY(QTest::qWaitFor([shortList] { return !shortList->IsLayoutPending(); }, kWaitMs));
    QCOMPARE(shortList->BlockCount(), 2);
    CComplexTableWndForWatchView& block = *shortList->Block(0);
    const int seriesRow = CComplexTableWndForWatchView::kFirstSeriesRow;
    const std::string series = block.SeriesAt(seriesRow)->Code();
    ClickCell(block, seriesRow, CComplexTableWndForWatchView::CellOf(kShortListPlanColumn));
    QVERIFY(block.IsPlanTicked(seriesRow));
    QCOMPARE(GetTradingPlan()->Count(), std::size_t{2});
    CTradingPlanEntry& added = GetTradingPlan()->At(1);
    QCOMPARE(added.m_ContractID, series);

    // In the Trading Plan the user types the shares; cost and totals follow.
    QVERIFY(frame.OnCommand(ID_TRADING_PLAN_OPEN));
    auto* plan = OpenView<CTradingPlanView>(frame, ViewKind::TradingPlan);
    QVERIFY(plan != nullptr);
    CComplexTableWndForTradingPlanView& table = plan->Table();
    const int row = plan->RowOf(&added);
    QVERIFY(row > 0);
    const int shares = PlanViewColumnOf("Shares");
    table.SetCurrentCell(row, shares);
    table.BeginEditing(row, shares);
    QVERIFY(table.ActiveEditor() != nullptr);
    QTest::keyClicks(table.ActiveEditor(), QStringLiteral("2000"));
    QTest::keyClick(table.ActiveEditor(), Qt::Key_Return);
    QCOMPARE(added.m_Shares, 2000.0);
    QCOMPARE(table.Cell(row, PlanViewColumnOf("Cost"))->m_Text.toStdString(),
             PlanCellText(added, "Cost"));
    QVERIFY(!table.Cell(row, PlanViewColumnOf("Cost"))->m_Text.isEmpty());

    // Exports to CSV and to Excel; the workbook is opened for the user.
    QStringList opened;
    plan->ExportCommands().SetSavePathChooser(
        [&home](QWidget*, const QString&, const QString& suffix) {
            return QString::fromStdString(home.File("plan." + suffix.toStdString()));
        });
    plan->ExportCommands().SetFileOpener(
        [&opened](const QUrl& url) { opened << url.toLocalFile(); });
    QVERIFY(frame.OnCommand(ID_FILE_EXPORT_CSV));
    QVERIFY(frame.OnCommand(ID_FILE_EXPORT_EXCEL));
    QCOMPARE(messages.texts, (QStringList{QStringLiteral("CSV file created successfully."),
                                          QStringLiteral("Excel file created successfully.")}));
    const std::string csv = ReadFile(home.File("plan.csv"));
    QVERIFY(csv.find(series) != std::string::npos);
    QVERIFY(csv.find(kOpenSeries) != std::string::npos);
    QCOMPARE(ReadFile(home.File("plan.xlsx")).substr(0, 2), std::string("PK"));
    QCOMPARE(opened, QStringList{QString::fromStdString(home.File("plan.xlsx"))});

    // Yesterday's trade is closed: its row goes and its diary entry is stamped.
    CTradingPlanEntry* yesterday = &GetTradingPlan()->At(0);
    QCOMPARE(yesterday->m_ContractID, kOpenSeries);
    ClickCell(table, plan->RowOf(yesterday), PlanViewColumnOf("CloseAll"));
    QCOMPARE(GetTradingPlan()->Count(), std::size_t{1});
    QVERIFY(GetDiaryDatabase()->Entries().at(0).m_CloseDate >= started);

    // The day ends: the program writes its files.
    frame.close();
    QCOMPARE(app.ExitInstance(0), 0);
    CTradingPlan saved;
    std::string error;
    QVERIFY2(saved.Load(data + "/tradingplan.xml", error), error.c_str());
    QCOMPARE(saved.Count(), std::size_t{1});
    QCOMPARE(saved.At(0).m_ContractID, series);
    QCOMPARE(saved.At(0).m_Shares, 2000.0);
    CDiaryDatabase diary;
    QVERIFY2(diary.Load(data + "/diary.xml", error), error.c_str());
    QCOMPARE(diary.Entries().size(), std::size_t{1});
    QVERIFY(diary.Entries()[0].m_CloseDate >= started);
    QCOMPARE(messages.texts.size(), 2);
}

} // namespace strikeline

QTEST_MAIN(strikeline::UserDayTest)
#include "UserDayTest.moc"
