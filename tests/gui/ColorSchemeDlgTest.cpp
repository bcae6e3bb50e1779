// The colour scheme dialog, its colour buttons and the "Colour Scheme..." command, driven
// with real clicks and keys: what the controls show, how colours, fonts and scheme files
// change the edited copy and its preview, and what OK and Cancel leave behind.

#include "gui/settings/ColorSchemeDlg.h"

#include "gui/app/Application.h"
#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/charts/ChartPanel.h"
#include "gui/settings/ColorButtonWnd.h"
#include "gui/settings/ColourSchemeCommand.h"
#include "gui/widgets/ComplexTableWnd.h"
#include "gui/widgets/QtColor.h"
#include "session/ApplicationState.h"
#include "support/ProgramUnderTest.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/UserMessageLog.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

using namespace strikeline;

namespace {

constexpr int kNormalText = 0;
constexpr int kStrikePrice = 3;
constexpr int kLeverageCost = 6;

// The preview's rows: company header, company values, series header, then the series (the
// first is at the money: its strike is nearest the share price) with the leveraged line
// under it.
constexpr int kValuesRow = 1;
constexpr int kFirstSeriesRow = 3;
constexpr int kLeveragedRow = 4;
constexpr int kFairPriceColumn = 4;

using CMessageLog = test::CUserMessageLog;

// Runs `act` on the modal window of type T once it is up (a modal dialog holds the test
// inside its own event loop until `act` ends it). A window that `act` left open, because
// a check in it failed, is cancelled so that the test ends instead of waiting.
template <typename T> void WhenModal(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            const QPointer<T> open = window;
            act(window);
            if (!open.isNull() && open->isVisible()) {
                open->reject();
            }
        }
    });
    timer->start();
}

void ClickOk(QDialog* dialog) {
    auto* box = dialog->findChild<QDialogButtonBox*>();
    QVERIFY(box != nullptr);
    QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

void ClickCancel(QDialog* dialog) {
    auto* box = dialog->findChild<QDialogButtonBox*>();
    QVERIFY(box != nullptr);
    QTest::mouseClick(box->button(QDialogButtonBox::Cancel), Qt::LeftButton);
}

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->itemText(i);
    }
    return items;
}

// A scheme unlike the defaults in every field.
CColorScheme CustomScheme(const QString& face) {
    CColorScheme scheme;
    scheme.SetFontStyle(face.toStdString());
    scheme.SetFontSize(12);
    for (std::size_t i = 0; i < kSchemeColorCount; ++i) {
        const auto value = static_cast<std::uint32_t>(i);
        scheme.Set(static_cast<SchemeColor>(i), Rgb(10 + value, 20 + value, 30 + value));
    }
    return scheme;
}

// Listed faces a test can tell apart by name, whatever else the machine has installed:
// their names have lower-case letters (some families are named in capitals and digits
// only), they draw lower-case text, and asking for one gives that very face.
QStringList DistinctFaces() {
    QStringList faces;
    for (const QString& family : CColorSchemeDlg::FontFamilies()) {
        const QFont font(family);
        if (family.toUpper() != family && QFontInfo(font).family() == family &&
            QFontMetrics(font).inFont(QLatin1Char('a'))) {
            faces << family;
        }
    }
    return faces;
}

QString AnInstalledFace(int index = 0) {
    const QStringList faces = DistinctFaces();
    return faces.isEmpty() ? QString() : faces.at(index % faces.size());
}

// The face the dialog's preview is drawn with.
QString FaceInUse(const CColorSchemeDlg& dialog) {
    return QFontInfo(dialog.PreviewTable()->font()).family();
}

// The colour chooser as the dialog uses it, counting how often it was asked.
struct CChooserLog {
    int calls = 0;
    QColor initial;
    std::optional<QColor> answer;
};

void UseChooser(CColorSchemeDlg& dialog, CChooserLog& log) {
    dialog.SetColorChooser([&log](const QColor& initial, QWidget*) {
        ++log.calls;
        log.initial = initial;
        return log.answer;
    });
}

QColor PixelAt(QWidget* widget, const QPoint& point) {
    return widget->grab().toImage().pixelColor(point * widget->devicePixelRatioF());
}

