// The trend chart windows and their company chooser, driven as the user drives them: the
// main window's command, the dialog's drop-down and buttons, and a real chart page from
// the local feed server shown by the embedded browser on the offscreen platform.

#include "gui/reports/TrendView.h"

#include "gui/app/Application.h"
#include "gui/app/ChildFrame.h"
#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/charts/ChartPanel.h"
#include "gui/reports/SelectCompanyDlg.h"
#include "gui/reports/TrendChartCommand.h"
#include "gui/reports/WebEngineSetup.h"
#include "marketdata/CompanyNameTable.h"
#include "marketdata/PriceHistory.h"
#include "platform/ModuleLoader.h"
#include "session/Session.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/UserMessageLog.h"
#include "tools/FeedServer.h"

#include <QAction>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMdiArea>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <unistd.h>

using namespace strikeline;

namespace {

// The embedded browser starts its helper process on the first page: allow for a slow start
// under the sanitizers.
constexpr int kPageTimeoutMs = 60000;

// The sandbox variable as the test found it, before PrepareWebEngine ran.
std::optional<QByteArray>& SandboxBefore() {
    static std::optional<QByteArray> value;
    return value;
}

using CMessageLog = test::CUserMessageLog;

void SetNames(CSession& session, std::initializer_list<std::pair<const char*, const char*>> names,
              std::initializer_list<std::pair<const char*, const char*>> top20) {
    CCompanyNameTable nameTable;
    for (const auto& [code, name] : names) {
        nameTable.Add(code, name);
    }
    CCompanyNameTable top20Table;
    for (const auto& [code, name] : top20) {
        top20Table.Add(code, name);
    }
    session.Market().PublishCompanyNames(std::move(nameTable));
    session.Market().PublishTop20(std::move(top20Table));
}

// The sample names: three companies, one of them in the Top 20, one without a name.
void SetSampleNames(CSession& session) {
    SetNames(session,
             {{"NAB", "National Australia Bank"}, {"BHP", "BHP Group Limited"}, {"XYZ", ""}},
             {{"BHP", "BHP Group Limited"}});
}

QStringList Items(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) {
        items << box.itemText(i);
    }
    return items;
}

// Runs `action` on the company dialog once it is up, from inside its own event loop.
void WhenDialogShows(std::function<void(CSelectCompanyDlg&)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action = std::move(action)] {
        auto* dialog = qobject_cast<CSelectCompanyDlg*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(*dialog);
    });
    timer->start();
}

// The chart page of the local feed server, on a free loopback port, with a fixed year so
// the page is the same every day. The folder it serves is empty: the downloader of the
// program under test finds nothing there and leaves the names tables to the test.
class CChartSite {
public:
    CChartSite() {
        std::filesystem::create_directory(m_Folder.Path() / "site");
        CFeedServerOptions options;
        options.root = (m_Folder.Path() / "site").string();
        options.port = 0;
        options.log = &m_Log;
        options.chartLastDay = std::chrono::sys_days{std::chrono::year{2010} / 6 / 24};
        std::string error;
        m_Started = m_Server.Start(options, error);
        m_Error = QString::fromStdString(error);
    }

    bool Started() const { return m_Started; }
    const QString& Error() const { return m_Error; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_Server.Port()); }
    std::string DataFolder() const { return m_Folder.File("data"); }
    std::string File(const std::string& name) const { return m_Folder.File(name); }
    // Stops the server and gives what it was asked, one request a line.
    std::string StopAndReadLog() {
        m_Server.Stop();
        return m_Log.str();
    }
    void Stop() { m_Server.Stop(); }

private:
    test::CTempFolder m_Folder;
    std::ostringstream m_Log;
    CFeedServer m_Server;
    bool m_Started = false;
    QString m_Error;
};

