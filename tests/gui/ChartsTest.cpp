// The program's own charts, drawn through the real charts module on the offscreen platform:
// the Diary's balance chart against the Diary's own month figures, the chart panel's
// pictures and printing, and the panel without its module.

#include "gui/charts/ChartPanel.h"
#include "gui/journal/DiaryView.h"
#include "journal/DiaryDatabase.h"
#include "journal/DiaryListing.h"
#include "platform/ModuleLoader.h"
#include "session/Session.h"
#include "storage/NumberText.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/UserMessageLog.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <filesystem>

using namespace strikeline;

namespace {

FileTime At(const char* text) {
    FileTime value = kNoDate;
    if (!ParseFileTime(text, TimeZoneMode::Universal, value)) {
        qFatal("bad test time %s", text);
    }
    return value;
}

const FileTime kNow = At("2010-04-15 12:00:00");

FileTime FixedNow() {
    return kNow;
}

void AddTrade(CDiaryDatabase& diary, const char* contract, const char* opened, double profit) {
    CDiaryEntry entry;
    entry.m_ContractID = contract;
    entry.m_CompanyID = "BHP";
    entry.m_StartDate = At(opened);
    entry.m_NEProfit = profit;
    diary.AddEntry(entry);
}

// Trades on both sides of month ends, one opened after today, and changes of two months.
void FillDiary(CDiaryDatabase& diary) {
    diary.SetStartBalance(20000);
    AddTrade(diary, "NOV", "2009-11-20 03:00:00", 150);
    AddTrade(diary, "LATEJAN", "2010-01-31 23:59:59", -40.5);
    AddTrade(diary, "FEB", "2010-02-01 00:00:00", 1234.25);
    AddTrade(diary, "APR", "2010-04-02 10:00:00", 300);
    AddTrade(diary, "JUN", "2010-06-10 10:00:00", 75);
    diary.SetMonthChange(MonthKey(2010, 1), 1000);
    diary.SetMonthChange(MonthKey(2010, 3), -250);
}

QLineSeries* LineOf(QWidget* chart) {
    auto* view = qobject_cast<QChartView*>(chart);
    if (view == nullptr) {
        return nullptr;
    }
    const QList<QAbstractSeries*> series = view->chart()->series();
    return series.size() == 1 ? qobject_cast<QLineSeries*>(series.front()) : nullptr;
}

} // namespace

class CChartsTest : public QObject {
    Q_OBJECT

private slots:
    void DiaryChartDrawsTheDiarysMonthEndBalances();
    void DiaryChartFollowsAChangedBalance();
    void PanelSavesPicturesAndPrints();
    void WithoutItsModuleThePanelSaysWhy();
    void DiaryWithoutTheModuleBesideTheProgramSaysWhy();
};

void CChartsTest::DiaryChartDrawsTheDiarysMonthEndBalances() {
    for (const char* zone : {"UTC", "Australia/Sydney"}) {
        const test::CScopedEnv tz("TZ", zone);
        test::CUserMessageLog messages;
        CSession session(std::string(), &messages);
        FillDiary(session.Diary());
        CDiaryView view(session, FixedNow);
        view.resize(1200, 700);
        view.show();
        QVERIFY(view.ListArea()->indexOf(view.BalanceChart()) == 1);
        QLineSeries* line = LineOf(view.BalanceChart()->Chart());
        QVERIFY2(line != nullptr, qPrintable(view.BalanceChart()->Message()));

        // From the first trade's month to the month of the trade after today, one point a
        // month, each the ending balance the Diary shows for that month.
        const QList<QPointF> points = line->points();
        QCOMPARE(points.size(), 8);
        QDate expected(2009, 11, 1);
        for (const QPointF& point : points) {
            const QDate day = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(point.x())).date();
            QCOMPARE(QDate(day.year(), day.month(), 1), expected);
            CDiaryRangeChoice month;
            month.mode = DiaryRangeMode::Month;
            month.year = day.year();
            month.month = static_cast<unsigned>(day.month());
            const CDiaryListing listing = BuildDiaryListing(session.Diary(), month, kNow);
            QCOMPARE(QString::fromStdString(FormatMoney(point.y(), 2)),
                     QString::fromStdString(listing.figures.endingBalance));
            expected = expected.addMonths(1);
        }
        QVERIFY(messages.texts.isEmpty());
    }
}

void CChartsTest::DiaryChartFollowsAChangedBalance() {
    const test::CScopedEnv tz("TZ", "UTC");
    test::CUserMessageLog messages;
    CSession session(std::string(), &messages);
    CDiaryView view(session, FixedNow);
    // An empty diary: today's month at the start balance.
    QLineSeries* line = LineOf(view.BalanceChart()->Chart());
    QVERIFY(line != nullptr);
    QCOMPARE(line->count(), 1);
    QCOMPARE(line->at(0).y(), CDiaryDatabase::kDefaultStartBalance);

    FillDiary(session.Diary());
    view.RefreshDiary();
    line = LineOf(view.BalanceChart()->Chart());
    QVERIFY(line != nullptr);
    QCOMPARE(line->count(), 8);
    const double before = line->at(7).y();
    session.Diary().SetStartBalance(session.Diary().StartBalance() + 500);
    view.RefreshDiary();
    line = LineOf(view.BalanceChart()->Chart());
    QVERIFY(line != nullptr);
    QCOMPARE(line->at(7).y(), before + 500);
}