void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               const QPoint& point) {
    QMouseEvent event(type, point, widget->mapToGlobal(point), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The real program on its own folders, with its main window shown, and a log of what the
// test's own windows and commands did.
class CProgram : public test::CProgramUnderTest {
public:
    QStringList& Log() { return m_Log; }

    // A table window of `kind` that logs its refreshes under `name`, opened by `command`.
    void OpenLoggingView(ViewKind kind, int command, const QString& name) {
        Frame().RegisterView(kind, {name, true, true, {}, [this, name] {
                                        return new CLoggingView(name, m_Log);
                                    }});
        Frame().OnCommand(command);
    }

private:
    class CLoggingView : public QLabel, public CRefreshableView {
    public:
        CLoggingView(const QString& name, QStringList& log) : QLabel(name), m_Log(log) {}
        void RefreshView() override { m_Log << text(); }

    private:
        QStringList& m_Log;
    };
    QStringList m_Log;
};

CColorScheme CurrentScheme(CMainFrame& frame) {
    return frame.Session().ColorScheme();
}

void SetCurrentScheme(CMainFrame& frame, const CColorScheme& scheme) {
    CApplicationState& state = frame.Session().State();
    const CApplicationStateLock lock(state);
    state.SetColorScheme(scheme);
}

// Where the dialogs of these tests send their messages.
CMessageLog& Messages() {
    static CMessageLog log;
    return log;
}

} // namespace

class ColorSchemeDlgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationName("Strikeline"); }
    void OpensWithTheControlsInTheirOrder();
    void ControlsShowTheScheme();
    void AFaceNotInstalledShowsTheFaceInUseAndStays_data();
    void AFaceNotInstalledShowsTheFaceInUseAndStays();
    void ASizeNotListedShowsNoSelectionAndStays();
    void HelpLineFollowsTheMouseButtons();
    void FontListIsSortedAndSizesRunFromSevenToSixteen();
    void ChoosingAFontOrSizeRedrawsThePreview();
    void PrimaryClickEditsTheBackgroundSecondaryTheText();
    void TheDesktopColourChooserIsUsed();
    void CancelledColourChooserChangesNothing();
    void AClickCountsOnlyWhenReleasedOverTheButton();
    void ColourButtonsWorkFromTheKeyboard();
    void ColourButtonPaintsItsColours();
    void PreviewIsAReportBlockWiderThanItsArea();
    void RestoreDefaultPutsBackEveryField();
    void LoadColorsReadsAScheme();
    void LoadColorsWithABadFileShowsWhyAndKeepsTheScheme();
    void SaveColorsWritesTheSchemeOrSaysItCannot();
    void CancelledFileChoosersDoNothing();
    void OkMakesTheSchemeCurrentSavesAndRefreshesInOrder();
    void TheCommandAsksForTheMouseButtonsEachTimeItOpens();
    void CancelAfterRestoreDefaultLeavesTheCurrentScheme();
    void OkDrawsOpenChartsInTheNewScheme();
};