// The program with its web site at the chart site, its own folders and single-copy socket,
// and a feed address nobody answers. The main window closes with the test.
class CTestProgram {
public:
    explicit CTestProgram(CChartSite& site)
        : m_Site("STRIKELINE_SITE_URL", site.Url().c_str()),
          m_Feed("STRIKELINE_FEED_URL", "http://127.0.0.1:9"),
          m_App(CStartOptions{site.DataFolder(), site.File("settings.reg"),
                              QString::fromStdString(site.File("instance")), false, &m_Messages}) {}
    ~CTestProgram() {
        // As the user ends the program: the window closes and goes at the next turn of the
        // event loop, with every chart window in it.
        if (CMainFrame* frame = m_App.MainFrame()) {
            frame->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    CTestProgram(const CTestProgram&) = delete;
    CTestProgram& operator=(const CTestProgram&) = delete;

    bool Start() {
        if (!m_App.InitInstance()) {
            return false;
        }
        RegisterTrendChartCommand(Frame(), [this] { return m_App.DataSources().SiteUrl(); });
        return true;
    }
    CMainFrame& Frame() { return *m_App.MainFrame(); }
    CSession& Session() { return m_App.Session(); }
    // The program's messages from now on.
    CMessageLog& Messages() {
        m_Messages.texts.clear();
        return m_Messages;
    }
    std::string SiteUrl() { return m_App.DataSources().SiteUrl(); }

    QList<CTrendView*> TrendViews() {
        QList<CTrendView*> views;
        for (QMdiSubWindow* window : Frame().MdiArea()->subWindowList()) {
            if (auto* view = qobject_cast<CTrendView*>(window->widget())) {
                views << view;
            }
        }
        return views;
    }

private:
    test::CScopedEnv m_Site;
    test::CScopedEnv m_Feed;
    CMessageLog m_Messages;
    CApplication m_App;
};

QString ChildTitle(const QWidget* view) {
    const auto* frame = qobject_cast<const CChildFrame*>(view->parentWidget());
    return frame == nullptr ? QString() : frame->windowTitle();
}

// The page's text as the browser reads it; nothing when it did not come.
// The chart window's browser.
QWebEngineView* Browser(const CTrendView* view) {
    return qobject_cast<QWebEngineView*>(view->Page());
}

std::optional<QString> PlainText(QWebEnginePage* page) {
    auto text = std::make_shared<std::optional<QString>>();
    page->toPlainText([text](const QString& result) { *text = result; });
    if (!QTest::qWaitFor([&text] { return text->has_value(); }, kPageTimeoutMs)) {
        return std::nullopt;
    }
    return *text;
}

// A price history of BHP and NAB on every weekday from March 2009 to 24 June 2010, in the
// folder `folder`; gives BHP's days.
std::vector<CPriceHistoryDay> WriteHistory(const std::string& folder) {
    using namespace std::chrono;
    std::filesystem::create_directories(folder);
    std::vector<CPriceHistoryList> lists;
    std::vector<CPriceHistoryDay> bhp;
    int n = 0;
    for (sys_days day = sys_days{year{2009} / 3 / 2}; day <= sys_days{year{2010} / 6 / 24};
         day += days{1}) {
        if (weekday{day} == Saturday || weekday{day} == Sunday) {
            continue;
        }
        const double last = 40 + (n % 17) * 0.25;
        const double volume = 1000 + n * 37;
        lists.push_back({year_month_day{day}, {{"BHP", last, volume}, {"NAB", 25, 5}}});
        bhp.push_back({year_month_day{day}, last, volume});
        ++n;
    }
    std::string error;
    if (!RecordPriceHistory(folder, lists, error)) {
        qFatal("price history not written: %s", error.c_str());
    }
    return bhp;
}

// The days of `days` that the chart of the year up to 24 June 2010 shows.
std::vector<CPriceHistoryDay> LastYear(const std::vector<CPriceHistoryDay>& days) {
    std::vector<CPriceHistoryDay> shown;
    for (const CPriceHistoryDay& day : days) {
        if (day.date > std::chrono::year{2009} / 6 / 24) {
            shown.push_back(day);
        }
    }
    return shown;
}

// Whether the window draws `days` as its price line and volume bars.
bool DrawsDays(const CTrendView& view, const std::vector<CPriceHistoryDay>& days) {
    if (view.HistoryChart() == nullptr) {
        qWarning("no history chart");
        return false;
    }
    auto* chart = qobject_cast<QChartView*>(view.HistoryChart()->Chart());
    if (chart == nullptr) {
        qWarning("no chart: %s", qPrintable(view.HistoryChart()->Message()));
        return false;
    }
    QLineSeries* line = nullptr;
    QBarSet* bars = nullptr;
    for (QAbstractSeries* series : chart->chart()->series()) {
        if (auto* found = qobject_cast<QLineSeries*>(series)) {
            line = found;
        } else if (auto* barSeries = qobject_cast<QBarSeries*>(series);
                   barSeries != nullptr && barSeries->count() == 1) {
            bars = barSeries->barSets().front();
        }
    }
    if (line == nullptr || bars == nullptr || line->count() != static_cast<int>(days.size()) ||
        bars->count() != static_cast<int>(days.size())) {
        qWarning("series missing or of another length");
        return false;
    }
    for (int i = 0; i < line->count(); ++i) {
        const CPriceHistoryDay& day = days[static_cast<std::size_t>(i)];
        if (line->at(i).y() != day.last || bars->at(i) != day.volume) {
            qWarning("day %d differs", i);
            return false;
        }
    }
    return true;
}

} // namespace

class CTrendViewTest : public QObject {
    Q_OBJECT

private slots:
    void PrepareWebEngineTurnsTheSandboxOffOnlyForRoot();
    void DialogListsTheCompaniesInByteOrderWithTop20Marks();
    void DialogGivesTheCodeOfTheChosenLine();
    void DialogRefusesAnEmptyChoiceAndStaysOpen();
    void DialogCancelGivesNoCode();
    void CommandAsksForACompanyAndShowsItsChart();
    void CodeTypedInLowerCaseGoesIntoTheAddressUnchanged();
    void CancellingTheQuestionOpensNothing();
    void ClickedCompanyOpensWithoutAskingAndSeveralChartsStayOpen();
    void CompanyWithoutANameIsTitledWithItsCode();
    void FailedNavigationDrawsTheStoredHistory();
    void WithoutItsBrowserTheWindowSaysWhy();
    void PriceHistoryOptionDrawsTheStoredYear();
    void WithoutItsChartsModuleTheWindowSaysWhy();
};

void CTrendViewTest::PrepareWebEngineTurnsTheSandboxOffOnlyForRoot() {
    // main() ran it before the application was created.
    QVERIFY(QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts));
    if (::geteuid() == 0) {
        QCOMPARE(qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), QByteArray("1"));
    } else {
        // A normal user keeps whatever the environment said (by default, the sandbox).
        QCOMPARE(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"),
                 SandboxBefore().has_value());
        if (SandboxBefore()) {
            QCOMPARE(qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), *SandboxBefore());
        }
    }
}

