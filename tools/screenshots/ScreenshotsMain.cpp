// strikeline-screenshots --out DIR [--data DIR] [--wait-seconds N] [--high-dpi]
// Starts the program on the data folder (its own settings in a temporary folder, so the
// user's stay untouched), waits until the downloader has brought the newest data, and
// walks through the day's work as a user would: opens each window, ticks companies in the
// reports through their boxes, ticks series in the Short List through its table and types
// into the Trading Plan, saving a picture of each window into DIR. Then it starts itself
// again at 200% scaling for the large pictures. The README's pictures come from here, so
// they always show the program as it is.

#include "gui/app/Application.h"
#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/charts/ChartPanel.h"
#include "gui/charts/PayoffWindow.h"
#include "gui/journal/DividendsGrid.h"
#include "gui/journal/DividendsView.h"
#include "gui/journal/LeverageCalcView.h"
#include "gui/plan/PlanViewColumns.h"
#include "gui/plan/TradingPlanTable.h"
#include "gui/plan/TradingPlanView.h"
#include "gui/reports/ReportView.h"
#include "gui/reports/ShortListBlockTable.h"
#include "gui/reports/ShortListView.h"
#include "gui/reports/TrendChartCommand.h"
#include "gui/reports/TrendView.h"
#include "gui/settings/ColorSchemeDlg.h"
#include "gui/widgets/InPlaceEdit.h"
#include "journal/LeverageCalculator.h"
#include "session/ApplicationState.h"
#include "session/Session.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

using namespace strikeline;

namespace {

// The main window's size in the pictures, and the tool windows' where they may choose.
constexpr QSize kMainWindowSize(1280, 800);
constexpr QSize kReportSize(1060, 640);
constexpr QSize kShortListSize(1240, 560);
constexpr QSize kTradingPlanSize(1400, 330);
constexpr QSize kDiarySize(1100, 600);
constexpr QSize kTrendChartSize(900, 520);
constexpr QSize kPlanChartSize(900, 560);
// At 200% a picture holds four times the pixels: the main window keeps to the room the
// navigation centre needs, and the report to its width at 100%, where no column is cut.
constexpr QSize kLargeMainWindowSize(760, 620);
constexpr QSize kLargeReportSize(1060, 560);
// The screen of the 200% pictures, in device pixels, when Qt draws offscreen: a laptop's
// 2560 x 1600 panel, so that the windows have the room they would have there.
constexpr const char* kLargeScreen =
    R"({"screens": [{"name": "large", "x": 0, "y": 0, "width": 2560, "height": 1600,)"
    R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
// How long a window may take to build itself before the picture is taken anyway.
constexpr int kSettleLimitMs = 20000;

class CScreenshots {
public:
    CScreenshots(CApplication& app, QDir out) : m_App(app), m_Out(std::move(out)) {}

    CMainFrame& Frame() const { return *m_App.MainFrame(); }
    bool Ok() const { return m_Ok; }

    void Save(QWidget* window, const QString& name) {
        if (window == nullptr) {
            std::fprintf(stderr, "strikeline-screenshots: no window for %s\n", qPrintable(name));
            m_Ok = false;
            return;
        }
        Settle();
        const QString path = m_Out.filePath(name);
        if (!window->grab().save(path)) {
            std::fprintf(stderr, "strikeline-screenshots: cannot write %s\n", qPrintable(path));
            m_Ok = false;
            return;
        }
        std::printf("%s\n", qPrintable(path));
        std::fflush(stdout);
    }

    // Runs the command as the menu does and returns the view it opened (or activated).
    QWidget* Open(int command, ViewKind kind, QSize size = {}) {
        if (!Frame().OnCommand(command)) {
            std::fprintf(stderr, "strikeline-screenshots: command %d is disabled\n", command);
            m_Ok = false;
            return nullptr;
        }
        QWidget* view = Frame().GetView(kind, false, true);
        if (QMdiSubWindow* frame = FrameOf(view); frame != nullptr && !size.isEmpty()) {
            frame->resize(size);
            frame->move(0, 0);
        }
        Settle();
        return view;
    }

    static QMdiSubWindow* FrameOf(QWidget* view) {
        for (QWidget* widget = view; widget != nullptr; widget = widget->parentWidget()) {
            if (auto* frame = qobject_cast<QMdiSubWindow*>(widget)) {
                return frame;
            }
        }
        return nullptr;
    }