void ColorSchemeDlgTest::OpensWithTheControlsInTheirOrder() {
    CColorSchemeDlg dialog(CColorScheme(), Messages());
    QCOMPARE(dialog.windowTitle(), QString("Colour Scheme Settings"));
    QStringList captions;
    for (int i = 0; i < CColorSchemeDlg::kButtonCount; ++i) {
        captions << dialog.ColorButton(i)->Caption();
    }
    QCOMPARE(captions,
             (QStringList{"Normal Text", "Company Header", "Options Header", "Strike Price",
                          "ASX Fair Price", "Return %", "Leverage Cost"}));
    QVERIFY(dialog.ColorButton(CColorSchemeDlg::kButtonCount) == nullptr);
    QCOMPARE(dialog.RestoreDefaultButton()->text(), QString("Restore Default"));
    QCOMPARE(dialog.LoadButton()->text(), QString("Load Colors"));
    QCOMPARE(dialog.SaveButton()->text(), QString("Save Colors"));
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        labels << label->text();
    }
    QVERIFY(labels.contains("Font Style:"));
    QVERIFY(labels.contains("Font Size:"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Top to bottom: help line, colour buttons, font lists, file buttons, preview.
    const auto top = [&dialog](QWidget* widget) {
        return widget->mapTo(&dialog, QPoint(0, 0)).y();
    };
    QVERIFY(top(dialog.HelpLabel()) < top(dialog.ColorButton(0)));
    QVERIFY(top(dialog.ColorButton(0)) < top(dialog.ColorButton(kLeverageCost)));
    QVERIFY(top(dialog.ColorButton(kLeverageCost)) < top(dialog.FontList()));
    QCOMPARE(top(dialog.FontList()), top(dialog.SizeList()));
    QVERIFY(top(dialog.FontList()) < top(dialog.LoadButton()));
    QVERIFY(top(dialog.LoadButton()) < top(dialog.PreviewArea()));
}

void ColorSchemeDlgTest::ControlsShowTheScheme() {
    const QString face = AnInstalledFace(1);
    QVERIFY(!face.isEmpty());
    const CColorScheme scheme = CustomScheme(face);
    CColorSchemeDlg dialog(scheme, Messages());
    QCOMPARE(dialog.FontList()->currentText(), face);
    QCOMPARE(dialog.SizeList()->currentText(), QString("12"));
    const SchemeColor pairs[][2] = {{SchemeColor::ReportBk, SchemeColor::ReportFg},
                                    {SchemeColor::CompanyHeaderBk, SchemeColor::CompanyHeaderFg},
                                    {SchemeColor::OptionsHeaderBk, SchemeColor::OptionsHeaderFg},
                                    {SchemeColor::StrikePriceBk, SchemeColor::StrikePriceFg},
                                    {SchemeColor::ASXFairPriceBk, SchemeColor::ASXFairPriceFg},
                                    {SchemeColor::ReturnPercentsBk, SchemeColor::ReturnPercentsFg},
                                    {SchemeColor::LeverageCostBk, SchemeColor::LeverageCostFg}};
    for (int i = 0; i < CColorSchemeDlg::kButtonCount; ++i) {
        const CColorButtonWnd* button = dialog.ColorButton(i);
        QCOMPARE(button->Background(), scheme.Get(pairs[i][0]));
        QCOMPARE(button->TextColor(), scheme.Get(pairs[i][1]));
    }
    // Showing the scheme changed nothing in it.
    QCOMPARE(dialog.Scheme(), scheme);
}

void ColorSchemeDlgTest::AFaceNotInstalledShowsTheFaceInUseAndStays_data() {
    QTest::addColumn<QString>("face");
    QTest::newRow("the default face") << "Times New Roman";
    QTest::newRow("no such face") << "No Such Face Anywhere";
    // The list holds the installed spelling; the system still finds the face.
    QTest::newRow("other letter case") << AnInstalledFace().toUpper();
}

void ColorSchemeDlgTest::AFaceNotInstalledShowsTheFaceInUseAndStays() {
    QFETCH(QString, face);
    if (CColorSchemeDlg::FontFamilies().contains(face)) {
        QSKIP("the face is installed here");
    }
    CColorScheme scheme;
    scheme.SetFontStyle(face.toStdString());
    CColorSchemeDlg dialog(scheme, Messages());
    // The list shows what the tables are drawn with, not nothing.
    QVERIFY(!FaceInUse(dialog).isEmpty());
    QCOMPARE(dialog.FontList()->currentText(), FaceInUse(dialog));
    QVERIFY(dialog.FontList()->currentIndex() >= 0);
    // The scheme keeps the name it was given.
    QCOMPARE(dialog.Scheme().FontStyle(), face.toStdString());
    QCOMPARE(dialog.PreviewTable()->font().family(), face);
}

void ColorSchemeDlgTest::ASizeNotListedShowsNoSelectionAndStays() {
    CColorScheme scheme;
    scheme.SetFontSize(20);
    CColorSchemeDlg dialog(scheme, Messages());
    QCOMPARE(dialog.SizeList()->currentIndex(), -1);
    QCOMPARE(dialog.Scheme().FontSize(), 20u);
}

void ColorSchemeDlgTest::HelpLineFollowsTheMouseButtons() {
    CColorSchemeDlg usual(CColorScheme(), Messages());
    QCOMPARE(usual.HelpLabel()->text(),
             QString("Left-click the button to select highlight colour, right-click to change "
                     "the font colour."));
    CColorSchemeDlg swapped(CColorScheme(), Messages(), nullptr, true);
    QCOMPARE(swapped.HelpLabel()->text(),
             QString("Right-click the button to select highlight colour, left-click to change "
                     "the font colour."));
    // The primary button still edits the background.
    CChooserLog log;
    log.answer = QColor(1, 2, 3);
    UseChooser(swapped, log);
    swapped.show();
    QVERIFY(QTest::qWaitForWindowExposed(&swapped));
    QTest::mouseClick(swapped.ColorButton(kNormalText), Qt::LeftButton);
    QCOMPARE(swapped.Scheme().Get(SchemeColor::ReportBk), Rgb(1, 2, 3));
    QCOMPARE(swapped.Scheme().Get(SchemeColor::ReportFg),
             CColorScheme().Get(SchemeColor::ReportFg));
}

void ColorSchemeDlgTest::FontListIsSortedAndSizesRunFromSevenToSixteen() {
    CColorSchemeDlg dialog(CColorScheme(), Messages());
    const QStringList fonts = Items(dialog.FontList());
    QVERIFY(!fonts.isEmpty());
    QCOMPARE(fonts, CColorSchemeDlg::FontFamilies());
    for (int i = 1; i < fonts.size(); ++i) {
        QVERIFY2(fonts[i - 1].compare(fonts[i], Qt::CaseInsensitive) <= 0, qPrintable(fonts[i]));
    }
    QCOMPARE(Items(dialog.SizeList()),
             (QStringList{"7", "8", "9", "10", "11", "12", "13", "14", "15", "16"}));
    QCOMPARE(dialog.SizeList()->currentText(), QString("8"));
}

void ColorSchemeDlgTest::ChoosingAFontOrSizeRedrawsThePreview() {
    CColorSchemeDlg dialog(CColorScheme(), Messages());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QPointer<CComplexTableWnd> first = dialog.PreviewTable();
    QVERIFY(first != nullptr);

    dialog.SizeList()->setFocus();
    QTest::keyClick(dialog.SizeList(), Qt::Key_End);
    QCOMPARE(dialog.Scheme().FontSize(), 16u);
    QTRY_VERIFY(first.isNull()); // replaced, not stacked
    QCOMPARE(dialog.PreviewTable()->font().pointSize(), 16);
    QCOMPARE(
        dialog.PreviewArea()->findChildren<CComplexTableWnd*>(Qt::FindDirectChildrenOnly).size(),
        1);

    // Another face than the one shown: the first, or the last when the first is shown.
    QVERIFY(dialog.FontList()->count() > 1);
    const bool firstShown = dialog.FontList()->currentIndex() == 0;
    dialog.FontList()->setFocus();
    QTest::keyClick(dialog.FontList(), firstShown ? Qt::Key_End : Qt::Key_Home);
    const QString face =
        dialog.FontList()->itemText(firstShown ? dialog.FontList()->count() - 1 : 0);
    QCOMPARE(dialog.Scheme().FontStyle(), face.toStdString());
    QCOMPARE(dialog.PreviewTable()->font().family(), QFont(face).family());
    QCOMPARE(dialog.Scheme().FontSize(), 16u);
}

void ColorSchemeDlgTest::PrimaryClickEditsTheBackgroundSecondaryTheText() {
    CColorSchemeDlg dialog(CColorScheme(), Messages());
    CChooserLog log;
    UseChooser(dialog, log);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    CColorButtonWnd* strike = dialog.ColorButton(kStrikePrice);

    log.answer = QColor(0, 128, 255);
    QTest::mouseClick(strike, Qt::LeftButton);
    QCOMPARE(log.calls, 1);
    QCOMPARE(log.initial, QColor(255, 255, 0)); // the current highlight
    QCOMPARE(strike->LastButton(), Qt::LeftButton);
    QCOMPARE(dialog.Scheme().Get(SchemeColor::StrikePriceBk), Rgb(0, 128, 255));
    QCOMPARE(strike->Background(), Rgb(0, 128, 255));

    log.answer = QColor(200, 0, 0);
    QTest::mouseClick(strike, Qt::RightButton);
    QCOMPARE(log.calls, 2);
    QCOMPARE(log.initial, QColor(0, 0, 0)); // the current text colour
    QCOMPARE(strike->LastButton(), Qt::RightButton);
    QCOMPARE(dialog.Scheme().Get(SchemeColor::StrikePriceFg), Rgb(200, 0, 0));
    QCOMPARE(strike->TextColor(), Rgb(200, 0, 0));
    QCOMPARE(dialog.Scheme().Get(SchemeColor::StrikePriceBk), Rgb(0, 128, 255));

    // The at-the-money series of the preview shows the new pair at once.
    const CComplexTableWnd* preview = dialog.PreviewTable();
    QCOMPARE(preview->Cell(kFirstSeriesRow, 0)->m_Background, Rgb(0, 128, 255));
    QCOMPARE(preview->Cell(kFirstSeriesRow, 0)->m_TextColor, Rgb(200, 0, 0));
    // Only the Strike Price pair changed.
    CColorScheme expected;
    expected.Set(SchemeColor::StrikePriceBk, Rgb(0, 128, 255));
    expected.Set(SchemeColor::StrikePriceFg, Rgb(200, 0, 0));
    QCOMPARE(dialog.Scheme(), expected);
}

void ColorSchemeDlgTest::TheDesktopColourChooserIsUsed() {
    CColorSchemeDlg dialog(CColorScheme(), Messages());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QColor offered;
    WhenModal<QColorDialog>([&offered](QColorDialog* chooser) {
        offered = chooser->currentColor();
        chooser->setCurrentColor(QColor(12, 34, 56));
        chooser->accept();
    });
    QTest::mouseClick(dialog.ColorButton(kLeverageCost), Qt::LeftButton);
    QCOMPARE(offered, QColor(210, 0, 79));
    QCOMPARE(dialog.Scheme().Get(SchemeColor::LeverageCostBk), Rgb(12, 34, 56));
    QCOMPARE(dialog.PreviewTable()->Cell(kLeveragedRow, 0)->m_Background, Rgb(12, 34, 56));
}

void ColorSchemeDlgTest::CancelledColourChooserChangesNothing() {
    CColorSchemeDlg dialog(CColorScheme(), Messages());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QPointer<CComplexTableWnd> preview = dialog.PreviewTable();
    WhenModal<QColorDialog>([](QColorDialog* chooser) {
        chooser->setCurrentColor(QColor(12, 34, 56));
        chooser->reject();
    });
    QTest::mouseClick(dialog.ColorButton(kNormalText), Qt::RightButton);
    QCOMPARE(dialog.Scheme(), CColorScheme());
    QCOMPARE(dialog.ColorButton(kNormalText)->TextColor(), Color{0});
    QVERIFY(!preview.isNull()); // nothing to redraw
}

void ColorSchemeDlgTest::AClickCountsOnlyWhenReleasedOverTheButton() {
    CColorSchemeDlg dialog(CColorScheme(), Messages());
    CChooserLog log;
    log.answer = QColor(9, 9, 9);
    UseChooser(dialog, log);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    CColorButtonWnd* button = dialog.ColorButton(kNormalText);
    const QPoint inside = button->rect().center();
    const QPoint outside(button->width() + 20, button->height() + 20);

    SendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, inside);
    QVERIFY(button->IsPressedInside());
    SendMouse(button, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, outside);
    QVERIFY(!button->IsPressedInside());
    SendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, outside);
    QCOMPARE(log.calls, 0);
    QCOMPARE(dialog.Scheme(), CColorScheme());

    // Back over the button before letting go counts; another button's release does not.
    SendMouse(button, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, inside);
    SendMouse(button, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, outside);
    SendMouse(button, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, inside);
    QVERIFY(button->IsPressedInside());
    SendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::RightButton, inside);
    QCOMPARE(log.calls, 0);
    SendMouse(button, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, inside);
    QCOMPARE(log.calls, 1);
    QVERIFY(!button->IsPressedInside());
    QCOMPARE(dialog.Scheme().Get(SchemeColor::ReportFg), Rgb(9, 9, 9));
}

