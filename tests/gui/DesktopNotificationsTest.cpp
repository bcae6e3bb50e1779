// The desktop's notices from the program and from the headless fetch, heard by a small
// notification service of the test's own on a private session bus (the test runs under
// dbus-run-session): what each notice says and offers, that an event is told once, that
// the off switch holds, and that a click on a notice opens its window.

#include "gui/app/Application.h"
#include "gui/app/NotificationsDlg.h"
#include "plan/TradingPlan.h"
#include "reports/ReportTestData.h"
#include "session/DesktopNotices.h"
#include "session/SettingsRecords.h"
#include "storage/RegistryFile.h"
#include "storage/RegistryStorage.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/TodaysMarket.h"
#include "support/UserMessageLog.h"
#include "tools/FeedServer.h"
#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"

#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <chrono>
#include <filesystem>

using namespace strikeline;

namespace {

constexpr int kTimeoutMs = 30000;
constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";

// What the service was asked to show.
struct CShown {
    uint id;
    QString appName;
    QString summary;
    QString body;
    QStringList actions;
};

// The desktop's side: takes every notice, numbers it, and can say that one was clicked.
class CFakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    // A connection of its own, so that the program's calls go through the bus daemon as
    // they would to a desktop.
    bool Register() {
        m_Bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake")));
        return m_Bus->isConnected() && m_Bus->registerService(QString::fromLatin1(kService)) &&
               m_Bus->registerObject(QString::fromLatin1(kPath), this,
                                     QDBusConnection::ExportAllSlots);
    }
    ~CFakeNotificationService() override {
        if (m_Bus) {
            m_Bus->unregisterService(QString::fromLatin1(kService));
            QDBusConnection::disconnectFromBus(QStringLiteral("fake"));
        }
    }

    void Click(uint id) {
        QDBusMessage signal =
            QDBusMessage::createSignal(QString::fromLatin1(kPath), QString::fromLatin1(kService),
                                       QStringLiteral("ActionInvoked"));
        signal << id << QStringLiteral("default");
        QVERIFY(m_Bus->send(signal));
    }

    const CShown* Find(const QString& summaryStart) const {
        for (const CShown& shown : m_Shown) {
            if (shown.summary.startsWith(summaryStart)) {
                return &shown;
            }
        }
        return nullptr;
    }

    QList<CShown> m_Shown;

public slots:
    uint Notify(const QString& appName, uint, const QString&, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap&, int) {
        m_Shown.push_back({uint(m_Shown.size() + 1), appName, summary, body, actions});
        return uint(m_Shown.size());
    }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }
    void CloseNotification(uint) {}

private:
    std::unique_ptr<QDBusConnection> m_Bus;
};

long LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return std::chrono::sys_days{
        std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                    std::chrono::month{unsigned(local.tm_mon + 1)},
                                    std::chrono::day{unsigned(local.tm_mday)}}}
        .time_since_epoch()
        .count();
}

long NextTradingDay(long day) {
    do {
        ++day;
    } while (std::chrono::weekday{std::chrono::sys_days{std::chrono::days{day}}}.c_encoding() % 6 ==
             0);
    return day;
}

FileTime DayTime(long day) {
    return FileTimeFromUnix(static_cast<std::int64_t>(day) * 24 * 60 * 60);
}

CTradingPlanEntry Row(const char* company, const char* series, long expiry, long exDate) {
    CTradingPlanEntry row;
    row.m_SourceType = TYPE_SELL_CALL;
    row.m_CompanyID = company;
    row.m_ContractID = series;
    row.m_DateExpiry = DayTime(expiry);
    row.m_DividendsDate = exDate == 0 ? kNoDate : DayTime(exDate);
    row.m_StrikePrice = 45.0;
    row.m_Shares = 1000;
    row.m_ContractSize = 1000;
    return row;
}

// A plan with an expiry on the next trading day (BHP's series), an ex-dividend date on it
// (CBA's, whose series expires weeks later) and a row whose dates are all far off.
void WritePlan(const std::string& folder) {
    const long next = NextTradingDay(LocalToday());
    CTradingPlan plan;
    plan.Append(Row("BHP", "BHPZZ9", next, 0));
    plan.Append(Row("CBA", "CBAZZ8", next + 40, next));
    plan.Append(Row("WBC", "WBCZZ7", next + 60, next + 30));
    std::filesystem::create_directories(folder);
    QVERIFY(plan.Save(folder + "/tradingplan.xml"));
}

