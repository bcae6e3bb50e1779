// A user's whole day with the real program: the local feed serves today's market and the
// program fetches it; the user opens the Call Report, ticks companies onto the Short List,
// ticks a series into the Trading Plan, types the shares, exports the plan to CSV, Excel,
// Word and HTML, mails it twice through the desktop's mail program, closes yesterday's
// row, corrects the closed trade in the Diary, types Average Trades in Dividends, prices a
// loan in the Leverage Calculator, saves both report settings forms, shows the leveraged
// bars, changes the colour scheme and the data sources, fetches everything again, reads
// the About box and the help line, looks at a trend chart, arranges the windows and quits.
// The files on disk tell whether it all happened. It runs on the offscreen platform and,
// in CI, once more in a real X display; the test command builds it with AddressSanitizer
// and UndefinedBehaviorSanitizer, where any report, a leak at exit included, fails it.

#include "gui/app/AboutDlg.h"
#include "gui/app/Application.h"
#include "gui/app/CommandIds.h"
#include "gui/app/DataSourcesDlg.h"
#include "gui/app/MainFrame.h"
#include "gui/journal/DiaryEntryDlg.h"
#include "gui/journal/DiaryView.h"
#include "gui/journal/DividendsGrid.h"
#include "gui/journal/DividendsView.h"
#include "gui/journal/LeverageCalcView.h"
#include "gui/plan/PlanViewColumns.h"
#include "gui/plan/TradingPlanTable.h"
#include "gui/plan/TradingPlanView.h"
#include "gui/reports/ReportSettingsView.h"
#include "gui/reports/ReportView.h"
#include "gui/reports/SelectCompanyDlg.h"
#include "gui/reports/ShortListBlockTable.h"
#include "gui/reports/ShortListView.h"
#include "gui/reports/TrendView.h"
#include "gui/reports/WebEngineSetup.h"
#include "gui/settings/ColorSchemeDlg.h"
#include "gui/widgets/InPlaceEdit.h"
#include "journal/AverageTradesDatabase.h"
#include "journal/DiaryDatabase.h"
#include "journal/JournalViewTestSupport.h"
#include "marketdata/CompanyList.h"
#include "marketdata/MarketDataLoaders.h"
#include "plan/PlanFigures.h"
#include "plan/PlanTestData.h"
#include "plan/TradingPlan.h"
#include "reports/ReportSettings.h"
#include "reports/ShortListStore.h"
#include "reports/ShortListTexts.h"
#include "session/ApplicationState.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/TodaysMarket.h"
#include "support/UserMessageLog.h"
#include "tools/FeedServer.h"
#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QUrl>
#include <QWebEngineView>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <link.h>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace strikeline {

namespace {

// The first fetch of a whole market, and report builds, under the sanitizers.
constexpr int kWaitMs = 180000;
// The embedded browser starts its helper process with the first page.
constexpr int kPageWaitMs = 60000;
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
        CMarketGeneratorSettings settings = test::TodaysMarketSettings();
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

template <typename View> View* ActiveView(CMainFrame& frame) {
    QMdiSubWindow* active = frame.MdiArea()->activeSubWindow();
    return active == nullptr ? nullptr : qobject_cast<View*>(active->widget());
}

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// The desktop's mail program, first on the PATH: a stand-in for xdg-email that refuses a
// message whose attachment is not there, and otherwise keeps its arguments and a copy of
// the attachment in its own folder, under the attachment's name.
class CFakeMailer {
public:
    explicit CFakeMailer(const std::filesystem::path& folder) : m_Folder(folder) {
        std::filesystem::create_directories(folder);
        const std::string program = (folder / "xdg-email").string();
        test::WriteTextFile(program, "#!/bin/sh\n"
                                     "[ \"$5\" = --attach ] && [ -s \"$6\" ] || exit 4\n"
                                     "name=$(basename \"$6\")\n"
                                     "dir=$(dirname \"$0\")\n"
                                     "printf '%s\\n' \"$@\" > \"$dir/$name.arguments\"\n"
                                     "cp \"$6\" \"$dir/$name\"\n");
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    }