void ColorSchemeDlgTest::ColourButtonsWorkFromTheKeyboard() {
    CColorSchemeDlg dialog(CColorScheme(), Messages());
    CChooserLog log;
    UseChooser(dialog, log);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    CColorButtonWnd* header = dialog.ColorButton(1);
    header->setFocus();
    QTRY_VERIFY(header->hasFocus());

    log.answer = QColor(1, 1, 1);
    QTest::keyClick(header, Qt::Key_Space);
    QCOMPARE(dialog.Scheme().Get(SchemeColor::CompanyHeaderBk), Rgb(1, 1, 1));
    log.answer = QColor(2, 2, 2);
    QTest::keyClick(header, Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(dialog.Scheme().Get(SchemeColor::CompanyHeaderFg), Rgb(2, 2, 2));
    log.answer = QColor(3, 3, 3);
    QTest::keyClick(header, Qt::Key_Menu);
    QCOMPARE(dialog.Scheme().Get(SchemeColor::CompanyHeaderFg), Rgb(3, 3, 3));
    // Enter on a colour button edits its colour and does not end the dialog.
    log.answer = QColor(4, 4, 4);
    QTest::keyClick(header, Qt::Key_Return);
    QCOMPARE(dialog.Scheme().Get(SchemeColor::CompanyHeaderBk), Rgb(4, 4, 4));
    QVERIFY(dialog.isVisible());
    QCOMPARE(log.calls, 4);

    // Tab walks the dialog from top to bottom.
    auto* box = dialog.findChild<QDialogButtonBox*>();
    QVERIFY(box != nullptr);
    QList<QWidget*> expected;
    for (int i = 2; i < CColorSchemeDlg::kButtonCount; ++i) {
        expected << dialog.ColorButton(i);
    }
    expected << dialog.FontList() << dialog.SizeList() << dialog.RestoreDefaultButton()
             << dialog.LoadButton() << dialog.SaveButton() << box->button(QDialogButtonBox::Ok)
             << box->button(QDialogButtonBox::Cancel);
    QList<QWidget*> visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    }
    QCOMPARE(visited, expected);
}

