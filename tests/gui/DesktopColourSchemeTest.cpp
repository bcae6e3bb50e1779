// The program follows the desktop's light or dark colours, on the real program with its
// windows open: a dark application palette gives a user on the built-in scheme the dark
// default in the Call Report and the Trading Plan, a scheme of the user's own stays as it
// is, the settings keep what was stored, and a light palette brings the light default back.

#include "gui/app/DesktopColourScheme.h"

#include "gui/app/Application.h"
#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/plan/PlanViewColumns.h"
#include "gui/plan/TradingPlanTable.h"
#include "gui/plan/TradingPlanView.h"
#include "gui/reports/AnalyticsCells.h"
#include "gui/reports/ReportView.h"
#include "gui/settings/ColorSchemeDlg.h"
#include "gui/widgets/ComplexTableWnd.h"
#include "plan/PlanColumns.h"
#include "plan/PlanTestData.h"
#include "session/ApplicationState.h"
#include "storage/BuiltInSchemes.h"
#include "support/ProgramUnderTest.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/UserMessageLog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QImage>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace strikeline;

namespace {

// The first plan row, under its heading and its company's row.
constexpr int kPlanRow = 2;

using CProgram = test::CProgramUnderTest;

CColorScheme Stored(CSession& session) {
    const CApplicationStateLock lock(session.State());
    return session.State().ColorScheme();
}

void Store(CSession& session, const CColorScheme& scheme) {
    const CApplicationStateLock lock(session.State());
    session.State().SetColorScheme(scheme);
}

// What the open Call Report and Trading Plan draw with: the report's background, then the
// plan's heading, a plain cell's background and text, and its cyan fair price cell.
QList<Color> ShownColours(CMainFrame& frame) {
    auto* report = qobject_cast<CReportView*>(frame.GetView(ViewKind::CallReport, false, false));
    auto* plan =
        qobject_cast<CTradingPlanView*>(frame.GetView(ViewKind::TradingPlan, false, false));
    if (report == nullptr || plan == nullptr) {
        return {};
    }
    const CComplexTableWnd& table = plan->Table();
    const auto cell = [&table](std::string_view key) {
        return table.Cell(kPlanRow, PlanViewColumnOf(key));
    };
    return {report->Background(), table.Cell(0, 0)->m_Background,
            cell(PlanColumn::Shares)->m_Background, cell(PlanColumn::Shares)->m_TextColor,
            cell(PlanColumn::FairPrice)->m_Background};
}

// The same colours as `scheme` gives them.
QList<Color> SchemeColours(const CColorScheme& scheme) {
    return {scheme.Get(SchemeColor::ReportBk), scheme.Get(SchemeColor::OptionsHeaderBk),
            scheme.Get(SchemeColor::ReportBk), scheme.Get(SchemeColor::ReportFg),
            PlanCyanHighlight(scheme)};
}

// Sets the application palette as a desktop switch does, and lets the windows follow.
void UsePalette(const QPalette& palette) {
    QApplication::setPalette(palette);
    QTest::qWait(50);
}

QPalette DarkPalette() {
    return QPalette(QColor(60, 60, 60), QColor(40, 40, 40));
}

// Runs `act` on the colour scheme dialog once it is up; cancels it if `act` left it open.
void WhenDialog(std::function<void(CColorSchemeDlg*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<CColorSchemeDlg*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            const QPointer<CColorSchemeDlg> open = dialog;
            act(dialog);
            if (!open.isNull() && open->isVisible()) {
                open->reject();
            }
        }
    });
    timer->start();
}

} // namespace

class DesktopColourSchemeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QApplication::setApplicationName("Strikeline");
        m_LightPalette = QApplication::palette();
    }
    void cleanup() { QApplication::setPalette(m_LightPalette); }
    void ThePaletteTellsADarkDesktop();
    void TheBuiltInDefaultFollowsTheDesktop();
    void AUsersOwnSchemeStaysOnEitherDesktop();
    void TheDialogOnADarkDesktopKeepsTheDefaultStoredAsTheDefault();
    void TheWarningMarkAndTheTablesEdgesReadOnADarkDesktop();

private:
    // Opens the Call Report and the Trading Plan with one row in it.
    static void OpenWindows(CProgram& program) {
        program.Session().TradingPlan().Append(test::SoldCall());
        QVERIFY(program.Frame().OnCommand(ID_YIELD_CALL_REPORTS));
        QVERIFY(program.Frame().OnCommand(ID_TRADING_PLAN_OPEN));
        QVERIFY(!ShownColours(program.Frame()).isEmpty());
    }

    QPalette m_LightPalette;
};

void DesktopColourSchemeTest::ThePaletteTellsADarkDesktop() {
    QVERIFY(!CDesktopColourScheme::IsDark(m_LightPalette));
    QVERIFY(CDesktopColourScheme::IsDark(DarkPalette()));
    QVERIFY(!CDesktopColourScheme::IsDark(QPalette(QColor(200, 200, 200), QColor(230, 230, 230))));
    QVERIFY(!CDesktopColourScheme::DesktopIsDark());
    QApplication::setPalette(DarkPalette());
    QVERIFY(CDesktopColourScheme::DesktopIsDark());
}