    // Lets the windows finish what they build in slices, then paint.
    static void Settle() {
        QElapsedTimer waited;
        waited.start();
        const auto busy = [] {
            for (QWidget* widget : QApplication::allWidgets()) {
                if (const auto* view = qobject_cast<CMultiTableView*>(widget);
                    view != nullptr && view->IsWorkPending()) {
                    return true;
                }
            }
            return false;
        };
        while (busy() && waited.elapsed() < kSettleLimitMs) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        QApplication::processEvents();
    }

private:
    CApplication& m_App;
    QDir m_Out;
    bool m_Ok = true;
};

// A left click as the mouse gives it, at a point of the widget.
void Click(QWidget& widget, QPoint point) {
    const QPointF global = widget.mapToGlobal(QPointF(point));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(point), global, Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(point), global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

void PressKey(QWidget& widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

// Ticks the company boxes of the first `count` blocks, as clicks do.
void TickCompanies(CReportView* report, int count) {
    if (report == nullptr) {
        return;
    }
    for (int i = 0; i < count && i < report->BlockCount(); ++i) {
        if (QCheckBox* box = report->CompanyCheckBox(i); box != nullptr && !box->isChecked()) {
            box->click();
            CScreenshots::Settle();
        }
    }
}

// Ticks the Trading Plan box of the series at the money (the one a writer usually takes)
// of `count` companies in the Short List, clicking the box cells.
void TickSeries(CShortListView* list, int count) {
    if (list == nullptr) {
        return;
    }
    const int box = CShortListBlockTable::CellOf(0);
    for (int b = 0; b < list->BlockCount() && count > 0; ++b) {
        CShortListBlockTable* block = list->Block(b);
        if (block == nullptr) {
            continue;
        }
        const int row = CShortListBlockTable::kFirstSeriesRow +
                        static_cast<int>(block->Block().atTheMoney.value_or(0));
        if (block->SeriesAt(row) == nullptr || block->IsPlanTicked(row)) {
            continue;
        }
        Click(*block, block->CellRect(row, box).center());
        CScreenshots::Settle();
        --count;
    }
}

// Types into a cell as the user does: click, Enter, the text, Enter.
void TypeInto(CComplexTableWnd& table, int row, int column, const QString& text) {
    Click(table, table.CellRect(row, column).center());
    if (!table.IsEditing()) {
        PressKey(table, Qt::Key_Return);
    }
    if (CInPlaceEdit* editor = table.ActiveEditor()) {
        editor->setText(text);
        PressKey(*editor, Qt::Key_Return);
    }
}

// Types a share count into each row of the plan, a little less each time.
void TypeShares(CTradingPlanView* plan) {
    if (plan == nullptr) {
        return;
    }
    const int column = PlanViewColumnOf("Shares");
    int shares = 3000;
    for (int row = 0; row < plan->Table().RowCount(); ++row) {
        if (plan->EntryAt(row) != nullptr && shares > 0) {
            TypeInto(plan->Table(), row, column, QString::number(shares));
            shares -= 1000;
        }
    }
}

void FillCalculator(CLeverageCalcView* calculator) {
    if (calculator == nullptr) {
        return;
    }
    calculator->InputEdit(LeverageField::Shares)->setText(QStringLiteral("2000"));
    calculator->InputEdit(LeverageField::PricePerShare)->setText(QStringLiteral("24.50"));
    calculator->InputEdit(LeverageField::InterestRate)->setText(QStringLiteral("7.85"));
    calculator->InputEdit(LeverageField::PeriodDays)->setText(QStringLiteral("90"));
    calculator->CalculateButton()->click();
}

// A year of closed trades in the Diary, one a month, so that its balances have months to
// draw; the figures are a writer's ordinary months, with two that lost.
void FillDiary(CDiaryDatabase& diary, const std::vector<std::string>& codes, FileTime now) {
    constexpr FileTime kDay = 86400LL * kFileTimeTicksPerSecond;
    constexpr double kProfits[] = {420, 515, -180, 610, 380, 290, 540, -95, 470, 360, 450, 505};
    if (codes.empty()) {
        return;
    }
    for (int month = 12; month >= 1; --month) {
        CDiaryEntry entry;
        entry.m_StartDate = now - static_cast<FileTime>(month * 30 + 3) * kDay;
        entry.m_CloseDate = entry.m_StartDate + 24 * kDay;
        entry.m_DateExpiry = entry.m_CloseDate;
        const std::string& code = codes[static_cast<std::size_t>(month) % codes.size()];
        entry.m_CompanyID = code;
        entry.m_ContractID = code + "XY" + std::to_string(month);
        entry.m_Shares = 2000;
        entry.m_Contracts = 2;
        entry.m_NEProfit = kProfits[12 - month];
        entry.m_EProfit = kProfits[12 - month];
        diary.AddEntry(std::move(entry));
    }
}

void TakeTour(CScreenshots& shots) {
    CMainFrame& frame = shots.Frame();
    shots.Save(&frame, QStringLiteral("main-window.png"));

    auto* call = qobject_cast<CReportView*>(
        shots.Open(ID_YIELD_CALL_REPORTS, ViewKind::CallReport, kReportSize));
    TickCompanies(call, 3);
    frame.GetView(ViewKind::CallReport, false, true);
    shots.Save(CScreenshots::FrameOf(call), QStringLiteral("call-report.png"));

    auto* put = qobject_cast<CReportView*>(
        shots.Open(ID_YIELD_PUT_REPORTS, ViewKind::PutReport, kReportSize));
    TickCompanies(put, 1);
    frame.GetView(ViewKind::PutReport, false, true);
    shots.Save(CScreenshots::FrameOf(put), QStringLiteral("put-report.png"));

    QWidget* settings = shots.Open(ID_EDIT_CALL_SETTINGS, ViewKind::CallSettings);
    shots.Save(CScreenshots::FrameOf(settings), QStringLiteral("call-settings.png"));

    auto* list = qobject_cast<CShortListView*>(
        shots.Open(ID_SHORT_LIST_OPEN, ViewKind::ShortList, kShortListSize));
    TickSeries(list, 2);
    frame.GetView(ViewKind::ShortList, false, true);
    shots.Save(CScreenshots::FrameOf(list), QStringLiteral("short-list.png"));

    auto* plan = qobject_cast<CTradingPlanView*>(
        shots.Open(ID_TRADING_PLAN_OPEN, ViewKind::TradingPlan, kTradingPlanSize));
    TypeShares(plan);
    shots.Save(CScreenshots::FrameOf(plan), QStringLiteral("trading-plan.png"));

    // A buy-write's payoff, and the plan's capital by the month its options expire.
    const CTradingPlanEntry* buyWrite = nullptr;
    for (int row = 0; plan != nullptr && row < plan->Table().RowCount(); ++row) {
        const CTradingPlanEntry* entry = plan->EntryAt(row);
        if (entry != nullptr && (buyWrite == nullptr || entry->m_SourceType == TYPE_SELL_CALL)) {
            buyWrite = entry;
        }
    }
    if (buyWrite != nullptr) {
        CPayoffView* payoff = OpenPayoffWindow(frame, PlanRowPosition(*buyWrite));
        if (QMdiSubWindow* window = CScreenshots::FrameOf(payoff)) {
            window->resize(kPlanChartSize);
            window->move(0, 0);
        }
        shots.Save(CScreenshots::FrameOf(payoff), QStringLiteral("payoff.png"));
    }
    QWidget* capital =
        shots.Open(ID_TRADING_PLAN_CAPITAL, ViewKind::CapitalByMonth, kPlanChartSize);
    shots.Save(CScreenshots::FrameOf(capital), QStringLiteral("capital-by-month.png"));

    std::vector<std::string> codes;
    if (call != nullptr) {
        for (const CReportBlock& block : call->Report().blocks) {
            codes.push_back(block.company->Code());
        }
    }
    FillDiary(frame.Session().Diary(), codes, CurrentFileTime());
    QWidget* diary = shots.Open(ID_DIARY, ViewKind::Diary, kDiarySize);
    shots.Save(CScreenshots::FrameOf(diary), QStringLiteral("diary.png"));

    // The stored year of a share's prices, drawn by the program itself.
    if (!codes.empty()) {
        frame.OnCommand(ID_VIEW_PRICE_HISTORY_CHARTS);
        CTrendView* trend = OpenTrendChart(frame, "", codes.front());
        if (QMdiSubWindow* window = CScreenshots::FrameOf(trend)) {
            window->resize(kTrendChartSize);
            window->move(0, 0);
        }
        shots.Save(CScreenshots::FrameOf(trend), QStringLiteral("price-history.png"));
        frame.OnCommand(ID_VIEW_PRICE_HISTORY_CHARTS);
    }

    auto* dividends =
        qobject_cast<CDividendsView*>(shots.Open(ID_YIELD_DIVIDENDS, ViewKind::Dividends));
    if (dividends != nullptr) {
        TypeInto(*dividends->Table(), CDividendsView::kFirstDataRow,
                 CDividendsView::kAverageTradesColumn, QStringLiteral("12"));
    }
    shots.Save(CScreenshots::FrameOf(dividends), QStringLiteral("dividends.png"));

    frame.OnCommand(ID_CALCULATOR);
    CScreenshots::Settle();
    auto* calculator = frame.findChild<CLeverageCalcView*>();
    FillCalculator(calculator);
    shots.Save(CScreenshots::FrameOf(calculator), QStringLiteral("leverage-calculator.png"));

    // The command runs the dialog modally; here it is shown without waiting for a click.
    CColorSchemeDlg dialog(frame.Session().ColorScheme(), frame.Session().Messages(), &frame);
    dialog.show();
    shots.Save(&dialog, QStringLiteral("colour-scheme.png"));
    dialog.close();
}

// The same main window and Call Report at the scaling this process was started with.
void TakeLargeTour(CScreenshots& shots) {
    CMainFrame& frame = shots.Frame();
    frame.resize(kLargeMainWindowSize);
    shots.Save(&frame, QStringLiteral("main-window-200.png"));
    auto* call = qobject_cast<CReportView*>(
        shots.Open(ID_YIELD_CALL_REPORTS, ViewKind::CallReport, kLargeReportSize));
    TickCompanies(call, 2);
    shots.Save(CScreenshots::FrameOf(call), QStringLiteral("call-report-200.png"));
}

// Takes the 200% pictures in a new process: the scaling is fixed when Qt starts.
bool RunLargeTour(const QCommandLineParser& parser, const QString& data) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    QTemporaryDir scratch;
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QFile screen(scratch.filePath(QStringLiteral("screen.json")));
        if (!screen.open(QIODevice::WriteOnly) || screen.write(kLargeScreen) < 0) {
            return false;
        }
        screen.close();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                           QStringLiteral("offscreen:configfile=") + screen.fileName());
    }
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--out"), parser.value("out"), QStringLiteral("--data"), data,
                 QStringLiteral("--wait-seconds"), parser.value("wait-seconds"),
                 QStringLiteral("--high-dpi")});
    return child.waitForFinished(-1) && child.exitStatus() == QProcess::NormalExit &&
           child.exitCode() == 0;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Strikeline"));
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"out", "Folder for the pictures.", "dir"});
    parser.addOption({"data", "The program's data folder (default: a new empty one).", "dir"});
    parser.addOption({"wait-seconds", "How long to wait for the data.", "n", "30"});
    parser.addOption({"high-dpi", "Take only the 200% pictures, at the scaling Qt was started "
                                  "with (QT_SCALE_FACTOR)."});
    parser.process(application);
    if (!parser.isSet("out")) {
        parser.showHelp(2);
    }
    const QDir out(parser.value("out"));
    QDir().mkpath(out.path());

    QTemporaryDir scratch;
    const QString data = parser.isSet("data") ? parser.value("data") : scratch.filePath("data");
    CStartOptions options;
    options.dataFolder = data.toStdString();
    options.settingsPath = scratch.filePath("settings.reg").toStdString();
    options.instanceName = scratch.filePath("instance");
    options.showMaximized = false;
    bool ok = false;
    {
        CApplication app(options);
        // A message box would wait for a click that never comes: print it instead.
        app.Messages().SetUnattended(true);
        if (!app.InitInstance()) {
            return 1;
        }
        CMainFrame& frame = *app.MainFrame();
        frame.resize(kMainWindowSize);
        QElapsedTimer waited;
        waited.start();
        const qint64 limit = parser.value("wait-seconds").toLongLong() * 1000;
        while (waited.elapsed() < limit &&
               (frame.DataPane()->text().contains("unknown") || !app.DownloaderStatus().empty())) {
            QApplication::processEvents(QEventLoop::AllEvents, 100);
        }
        // The pictures show the analytics columns filled in, as a user sees them a moment
        // after the market arrives.
        while (waited.elapsed() < limit && app.Session().Analytics() == nullptr) {
            QApplication::processEvents(QEventLoop::AllEvents, 100);
        }
        frame.UpdateStatusBar();
        CScreenshots shots(app, out);
        if (parser.isSet("high-dpi")) {
            TakeLargeTour(shots);
        } else {
            TakeTour(shots);
        }
        ok = shots.Ok();
        frame.close();
        QApplication::processEvents();
        if (app.ExitInstance(ok ? 0 : 1) != 0) {
            return 1;
        }
    }
    if (!parser.isSet("high-dpi") && !RunLargeTour(parser, data)) {
        ok = false;
    }
    return ok ? 0 : 1;
}