void CTrendViewTest::DialogListsTheCompaniesInByteOrderWithTop20Marks() {
    CMessageLog messages;
    CSession session({}, &messages);
    SetNames(session,
             {{"NAB", "National Australia Bank"},
              {"BHP", "BHP Group Limited"},
              {"1AL", "OneAll"},
              {"XYZ", ""},
              {"bhp", "BHP Group Limited"},
              {"CBA", "Commonwealth Bank"}},
             {{"BHP", "BHP Group Limited"}, {"cba", "Commonwealth Bank"}});
    CSelectCompanyDlg dialog(session);
    QCOMPARE(dialog.windowTitle(), QString("Select Company"));
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first()->text(), QString("Company:"));
    QCOMPARE(dialog.OkButton()->text(), QString("OK"));
    QCOMPARE(dialog.CancelButton()->text(), QString("Cancel"));
    QVERIFY(dialog.CompanyBox()->isEditable());
    QCOMPARE(Items(*dialog.CompanyBox()),
             (QStringList{"1AL - OneAll", "NAB - National Australia Bank", "XYZ",
                          "^BHP - BHP Group Limited", "^CBA - Commonwealth Bank"}));
    // Nothing is chosen until the user chooses.
    QCOMPARE(dialog.CompanyBox()->currentText(), QString());
}