void WriteSettings(const std::string& path, const CNotificationSettings& notifications) {
    CRegistryFile registry;
    CRegistryStorage settings;
    QVERIFY(settings.CreateRoot(registry.CurrentUser(), std::string(kRegistryRoot) + "\\Settings"));
    auto record = settings.CreateChild(kNotificationSettingsKey);
    QVERIFY(record != nullptr);
    notifications.Save(*record);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::string error;
    QVERIFY2(registry.Save(path, error), error.c_str());
}

// Today's market as the feed publishes it, on a free port.
struct CFeed {
    test::CTempFolder folder;
    CFeedServer server;
    std::string url;

    void Start() {
        CMarketGeneratorSettings settings = test::TodaysMarketSettings();
        std::string error;
        QVERIFY2(WriteFeedFolder(folder.Path().string(), settings, 24 * 60, error), error.c_str());
        CFeedServerOptions options;
        options.root = folder.Path().string();
        options.port = 0;
        QVERIFY2(server.Start(options, error), error.c_str());
        url = "http://127.0.0.1:" + std::to_string(server.Port());
    }
};

CStartOptions Options(const test::CTempFolder& home, test::CUserMessageLog& messages) {
    CStartOptions options;
    options.dataFolder = home.File("data");
    options.settingsPath = home.File("settings.reg");
    options.instanceName = QString::fromStdString(home.File("instance"));
    options.showMaximized = false;
    options.messenger = &messages;
    return options;
}

// One run of the installed-style headless fetch; the service answers meanwhile, so the
// event loop runs while it waits.
struct CFetchRun {
    int status = -1;
    QJsonObject output;
    QString errors;
};

CFetchRun RunFetch(const test::CTempFolder& home, const std::string& feedUrl,
                   const QString& busAddress = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       QString::fromStdString(home.File("config")));
    environment.insert(QStringLiteral("STRIKELINE_FEED_URL"), QString::fromStdString(feedUrl));
    environment.insert(QStringLiteral("STRIKELINE_SITE_URL"), QString::fromStdString(feedUrl));
    if (!busAddress.isEmpty()) {
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(STRIKELINE_CLI_PATH),
                  {QStringLiteral("fetch"), QStringLiteral("--data"),
                   QString::fromStdString(home.File("data")), QStringLiteral("--notify")});
    CFetchRun run;
    if (!process.waitForStarted()) {
        return run;
    }
    QDeadlineTimer deadline(kTimeoutMs);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        QTest::qWait(20);
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString CallLabel(const QJsonObject& output) {
    for (const QJsonValue& file : output.value(QStringLiteral("files")).toArray()) {
        if (file.toObject().value(QStringLiteral("file")).toString() == QLatin1String("call.csv")) {
            return file.toObject().value(QStringLiteral("label")).toString();
        }
    }
    return {};
}

} // namespace

class CDesktopNotificationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void ProgramTellsNewListsAndThePlansDatesOnceAndAClickOpensTheirWindow();
    void TheSwitchAndTheLeadTimeAreKeptAndTheSwitchSilencesTheProgram();
    void HeadlessFetchTellsOnceAndNotWhenSwitchedOff();
    void HeadlessFetchWithoutAServiceSaysSoAndFetchesAsEver();
    void SoldCallsAtEarlyExerciseRiskAreToldOnce();
    void MenuEntryActionsReachTheRunningCopy();
    void ProgramOptionsOfTheMenuEntry();

private:
    CFakeNotificationService m_Service;
};

void CDesktopNotificationsTest::initTestCase() {
    QVERIFY2(qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"),
             "run under dbus-run-session, with a session bus of its own");
    QVERIFY(m_Service.Register());
}