void ColorSchemeDlgTest::ColourButtonPaintsItsColours() {
    CColorButtonWnd button(QStringLiteral("Return %"));
    button.SetColors(Rgb(87, 174, 0), Rgb(255, 255, 255));
    button.resize(120, 40);
    const QImage picture = button.grab().toImage();
    QCOMPARE(picture.pixelColor(QPoint(3, 3) * button.devicePixelRatioF()), QColor(87, 174, 0));
    // Smoothed glyphs need not cover a whole pixel in every font: a pixel nearer the text
    // colour than the background is text.
    bool textDrawn = false;
    for (int y = 0; y < picture.height() && !textDrawn; ++y) {
        for (int x = 0; x < picture.width() && !textDrawn; ++x) {
            textDrawn = picture.pixelColor(x, y).blue() > 127;
        }
    }
    QVERIFY(textDrawn);
    // The pressed look moves the caption, so the picture changes.
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    SendMouse(&button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton,
              button.rect().center());
    QVERIFY(button.IsPressedInside());
    const QImage pressed = button.grab().toImage();
    SendMouse(&button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton,
              button.rect().center());
    QVERIFY(!button.IsPressedInside());
    const QImage released = button.grab().toImage();
    QVERIFY(pressed != released);
    QCOMPARE(PixelAt(&button, QPoint(3, 3)), QColor(87, 174, 0));
}

