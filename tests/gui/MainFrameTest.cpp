// The main window and the application around it, driven as the user does: menus,
// commands, tool windows, the status bar, start-up with damaged files and the single copy.

#include "gui/app/MainFrame.h"

#include "gui/app/AnalyticsWorker.h"
#include "gui/app/Application.h"
#include "gui/app/ChildFrame.h"
#include "gui/app/CommandIds.h"
#include "gui/app/DataSourcesDlg.h"
#include "gui/app/NavigationCentreView.h"
#include "gui/app/ProgramIcon.h"
#include "gui/app/SingleInstance.h"
#include "gui/reports/ReportSettingsView.h"
#include "gui/settings/AnalyticsSettingsDlg.h"
#include "journal/DiaryDatabase.h"
#include "journal/JournalViewTestSupport.h"
#include "plan/TradingPlan.h"
#include "reports/ReportSettings.h"
#include "session/ApplicationState.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/UserMessageLog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sys/stat.h>

using namespace strikeline;

namespace {

// A tool window that counts the refresh requests it gets.
class CCountingView : public QLabel, public CRefreshableView {
public:
    CCountingView() : QLabel(QStringLiteral("view")) {}
    void RefreshView() override { ++refreshes; }
    int refreshes = 0;
};

using CMessageLog = test::CUserMessageLog;

QStringList Captions(const QList<QAction*>& actions) {
    QStringList captions;
    for (const QAction* action : actions) {
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return captions;
}

// The checked entries of a menu.
QStringList Checked(const QList<QAction*>& actions) {
    QStringList checked;
    for (const QAction* action : actions) {
        if (action->isChecked()) {
            checked << action->text();
        }
    }
    return checked;
}

QMenu* Menu(QMainWindow& window, const QString& title) {
    for (QAction* action : window.menuBar()->actions()) {
        if (action->text() == title) {
            return action->menu();
        }
    }
    return nullptr;
}

// Every test runs against its own folders, a feed address nobody answers and its own
// single-copy socket, so tests never meet each other or the user's files.
class CTestHome {
public:
    CTestHome(const char* feed = "http://127.0.0.1:9")
        : m_Feed("STRIKELINE_FEED_URL", feed), m_Site("STRIKELINE_SITE_URL", feed) {}

    // The program's messages go to `messages`, not to boxes that wait for a click.
    CStartOptions Options() {
        return {m_Folder.File("data"), m_Folder.File("settings.reg"),
                QString::fromStdString(m_Folder.File("instance")), false, &messages};
    }
    std::string File(const std::string& name) const { return m_Folder.File(name); }

    CMessageLog messages;

private:
    test::CTempFolder m_Folder;
    test::CScopedEnv m_Feed;
    test::CScopedEnv m_Site;
};

// A plain tool window of `kind` titled `title`.
void RegisterPlainView(CMainFrame& frame, ViewKind kind, const QString& title) {
    frame.RegisterView(kind, {title, true, true, {}, [] {
                                  return new QLabel;
                              }});
}

QString ActiveTitle(const CMainFrame& frame) {
    const QMdiSubWindow* active = frame.MdiArea()->activeSubWindow();
    return active == nullptr ? QString() : active->windowTitle();
}

// The real program started as a user starts it, on folders of its own and a feed address
// nobody answers.
QProcessEnvironment ProgramEnvironment(const test::CTempFolder& home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(home.Path().string()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(home.File("config")));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(home.File("data")));
    environment.insert("STRIKELINE_FEED_URL", "http://127.0.0.1:9");
    environment.insert("STRIKELINE_SITE_URL", "http://127.0.0.1:9");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    return environment;
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationName("Strikeline"); }
    void MenusHoldTheCommandsInOrder();
    void CommandsWithoutTheirWindowsAreDisabled();
    void WindowKeysOpenSwitchAndCloseWindows();
    void OneWindowPerKindAndTheExistingOneIsActivated();
    void CloseAllKeepsTheNavigationCentreAndClosesFloatingWindows();
    void NavigationCentreButtonsIssueTheirCommands();
    void RefreshReachesOnlyAnOpenView();
    void StatusBarShowsHelpTheDataDateAndTheDownloader();
    void SupportMessageCannotBeStacked();
    void ClearTradingPlanAsksOnlyWhenThereIsAPlan();
    void TogglesFollowTheSettings();
    void DataSourcesRefuseWhatIsNoWebAddress();
    void DataSourcesHoldTheDownloadLimits();
    void AnalyticsSettingsFormStoresItsValuesAndWorksThemOut();
    void StartUpWithDamagedFilesShowsWhyAndGoesOn();
    void StartUpHasTheMarketOnDiskInAndWorksItOut();
    void ExitWritesTheDatabasesAndTheSettings();
    void ASecondCopyRaisesTheFirstAndExits();
    void TheProgramStartedTwiceLeavesOneCopyAndEndsWell();
    void AQuitSignalDuringStartUpEndsTheProgramWhenStartUpEnds();
    void ClosingAWindowReturnsToTheOneUsedBefore();
    void SavingReportSettingsBringsTheReportToTheFront();
    void AMaximisedWindowLeavesTheTitleAlone();
    void WindowMenuListsTheOpenWindows();
    void MnemonicsAreUniqueInEveryMenu();
    void EveryWindowShowsTheProgramIcon();
    void TheProgramIconShowsTheDrawnSizes();
};