void CDesktopNotificationsTest::
    ProgramTellsNewListsAndThePlansDatesOnceAndAClickOpensTheirWindow() {
    m_Service.m_Shown.clear();
    CFeed feed;
    feed.Start();
    const test::CScopedEnv feedUrl("STRIKELINE_FEED_URL", feed.url.c_str());
    const test::CScopedEnv siteUrl("STRIKELINE_SITE_URL", feed.url.c_str());
    test::CTempFolder home;
    WritePlan(home.File("data"));
    test::CUserMessageLog messages;
    {
        CApplication app(Options(home, messages));
        QVERIFY(app.InitInstance());
        // The fetch at start installs today's lists; a moment later the plan's dates are
        // looked at: the expiry and the ex-dividend date of the next trading day, not the
        // far ones.
        QTRY_COMPARE_WITH_TIMEOUT(m_Service.m_Shown.size(), 3, kTimeoutMs);
        QTest::qWait(500);
        QCOMPARE(m_Service.m_Shown.size(), 3);
        const CShown* list = m_Service.Find(QStringLiteral("New call and put prices"));
        const CShown* expiry = m_Service.Find(QStringLiteral("Expiry "));
        const CShown* exDate = m_Service.Find(QStringLiteral("CBA goes ex-dividend "));
        QVERIFY(list != nullptr && expiry != nullptr && exDate != nullptr);
        for (const CShown* shown : {list, expiry, exDate}) {
            QCOMPARE(shown->appName, QStringLiteral("Strikeline"));
            QCOMPARE(shown->actions.value(0), QStringLiteral("default"));
            QCOMPARE(shown->actions.size(), 2);
        }
        QVERIFY(list->body.contains(QLatin1String("call and put option prices")));
        QVERIFY(expiry->summary.endsWith(QLatin1String(": BHPZZ9 (BHP)")));
        QVERIFY2(expiry->body.startsWith(QLatin1String("BHPZZ9 expires ")),
                 qPrintable(expiry->body));
        QVERIFY2(expiry->body.contains(QLatin1String("BHPZZ9 (C (Sell), strike $45)")),
                 qPrintable(expiry->body));
        QVERIFY2(exDate->body.contains(QLatin1String("CBAZZ8")), qPrintable(exDate->body));
        QVERIFY(exDate->body.contains(QLatin1String("exercised early")));
        QVERIFY(!exDate->body.contains(QLatin1String("WBC")));

        // A click on a notice opens its window in front.
        CMainFrame* frame = app.MainFrame();
        QVERIFY(frame->GetView(ViewKind::CallReport, false, false) == nullptr);
        m_Service.Click(list->id);
        QTRY_VERIFY_WITH_TIMEOUT(frame->GetView(ViewKind::CallReport, false, false) != nullptr,
                                 kTimeoutMs);
        QVERIFY(frame->GetView(ViewKind::TradingPlan, false, false) == nullptr);
        m_Service.Click(expiry->id);
        QTRY_VERIFY_WITH_TIMEOUT(frame->GetView(ViewKind::TradingPlan, false, false) != nullptr,
                                 kTimeoutMs);

        // The same day again tells nothing new.
        app.Notifier()->CheckPlan();
        QTest::qWait(500);
        QCOMPARE(m_Service.m_Shown.size(), 3);
        frame->close();
        app.ExitInstance(0);
    }
    // Nor does the next start on the same day: the data folder remembers.
    {
        CApplication app(Options(home, messages));
        QVERIFY(app.InitInstance());
        app.Notifier()->CheckPlan();
        QTest::qWait(6000); // past the first look at the plan
        QCOMPARE(m_Service.m_Shown.size(), 3);
        app.MainFrame()->close();
        app.ExitInstance(0);
    }
}

void CDesktopNotificationsTest::TheSwitchAndTheLeadTimeAreKeptAndTheSwitchSilencesTheProgram() {
    m_Service.m_Shown.clear();
    const test::CScopedEnv feedUrl("STRIKELINE_FEED_URL", "http://127.0.0.1:9");
    const test::CScopedEnv siteUrl("STRIKELINE_SITE_URL", "http://127.0.0.1:9");
    test::CTempFolder home;
    WritePlan(home.File("data"));
    test::CUserMessageLog messages;
    {
        CApplication app(Options(home, messages));
        QVERIFY(app.InitInstance());
        CNotificationsDlg dialog(app.NotificationSettings(), app.MainFrame());
        QVERIFY(dialog.EnabledBox()->isChecked());
        QCOMPARE(dialog.LeadDaysBox()->value(), 1);
        dialog.LeadDaysBox()->setValue(3);
        dialog.EnabledBox()->setChecked(false);
        QVERIFY(!dialog.LeadDaysBox()->isEnabled());
        dialog.accept();
        app.Notifier()->CheckPlan();
        app.MainFrame()->close();
        app.ExitInstance(0);
    }
    const CNotificationSettings stored = ReadNotificationSettings(home.File("settings.reg"));
    QCOMPARE(stored.Enabled(), false);
    QCOMPARE(stored.LeadDays(), 3u);
    // Started again with the switch off, it tells nothing of the same plan.
    {
        CApplication app(Options(home, messages));
        QVERIFY(app.InitInstance());
        QCOMPARE(app.NotificationSettings().Enabled(), false);
        QTest::qWait(6000); // past the first look at the plan
        app.Notifier()->CheckPlan();
        QTest::qWait(500);
        QCOMPARE(m_Service.m_Shown.size(), 0);
        app.MainFrame()->close();
        app.ExitInstance(0);
    }
}