void CTrendViewTest::DialogGivesTheCodeOfTheChosenLine() {
    CMessageLog messages;
    CSession session({}, &messages);
    SetSampleNames(session);
    CSelectCompanyDlg dialog(session);
    dialog.show();
    QComboBox& box = *dialog.CompanyBox();
    const int top20Line = box.findText("^BHP - BHP Group Limited");
    QVERIFY(top20Line >= 0);
    box.setCurrentIndex(top20Line);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Code(), QString("BHP"));

    CSelectCompanyDlg second(session);
    second.show();
    second.CompanyBox()->setCurrentIndex(
        second.CompanyBox()->findText("NAB - National Australia Bank"));
    QTest::mouseClick(second.OkButton(), Qt::LeftButton);
    QCOMPARE(second.result(), int(QDialog::Accepted));
    QCOMPARE(second.Code(), QString("NAB"));

    // A typed code is taken as typed, even one that is not on the list.
    CSelectCompanyDlg typed(session);
    typed.show();
    QTest::keyClicks(typed.CompanyBox()->lineEdit(), "wbc");
    QCOMPARE(typed.CompanyBox()->currentText(), QString("wbc"));
    QTest::keyClick(typed.CompanyBox()->lineEdit(), Qt::Key_Return);
    QCOMPARE(typed.result(), int(QDialog::Accepted));
    QCOMPARE(typed.Code(), QString("wbc"));
    QCOMPARE(typed.CompanyBox()->count(), 3); // Enter added nothing to the list
}

void CTrendViewTest::DialogRefusesAnEmptyChoiceAndStaysOpen() {
    CMessageLog messages;
    CSession session({}, &messages);
    SetSampleNames(session);
    CSelectCompanyDlg dialog(session);
    dialog.show();
    dialog.CancelButton()->setFocus();
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    QCOMPARE(messages.texts, QStringList{"Please select company."});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(dialog.focusWidget() == dialog.CompanyBox() ||
            dialog.focusWidget() == dialog.CompanyBox()->lineEdit());

    // A mark alone, or blanks, leave no code either.
    for (const char* text : {"^", "   ", "^ - Name"}) {
        dialog.CompanyBox()->setEditText(text);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
    }
    QCOMPARE(messages.texts, QStringList(4, "Please select company."));

    dialog.CompanyBox()->setEditText("^XYZ");
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Code(), QString("XYZ"));
    QCOMPARE(messages.texts.size(), 4);
}

void CTrendViewTest::DialogCancelGivesNoCode() {
    CMessageLog messages;
    CSession session({}, &messages);
    SetSampleNames(session);
    CSelectCompanyDlg dialog(session);
    dialog.show();
    dialog.CompanyBox()->setCurrentIndex(0);
    QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.Code(), QString());
}