void ColorSchemeDlgTest::PreviewIsAReportBlockWiderThanItsArea() {
    CColorScheme scheme = CustomScheme(AnInstalledFace());
    CColorSchemeDlg dialog(scheme, Messages());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const CComplexTableWnd* preview = dialog.PreviewTable();
    QVERIFY(preview != nullptr);
    QCOMPARE(preview->parentWidget(), dialog.PreviewArea());
    QCOMPARE(preview->width(), dialog.PreviewArea()->width() * 3 / 2);
    QCOMPARE(preview->height(), dialog.PreviewArea()->height());
    QVERIFY(preview->isVisible());

    // The sample share XYZ without a P/E, then the series XYZA1 to XYZA8.
    QCOMPARE(preview->CellCount(0), 9);
    QCOMPARE(preview->Cell(0, 0)->m_Text, QString("Company Name"));
    QCOMPARE(preview->Cell(kValuesRow, 0)->m_Text, QString("XYZ"));
    QCOMPARE(preview->Cell(kValuesRow, 1)->m_Text, QString("1.375"));
    QCOMPARE(preview->Cell(kFirstSeriesRow, 0)->m_Text, QString("XYZA1"));
    QCOMPARE(preview->RowCount(), kFirstSeriesRow + 8 + 1);
    QCOMPARE(preview->Cell(preview->RowCount() - 1, 0)->m_Text, QString("XYZA8"));
    QCOMPARE(preview->CellCount(kLeveragedRow), 6);

    // Every colour pair of the scheme is in use.
    QCOMPARE(preview->Cell(0, 0)->m_Background, scheme.Get(SchemeColor::CompanyHeaderBk));
    QCOMPARE(preview->Cell(0, 0)->m_TextColor, scheme.Get(SchemeColor::CompanyHeaderFg));
    QCOMPARE(preview->Cell(kValuesRow, 1)->m_Background, scheme.Get(SchemeColor::ReportBk));
    QCOMPARE(preview->Cell(kValuesRow, 1)->m_TextColor, scheme.Get(SchemeColor::ReportFg));
    QCOMPARE(preview->Cell(2, 0)->m_Background, scheme.Get(SchemeColor::OptionsHeaderBk));
    QCOMPARE(preview->Cell(2, 0)->m_TextColor, scheme.Get(SchemeColor::OptionsHeaderFg));
    QCOMPARE(preview->Cell(kFirstSeriesRow, 0)->m_Background,
             scheme.Get(SchemeColor::StrikePriceBk));
    QCOMPARE(preview->Cell(kFirstSeriesRow, kFairPriceColumn)->m_Background,
             scheme.Get(SchemeColor::ASXFairPriceBk));
    QCOMPARE(preview->Cell(kFirstSeriesRow, 8)->m_Background,
             scheme.Get(SchemeColor::ReturnPercentsBk));
    QCOMPARE(preview->Cell(kLeveragedRow, 0)->m_TextColor, scheme.Get(SchemeColor::LeverageCostFg));
    QCOMPARE(preview->Cell(kLeveragedRow + 1, 0)->m_Background, scheme.Get(SchemeColor::ReportBk));
    // Drawn in the scheme's font.
    QCOMPARE(preview->font().family(), QFont(QString::fromStdString(scheme.FontStyle())).family());
    QCOMPARE(preview->font().pointSize(), 12);
    // The area shows the table's colours.
    const QPoint valuesCell = preview->CellRect(kValuesRow, 2).topLeft() + QPoint(2, 2);
    QCOMPARE(PixelAt(dialog.PreviewArea(), valuesCell).rgb() & 0xFFFFFF,
             ToQColor(scheme.Get(SchemeColor::ReportBk)).rgb() & 0xFFFFFF);
}

void ColorSchemeDlgTest::RestoreDefaultPutsBackEveryField() {
    CColorSchemeDlg dialog(CustomScheme(AnInstalledFace()), Messages());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.RestoreDefaultButton(), Qt::LeftButton);
    QCOMPARE(dialog.Scheme(), CColorScheme());
    QCOMPARE(dialog.ColorButton(kStrikePrice)->Background(), Rgb(255, 255, 0));
    QCOMPARE(dialog.SizeList()->currentText(), QString("8"));
    QCOMPARE(dialog.FontList()->currentText(), FaceInUse(dialog));
    QCOMPARE(dialog.PreviewTable()->Cell(0, 0)->m_Background, Rgb(170, 170, 170));
}

void ColorSchemeDlgTest::LoadColorsReadsAScheme() {
    test::CTempFolder folder;
    const std::string path = folder.File("blue.slclr");
    test::WriteTextFile(path, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
                              "<Settings>\n<ReportBk>0,0,255</ReportBk>\n</Settings>\n");
    CColorSchemeDlg dialog(CustomScheme(AnInstalledFace()), Messages());
    dialog.SetOpenFileChooser([&path](QWidget*) { return QString::fromStdString(path); });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    CMessageLog& messages = Messages();
    messages.texts.clear();
    QTest::mouseClick(dialog.LoadButton(), Qt::LeftButton);
    QVERIFY(messages.texts.isEmpty());
    // What the file lacks takes the defaults, not the edited values.
    CColorScheme expected;
    expected.Set(SchemeColor::ReportBk, 0xFF0000);
    QCOMPARE(dialog.Scheme(), expected);
    QCOMPARE(dialog.ColorButton(kNormalText)->Background(), Color{0xFF0000});
    QCOMPARE(dialog.PreviewTable()->Cell(kValuesRow, 1)->m_Background, Color{0xFF0000});
}