void CDesktopNotificationsTest::HeadlessFetchTellsOnceAndNotWhenSwitchedOff() {
    m_Service.m_Shown.clear();
    CFeed feed;
    feed.Start();
    test::CTempFolder home;
    WritePlan(home.File("data"));
    const CFetchRun first = RunFetch(home, feed.url);
    QCOMPARE(first.status, 0);
    QVERIFY2(first.errors.isEmpty(), qPrintable(first.errors));
    QCOMPARE(m_Service.m_Shown.size(), 3);
    const CShown* list = m_Service.Find(QStringLiteral("New call and put prices"));
    QVERIFY(list != nullptr);
    const QString label = CallLabel(first.output);
    QVERIFY(!label.isEmpty());
    QVERIFY2(list->body.contains(label), qPrintable(list->body));
    QCOMPARE(list->actions.value(0), QStringLiteral("default"));
    QVERIFY(m_Service.Find(QStringLiteral("Expiry ")) != nullptr);
    QVERIFY(m_Service.Find(QStringLiteral("CBA goes ex-dividend ")) != nullptr);

    // The next run of the day: the lists are unchanged and the plan's dates were told.
    const CFetchRun second = RunFetch(home, feed.url);
    QCOMPARE(second.status, 0);
    QCOMPARE(m_Service.m_Shown.size(), 3);

    // Switched off in the program's settings: a new folder's lists and plan tell nothing.
    test::CTempFolder quiet;
    WritePlan(quiet.File("data"));
    CNotificationSettings off;
    off.SetEnabled(false);
    WriteSettings(quiet.File("config") + "/Strikeline/settings.reg", off);
    const CFetchRun silenced = RunFetch(quiet, feed.url);
    QCOMPARE(silenced.status, 0);
    QVERIFY(!CallLabel(silenced.output).isEmpty());
    QCOMPARE(m_Service.m_Shown.size(), 3);
}

void CDesktopNotificationsTest::HeadlessFetchWithoutAServiceSaysSoAndFetchesAsEver() {
    m_Service.m_Shown.clear();
    CFeed feed;
    feed.Start();
    test::CTempFolder home;
    WritePlan(home.File("data"));
    const QString missing =
        QStringLiteral("unix:path=%1").arg(QString::fromStdString(home.File("no-bus")));
    const CFetchRun run = RunFetch(home, feed.url, missing);
    QCOMPARE(run.status, 0);
    QVERIFY(!CallLabel(run.output).isEmpty());
    QVERIFY2(run.errors.startsWith(QLatin1String("strikeline-cli fetch: --notify: ")),
             qPrintable(run.errors));
    QCOMPARE(run.errors.count(QLatin1Char('\n')), 1);
    QCOMPARE(m_Service.m_Shown.size(), 0);
}

