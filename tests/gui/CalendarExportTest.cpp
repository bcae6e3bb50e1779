// File > Export Calendar... in a real main window: when it may be used, the save dialog it
// opens, the file it writes from the plan and the market's dividends, and what the user
// is told.

#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "plan/TradingPlan.h"
#include "support/MainFrameTestHost.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/TestTimes.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>

using namespace strikeline;

namespace {

// A day `days` after today, as the plan and the dividends file keep days.
FileTime DaysFromToday(int days) {
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    return FileTimeFromUnix(
        std::chrono::sys_seconds{today + std::chrono::days{days}}.time_since_epoch().count());
}

std::string DateValue(FileTime date) {
    const std::chrono::year_month_day day{std::chrono::floor<std::chrono::days>(
        std::chrono::sys_seconds{std::chrono::seconds{UnixFromFileTime(date)}})};
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
    return text;
}

} // namespace

class CCalendarExportTest : public QObject {
    Q_OBJECT

private slots:
    void OnlyAPlanWithRowsHasACalendar();
    void WritesThePlansDatesWithTheMarketsDividends();
    void AFileThatCannotBeWrittenIsExplained();
    void TheDialogOffersACalendarInTheDocumentsFolder();

private:
    test::CScopedEnv m_Zone{"TZ", "UTC"};
};

void CCalendarExportTest::OnlyAPlanWithRowsHasACalendar() {
    test::CMainFrameTestHost host;
    CMainFrame frame(host);
    int asked = 0;
    frame.SetCalendarPathChooser([&asked](QWidget*) {
        ++asked;
        return QString();
    });
    QVERIFY(!frame.OnCommand(ID_FILE_EXPORT_CALENDAR));
    QVERIFY(!frame.Action(ID_FILE_EXPORT_CALENDAR)->isEnabled());
    CTradingPlanEntry row;
    row.m_CompanyID = "BHP";
    row.m_ContractID = "BHPXY9";
    host.session.TradingPlan().Append(row);
    QVERIFY(frame.OnCommand(ID_FILE_EXPORT_CALENDAR));
    QVERIFY(frame.Action(ID_FILE_EXPORT_CALENDAR)->isEnabled());
    // Cancelled: nothing written, nothing said.
    QCOMPARE(asked, 1);
    QVERIFY(host.messages.texts.isEmpty());
}

void CCalendarExportTest::WritesThePlansDatesWithTheMarketsDividends() {
    test::CTempFolder folder;
    test::CMainFrameTestHost host;
    CTradingPlanEntry row;
    row.m_SourceType = TYPE_SELL_CALL;
    row.m_CompanyID = "BHP";
    row.m_ContractID = "BHPXY9";
    row.m_DateExpiry = DaysFromToday(30);
    // The row's own date gives way to the market's.
    row.m_DividendsDate = DaysFromToday(5);
    host.session.TradingPlan().Append(row);
    CTradingPlanEntry expired = row;
    expired.m_ContractID = "BHPOLD";
    expired.m_DateExpiry = DaysFromToday(-1);
    host.session.TradingPlan().Append(expired);
    host.session.Market().PublishDividends(
        {{"BHP", DaysFromToday(10), 0.725, 100}, {"BHP", DaysFromToday(40), 0.5, 100}});

    CMainFrame frame(host);
    const QString path = QString::fromStdString(folder.File("plan.ics"));
    frame.SetCalendarPathChooser([&path](QWidget*) { return path; });
    QVERIFY(frame.OnCommand(ID_FILE_EXPORT_CALENDAR));
    QCOMPARE(host.messages.texts, QStringList{"Calendar file created successfully."});
    const std::string text = test::ReadTextFile(path.toStdString());
    QVERIFY(text.starts_with("BEGIN:VCALENDAR\r\n"));
    for (const FileTime day : {DaysFromToday(30), DaysFromToday(10)}) {
        QVERIFY2(text.find("DTSTART;VALUE=DATE:" + DateValue(day) + "\r\n") != std::string::npos,
                 DateValue(day).c_str());
    }
    for (const FileTime day : {DaysFromToday(5), DaysFromToday(40), DaysFromToday(-1)}) {
        QVERIFY2(text.find("DTSTART;VALUE=DATE:" + DateValue(day)) == std::string::npos,
                 DateValue(day).c_str());
    }
    QVERIFY(text.find("SUMMARY:Expiry: BHPXY9 (BHP)\r\n") != std::string::npos);
    QVERIFY(text.find("SUMMARY:Ex-dividend: BHP\r\n") != std::string::npos);
    QVERIFY(text.find("BHPOLD") == std::string::npos);
}

void CCalendarExportTest::AFileThatCannotBeWrittenIsExplained() {
    test::CTempFolder folder;
    test::CMainFrameTestHost host;
    CTradingPlanEntry row;
    row.m_CompanyID = "BHP";
    row.m_ContractID = "BHPXY9";
    row.m_DateExpiry = DaysFromToday(30);
    host.session.TradingPlan().Append(row);
    CMainFrame frame(host);
    const std::string path = folder.File("missing/plan.ics");
    frame.SetCalendarPathChooser([&path](QWidget*) { return QString::fromStdString(path); });
    QVERIFY(frame.OnCommand(ID_FILE_EXPORT_CALENDAR));
    QCOMPARE(host.messages.texts.size(), 1);
    const QString message = host.messages.texts.front();
    QVERIFY2(message.startsWith("The calendar could not be written.\n\n"), qPrintable(message));
    QVERIFY2(message.contains(QString::fromStdString(path)), qPrintable(message));
    QVERIFY(!std::filesystem::exists(path));
}

void CCalendarExportTest::TheDialogOffersACalendarInTheDocumentsFolder() {
    test::CTempFolder home;
    const std::string documents = home.File("Documents");
    std::filesystem::create_directories(documents);
    // Where the desktop keeps the user's folders.
    std::filesystem::create_directories(home.File("config"));
    test::WriteTextFile(home.File("config/user-dirs.dirs"),
                        "XDG_DOCUMENTS_DIR=\"" + documents + "\"\n");
    const test::CScopedEnv config("XDG_CONFIG_HOME", home.File("config").c_str());
    QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
             QString::fromStdString(documents));

    QString shownFolder;
    QString shownName;
    QStringList filters;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        answer.stop();
        shownFolder = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) {
            shownName = name->text();
            // A name without the suffix gets it.
            name->setText(QStringLiteral("June"));
        }
        static_cast<QDialog*>(dialog)->accept(); // as the Save button does
    });
    answer.start();
    const QString chosen = CMainFrame::AskCalendarPath(nullptr);
    QCOMPARE(shownFolder, QString::fromStdString(documents));
    QCOMPARE(shownName, QStringLiteral("Trading Plan.ics"));
    QCOMPARE(filters, (QStringList{"Calendar Files (*.ics)", "All Files (*)"}));
    QCOMPARE(chosen, QString::fromStdString(documents + "/June.ics"));
}

QTEST_MAIN(CCalendarExportTest)
#include "CalendarExportTest.moc"