void DesktopColourSchemeTest::TheBuiltInDefaultFollowsTheDesktop() {
    CProgram program;
    QVERIFY(program.Start());
    CMainFrame& frame = program.Frame();
    OpenWindows(program);
    QVERIFY(!program.Session().DarkDesktop());
    QCOMPARE(ShownColours(frame), SchemeColours(CColorScheme()));

    UsePalette(DarkPalette());
    QVERIFY(program.Session().DarkDesktop());
    QCOMPARE(ShownColours(frame), SchemeColours(DarkDefaultScheme()));
    QVERIFY(SchemeColours(DarkDefaultScheme()) != SchemeColours(CColorScheme()));
    // What is stored, and written with the settings, is still the light default.
    QCOMPARE(Stored(program.Session()), CColorScheme());

    UsePalette(m_LightPalette);
    QVERIFY(!program.Session().DarkDesktop());
    QCOMPARE(ShownColours(frame), SchemeColours(CColorScheme()));
}

void DesktopColourSchemeTest::AUsersOwnSchemeStaysOnEitherDesktop() {
    CColorScheme fromLight;
    fromLight.Set(SchemeColor::ReportBk, Rgb(250, 250, 240));
    fromLight.Set(SchemeColor::OptionsHeaderBk, Rgb(200, 220, 230));
    // Only the font differs from the dark default: still the user's own.
    CColorScheme fromDark = DarkDefaultScheme();
    fromDark.SetFontSize(11);
    for (const CColorScheme& own : {fromLight, fromDark}) {
        CProgram program;
        QVERIFY(program.Start());
        Store(program.Session(), own);
        OpenWindows(program);
        const QList<Color> shown = SchemeColours(own);
        QCOMPARE(ShownColours(program.Frame()), shown);
        UsePalette(DarkPalette());
        QCOMPARE(ShownColours(program.Frame()), shown);
        QCOMPARE(program.Session().ColorScheme(), own);
        UsePalette(m_LightPalette);
        QCOMPARE(ShownColours(program.Frame()), shown);
        QCOMPARE(Stored(program.Session()), own);
    }
}

void DesktopColourSchemeTest::TheDialogOnADarkDesktopKeepsTheDefaultStoredAsTheDefault() {
    CProgram program;
    QVERIFY(program.Start());
    CMainFrame& frame = program.Frame();
    OpenWindows(program);
    UsePalette(DarkPalette());

    // A user's own scheme: Restore Default gives the default the windows show, and OK keeps
    // "the default", which is light again on a light desktop.
    CColorScheme own;
    own.SetFontSize(12);
    Store(program.Session(), own);
    bool opened = false;
    WhenDialog([&opened](CColorSchemeDlg* dialog) {
        opened = true;
        QCOMPARE(dialog->Scheme().FontSize(), 12u);
        QTest::mouseClick(dialog->RestoreDefaultButton(), Qt::LeftButton);
        QCOMPARE(dialog->Scheme(), DarkDefaultScheme());
        auto* box = dialog->findChild<QDialogButtonBox*>();
        QVERIFY(box != nullptr);
        QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QVERIFY(frame.OnCommand(ID_EDIT_COLOUR_SCHEME));
    QVERIFY(opened);
    QCOMPARE(Stored(program.Session()), CColorScheme());
    QCOMPARE(ShownColours(frame), SchemeColours(DarkDefaultScheme()));

    // The dark default opens as shown; OK without a change stores nothing new.
    opened = false;
    WhenDialog([&opened](CColorSchemeDlg* dialog) {
        opened = true;
        QCOMPARE(dialog->Scheme(), DarkDefaultScheme());
        auto* box = dialog->findChild<QDialogButtonBox*>();
        QVERIFY(box != nullptr);
        QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QVERIFY(frame.OnCommand(ID_EDIT_COLOUR_SCHEME));
    QVERIFY(opened);
    QCOMPARE(Stored(program.Session()), CColorScheme());

    UsePalette(m_LightPalette);
    QCOMPARE(ShownColours(frame), SchemeColours(CColorScheme()));
}

// The analytics' warning mark reads on both backgrounds of a series row (the row's own and
// the one at the money) in either built-in scheme, and the table's edge past its cells
// takes the palette's base colour on screen, never white.
void DesktopColourSchemeTest::TheWarningMarkAndTheTablesEdgesReadOnADarkDesktop() {
    for (const CColorScheme& scheme : {CColorScheme(), DarkDefaultScheme()}) {
        for (const SchemeColor row : {SchemeColor::ReportBk, SchemeColor::StrikePriceBk}) {
            const Color background = scheme.Get(row);
            QVERIFY(ContrastRatio(AnalyticsWarningColor(background), background) >=
                    kReadableContrast);
        }
    }
    QCOMPARE(AnalyticsWarningColor(Rgb(255, 255, 255)), kAnalyticsWarningColor);

    QApplication::setPalette(DarkPalette());
    CComplexTableWnd table;
    table.resize(120, 60);
    const QImage picture = table.grab().toImage();
    QCOMPARE(picture.pixelColor(60, 30), DarkPalette().color(QPalette::Base));
}

QTEST_MAIN(DesktopColourSchemeTest)
#include "DesktopColourSchemeTest.moc"