void CChartsTest::PanelSavesPicturesAndPrints() {
    const test::CScopedEnv tz("TZ", "UTC");
    test::CUserMessageLog messages;
    CSession session(std::string(), &messages);
    FillDiary(session.Diary());
    CDiaryView view(session, FixedNow);
    view.resize(1200, 700);
    view.show();
    CChartPanel& panel = *view.BalanceChart();
    QVERIFY(panel.SaveButton()->isEnabled());
    QVERIFY(panel.PrintButton()->isEnabled());
    const QSize size = panel.Chart()->size();
    QVERIFY(size.width() > 100 && size.height() > 100);
    test::CTempFolder folder;
    QString error;

    const QString png = QString::fromStdString(folder.File("balances.png"));
    QVERIFY2(panel.SavePicture(png, error), qPrintable(error));
    const QImage image(png);
    QCOMPARE(image.size(), size * panel.Chart()->devicePixelRatio());
    // The scheme's report background, not an empty picture.
    QCOMPARE(image.pixelColor(2, 2), panel.Colours().background);

    const QString svg = QString::fromStdString(folder.File("balances.svg"));
    QVERIFY2(panel.SavePicture(svg, error), qPrintable(error));
    QSvgRenderer picture(svg);
    QVERIFY(picture.isValid());
    QCOMPARE(picture.viewBox().size(), size);

    const QString pdf = QString::fromStdString(folder.File("balances.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QVERIFY(panel.PrintChart(printer));
    QFile printed(pdf);
    QVERIFY(printed.open(QIODevice::ReadOnly));
    QCOMPARE(printed.read(5), QByteArray("%PDF-"));

    // A folder that is not there.
    const QString nowhere = QString::fromStdString(folder.File("none/balances"));
    for (const QString& path : {nowhere + ".png", nowhere + ".svg"}) {
        error.clear();
        QVERIFY(!panel.SavePicture(path, error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(path));
    }
}

void CChartsTest::WithoutItsModuleThePanelSaysWhy() {
    // The module looked for where it is not, as an installation that lost it would.
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    CChartPanel panel(nullptr, std::vector<std::string>{empty.path().toStdString()});
    bool made = false;
    QVERIFY(!panel.ShowChart([&made](CChartFactory&, const CChartColours&, QWidget*) {
        made = true;
        return nullptr;
    }));
    QVERIFY(!made);
    QCOMPARE(panel.Chart(), nullptr);
    QCOMPARE(panel.Message(),
             "The chart cannot be shown: the charts module could not be loaded (the program's "
             "module strikeline-charts.so was not found in " +
                 empty.path() + ").");
    QVERIFY(!panel.SaveButton()->isEnabled());
    QVERIFY(!panel.PrintButton()->isEnabled());
    QString error;
    QVERIFY(!panel.SavePicture(empty.filePath("chart.png"), error));
}

void CChartsTest::DiaryWithoutTheModuleBesideTheProgramSaysWhy() {
    // Where the module is looked for as the program looks: in the build tree it is there;
    // a copy of this test outside it (charts_without_module) finds none, as an installation
    // that lost the module would.
    const std::vector<std::string> folders = ModuleFolders();
    QVERIFY(!folders.empty());
    const bool found = std::any_of(folders.begin(), folders.end(), [](const std::string& folder) {
        return std::filesystem::exists(std::filesystem::path(folder) / "strikeline-charts.so");
    });
    QCOMPARE(found, !qEnvironmentVariableIsSet("STRIKELINE_TEST_WITHOUT_CHARTS"));
    const test::CScopedEnv tz("TZ", "UTC");
    test::CUserMessageLog messages;
    CSession session(std::string(), &messages);
    FillDiary(session.Diary());
    CDiaryView view(session, FixedNow);
    view.show();
    // The Diary itself works as ever.
    QCOMPARE(view.EntryList()->rowCount(), 1);
    if (found) {
        QVERIFY(view.BalanceChart()->Chart() != nullptr);
        QCOMPARE(view.BalanceChart()->Message(), QString());
        return;
    }
    QCOMPARE(view.BalanceChart()->Chart(), nullptr);
    QCOMPARE(view.BalanceChart()->Message(),
             QString::fromStdString("The chart cannot be shown: the charts module could not be "
                                    "loaded (the program's module strikeline-charts.so was not "
                                    "found in " +
                                    folders.front() + ")."));
    QVERIFY(messages.texts.isEmpty());
}

QTEST_MAIN(CChartsTest)
#include "ChartsTest.moc"