void ColorSchemeDlgTest::LoadColorsWithABadFileShowsWhyAndKeepsTheScheme() {
    test::CTempFolder folder;
    const std::string twoNumbers = folder.File("two.slclr");
    test::WriteTextFile(twoNumbers, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" "
                                    "?>\n<Settings>\n<ReportBk>255,255</ReportBk>\n</Settings>\n");
    const std::string missing = folder.File("missing.slclr");
    const CColorScheme scheme = CustomScheme(AnInstalledFace());
    CColorSchemeDlg dialog(scheme, Messages());
    std::string chosen = twoNumbers;
    dialog.SetOpenFileChooser([&chosen](QWidget*) { return QString::fromStdString(chosen); });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    CMessageLog& messages = Messages();
    messages.texts.clear();

    QTest::mouseClick(dialog.LoadButton(), Qt::LeftButton);
    QCOMPARE(messages.texts,
             QStringList{QString::fromStdString(
                 "Unable to load file " + twoNumbers +
                 "\n\nReason: Unexpected value \"255,255\" of element <ReportBk>: should be RGB "
                 "value")});
    QCOMPARE(dialog.Scheme(), scheme);
    QCOMPARE(dialog.ColorButton(kNormalText)->Background(), scheme.Get(SchemeColor::ReportBk));

    chosen = missing;
    QTest::mouseClick(dialog.LoadButton(), Qt::LeftButton);
    QCOMPARE(messages.texts.size(), 2);
    QCOMPARE(messages.texts.last(),
             QString::fromStdString("Unable to load file " + missing + "\n\nReason: File " +
                                    missing + " does not exist"));
    QCOMPARE(dialog.Scheme(), scheme);
}

void ColorSchemeDlgTest::SaveColorsWritesTheSchemeOrSaysItCannot() {
    test::CTempFolder folder;
    const CColorScheme scheme = CustomScheme(AnInstalledFace());
    CColorSchemeDlg dialog(scheme, Messages());
    std::string chosen = folder.File("mine.slclr");
    dialog.SetSaveFileChooser([&chosen](QWidget*) { return QString::fromStdString(chosen); });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    CMessageLog& messages = Messages();
    messages.texts.clear();
    QTest::mouseClick(dialog.SaveButton(), Qt::LeftButton);
    QVERIFY(messages.texts.isEmpty());
    CColorScheme read;
    std::string error;
    QVERIFY2(read.LoadFromFile(chosen, error), error.c_str());
    QCOMPARE(read, scheme);

    chosen = folder.File("no-such-folder/mine.slclr");
    QTest::mouseClick(dialog.SaveButton(), Qt::LeftButton);
    QCOMPARE(messages.texts,
             QStringList{QString::fromStdString("Unable to create file " + chosen)});
    QCOMPARE(dialog.Scheme(), scheme);
}

void ColorSchemeDlgTest::CancelledFileChoosersDoNothing() {
    CColorSchemeDlg dialog(CColorScheme(), Messages());
    int asked = 0;
    dialog.SetOpenFileChooser([&asked](QWidget*) {
        ++asked;
        return QString();
    });
    dialog.SetSaveFileChooser([&asked](QWidget*) {
        ++asked;
        return QString();
    });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    CMessageLog& messages = Messages();
    messages.texts.clear();
    QTest::mouseClick(dialog.LoadButton(), Qt::LeftButton);
    QTest::mouseClick(dialog.SaveButton(), Qt::LeftButton);
    QCOMPARE(asked, 2);
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(dialog.Scheme(), CColorScheme());
}