    // The attachments received, in name order.
    std::vector<std::filesystem::path> Attachments() const {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(m_Folder)) {
            const std::string suffix = entry.path().extension().string();
            if (suffix == ".csv" || suffix == ".xlsx") {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }
    // The path the program handed over for an attachment: its last argument.
    static std::string AttachedPath(const std::filesystem::path& copy) {
        std::string arguments = ReadFile(copy.string() + ".arguments");
        while (!arguments.empty() && arguments.back() == '\n') {
            arguments.pop_back();
        }
        return arguments.substr(arguments.rfind('\n') + 1);
    }

private:
    std::filesystem::path m_Folder;
};

ino_t FileIdentity(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

// The builds with AddressSanitizer check for leaks at exit.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLeaksChecked = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kLeaksChecked = true;
#else
constexpr bool kLeaksChecked = false;
#endif
#else
constexpr bool kLeaksChecked = false;
#endif

// Run with this variable set, the test program only loses a block of this size and ends.
constexpr const char* kLeakVariable = "STRIKELINE_TEST_LEAK_ON_PURPOSE";
constexpr std::size_t kLeakSize = 4243;

void* volatile g_Dropped = nullptr;

void LeakOnPurpose() {
    g_Dropped = std::malloc(kLeakSize);
    g_Dropped = nullptr;
}

// Libraries loaded at run time (the platform plugin, and in an X display the GL driver the
// browser draws with) are unloaded at exit before the leak check runs: what their own
// globals still held would then be reported as lost, with no library to name. Each stays
// loaded to the end, so that only memory nothing holds is reported.
void KeepLoadedLibrariesToTheEnd() {
    std::vector<std::string> names;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* found) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
                static_cast<std::vector<std::string>*>(found)->emplace_back(info->dlpi_name);
            }
            return 0;
        },
        &names);
    for (const std::string& name : names) {
        // The handle is kept on purpose: the library stays until the process ends.
        ::dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
}

} // namespace

class UserDayTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("Strikeline")); }
    void AUsersDayFromTheReportToTheDiary();
    void ALeakFailsTheRun();

private:
    // The windows of the day after the plan; each leaves the windows it opened open.
    void CorrectTheClosedTradeInTheDiary(CMainFrame& frame);
    void TypeAverageTradesInDividends(CMainFrame& frame, std::string& company);
    void PriceALoanInTheCalculator(CMainFrame& frame);
    void SaveBothReportSettingsForms(CMainFrame& frame);
    void ShowTheLeveragedBars(CMainFrame& frame);
    void ChangeTheColourScheme(CMainFrame& frame);
    void FetchAgainWithNewLimits(CApplication& app, const std::string& data);
    void ReadTheAboutBox(CMainFrame& frame);
    void LookAtATrendChart(CMainFrame& frame, const std::string& site);
};

