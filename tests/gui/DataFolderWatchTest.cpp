// The running program and files that another process (the scheduled fetch) writes into its
// data folder: the real application on a temporary folder, with a feed that cannot be
// reached, so that whatever new it knows came from the folder.

#include "gui/app/Application.h"
#include "gui/app/CommandIds.h"
#include "gui/reports/ReportView.h"
#include "marketdata/CompanyInfo.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/TodaysMarket.h"
#include "support/UserMessageLog.h"
#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"

#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <set>
#include <utility>

using namespace strikeline;

namespace {

constexpr int kTimeoutMs = 20000;

// Today's market, so that the report has series that have not expired; another seed is
// another market.
CGeneratedMarket Market(std::uint64_t seed) {
    CMarketGeneratorSettings settings = test::TodaysMarketSettings();
    settings.m_Seed = seed;
    return CMarketGenerator(settings).Generate();
}

std::size_t SeriesOf(const std::vector<CCompanyInfo>& companies) {
    std::size_t series = 0;
    for (const CCompanyInfo& company : companies) {
        series += company.Contracts().size();
    }
    return series;
}

bool Within(const CCompanyInfo* company, const std::vector<CCompanyInfo>& list) {
    return !list.empty() && company >= &list.front() && company <= &list.back();
}

} // namespace

class CDataFolderWatchTest : public QObject {
    Q_OBJECT

private slots:
    void FilesFetchedByAnotherProcessReachTheMarketAndTheOpenReport();
};

void CDataFolderWatchTest::FilesFetchedByAnotherProcessReachTheMarketAndTheOpenReport() {
    const test::CScopedEnv feed("STRIKELINE_FEED_URL", "http://127.0.0.1:9");
    const test::CScopedEnv site("STRIKELINE_SITE_URL", "http://127.0.0.1:9");
    test::CTempFolder home;
    const std::string data = home.File("data");
    const CGeneratedMarket before = Market(1);
    const CGeneratedMarket after = Market(2);
    QVERIFY(after.m_CallSeries != before.m_CallSeries);
    QVERIFY(after.m_PutSeries != before.m_PutSeries);
    std::string error;
    QVERIFY2(WriteDataFolder(data, before, error), error.c_str());

    test::CUserMessageLog messages;
    CStartOptions options;
    options.dataFolder = data;
    options.settingsPath = home.File("settings.reg");
    options.instanceName = QString::fromStdString(home.File("instance"));
    options.showMaximized = false;
    options.messenger = &messages;
    CApplication app(options);
    QVERIFY(app.InitInstance());
    CSession& session = app.Session();
    QCOMPARE(SeriesOf(session.Market().Current()->Calls()), before.m_CallSeries);
    QVERIFY(app.MainFrame()->OnCommand(ID_YIELD_CALL_REPORTS));
    auto* report =
        qobject_cast<CReportView*>(app.MainFrame()->GetView(ViewKind::CallReport, false, false));
    QVERIFY(report != nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!report->IsBusy() && !report->Report().blocks.empty(), kTimeoutMs);

    // The scheduled fetch installs the five files one after another, each by renaming, with
    // a download between two: nothing is read until the folder has been quiet a moment,
    // and then all of it at once.
    QSignalSpy published(&app.DownloaderObserver(), &CQtDownloaderObserver::MarketPublished);
    const std::pair<const char*, const std::string*> files[] = {
        {"call.csv", &after.m_CallFile},
        {"put.csv", &after.m_PutFile},
        {"dividends.csv", &after.m_DividendsFile},
        {"companyname.txt", &after.m_CompanyNames},
        {"top20.txt", &after.m_Top20}};
    for (const auto& [name, text] : files) {
        QCOMPARE(published.count(), 0);
        const std::filesystem::path path = std::filesystem::path(data) / name;
        test::WriteTextFile(path.string() + ".part", *text);
        std::filesystem::rename(path.string() + ".part", path);
        QTest::qWait(400);
    }
    QTRY_COMPARE_WITH_TIMEOUT(published.count(), 5, kTimeoutMs);
    const std::shared_ptr<const CMarketSnapshot> market = session.Market().Current();
    QCOMPARE(SeriesOf(market->Calls()), after.m_CallSeries);
    QCOMPARE(SeriesOf(market->Puts()), after.m_PutSeries);
    std::set<MarketPart> parts;
    for (const QList<QVariant>& signal : published) {
        parts.insert(signal.at(0).value<MarketPart>());
    }
    QCOMPARE(parts.size(), std::size_t{5});

    // The open report is built again, on the new prices.
    QTRY_VERIFY_WITH_TIMEOUT(!report->IsBusy() && !report->Report().blocks.empty() &&
                                 Within(report->Report().blocks.front().company.get(),
                                        session.Market().Current()->Calls()),
                             kTimeoutMs);

    // Once read, the files are not read again: neither the program's own writes into the
    // folder nor the quiet that follows bring another market.
    QTest::qWait(3000);
    QCOMPARE(published.count(), 5);
    QCOMPARE(session.Market().Current(), market);
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));

    app.MainFrame()->close();
    app.ExitInstance(0);
}

QTEST_MAIN(CDataFolderWatchTest)
#include "DataFolderWatchTest.moc"