void ColorSchemeDlgTest::OkMakesTheSchemeCurrentSavesAndRefreshesInOrder() {
    CProgram program;
    QVERIFY(program.Start());
    CMainFrame& frame = program.Frame();
    CColorScheme current;
    current.SetFontSize(9);
    SetCurrentScheme(frame, current);
    CColorScheme savedScheme;
    RegisterColourSchemeCommand(frame, [&program, &frame, &savedScheme] {
        program.Log() << "save";
        savedScheme = CurrentScheme(frame);
    });
    QVERIFY(frame.Action(ID_EDIT_COLOUR_SCHEME)->isEnabled());
    program.OpenLoggingView(ViewKind::TradingPlan, ID_TRADING_PLAN_OPEN, "Trading Plan");
    program.OpenLoggingView(ViewKind::Dividends, ID_YIELD_DIVIDENDS, "Dividends");
    program.OpenLoggingView(ViewKind::ShortList, ID_SHORT_LIST_OPEN, "Short List");
    program.OpenLoggingView(ViewKind::PutReport, ID_YIELD_PUT_REPORTS, "Put");
    program.OpenLoggingView(ViewKind::CallReport, ID_YIELD_CALL_REPORTS, "Call");

    bool opened = false;
    WhenModal<CColorSchemeDlg>([&opened](CColorSchemeDlg* dialog) {
        opened = true;
        // It edits a copy of the current scheme.
        QCOMPARE(dialog->SizeList()->currentText(), QString("9"));
        dialog->SizeList()->setFocus();
        QTest::keyClick(dialog->SizeList(), Qt::Key_End);
        ClickOk(dialog);
    });
    QVERIFY(frame.OnCommand(ID_EDIT_COLOUR_SCHEME));
    QVERIFY(opened);
    CColorScheme expected = current;
    expected.SetFontSize(16);
    QCOMPARE(CurrentScheme(frame), expected);
    QCOMPARE(savedScheme, expected);
    QCOMPARE(program.Log(),
             (QStringList{"save", "Call", "Put", "Short List", "Dividends", "Trading Plan"}));
}

void ColorSchemeDlgTest::CancelAfterRestoreDefaultLeavesTheCurrentScheme() {
    CProgram program;
    QVERIFY(program.Start());
    CMainFrame& frame = program.Frame();
    const CColorScheme current = CustomScheme(AnInstalledFace());
    SetCurrentScheme(frame, current);
    RegisterColourSchemeCommand(frame, [&program] { program.Log() << "save"; });
    program.OpenLoggingView(ViewKind::CallReport, ID_YIELD_CALL_REPORTS, "Call");

    WhenModal<CColorSchemeDlg>([](CColorSchemeDlg* dialog) {
        QTest::mouseClick(dialog->RestoreDefaultButton(), Qt::LeftButton);
        QCOMPARE(dialog->Scheme(), CColorScheme());
        ClickCancel(dialog);
    });
    QVERIFY(frame.OnCommand(ID_EDIT_COLOUR_SCHEME));
    QCOMPARE(CurrentScheme(frame), current);
    QVERIFY(program.Log().isEmpty());

    // Escape cancels as well.
    WhenModal<CColorSchemeDlg>([](CColorSchemeDlg* dialog) {
        QTest::mouseClick(dialog->RestoreDefaultButton(), Qt::LeftButton);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QVERIFY(frame.OnCommand(ID_EDIT_COLOUR_SCHEME));
    QCOMPARE(CurrentScheme(frame), current);
    QVERIFY(program.Log().isEmpty());
}

void ColorSchemeDlgTest::TheCommandAsksForTheMouseButtonsEachTimeItOpens() {
    CProgram program;
    QVERIFY(program.Start());
    CMainFrame& frame = program.Frame();
    bool swapped = true;
    int asked = 0;
    RegisterColourSchemeCommand(frame, {}, [&swapped, &asked] {
        ++asked;
        return swapped;
    });
    for (const bool leftHanded : {true, false}) {
        swapped = leftHanded;
        QString help;
        WhenModal<CColorSchemeDlg>([&help](CColorSchemeDlg* dialog) {
            help = dialog->HelpLabel()->text();
            ClickCancel(dialog);
        });
        QVERIFY(frame.OnCommand(ID_EDIT_COLOUR_SCHEME));
        QCOMPARE(help, CColorSchemeDlg::HelpText(leftHanded));
    }
    QCOMPARE(asked, 2);
    QVERIFY(CColorSchemeDlg::HelpText(true).startsWith("Right-click"));
}

// Open charts take the scheme the user accepts, as the tables do.
void ColorSchemeDlgTest::OkDrawsOpenChartsInTheNewScheme() {
    CProgram program;
    QVERIFY(program.Start());
    CMainFrame& frame = program.Frame();
    const CColorScheme own = CustomScheme(AnInstalledFace());
    SetCurrentScheme(frame, own);
    RegisterColourSchemeCommand(frame, {});
    auto* chart = new CChartPanel(frame.MdiArea());
    chart->SetColours(ChartColoursOf(own, frame.palette()));
    WhenModal<CColorSchemeDlg>([](CColorSchemeDlg* dialog) {
        QTest::mouseClick(dialog->RestoreDefaultButton(), Qt::LeftButton);
        ClickOk(dialog);
    });
    QVERIFY(frame.OnCommand(ID_EDIT_COLOUR_SCHEME));
    QCOMPARE(CurrentScheme(frame), CColorScheme());
    QCOMPARE(chart->Colours().background, ToQColor(CColorScheme().Get(SchemeColor::ReportBk)));
    QCOMPARE(chart->Colours().first, ToQColor(CColorScheme().Get(SchemeColor::ASXFairPriceBk)));
}

QTEST_MAIN(ColorSchemeDlgTest)
#include "ColorSchemeDlgTest.moc"