void CDesktopNotificationsTest::SoldCallsAtEarlyExerciseRiskAreToldOnce() {
    m_Service.m_Shown.clear();
    const test::CScopedEnv feedUrl("STRIKELINE_FEED_URL", "http://127.0.0.1:9");
    const test::CScopedEnv siteUrl("STRIKELINE_SITE_URL", "http://127.0.0.1:9");
    test::CTempFolder home;
    test::CUserMessageLog messages;
    CApplication app(Options(home, messages));
    QVERIFY(app.InitInstance());
    CSession& session = app.Session();

    // A deep in-the-money call, traded an hour ago, over a large franked dividend a month
    // away: its holder does better to exercise just before the ex-date.
    constexpr FileTime kDay = 86400LL * kFileTimeTicksPerSecond;
    const FileTime now = CurrentFileTime();
    const auto text = [](FileTime moment) {
        return FormatFileTime(moment, TimeZoneMode::Universal, FileTimeStyle::DateTime);
    };
    std::vector<CCompanyInfo> calls;
    calls.push_back(test::Share(
        "ABC", 50.0,
        {test::Series("ABCXX1", 35.0, 15.2, text(now + 90 * kDay), text(now - kDay / 24))}));
    session.Market().PublishCalls(std::move(calls));
    const FileTime exDate = now + 30 * kDay;
    session.Market().PublishDividends({{"ABC", exDate - exDate % kDay, 3.0, 100.0}});
    app.AnalyticsWorker().Recompute();
    QTRY_VERIFY_WITH_TIMEOUT(
        session.Analytics() != nullptr && session.Analytics()->Find(true, "ABCXX1"), kTimeoutMs);
    const CCompanyInfo* company = &session.Market().Current()->Calls().front();
    const CContractInfo* series = &company->Contracts().front();
    const auto figures = session.Analytics()->Find(true, series->Code());
    QVERIFY(figures && figures->earlyExercise);
    CTradingPlanEntry row = Row(company->Code().c_str(), series->Code().c_str(), 0, 0);
    row.m_DateExpiry = series->Expiry();
    session.TradingPlan().Append(row);
    QVERIFY(m_Service.m_Shown.isEmpty());

    // New analytics look at the plan's sold calls again.
    app.AnalyticsWorker().Recompute();
    const QString summary =
        QStringLiteral("Early exercise likely: %1 (%2)")
            .arg(QString::fromStdString(series->Code()), QString::fromStdString(company->Code()));
    QTRY_COMPARE_WITH_TIMEOUT(m_Service.m_Shown.size(), 1, kTimeoutMs);
    QCOMPARE(m_Service.m_Shown[0].summary, summary);
    QVERIFY(m_Service.m_Shown[0].body.contains(QLatin1String("ex-dividend")));
    QCOMPARE(m_Service.m_Shown[0].actions.value(0), QStringLiteral("default"));
    m_Service.Click(m_Service.m_Shown[0].id);
    QTRY_VERIFY_WITH_TIMEOUT(
        app.MainFrame()->GetView(ViewKind::TradingPlan, false, false) != nullptr, kTimeoutMs);
    app.AnalyticsWorker().Recompute();
    app.AnalyticsWorker().Wait();
    QTest::qWait(500);
    QCOMPARE(m_Service.m_Shown.size(), 1);
    app.MainFrame()->close();
    app.ExitInstance(0);
}

void CDesktopNotificationsTest::MenuEntryActionsReachTheRunningCopy() {
    const test::CScopedEnv feedUrl("STRIKELINE_FEED_URL", "http://127.0.0.1:9");
    const test::CScopedEnv siteUrl("STRIKELINE_SITE_URL", "http://127.0.0.1:9");
    test::CTempFolder home;
    test::CUserMessageLog messages;
    CApplication app(Options(home, messages));
    QVERIFY(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    const std::pair<StartRequest, ViewKind> windows[] = {
        {StartRequest::OpenCallReport, ViewKind::CallReport},
        {StartRequest::OpenTradingPlan, ViewKind::TradingPlan}};
    for (const auto& [request, view] : windows) {
        QVERIFY(frame->GetView(view, false, false) == nullptr);
        CStartOptions options = Options(home, messages);
        options.startRequest = request;
        CApplication second(options);
        QVERIFY(!second.InitInstance());
        QVERIFY(second.RaisedOtherCopy());
        QTRY_VERIFY_WITH_TIMEOUT(frame->GetView(view, false, false) != nullptr, kTimeoutMs);
    }
    // Fetch Now starts the downloader's pass at once.
    QSignalSpy status(&app.DownloaderObserver(), &CQtDownloaderObserver::StatusTextChanged);
    {
        CStartOptions options = Options(home, messages);
        options.startRequest = StartRequest::FetchNow;
        CApplication second(options);
        QVERIFY(!second.InitInstance());
    }
    QTRY_VERIFY_WITH_TIMEOUT(status.count() > 0, kTimeoutMs);
    frame->close();
    app.ExitInstance(0);
}

void CDesktopNotificationsTest::ProgramOptionsOfTheMenuEntry() {
    QProcess help;
    help.start(QStringLiteral(STRIKELINE_APP_PATH), {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(kTimeoutMs));
    const QString text = QString::fromUtf8(help.readAllStandardOutput());
    QCOMPARE(help.exitCode(), 0);
    QVERIFY2(text.contains(QLatin1String("--open <window>")) &&
                 text.contains(QLatin1String("--fetch-now")),
             qPrintable(text));
    QProcess wrong;
    wrong.start(QStringLiteral(STRIKELINE_APP_PATH),
                {QStringLiteral("--open"), QStringLiteral("nowhere")});
    QVERIFY(wrong.waitForFinished(kTimeoutMs));
    QCOMPARE(wrong.exitCode(), 2);
    QVERIFY(wrong.readAllStandardError().contains("call-report or trading-plan"));
}

QTEST_MAIN(CDesktopNotificationsTest)
#include "DesktopNotificationsTest.moc"