void MainFrameTest::MenusHoldTheCommandsInOrder() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    QCOMPARE(Captions(frame.menuBar()->actions()),
             (QStringList{"&File", "Edit", "&View", "Yield", "Trend", "Short List", "Trading Plan",
                          "Calculator", "&Window", "&Help"}));
    QCOMPARE(
        Captions(Menu(frame, "&File")->actions()),
        (QStringList{"Download Call/Put Data", "-", "Export to Excel...",
                     "Export to Excel and Send to Email...", "Export to CSV...",
                     "Export to CSV and Send to Email...", "Export to Word...", "Export to HTML...",
                     "Export Calendar...", "-", "Print...", "-", "E&xit"}));
    QCOMPARE(
        Captions(Menu(frame, "Edit")->actions()),
        (QStringList{"&Undo", "&Redo", "-", "Call Option Settings...", "Put Option Settings...",
                     "-", "Colour Scheme...", "Data Sources...", "Analytics Settings...",
                     "Notifications...", "-", "Display Call Leveraged Bar",
                     "Display Put Leveraged Bar", "Clear Short List when Short List is closed"}));
    QCOMPARE(Captions(Menu(frame, "&View")->actions()),
             (QStringList{"Analytics Columns", "Price History Charts"}));
    QCOMPARE(Captions(Menu(frame, "Yield")->actions()),
             (QStringList{"View Call Reports", "View Put Reports", "Dividends"}));
    QCOMPARE(Captions(Menu(frame, "&Window")->actions()).mid(0, 3),
             (QStringList{"&Cascade", "&Tile", "C&lose All"}));
    QCOMPARE(Captions(Menu(frame, "&Help")->actions()), (QStringList{"&About..."}));
    // The Diary keeps its command without a place on the menu bar.
    QVERIFY(frame.Action(ID_DIARY) != nullptr);
    QVERIFY(!Captions(frame.menuBar()->actions()).contains("Diary"));
    QCOMPARE(frame.Action(ID_FILE_PRINT)->shortcut(), QKeySequence(QKeySequence::Print));
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::CommandsWithoutTheirWindowsAreDisabled() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    // The program registers every window; exports and printing wait for a window that
    // answers them.
    for (const int command :
         {ID_FILE_DOWNLOAD, ID_TRADING_PLAN_CLEAR, ID_WINDOW_CLOSE_ALL, ID_EDIT_DATA_SOURCES,
          ID_APP_ABOUT, ID_TREND_CHART, ID_EDIT_COLOUR_SCHEME, ID_YIELD_CALL_REPORTS,
          ID_EDIT_PUT_SETTINGS, ID_YIELD_DIVIDENDS, ID_DIARY, ID_CALCULATOR, ID_SHORT_LIST_OPEN,
          ID_SHORT_LIST_CLEAR, ID_TRADING_PLAN_OPEN}) {
        QVERIFY2(frame.Action(command)->isEnabled(), qPrintable(QString::number(command)));
    }
    for (const int command : {ID_FILE_EXPORT_CSV, ID_FILE_EXPORT_EXCEL, ID_FILE_PRINT}) {
        QVERIFY2(!frame.Action(command)->isEnabled(), qPrintable(QString::number(command)));
        QVERIFY(!frame.OnCommand(command));
    }

    // A main window with nothing registered keeps those windows' commands disabled until
    // their parts register them.
    CMainFrame bare(app);
    for (const int command :
         {ID_YIELD_DIVIDENDS, ID_DIARY, ID_CALCULATOR, ID_SHORT_LIST_OPEN, ID_TRADING_PLAN_OPEN}) {
        QVERIFY2(!bare.Action(command)->isEnabled(), qPrintable(QString::number(command)));
        QVERIFY(!bare.OnCommand(command));
    }
    QVERIFY(bare.Action(ID_WINDOW_CLOSE_ALL)->isEnabled());
    bare.RegisterView(ViewKind::Dividends, {"Dividends", true, true, {}, [] {
                                                return new QLabel;
                                            }});
    int calculators = 0;
    bare.RegisterCommand(ID_CALCULATOR, [&calculators] { ++calculators; });
    QVERIFY(bare.Action(ID_YIELD_DIVIDENDS)->isEnabled());
    bare.Action(ID_CALCULATOR)->trigger();
    QCOMPARE(calculators, 1);
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::WindowKeysOpenSwitchAndCloseWindows() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    QApplication::setActiveWindow(&frame);
    QMdiArea& area = *frame.MdiArea();
    // Ctrl+D opens the Diary, which has no place on the menu bar.
    QTest::keyClick(&frame, Qt::Key_D, Qt::ControlModifier);
    QTRY_VERIFY(frame.GetView(ViewKind::Diary, false, false) != nullptr);
    QCOMPARE(area.activeSubWindow()->windowTitle(), QStringLiteral("Diary"));
    QVERIFY(frame.OnCommand(ID_YIELD_DIVIDENDS));
    QCOMPARE(area.activeSubWindow()->windowTitle(), QStringLiteral("Dividends"));
    // Ctrl+Shift+Tab and Ctrl+Tab step through the windows; Ctrl+F4 closes the active one.
    const QString before = area.activeSubWindow()->windowTitle();
    QTest::keyClick(&frame, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(area.activeSubWindow()->windowTitle() != before);
    QTest::keyClick(&frame, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(area.activeSubWindow()->windowTitle(), before);
    const int open = static_cast<int>(area.subWindowList().size());
    // From inside the window, where its own frame also knows the key.
    QVERIFY(QApplication::focusWidget() != nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ControlModifier);
    QTRY_COMPARE(static_cast<int>(area.subWindowList().size()), open - 1);
    QVERIFY(frame.GetView(ViewKind::Dividends, false, false) == nullptr);
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::OneWindowPerKindAndTheExistingOneIsActivated() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    frame.RegisterView(ViewKind::Dividends, {"Dividends", true, true, QSize(550, 400), [] {
                                                 return new QLabel;
                                             }});
    frame.RegisterView(ViewKind::Diary, {"Diary", true, true, {}, [] {
                                             return new QLabel;
                                         }});
    QVERIFY(frame.OnCommand(ID_YIELD_DIVIDENDS));
    QMdiSubWindow* dividends = frame.MdiArea()->activeSubWindow();
    QVERIFY(dividends != nullptr);
    QCOMPARE(dividends->windowTitle(), QString("Dividends"));
    QCOMPARE(dividends->size(), QSize(550, 400));
    QVERIFY(frame.OnCommand(ID_DIARY));
    QCOMPARE(frame.MdiArea()->activeSubWindow()->windowTitle(), QString("Diary"));
    QVERIFY(frame.OnCommand(ID_YIELD_DIVIDENDS));
    QCOMPARE(frame.MdiArea()->subWindowList().size(), 3); // with the navigation centre
    QCOMPARE(frame.MdiArea()->activeSubWindow(), dividends);
    // A window opened without activation opens behind the active one.
    frame.RegisterView(ViewKind::TradingPlan, {"Trading Plan", true, true, {}, [] {
                                                   return new QLabel;
                                               }});
    QVERIFY(frame.GetView(ViewKind::TradingPlan, true, false) != nullptr);
    QCOMPARE(frame.MdiArea()->activeSubWindow(), dividends);
    // The frame keeps its title whatever tries to change it.
    dividends->setWindowTitle("Something else");
    QCOMPARE(dividends->windowTitle(), QString("Dividends"));
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::CloseAllKeepsTheNavigationCentreAndClosesFloatingWindows() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    QVERIFY(frame.GetView(ViewKind::NavigationCentre, false, false) != nullptr);
    frame.RegisterView(ViewKind::Diary, {"Diary", true, true, {}, [] {
                                             return new QLabel;
                                         }});
    frame.OnCommand(ID_DIARY);
    QPointer<QWidget> floating = new QWidget;
    floating->setAttribute(Qt::WA_DeleteOnClose);
    floating->show();
    frame.AddFloatingWindow(floating);
    QCOMPARE(frame.MdiArea()->subWindowList().size(), 2);
    QVERIFY(frame.OnCommand(ID_WINDOW_CLOSE_ALL));
    QTRY_COMPARE(frame.MdiArea()->subWindowList().size(), 1);
    QVERIFY(frame.GetView(ViewKind::NavigationCentre, false, false) != nullptr);
    QVERIFY(frame.GetView(ViewKind::Diary, false, false) == nullptr);
    QTRY_VERIFY(floating.isNull());
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::NavigationCentreButtonsIssueTheirCommands() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    QCOMPARE(frame.MdiArea()->activeSubWindow()->windowTitle(), QString("Welcome to Strikeline"));
    frame.RegisterView(ViewKind::Dividends, {"Dividends", true, true, {}, [] {
                                                 return new QLabel;
                                             }});
    auto* centre = qobject_cast<CNavigationCentreView*>(
        frame.GetView(ViewKind::NavigationCentre, false, false));
    QVERIFY(centre != nullptr);
    const QPoint dividends = CNavigationCentreView::ButtonRect(4).center();
    QTest::mouseClick(centre, Qt::LeftButton, {}, dividends);
    QTRY_VERIFY(frame.GetView(ViewKind::Dividends, false, false) != nullptr);
    QCOMPARE(frame.MdiArea()->activeSubWindow()->windowTitle(), QString("Dividends"));
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::RefreshReachesOnlyAnOpenView() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    CCountingView* created = nullptr;
    frame.RegisterView(ViewKind::Dividends, {"Dividends", true, true, {}, [&created] {
                                                 created = new CCountingView;
                                                 return created;
                                             }});
    frame.RefreshView(RefreshKind::Dividends);
    QVERIFY(created == nullptr); // nothing opened by a refresh
    frame.OnCommand(ID_YIELD_DIVIDENDS);
    QVERIFY(created != nullptr);
    // A new market from the downloader refreshes the view that shows its part, and only it.
    app.DownloaderObserver().OnMarketPublished(MarketPart::Dividends);
    app.DownloaderObserver().OnMarketPublished(MarketPart::Calls);
    app.DownloaderObserver().OnMarketPublished(MarketPart::CompanyNames);
    QTRY_COMPARE(created->refreshes, 1);
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::StatusBarShowsHelpTheDataDateAndTheDownloader() {
    // A feed that takes the connection and never answers keeps the downloader busy.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    const QByteArray feed = "http://127.0.0.1:" + QByteArray::number(silent.serverPort());
    CTestHome home(feed.constData());
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    QTRY_COMPARE(frame.MessagePane()->text(), QString("Downloading call data..."));
    QCOMPARE(frame.DataPane()->text(), QString(" Latest data received: unknown "));
    {
        const CApplicationStateLock lock(app.Session().State());
        app.Session().State().SetLastDataDateStr("Thu, 10-Dec-2026 14:00");
    }
    QTRY_COMPARE(frame.DataPane()->text(),
                 QString(" Latest data received: Thu, 10-Dec-2026 14:00 "));
    frame.close(); // stops the downloader, aborting the transfer
    QCOMPARE(app.DownloaderStatus(), std::string());
    frame.UpdateStatusBar();
    app.ExitInstance(0);
}

void MainFrameTest::SupportMessageCannotBeStacked() {
    CTestHome home("http://support.example:8080");
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    CMessageLog& log = home.messages;
    log.onMessage = [&frame] {
        frame.OnCommand(ID_HELP);
    }; // F1 again while it shows
    QVERIFY(frame.OnCommand(ID_HELP));
    QCOMPARE(log.texts,
             QStringList{"Please go to support.example:8080 for Strikeline user support."});
    log.onMessage = nullptr;
    frame.OnCommand(ID_HELP);
    QCOMPARE(log.texts.size(), 2);
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::ClearTradingPlanAsksOnlyWhenThereIsAPlan() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    QSignalSpy cleared(&frame, &CMainFrame::TradingPlanCleared);
    CMessageLog& log = home.messages;
    {
        QVERIFY(frame.OnCommand(ID_TRADING_PLAN_CLEAR));
        QVERIFY(log.texts.isEmpty()); // an empty plan clears without asking
        QCOMPARE(cleared.count(), 1);
        CTradingPlanEntry entry;
        entry.m_CompanyID = "BHP";
        app.Session().TradingPlan().Append(entry);
        frame.OnCommand(ID_TRADING_PLAN_CLEAR);
        QCOMPARE(log.texts, QStringList{"Are you sure you want to clear your Trading Plan?"});
        QCOMPARE(app.Session().TradingPlan().Count(), 1u);
    }
    log.yes = true;
    frame.OnCommand(ID_TRADING_PLAN_CLEAR);
    QCOMPARE(app.Session().TradingPlan().Count(), 0u);
    QCOMPARE(cleared.count(), 2);
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::TogglesFollowTheSettings() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    const bool before = app.Session().ReportSettings(ReportKind::Put).DisplayLeveragedBar();
    frame.OnCommand(ID_EDIT_PUT_LEVERAGED_BAR);
    QCOMPARE(app.Session().ReportSettings(ReportKind::Put).DisplayLeveragedBar(), !before);
    QCOMPARE(frame.Action(ID_EDIT_PUT_LEVERAGED_BAR)->isChecked(), !before);
    QCOMPARE(app.Session().ReportSettings(ReportKind::Call).DisplayLeveragedBar(), false);
    frame.OnCommand(ID_EDIT_CLEAR_SHORT_LIST_ON_CLOSE);
    QVERIFY(app.Session().State().ClearShortListOnClose());
    QVERIFY(frame.Action(ID_EDIT_CLEAR_SHORT_LIST_ON_CLOSE)->isChecked());
    QVERIFY(!frame.Action(ID_VIEW_PRICE_HISTORY_CHARTS)->isChecked());
    for (const bool on : {true, false}) {
        QVERIFY(frame.OnCommand(ID_VIEW_PRICE_HISTORY_CHARTS));
        QCOMPARE(app.Session().State().PriceHistoryCharts(), on);
        QCOMPARE(frame.Action(ID_VIEW_PRICE_HISTORY_CHARTS)->isChecked(), on);
    }
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::DataSourcesRefuseWhatIsNoWebAddress() {
    CDataSources sources;
    CMessageLog log;
    CDataSourcesDlg dialog(sources, log);
    dialog.FeedEdit()->setText("ftp://example.com");
    dialog.accept();
    QCOMPARE(log.texts, QStringList{"Invalid address"});
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(sources.StoredFeedUrl(), std::string(CDataSources::kDefaultUrl));
    dialog.FeedEdit()->setText(" https://feed.example:8443/ ");
    dialog.SiteEdit()->setText("http://site.example");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(sources.StoredFeedUrl(), std::string("https://feed.example:8443"));
    QCOMPARE(sources.StoredSiteUrl(), std::string("http://site.example"));
}

void MainFrameTest::DataSourcesHoldTheDownloadLimits() {
    CDataSources sources;
    CMessageLog log;
    CDataSourcesDlg dialog(sources, log);
    QCOMPARE(dialog.TimeLimitBox()->value(), 120);
    QCOMPARE(dialog.SizeLimitBox()->value(), 64);
    QCOMPARE(dialog.TimeLimitBox()->suffix(), QStringLiteral(" seconds"));
    QCOMPARE(dialog.SizeLimitBox()->suffix(), QStringLiteral(" MB"));
    dialog.TimeLimitBox()->setValue(45);
    dialog.SizeLimitBox()->setValue(16);
    dialog.reject();
    QCOMPARE(sources.TimeLimitSeconds(), 120u); // Cancel keeps them
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(sources.TimeLimitSeconds(), 45u);
    QCOMPARE(sources.Limits().sizeLimit, std::uint64_t{16} << 20);
}

void MainFrameTest::AnalyticsSettingsFormStoresItsValuesAndWorksThemOut() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    CAnalyticsSettings& settings = app.Session().AnalyticsSettings();
    QCOMPARE(settings.RatePercent(), 4.0);
    QCOMPARE(settings.TaxRatePercent(), 30.0);
    QVERIFY(!settings.SmallShareholderExemption());
    QSignalSpy ready(&app.AnalyticsWorker(), &CAnalyticsWorker::Ready);
    // Cancel leaves everything as it was; OK stores the form and works the analytics out.
    struct CCase {
        bool ok;
        double rate;
        double taxRate;
        bool exemption;
    };
    for (const CCase& answer : {CCase{false, 6.5, 25.0, true}, CCase{true, -2.25, 27.5, true},
                                CCase{true, 12.0, 0.0, false}}) {
        const CAnalyticsSettings before = settings;
        const auto readyBefore = ready.count();
        test::CModalAnswer<CAnalyticsSettingsDlg> form([&](CAnalyticsSettingsDlg& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Analytics Settings"));
            QCOMPARE(dialog.RateBox()->value(), before.RatePercent());
            QCOMPARE(dialog.TaxRateBox()->value(), before.TaxRatePercent());
            QCOMPARE(dialog.ExemptionBox()->isChecked(), before.SmallShareholderExemption());
            QCOMPARE(dialog.RateBox()->minimum(), -10.0);
            QCOMPARE(dialog.RateBox()->maximum(), 100.0);
            QCOMPARE(dialog.TaxRateBox()->minimum(), 0.0);
            QCOMPARE(dialog.TaxRateBox()->maximum(), 99.0);
            QCOMPARE(dialog.RateBox()->decimals(), 2);
            QCOMPARE(dialog.TaxRateBox()->decimals(), 2);
            QCOMPARE(dialog.ExemptionBox()->text(),
                     QStringLiteral("Small-shareholder franking exemption applies"));
            dialog.RateBox()->setValue(answer.rate);
            dialog.TaxRateBox()->setValue(answer.taxRate);
            dialog.ExemptionBox()->setChecked(answer.exemption);
            auto* buttons = dialog.findChild<QDialogButtonBox*>();
            QVERIFY(buttons != nullptr);
            buttons->button(answer.ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        QVERIFY(frame.OnCommand(ID_EDIT_ANALYTICS_SETTINGS));
        QVERIFY(form.seen);
        if (!answer.ok) {
            QVERIFY(settings == before);
            continue;
        }
        QCOMPARE(settings.RatePercent(), answer.rate);
        QCOMPARE(settings.TaxRatePercent(), answer.taxRate);
        QCOMPARE(settings.SmallShareholderExemption(), answer.exemption);
        QTRY_COMPARE(ready.count(), readyBefore + 1);
        QVERIFY(app.Session().Analytics() != nullptr);
        QCOMPARE(app.Session().Analytics()->Context().rate, answer.rate / 100.0);
        QCOMPARE(app.Session().Analytics()->Context().taxRate, answer.taxRate / 100.0);
    }
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::StartUpWithDamagedFilesShowsWhyAndGoesOn() {
    CTestHome home;
    const CStartOptions options = home.Options();
    std::filesystem::create_directories(options.dataFolder);
    test::WriteTextFile(options.settingsPath, "this is not a settings file");
    test::WriteTextFile(options.dataFolder + "/tradingplan.xml", "<Entries><Entry/></Entries>");
    test::WriteTextFile(options.dataFolder + "/diary.xml", "<Diary/>");
    CMessageLog& log = home.messages;
    CApplication app(options);
    QVERIFY(app.InitInstance());
    QCOMPARE(log.texts.size(), 3);
    QVERIFY2(log.texts[0].startsWith("Error when loading configuration\n\n"),
             qPrintable(log.texts[0]));
    const QString plan = QString::fromStdString(options.dataFolder + "/tradingplan.xml");
    const QString diary = QString::fromStdString(options.dataFolder + "/diary.xml");
    QCOMPARE(log.texts[1], "Error when loading trading plan database.\n\n1 of the file's 1 row "
                           "could not be read and is left out of the plan:\nRow 1: <CompanyID> "
                           "tag not found\n\nThe file " +
                               plan + " was kept as " + plan + ".damaged.");
    QCOMPARE(log.texts[2],
             "Error when loading diary database.\n\n<Entries> tag not found\n\nThe file " + diary +
                 " was kept as " + diary + ".damaged.");
    QVERIFY2(log.texts[0].contains(QString::fromStdString(options.settingsPath) + ".damaged"),
             qPrintable(log.texts[0]));
    QVERIFY(app.MainFrame()->isVisible());
    QVERIFY(std::filesystem::exists(options.dataFolder + "/tradingplan.xml.damaged"));
    app.MainFrame()->close();
    app.ExitInstance(0);
    // Nothing changed: exit writes neither an empty plan nor an empty diary over the files
    // it could not read, and asks nothing.
    QCOMPARE(log.texts.size(), 3);
    QCOMPARE(test::ReadTextFile(options.dataFolder + "/tradingplan.xml"),
             std::string("<Entries><Entry/></Entries>"));
    QCOMPARE(test::ReadTextFile(options.dataFolder + "/diary.xml"), std::string("<Diary/>"));
}

// The data files are read while the window paints; when start-up ends they are the market,
// what did not read has been said, and the analytics of the whole market follow.
void MainFrameTest::StartUpHasTheMarketOnDiskInAndWorksItOut() {
    CTestHome home;
    const CStartOptions options = home.Options();
    std::filesystem::create_directories(options.dataFolder);
    const std::string header = "Code,Last,\"$ +/-\",bid,offer,open,high,low,volume,eps\n";
    test::WriteTextFile(options.dataFolder + "/call.csv", header + "CBA,20,0,0,0,0,0,0,0,0\n");
    test::WriteTextFile(options.dataFolder + "/put.csv",
                        header + "BHP,10,0,0,0,0,0,0,0,0\ngarbage\n");
    test::WriteTextFile(options.dataFolder + "/dividends.csv", "h\nBHP,20091103,x,0.5,y,z\n");
    CApplication app(options);
    QSignalSpy ready(&app.AnalyticsWorker(), &CAnalyticsWorker::Ready);
    QVERIFY(app.InitInstance());
    const auto market = app.Session().Market().Current();
    QCOMPARE(market->Calls().size(), std::size_t{1});
    QCOMPARE(market->Calls()[0].Code(), std::string("CBA"));
    QCOMPARE(market->Puts().size(), std::size_t{1});
    QCOMPARE(market->Dividends().size(), std::size_t{1});
    QCOMPARE(home.messages.texts, QStringList{QString::fromStdString(
                                      "Error when parsing .csv file " + options.dataFolder +
                                      "/put.csv.\n\nUnexpected data at line 3")});
    QTRY_COMPARE(ready.count(), 1);
    QVERIFY(app.Session().Analytics() != nullptr);
    QCOMPARE(app.Session().Market().Current(), market);
    app.MainFrame()->close();
    app.ExitInstance(0);
}

void MainFrameTest::ExitWritesTheDatabasesAndTheSettings() {
    CTestHome home;
    const CStartOptions options = home.Options();
    {
        CApplication app(options);
        QVERIFY(app.InitInstance());
        CTradingPlanEntry entry;
        entry.m_CompanyID = "BHP";
        entry.m_ContractID = "BHPXY9";
        app.Session().TradingPlan().Append(entry);
        app.MainFrame()->OnCommand(ID_EDIT_CALL_LEVERAGED_BAR);
        QVERIFY(app.MainFrame()->OnCommand(ID_VIEW_ANALYTICS_COLUMNS));
        QVERIFY(app.MainFrame()->OnCommand(ID_VIEW_PRICE_HISTORY_CHARTS));
        app.MainFrame()->OnCommand(ID_APP_EXIT);
        QTRY_VERIFY(app.MainFrame() == nullptr);
        QCOMPARE(app.ExitInstance(0), 0);
    }
    QVERIFY(test::ReadTextFile(options.dataFolder + "/tradingplan.xml").find("BHPXY9") !=
            std::string::npos);
    QVERIFY(std::filesystem::exists(options.dataFolder + "/diary.xml"));
    QVERIFY(std::filesystem::exists(options.dataFolder + "/averagetrades.xml"));
    // The next start finds what this one left.
    CApplication again(options);
    QVERIFY(again.InitInstance());
    QCOMPARE(again.Session().TradingPlan().Count(), 1u);
    QVERIFY(again.Session().ReportSettings(ReportKind::Call).DisplayLeveragedBar());
    QVERIFY(!again.Session().AnalyticsSettings().ShowColumns());
    QVERIFY(!again.MainFrame()->Action(ID_VIEW_ANALYTICS_COLUMNS)->isChecked());
    QVERIFY(again.Session().State().PriceHistoryCharts());
    QVERIFY(again.MainFrame()->Action(ID_VIEW_PRICE_HISTORY_CHARTS)->isChecked());
    again.MainFrame()->close();
    again.ExitInstance(0);
}

void MainFrameTest::ASecondCopyRaisesTheFirstAndExits() {
    if (QString(STRIKELINE_APP_PATH).isEmpty()) {
        QSKIP("the program is not built");
    }
    // The first copy is this test; the second is the real program, started as a user
    // would, with the same runtime folder.
    test::CTempFolder runtime;
    ::chmod(runtime.Path().c_str(), 0700);
    qputenv("XDG_RUNTIME_DIR", runtime.Path().c_str());
    CSingleInstance first(CSingleInstance::DefaultName());
    QVERIFY(first.Claim());
    QSignalSpy raised(&first, &CSingleInstance::ActivationRequested);

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path().string()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(runtime.File("config")));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(runtime.File("data")));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(environment);
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start(STRIKELINE_APP_PATH, {});
    QVERIFY(second.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(raised.count(), 1, 20000);
    if (second.state() != QProcess::NotRunning) {
        QVERIFY(second.waitForFinished(20000));
    }
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    // Desktop launchers report any other status as a failure.
    QCOMPARE(second.exitCode(), 0);
    // It wrote nothing: no settings, no data files.
    QVERIFY(!std::filesystem::exists(runtime.File("config/Strikeline/settings.reg")));
    QVERIFY(!std::filesystem::exists(runtime.File("data/Strikeline/tradingplan.xml")));
    qunsetenv("XDG_RUNTIME_DIR");
}

void MainFrameTest::TheProgramStartedTwiceLeavesOneCopyAndEndsWell() {
    if (QString(STRIKELINE_APP_PATH).isEmpty()) {
        QSKIP("the program is not built");
    }
    test::CTempFolder home;
    ::chmod(home.Path().c_str(), 0700);
    const QProcessEnvironment environment = ProgramEnvironment(home);
    QProcess first;
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::ForwardedChannels);
    first.start(STRIKELINE_APP_PATH, {});
    QVERIFY(first.waitForStarted());
    // The first copy answers on its socket once it runs.
    const std::filesystem::path socket =
        home.Path() / ("StrikelineAppRunning-" + std::to_string(::getuid()));
    QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(socket), 20000);

    QProcess second;
    second.setProcessEnvironment(environment);
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start(STRIKELINE_APP_PATH, {});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    // The first copy goes on and ends as its close box ends it.
    first.terminate();
    QVERIFY(first.waitForFinished(20000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    QVERIFY(std::filesystem::exists(home.File("config/Strikeline/settings.reg")));
}

void MainFrameTest::AQuitSignalDuringStartUpEndsTheProgramWhenStartUpEnds() {
    if (QString(STRIKELINE_APP_PATH).isEmpty()) {
        QSKIP("the program is not built");
    }
    struct CCase {
        const char* name;
        // A plan that does not read stops start-up at a message box; none starts plainly.
        const char* plan;
    };
    for (const CCase& start : {CCase{"message box open", "not a plan"}, CCase{"plain start", ""}}) {
        test::CTempFolder home;
        ::chmod(home.Path().c_str(), 0700);
        const std::filesystem::path data = home.Path() / "data" / "Strikeline";
        if (*start.plan != '\0') {
            std::filesystem::create_directories(data);
            test::WriteTextFile((data / "tradingplan.xml").string(), start.plan);
        }
        QProcess program;
        program.setProcessEnvironment(ProgramEnvironment(home));
        program.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        program.start(STRIKELINE_APP_PATH, {});
        QVERIFY2(program.waitForStarted(), start.name);
        // The single-copy socket is claimed once the signals are caught; the damaged plan's
        // copy is kept just before its message box opens.
        const std::filesystem::path socket =
            home.Path() / ("StrikelineAppRunning-" + std::to_string(::getuid()));
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(socket), 20000);
        const auto keptCopies = [&data] {
            int copies = 0;
            std::error_code error;
            for (const auto& entry : std::filesystem::directory_iterator(data, error)) {
                const std::string name = entry.path().filename().string();
                copies += name != "tradingplan.xml" && name.starts_with("tradingplan") ? 1 : 0;
            }
            return copies;
        };
        if (*start.plan != '\0') {
            QTRY_VERIFY_WITH_TIMEOUT(keptCopies() > 0, 20000);
        }

        program.terminate();
        // Nobody answers the box: the program ends on its own, as `kill` ends it later on.
        QVERIFY2(program.waitForFinished(20000), start.name);
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(std::filesystem::exists(home.File("config/Strikeline/settings.reg")), start.name);
        if (*start.plan != '\0') {
            // The box's text is not lost, and the plan that did not read is left as it was.
            QVERIFY(
                QString::fromLocal8Bit(program.readAllStandardError()).contains("tradingplan.xml"));
            QCOMPARE(test::ReadTextFile((data / "tradingplan.xml").string()),
                     std::string(start.plan));
        }
    }
}

void MainFrameTest::ClosingAWindowReturnsToTheOneUsedBefore() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    RegisterPlainView(frame, ViewKind::CallReport, "Call Report");
    RegisterPlainView(frame, ViewKind::Diary, "Diary");
    RegisterPlainView(frame, ViewKind::Dividends, "Dividends");
    // Each case: the windows used in that order, then the active one closes.
    const std::vector<std::pair<std::vector<int>, QString>> cases = {
        {{ID_YIELD_CALL_REPORTS, ID_DIARY}, "Call Report"},
        {{ID_YIELD_CALL_REPORTS, ID_DIARY, ID_YIELD_DIVIDENDS, ID_YIELD_CALL_REPORTS}, "Dividends"},
        {{ID_DIARY, ID_YIELD_CALL_REPORTS, ID_YIELD_DIVIDENDS, ID_DIARY, ID_YIELD_CALL_REPORTS},
         "Diary"},
    };
    for (const auto& [used, expected] : cases) {
        for (const int command : used) {
            QVERIFY(frame.OnCommand(command));
        }
        frame.MdiArea()->closeActiveSubWindow();
        QTRY_COMPARE(ActiveTitle(frame), expected);
        frame.OnCommand(ID_WINDOW_CLOSE_ALL);
        QTRY_COMPARE(frame.MdiArea()->subWindowList().size(), 1);
    }
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::SavingReportSettingsBringsTheReportToTheFront() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    // The user opens the report, goes back to the navigation centre and from there to the
    // report's settings.
    QVERIFY(frame.OnCommand(ID_YIELD_CALL_REPORTS));
    frame.GetView(ViewKind::NavigationCentre, false, true);
    QVERIFY(frame.OnCommand(ID_EDIT_CALL_SETTINGS));
    auto* settings =
        qobject_cast<CReportSettingsView*>(frame.GetView(ViewKind::CallSettings, false, false));
    QVERIFY(settings != nullptr);
    QTest::mouseClick(settings->SaveButton(), Qt::LeftButton);
    QTRY_VERIFY(frame.GetView(ViewKind::CallSettings, false, false) == nullptr);
    QCOMPARE(ActiveTitle(frame), QString("Call Report"));
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::AMaximisedWindowLeavesTheTitleAlone() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    RegisterPlainView(frame, ViewKind::CallReport, "Call Report");
    QVERIFY(frame.OnCommand(ID_YIELD_CALL_REPORTS));
    QMdiSubWindow* report = frame.MdiArea()->activeSubWindow();
    report->showMaximized();
    QVERIFY(report->isMaximized());
    QCOMPARE(frame.windowTitle(), QString("Strikeline"));
    report->showNormal();
    QCOMPARE(frame.windowTitle(), QString("Strikeline"));
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::WindowMenuListsTheOpenWindows() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    RegisterPlainView(frame, ViewKind::Diary, "Diary");
    RegisterPlainView(frame, ViewKind::Dividends, "Dividends");
    QVERIFY(frame.OnCommand(ID_DIARY));
    QVERIFY(frame.OnCommand(ID_YIELD_DIVIDENDS));
    QMenu* window = Menu(frame, "&Window");
    QVERIFY(window != nullptr);
    emit window->aboutToShow();
    QCOMPARE(Captions(window->actions()),
             (QStringList{"&Cascade", "&Tile", "C&lose All", "-", "&1 Welcome to Strikeline",
                          "&2 Diary", "&3 Dividends"}));
    QCOMPARE(Checked(window->actions()), QStringList{"&3 Dividends"});

    // Choosing an entry activates its window; the tick follows.
    window->actions().at(5)->trigger();
    QCOMPARE(ActiveTitle(frame), QString("Diary"));
    emit window->aboutToShow();
    QCOMPARE(Checked(window->actions()), QStringList{"&2 Diary"});

    // A closed window leaves the list.
    frame.MdiArea()->closeActiveSubWindow();
    QTRY_VERIFY(frame.GetView(ViewKind::Diary, false, false) == nullptr);
    emit window->aboutToShow();
    QCOMPARE(Captions(window->actions()).mid(3),
             (QStringList{"-", "&1 Welcome to Strikeline", "&2 Dividends"}));
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::MnemonicsAreUniqueInEveryMenu() {
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    QVERIFY(frame.OnCommand(ID_DIARY));
    QVERIFY(frame.OnCommand(ID_YIELD_DIVIDENDS));
    QList<QPair<QString, QList<QAction*>>> menus = {{"menu bar", frame.menuBar()->actions()}};
    for (QAction* entry : frame.menuBar()->actions()) {
        if (QMenu* menu = entry->menu()) {
            emit menu->aboutToShow();
            menus.append({entry->text(), menu->actions()});
        }
    }
    for (const auto& [name, actions] : menus) {
        std::map<QChar, QString> taken;
        for (const QAction* action : actions) {
            const QString caption = QString(action->text()).replace("&&", "");
            const qsizetype marker = caption.indexOf('&');
            if (marker < 0 || marker + 1 >= caption.size()) {
                continue;
            }
            const QChar key = caption.at(marker + 1).toLower();
            QVERIFY2(taken.count(key) == 0, qPrintable(name + ": " + caption + " and " +
                                                       (taken.count(key) ? taken[key] : "")));
            taken[key] = caption;
        }
    }
    frame.close();
    app.ExitInstance(0);
}

void MainFrameTest::EveryWindowShowsTheProgramIcon() {
    if (QString(STRIKELINE_APP_PATH).isEmpty()) {
        QSKIP("the program and its drawn icons are not built");
    }
    const QIcon icon = ProgramIcon();
    QVERIFY(!icon.isNull());
    // Drawn at build time in the sizes a desktop asks for, not scaled from one picture.
    for (const int size : {16, 32, 48, 256}) {
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                 qPrintable(QString::number(size)));
    }
    CTestHome home;
    CApplication app(home.Options());
    QVERIFY(app.InitInstance());
    CMainFrame& frame = *app.MainFrame();
    for (const int command : {ID_DIARY, ID_YIELD_DIVIDENDS, ID_EDIT_PUT_SETTINGS,
                              ID_YIELD_CALL_REPORTS, ID_SHORT_LIST_OPEN, ID_TRADING_PLAN_OPEN}) {
        QVERIFY(frame.OnCommand(command));
    }
    const QImage expected = icon.pixmap(32).toImage();
    QCOMPARE(frame.MdiArea()->subWindowList().size(), 7);
    for (const QMdiSubWindow* window : frame.MdiArea()->subWindowList()) {
        QVERIFY2(window->windowIcon().pixmap(32).toImage() == expected,
                 qPrintable(window->windowTitle()));
    }
    frame.close();
    app.ExitInstance(0);
}

// Each size drawn at build time is shown as drawn; a size between them is the next larger
// one made smaller; a disabled window's icon is the style's rendering of it.
void MainFrameTest::TheProgramIconShowsTheDrawnSizes() {
    if (QString(STRIKELINE_APP_PATH).isEmpty()) {
        QSKIP("the program and its drawn icons are not built");
    }
    const QIcon icon = ProgramIcon();
    const auto drawn = [](int side) {
        return QImage(QStringLiteral(":/icons/%1x%1/au.com.varnel.Strikeline.png").arg(side))
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        QVERIFY2(!drawn(side).isNull(), qPrintable(QString::number(side)));
        QCOMPARE(icon.actualSize(QSize(side, side)), QSize(side, side));
        QCOMPARE(icon.pixmap(side).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 drawn(side));
    }
    struct CCase {
        int asked;
        int from;
    };
    for (const CCase between : {CCase{20, 22}, CCase{40, 48}, CCase{1000, 512}}) {
        const int shown = std::min(between.asked, between.from);
        QCOMPARE(icon.actualSize(QSize(between.asked, between.asked)), QSize(shown, shown));
        const QImage expected =
            QPixmap::fromImage(drawn(between.from))
                .scaled(shown, shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .toImage()
                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(icon.pixmap(between.asked)
                     .toImage()
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 expected);
    }
    QVERIFY(icon.pixmap(32, QIcon::Disabled).toImage() != icon.pixmap(32).toImage());
    QCOMPARE(icon.pixmap(32, QIcon::Disabled).size(), QSize(32, 32));
}

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