void CTrendViewTest::CommandAsksForACompanyAndShowsItsChart() {
    CChartSite site;
    QVERIFY2(site.Started(), qPrintable(site.Error()));
    CTestProgram program(site);
    QVERIFY(program.Start());
    SetSampleNames(program.Session());
    CMainFrame& frame = program.Frame();
    QVERIFY(frame.Action(ID_TREND_CHART)->isEnabled());

    QStringList offered;
    WhenDialogShows([&offered](CSelectCompanyDlg& dialog) {
        offered = Items(*dialog.CompanyBox());
        dialog.CompanyBox()->setCurrentIndex(
            dialog.CompanyBox()->findText("^BHP - BHP Group Limited"));
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    QVERIFY(frame.OnCommand(ID_TREND_CHART));
    QCOMPARE(offered,
             (QStringList{"NAB - National Australia Bank", "XYZ", "^BHP - BHP Group Limited"}));

    const QList<CTrendView*> views = program.TrendViews();
    QCOMPARE(views.size(), 1);
    CTrendView* view = views.first();
    QVERIFY(Browser(view) != nullptr);
    QSignalSpy loaded(Browser(view), &QWebEngineView::loadFinished);
    QCOMPARE(ChildTitle(view), QString("Trend Chart for BHP Group Limited"));
    QCOMPARE(frame.MdiArea()->activeSubWindow()->widget(), view);
    const QUrl expected(QString::fromStdString(site.Url() + "/call/chart.php?code=BHP&span=year1"));
    QCOMPARE(view->ChartUrl(), expected);
    QCOMPARE(view->Code(), QString("BHP"));

    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kPageTimeoutMs);
    QCOMPARE(loaded.first().first().toBool(), true);
    QCOMPARE(Browser(view)->url(), expected);
    QCOMPARE(Browser(view)->title(), QString("BHP - one year"));
    const std::optional<QString> text = PlainText(Browser(view)->page());
    QVERIFY(text.has_value());
    QVERIFY2(text->contains("Daily close from 2009-"), qPrintable(*text));
    QVERIFY2(text->contains("to 2010-06-24: last"), qPrintable(*text));

    const std::string log = site.StopAndReadLog();
    QVERIFY2(log.find("GET /call/chart.php?code=BHP&span=year1 200\n") != std::string::npos,
             log.c_str());
}

void CTrendViewTest::CodeTypedInLowerCaseGoesIntoTheAddressUnchanged() {
    CChartSite site;
    QVERIFY2(site.Started(), qPrintable(site.Error()));
    CTestProgram program(site);
    QVERIFY(program.Start());
    SetSampleNames(program.Session());

    WhenDialogShows([](CSelectCompanyDlg& dialog) {
        QTest::keyClicks(dialog.CompanyBox()->lineEdit(), "bhp");
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    QVERIFY(program.Frame().OnCommand(ID_TREND_CHART));
    QCOMPARE(program.TrendViews().size(), 1);
    CTrendView* view = program.TrendViews().first();
    // The name is looked up whatever the letter case; the address keeps the typed code.
    QCOMPARE(ChildTitle(view), QString("Trend Chart for BHP Group Limited"));
    QCOMPARE(view->ChartUrl().toString(),
             QString::fromStdString(site.Url() + "/call/chart.php?code=bhp&span=year1"));
    QTRY_COMPARE_WITH_TIMEOUT(Browser(view)->title(), QString("bhp - one year"), kPageTimeoutMs);

    const std::string log = site.StopAndReadLog();
    QVERIFY2(log.find("GET /call/chart.php?code=bhp&span=year1 200\n") != std::string::npos,
             log.c_str());
}

void CTrendViewTest::CancellingTheQuestionOpensNothing() {
    CChartSite site;
    QVERIFY2(site.Started(), qPrintable(site.Error()));
    CTestProgram program(site);
    QVERIFY(program.Start());
    SetSampleNames(program.Session());
    const qsizetype windows = program.Frame().MdiArea()->subWindowList().size();

    WhenDialogShows([](CSelectCompanyDlg& dialog) {
        QTest::keyClicks(dialog.CompanyBox()->lineEdit(), "NAB");
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    });
    QVERIFY(program.Frame().OnCommand(ID_TREND_CHART));
    QCOMPARE(program.Frame().MdiArea()->subWindowList().size(), windows);
    QVERIFY(program.TrendViews().isEmpty());

    // Called with no code, the opener asks the same question.
    WhenDialogShows([](CSelectCompanyDlg& dialog) {
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    });
    QCOMPARE(OpenTrendChart(program.Frame(), program.SiteUrl(), std::string()), nullptr);
    QVERIFY(program.TrendViews().isEmpty());
}

void CTrendViewTest::ClickedCompanyOpensWithoutAskingAndSeveralChartsStayOpen() {
    CChartSite site;
    QVERIFY2(site.Started(), qPrintable(site.Error()));
    CTestProgram program(site);
    QVERIFY(program.Start());
    SetSampleNames(program.Session());
    CMessageLog& messages = program.Messages();

    CTrendView* first = OpenTrendChart(program.Frame(), program.SiteUrl(), "NAB");
    QVERIFY(first != nullptr);
    CTrendView* second = OpenTrendChart(program.Frame(), program.SiteUrl(), "NAB");
    QVERIFY(second != nullptr);
    CTrendView* third = OpenTrendChart(program.Frame(), program.SiteUrl(), "BHP");
    QVERIFY(third != nullptr);
    QCOMPARE(program.TrendViews().size(), 3);
    QVERIFY(first != second);
    QCOMPARE(ChildTitle(first), QString("Trend Chart for National Australia Bank"));
    QCOMPARE(ChildTitle(second), QString("Trend Chart for National Australia Bank"));
    QCOMPARE(ChildTitle(third), QString("Trend Chart for BHP Group Limited"));
    QCOMPARE(program.Frame().MdiArea()->activeSubWindow()->widget(), third);
    QCOMPARE(first->ChartUrl().toString(),
             QString::fromStdString(site.Url() + "/call/chart.php?code=NAB&span=year1"));
    QTRY_COMPARE_WITH_TIMEOUT(Browser(first)->title(), QString("NAB - one year"), kPageTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(Browser(second)->title(), QString("NAB - one year"), kPageTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(Browser(third)->title(), QString("BHP - one year"), kPageTimeoutMs);
    QVERIFY(messages.texts.isEmpty());

    // Each window closes on its own.
    qobject_cast<QMdiSubWindow*>(second->parentWidget())->close();
    QTRY_COMPARE(program.TrendViews().size(), 2);
    QVERIFY(program.TrendViews().contains(first));
    QVERIFY(program.TrendViews().contains(third));
}

void CTrendViewTest::CompanyWithoutANameIsTitledWithItsCode() {
    CChartSite site;
    QVERIFY2(site.Started(), qPrintable(site.Error()));
    CTestProgram program(site);
    QVERIFY(program.Start());
    SetSampleNames(program.Session());

    CTrendView* unnamed = OpenTrendChart(program.Frame(), program.SiteUrl(), "XYZ");
    QVERIFY(unnamed != nullptr);
    QCOMPARE(ChildTitle(unnamed), QString("Trend Chart for XYZ"));
    CTrendView* unknown = OpenTrendChart(program.Frame(), program.SiteUrl(), "QQQ");
    QVERIFY(unknown != nullptr);
    QCOMPARE(ChildTitle(unknown), QString("Trend Chart for QQQ"));
    // The page's own title does not replace the window's.
    QTRY_COMPARE_WITH_TIMEOUT(Browser(unknown)->title(), QString("QQQ - one year"), kPageTimeoutMs);
    QCOMPARE(ChildTitle(unknown), QString("Trend Chart for QQQ"));
}

void CTrendViewTest::FailedNavigationDrawsTheStoredHistory() {
    CChartSite site;
    QVERIFY2(site.Started(), qPrintable(site.Error()));
    CTestProgram program(site);
    QVERIFY(program.Start());
    SetSampleNames(program.Session());
    const std::vector<CPriceHistoryDay> days = WriteHistory(program.Session().DataFolder());
    site.Stop(); // nothing answers at the site's address any more
    CMessageLog& messages = program.Messages();

    CTrendView* view = OpenTrendChart(program.Frame(), program.SiteUrl(), "BHP");
    QVERIFY(view != nullptr);
    QVERIFY(Browser(view) != nullptr);
    QSignalSpy loaded(Browser(view), &QWebEngineView::loadFinished);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kPageTimeoutMs);
    QCOMPARE(loaded.first().first().toBool(), false);
    // The window stays open with its title and draws the stored year in place of the page;
    // the program says nothing itself.
    QCOMPARE(program.TrendViews().size(), 1);
    QCOMPARE(ChildTitle(view), QString("Trend Chart for BHP Group Limited"));
    QVERIFY(!Browser(view)->isVisible());
    QVERIFY(DrawsDays(*view, LastYear(days)));
    QVERIFY(messages.texts.isEmpty());
}

void CTrendViewTest::WithoutItsBrowserTheWindowSaysWhy() {
    // The module looked for where it is not, as an installation that lost it would.
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    const std::string folder = empty.path().toStdString();
    const CTrendView::CPageMaker missing = [&folder](QWidget*, QString& error) -> QWidget* {
        std::string reason;
        if (FindModuleEntry("strikeline-web-page", "StrikelineCreateWebPage", {folder}, reason) ==
            nullptr) {
            error = QString::fromStdString(reason);
        }
        return nullptr;
    };
    CTrendView view(nullptr, missing);
    QCOMPARE(view.Page(), nullptr);
    const QList<QLabel*> labels = view.findChildren<QLabel*>();
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.front()->text(),
             QString::fromStdString(
                 "The trend chart cannot be shown: the browser could not be loaded (the "
                 "program's module strikeline-web-page.so was not found in " +
                 folder + ")."));
    // Asking for a chart still names it, and the stored history (none here) takes the
    // page's place.
    view.ShowChart("http://127.0.0.1:9", "BHP");
    QCOMPARE(view.Code(), QString("BHP"));
    QVERIFY(view.ChartUrl().isValid());
    QVERIFY(view.HistoryChart() != nullptr);
    QCOMPARE(view.HistoryChart()->Message(), QString("No price history is stored for BHP."));
}

void CTrendViewTest::PriceHistoryOptionDrawsTheStoredYear() {
    CChartSite site;
    QVERIFY2(site.Started(), qPrintable(site.Error()));
    CTestProgram program(site);
    QVERIFY(program.Start());
    SetSampleNames(program.Session());
    const std::vector<CPriceHistoryDay> days = WriteHistory(program.Session().DataFolder());
    CMainFrame& frame = program.Frame();
    QVERIFY(frame.OnCommand(ID_VIEW_PRICE_HISTORY_CHARTS));
    QVERIFY(frame.Action(ID_VIEW_PRICE_HISTORY_CHARTS)->isChecked());
    CMessageLog& messages = program.Messages();

    CTrendView* view = OpenTrendChart(frame, program.SiteUrl(), "BHP");
    QVERIFY(view != nullptr);
    QCOMPARE(view->Page(), nullptr);
    QCOMPARE(ChildTitle(view), QString("Trend Chart for BHP Group Limited"));
    const std::vector<CPriceHistoryDay> shown = LastYear(days);
    QVERIFY(DrawsDays(*view, shown));
    QCOMPARE(shown.back().date, std::chrono::year{2010} / 6 / 24);
    QVERIFY(shown.front().date > std::chrono::year{2009} / 6 / 24);

    // A share without stored days says so.
    CTrendView* unknown = OpenTrendChart(frame, program.SiteUrl(), "QQQ");
    QVERIFY(unknown != nullptr);
    QCOMPARE(unknown->HistoryChart()->Chart(), nullptr);
    QCOMPARE(unknown->HistoryChart()->Message(), QString("No price history is stored for QQQ."));
    QVERIFY(messages.texts.isEmpty());

    // Off again, the next window shows the site's page.
    QVERIFY(frame.OnCommand(ID_VIEW_PRICE_HISTORY_CHARTS));
    CTrendView* page = OpenTrendChart(frame, program.SiteUrl(), "BHP");
    QVERIFY(Browser(page) != nullptr);
    QCOMPARE(page->HistoryChart(), nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(Browser(page)->title(), QString("BHP - one year"), kPageTimeoutMs);
    QCOMPARE(page->HistoryChart(), nullptr);
    const std::string log = site.StopAndReadLog();
    // Only the last window asked the site.
    std::size_t asked = 0;
    for (std::size_t at = log.find("/call/chart.php"); at != std::string::npos;
         at = log.find("/call/chart.php", at + 1)) {
        ++asked;
    }
    QCOMPARE(asked, std::size_t{1});
}

void CTrendViewTest::WithoutItsChartsModuleTheWindowSaysWhy() {
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    test::CTempFolder data;
    WriteHistory(data.File("data"));
    CTrendOptions options;
    options.storedHistory = true;
    options.dataFolder = data.File("data");
    options.chartModuleFolders = std::vector<std::string>{empty.path().toStdString()};
    CTrendView view(nullptr, {}, options);
    view.ShowChart("http://127.0.0.1:9", "BHP");
    QCOMPARE(view.Page(), nullptr);
    QVERIFY(view.HistoryChart() != nullptr);
    QCOMPARE(view.HistoryChart()->Chart(), nullptr);
    QCOMPARE(view.HistoryChart()->Message(),
             "The chart cannot be shown: the charts module could not be loaded (the program's "
             "module strikeline-charts.so was not found in " +
                 empty.path() + ").");
}

int main(int argc, char* argv[]) {
    // The browser's settings must be made before the application exists, as the program's
    // own main() makes them.
    if (qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        SandboxBefore() = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
    }
    PrepareWebEngine();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Strikeline"));
    CTrendViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TrendViewTest.moc"