void UserDayTest::AUsersDayFromTheReportToTheDiary() {
    CLocalFeed feed;
    QVERIFY2(feed.Ready(), feed.Error().c_str());
    const test::CScopedEnv feedUrl("STRIKELINE_FEED_URL", feed.Url().c_str());
    const test::CScopedEnv siteUrl("STRIKELINE_SITE_URL", feed.Url().c_str());
    test::CTempFolder home;
    const std::string data = home.File("data");
    std::filesystem::create_directories(data);
    const CFakeMailer mailer(home.File("mailer"));
    const char* path = std::getenv("PATH");
    const test::CScopedEnv mailerFirst(
        "PATH", (home.File("mailer") + ":" + (path != nullptr ? path : "/usr/bin:/bin")).c_str());

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
    CApplication app(CStartOptions{data, home.File("settings.reg"),
                                   QString::fromStdString(home.File("instance")), false,
                                   &messages});
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    frame.resize(1400, 900);
    QCOMPARE(frame.Session().TradingPlan().Count(), std::size_t{1});

    // The downloader brings today's market from the feed.
    QVERIFY(QTest::qWaitFor([&app] { return !app.Session().Market().Current()->Calls().empty(); },
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
    auto* shortList = OpenView<CShortListView>(frame, ViewKind::ShortList);
    QVERIFY(shortList != nullptr);
    QCOMPARE(frame.MdiArea()->activeSubWindow()->widget(), report);
    QCOMPARE(frame.Session().ShortList().Entries().size(), std::size_t{2});

    // On the Short List, the first series of the first block goes into the plan.
    QVERIFY(frame.OnCommand(ID_SHORT_LIST_OPEN));
    QVERIFY(QTest::qWaitFor([shortList] { return !shortList->IsLayoutPending(); }, kWaitMs));
    QCOMPARE(shortList->BlockCount(), 2);
    CShortListBlockTable& block = *shortList->Block(0);
    const int seriesRow = CShortListBlockTable::kFirstSeriesRow;
    const std::string series = block.SeriesAt(seriesRow)->Code();
    ClickCell(block, seriesRow, CShortListBlockTable::CellOf(kShortListPlanColumn));
    QVERIFY(block.IsPlanTicked(seriesRow));
    QCOMPARE(frame.Session().TradingPlan().Count(), std::size_t{2});
    CTradingPlanEntry& added = frame.Session().TradingPlan().At(1);
    QCOMPARE(added.m_ContractID, series);

    // In the Trading Plan the user types the shares; cost and totals follow.
    QVERIFY(frame.OnCommand(ID_TRADING_PLAN_OPEN));
    auto* plan = OpenView<CTradingPlanView>(frame, ViewKind::TradingPlan);
    QVERIFY(plan != nullptr);
    CTradingPlanTable& table = plan->Table();
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

    // Exports to CSV, Excel, Word and HTML; the workbook is opened for the user.
    QStringList opened;
    plan->ExportCommands().SetSavePathChooser(
        [&home](QWidget*, const QString&, const QString& suffix) {
            return QString::fromStdString(home.File("plan." + suffix.toStdString()));
        });
    plan->ExportCommands().SetFileOpener(
        [&opened](const QUrl& url) { opened << url.toLocalFile(); });
    // The CSV takes the analytics columns as well; the others keep the plan's own columns.
    bool includeAnalytics = true;
    plan->ExportCommands().SetAnalyticsChooser(
        [&includeAnalytics](QWidget*) { return std::optional<bool>(includeAnalytics); });
    QVERIFY(frame.OnCommand(ID_FILE_EXPORT_CSV));
    includeAnalytics = false;
    QVERIFY(frame.OnCommand(ID_FILE_EXPORT_EXCEL));
    QVERIFY(frame.OnCommand(ID_FILE_EXPORT_WORD));
    QVERIFY(frame.OnCommand(ID_FILE_EXPORT_HTML));
    const QStringList exported{QStringLiteral("CSV file created successfully."),
                               QStringLiteral("Excel file created successfully."),
                               QStringLiteral("Word file created successfully."),
                               QStringLiteral("HTML file created successfully.")};
    QCOMPARE(messages.texts, exported);
    const std::string csv = ReadFile(home.File("plan.csv"));
    QVERIFY(csv.find(series) != std::string::npos);
    QVERIFY(csv.find("Warnings") != std::string::npos);
    QVERIFY(ReadFile(home.File("plan.html")).find("Warnings") == std::string::npos);
    QVERIFY(csv.find(kOpenSeries) != std::string::npos);
    QCOMPARE(ReadFile(home.File("plan.xlsx")).substr(0, 2), std::string("PK"));
    QCOMPARE(ReadFile(home.File("plan.docx")).substr(0, 2), std::string("PK"));
    const std::string page = ReadFile(home.File("plan.html"));
    QVERIFY(page.find(series) != std::string::npos);
    QVERIFY(page.find(kOpenSeries) != std::string::npos);
    QCOMPARE(opened, QStringList{QString::fromStdString(home.File("plan.xlsx"))});

    // The plan goes by mail as CSV and as a workbook; success says nothing.
    QVERIFY(frame.OnCommand(ID_FILE_EXPORT_CSV_MAIL));
    QVERIFY(frame.OnCommand(ID_FILE_EXPORT_EXCEL_MAIL));
    QCOMPARE(messages.texts, exported);
    const std::vector<std::filesystem::path> mailed = mailer.Attachments();
    QCOMPARE(mailed.size(), std::size_t{2});
    QCOMPARE(mailed[0].extension().string(), std::string(".csv"));
    QCOMPARE(mailed[1].extension().string(), std::string(".xlsx"));
    QVERIFY(ReadFile(mailed[0].string()).find(series) != std::string::npos);
    QCOMPARE(ReadFile(mailed[1].string()).substr(0, 2), std::string("PK"));
    QCOMPARE(ReadFile(mailed[0].string() + ".arguments").substr(0, 46),
             std::string("--subject\nTRADING PLAN BY STRIKELINE\n--body\nPl"));
    std::vector<std::string> attached;
    for (const std::filesystem::path& copy : mailed) {
        attached.push_back(CFakeMailer::AttachedPath(copy));
        QCOMPARE(std::filesystem::path(attached.back()).filename(), copy.filename());
        QVERIFY(std::filesystem::exists(attached.back()));
    }

    // Yesterday's trade is closed: its row goes and its diary entry is stamped.
    CTradingPlanEntry* yesterday = &frame.Session().TradingPlan().At(0);
    QCOMPARE(yesterday->m_ContractID, kOpenSeries);
    ClickCell(table, plan->RowOf(yesterday), PlanViewColumnOf("CloseAll"));
    QCOMPARE(frame.Session().TradingPlan().Count(), std::size_t{1});
    QVERIFY(frame.Session().Diary().Entries().at(0).m_CloseDate >= started);

    // Every other window of the menus.
    CorrectTheClosedTradeInTheDiary(frame);
    if (QTest::currentTestFailed()) {
        return;
    }
    std::string averaged;
    TypeAverageTradesInDividends(frame, averaged);
    if (QTest::currentTestFailed()) {
        return;
    }
    PriceALoanInTheCalculator(frame);
    if (QTest::currentTestFailed()) {
        return;
    }
    SaveBothReportSettingsForms(frame);
    if (QTest::currentTestFailed()) {
        return;
    }
    ShowTheLeveragedBars(frame);
    if (QTest::currentTestFailed()) {
        return;
    }
    ChangeTheColourScheme(frame);
    if (QTest::currentTestFailed()) {
        return;
    }
    FetchAgainWithNewLimits(app, data);
    if (QTest::currentTestFailed()) {
        return;
    }
    ReadTheAboutBox(frame);
    if (QTest::currentTestFailed()) {
        return;
    }
    LookAtATrendChart(frame, feed.Url());
    if (QTest::currentTestFailed()) {
        return;
    }
    QVERIFY(frame.OnCommand(ID_WINDOW_TILE));
    QVERIFY(frame.OnCommand(ID_WINDOW_CASCADE));
    QCOMPARE(messages.texts,
             exported +
                 QStringList{QStringLiteral("Please go to %1 for Strikeline user support.")
                                 .arg(QUrl(QString::fromStdString(feed.Url())).authority())});

    // The day ends: the program writes its files.
    QVERIFY(frame.OnCommand(ID_APP_EXIT));
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
    QCOMPARE(diary.Entries()[0].m_NEProfit, 321.0);
    CAverageTradesDatabase averages;
    QVERIFY2(averages.Load(data + "/averagetrades.xml", error), error.c_str());
    QCOMPARE(averages.Lookup(averaged), std::optional<double>(12.0));
    // The attachments waited for the mail program until the program ended.
    for (const std::string& attachment : attached) {
        QVERIFY2(!std::filesystem::exists(attachment), attachment.c_str());
    }
    QCOMPARE(messages.texts.size(), exported.size() + 1);
}

void UserDayTest::CorrectTheClosedTradeInTheDiary(CMainFrame& frame) {
    QVERIFY(frame.OnCommand(ID_DIARY));
    auto* diary = OpenView<CDiaryView>(frame, ViewKind::Diary);
    QVERIFY(diary != nullptr);
    diary->ModeList()->setCurrentIndex(static_cast<int>(DiaryRangeMode::All));
    QCOMPARE(diary->EntryList()->rowCount(), 1);
    diary->EntryList()->selectRow(0);
    test::CModalAnswer<CDiaryEntryDlg> answer([](CDiaryEntryDlg& dialog) {
        QCOMPARE(dialog.ContractCodeEdit()->text().toStdString(), kOpenSeries);
        TypeInto(dialog.FieldEdit(DiaryEntryField::ExpiryDate), QStringLiteral("22-Apr-2010"));
        TypeInto(dialog.FieldEdit(DiaryEntryField::NEProfit), QStringLiteral("321"));
        dialog.accept();
    });
    QTest::mouseClick(diary->EditButton(), Qt::LeftButton);
    QVERIFY(answer.seen);
    QCOMPARE(frame.Session().Diary().Entries().at(0).m_NEProfit, 321.0);
}

void UserDayTest::TypeAverageTradesInDividends(CMainFrame& frame, std::string& company) {
    QVERIFY(frame.OnCommand(ID_YIELD_DIVIDENDS));
    auto* dividends = OpenView<CDividendsView>(frame, ViewKind::Dividends);
    QVERIFY(dividends != nullptr);
    dividends->FilterList()->setCurrentIndex(dividends->FilterList()->findText("All"));
    CDividendsGrid& table = *dividends->Table();
    const int row = CDividendsView::kFirstDataRow;
    const int column = CDividendsView::kAverageTradesColumn;
    QVERIFY(table.RowCount() > row);
    company = table.Cell(row, 0)->m_Text.toStdString();
    table.setFocus();
    table.SetCurrentCell(row, column);
    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(table.ActiveEditor() != nullptr);
    QTest::keyClicks(table.ActiveEditor(), QStringLiteral("12"));
    QTest::keyClick(table.ActiveEditor(), Qt::Key_Return);
    QVERIFY(!table.IsEditing());
    QCOMPARE(table.Cell(row, column)->m_Text, QStringLiteral("12"));
    QCOMPARE(frame.Session().AverageTrades().Lookup(company), std::optional<double>(12.0));
}

void UserDayTest::PriceALoanInTheCalculator(CMainFrame& frame) {
    QVERIFY(frame.OnCommand(ID_CALCULATOR));
    auto* calculator = ActiveView<CLeverageCalcView>(frame);
    QVERIFY(calculator != nullptr);
    TypeInto(calculator->InputEdit(LeverageField::Shares), QStringLiteral("1000"));
    TypeInto(calculator->InputEdit(LeverageField::PricePerShare), QStringLiteral("2.50"));
    TypeInto(calculator->InputEdit(LeverageField::InterestRate), QStringLiteral("9"));
    TypeInto(calculator->InputEdit(LeverageField::PeriodDays), QStringLiteral("30"));
    QTest::keyClick(calculator->InputEdit(LeverageField::PeriodDays), Qt::Key_Return);
    QCOMPARE((QStringList{calculator->TotalPurchasePriceEdit()->text(),
                          calculator->CostPerShareEdit()->text(),
                          calculator->CostOfLeverageEdit()->text()}),
             (QStringList{"$2500", "$0.01875", "$18.49315"}));
}

void UserDayTest::SaveBothReportSettingsForms(CMainFrame& frame) {
    // The Call Report the other way round.
    const bool ascending = frame.Session().ReportSettings(ReportKind::Call).SortAscending();
    QVERIFY(frame.OnCommand(ID_EDIT_CALL_SETTINGS));
    auto* call = OpenView<CReportSettingsView>(frame, ViewKind::CallSettings);
    QVERIFY(call != nullptr);
    QComboBox* direction = call->SortDirectionList();
    direction->setCurrentIndex(1 - direction->currentIndex());
    QTest::mouseClick(call->SaveButton(), Qt::LeftButton);
    QCOMPARE(frame.Session().ReportSettings(ReportKind::Call).SortAscending(), !ascending);
    QVERIFY(OpenView<CReportSettingsView>(frame, ViewKind::CallSettings) == nullptr);
    auto* callReport = OpenView<CReportView>(frame, ViewKind::CallReport);
    QVERIFY(callReport != nullptr);
    QCOMPARE(ActiveView<CReportView>(frame), callReport);
    QVERIFY(QTest::qWaitFor([callReport] { return !callReport->IsBusy(); }, kWaitMs));

    // The Put Report, then only two of its companies, chosen in its settings form.
    QVERIFY(frame.OnCommand(ID_YIELD_PUT_REPORTS));
    auto* putReport = OpenView<CReportView>(frame, ViewKind::PutReport);
    QVERIFY(putReport != nullptr);
    QVERIFY(QTest::qWaitFor([putReport] { return !putReport->IsBusy(); }, kWaitMs));
    QVERIFY(putReport->BlockCount() > 2);
    QVERIFY(frame.OnCommand(ID_EDIT_PUT_SETTINGS));
    auto* put = OpenView<CReportSettingsView>(frame, ViewKind::PutSettings);
    QVERIFY(put != nullptr);
    put->StocksList()->setCurrentIndex(CReportSettings::SelectStocks);
    QListWidget* companies = put->CompanyListBox();
    QVERIFY(companies->isVisibleTo(put));
    companies->clearSelection();
    std::vector<std::string> chosen;
    for (int i = 0; i < companies->count() && chosen.size() < 2; ++i) {
        const std::string code =
            companies->item(i)->data(CReportSettingsView::kCodeRole).toString().toStdString();
        if (putReport->FindBlock(code) >= 0) {
            companies->item(i)->setSelected(true);
            chosen.push_back(code);
        }
    }
    QCOMPARE(chosen.size(), std::size_t{2});
    QTest::mouseClick(put->SaveButton(), Qt::LeftButton);
    QCOMPARE(frame.Session().ReportSettings(ReportKind::Put).CompanyList(), chosen);
    QVERIFY(OpenView<CReportSettingsView>(frame, ViewKind::PutSettings) == nullptr);
    QCOMPARE(ActiveView<CReportView>(frame), putReport);
    QVERIFY(QTest::qWaitFor([putReport] { return !putReport->IsBusy(); }, kWaitMs));
    QCOMPARE(putReport->BlockCount(), 2);
    for (const std::string& code : chosen) {
        QVERIFY2(putReport->FindBlock(code) >= 0, code.c_str());
    }
}

void UserDayTest::ShowTheLeveragedBars(CMainFrame& frame) {
    for (const auto& [command, kind] : {std::pair{ID_EDIT_CALL_LEVERAGED_BAR, ReportKind::Call},
                                        std::pair{ID_EDIT_PUT_LEVERAGED_BAR, ReportKind::Put}}) {
        const bool shown = frame.Session().ReportSettings(kind).DisplayLeveragedBar();
        QVERIFY(frame.OnCommand(command));
        QCOMPARE(frame.Session().ReportSettings(kind).DisplayLeveragedBar(), !shown);
        QCOMPARE(frame.Action(command)->isChecked(), !shown);
    }
    for (const ViewKind kind : {ViewKind::CallReport, ViewKind::PutReport}) {
        auto* report = OpenView<CReportView>(frame, kind);
        QVERIFY(report != nullptr);
        QVERIFY(QTest::qWaitFor([report] { return !report->IsBusy(); }, kWaitMs));
    }
}

void UserDayTest::ChangeTheColourScheme(CMainFrame& frame) {
    test::CModalAnswer<CColorSchemeDlg> answer([](CColorSchemeDlg& dialog) {
        QComboBox* sizes = dialog.SizeList();
        sizes->setCurrentIndex(sizes->findText(QStringLiteral("12")));
        dialog.accept();
    });
    QVERIFY(frame.OnCommand(ID_EDIT_COLOUR_SCHEME));
    QVERIFY(answer.seen);
    QCOMPARE(frame.Session().ColorScheme().FontSize(), std::uint32_t{12});
    // Every open view is drawn again in it.
    for (const ViewKind kind : {ViewKind::CallReport, ViewKind::PutReport}) {
        auto* report = OpenView<CReportView>(frame, kind);
        QVERIFY(report != nullptr);
        QVERIFY(QTest::qWaitFor([report] { return !report->IsBusy(); }, kWaitMs));
    }
}

void UserDayTest::FetchAgainWithNewLimits(CApplication& app, const std::string& data) {
    CMainFrame& frame = *app.MainFrame();
    // OK starts a new downloader with the new limits.
    test::CModalAnswer<CDataSourcesDlg> answer([](CDataSourcesDlg& dialog) {
        dialog.TimeLimitBox()->setValue(90);
        dialog.SizeLimitBox()->setValue(32);
        dialog.accept();
    });
    QVERIFY(frame.OnCommand(ID_EDIT_DATA_SOURCES));
    QVERIFY(answer.seen);
    QCOMPARE(app.DataSources().TimeLimitSeconds(), std::uint32_t{90});
    QCOMPARE(app.DataSources().SizeLimitMegabytes(), std::uint32_t{32});

    // "Download Call/Put Data" fetches every file again: a new call file takes the place
    // of the old one.
    const std::string callFile = data + "/" + std::string(kCallFileName);
    const ino_t before = FileIdentity(callFile);
    QVERIFY(before != 0);
    QVERIFY(frame.OnCommand(ID_FILE_DOWNLOAD));
    QVERIFY(QTest::qWaitFor(
        [&callFile, before] {
            const ino_t now = FileIdentity(callFile);
            return now != 0 && now != before;
        },
        kWaitMs));
    QVERIFY(QTest::qWaitFor([&app] { return !app.Session().Market().Current()->Calls().empty(); },
                            kWaitMs));
}

void UserDayTest::ReadTheAboutBox(CMainFrame& frame) {
    QString version;
    test::CModalAnswer<CAboutDlg> answer([&version](CAboutDlg& dialog) {
        version = dialog.VersionLabel()->text();
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    QVERIFY(frame.OnCommand(ID_APP_ABOUT));
    QVERIFY(answer.seen);
    QVERIFY2(version.contains(CAboutDlg::ApplicationTitle()), qPrintable(version));
    // F1 names the support site.
    QVERIFY(frame.OnCommand(ID_HELP));
}

void UserDayTest::LookAtATrendChart(CMainFrame& frame, const std::string& site) {
    QString company;
    test::CModalAnswer<CSelectCompanyDlg> answer([&company](CSelectCompanyDlg& dialog) {
        QVERIFY(dialog.CompanyBox()->count() > 0);
        dialog.CompanyBox()->setCurrentIndex(0);
        company = dialog.CompanyBox()->currentText();
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    QVERIFY(frame.OnCommand(ID_TREND_CHART));
    QVERIFY(answer.seen);
    auto* chart = ActiveView<CTrendView>(frame);
    QVERIFY(chart != nullptr);
    QVERIFY2(company.contains(chart->Code()), qPrintable(company));
    QCOMPARE(chart->ChartUrl().toString().toStdString().rfind(site + "/call/chart.php?code=", 0),
             std::size_t{0});
    auto* browser = qobject_cast<QWebEngineView*>(chart->Page());
    QVERIFY(browser != nullptr);
    QSignalSpy loaded(browser, &QWebEngineView::loadFinished);
    QVERIFY(loaded.isValid());
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kPageWaitMs);
    QCOMPARE(loaded.first().first().toBool(), true);
    QCOMPARE(browser->url(), chart->ChartUrl());
}

// In a build with the leak check, a block lost on purpose ends the test program with the
// checker's report and a failing status, under the same settings as the day above: a day
// that lost memory could not pass.
void UserDayTest::ALeakFailsTheRun() {
    if (!kLeaksChecked) {
        QSKIP("Only the builds with AddressSanitizer check for leaks.");
    }
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kLeakVariable), QStringLiteral("1"));
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(program.waitForFinished(kWaitMs));
    const QString report = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() != 0,
             qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("ERROR: LeakSanitizer: detected memory leaks")),
             qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("%1 byte(s) leaked").arg(kLeakSize)),
             qPrintable(report));
}

} // namespace strikeline

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsSet(strikeline::kLeakVariable)) {
        strikeline::LeakOnPurpose();
        return 0;
    }
    // The browser's settings must be made before the application exists, as the program's
    // own main() makes them.
    strikeline::PrepareWebEngine();
    QApplication application(argc, argv);
    strikeline::UserDayTest test;
    const int failed = QTest::qExec(&test, argc, argv);
    if (strikeline::kLeaksChecked) {
        strikeline::KeepLoadedLibrariesToTheEnd();
    }
    return failed;
}

#include "UserDayTest.moc"
