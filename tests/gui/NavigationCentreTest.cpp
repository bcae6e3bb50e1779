// The navigation centre, the link label and the About box, driven as a user drives them:
// real widgets on the offscreen platform, real mouse and key events, pictures read back
// with grab().

#include "gui/app/AboutDlg.h"
#include "gui/app/CommandIds.h"
#include "gui/app/LinkLabel.h"
#include "gui/app/NavigationCentreView.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>
#include <vector>

using namespace strikeline;

namespace {

// The buttons as the program's users know them: where they are and what they do.
struct CExpectedButton {
    QRect rect;
    int command;
    const char* name;
};

const std::vector<CExpectedButton> kExpectedButtons = {
    {QRect(QPoint(20, 20), QPoint(139, 139)), ID_YIELD_CALL_REPORTS, "View Call Reports"},
    {QRect(QPoint(180, 20), QPoint(299, 139)), ID_TREND_CHART, "Trend Chart"},
    {QRect(QPoint(180, 180), QPoint(299, 299)), ID_SHORT_LIST_OPEN, "Open Short List"},
    {QRect(QPoint(180, 340), QPoint(299, 459)), ID_TRADING_PLAN_OPEN, "Open Trading Plan"},
    {QRect(QPoint(340, 180), QPoint(459, 299)), ID_YIELD_DIVIDENDS, "Dividends"},
    {QRect(QPoint(340, 340), QPoint(459, 459)), ID_CALCULATOR, "Calculator"},
};

// Between and beside the buttons: no button there.
const QPoint kGap(160, 160);
const QPoint kFreeCorner(470, 470);

QColor PixelAt(QWidget& widget, QPoint point) {
    return widget.grab().toImage().pixelColor(point);
}

// The cursor sits over `point` of `view`; the view notices by its own means (an enter event
// or its hover timer), so wait until it has.
void HoverOver(CNavigationCentreView& view, QPoint point, int expectedHot) {
    QTest::mouseMove(&view, point);
    QTRY_COMPARE(view.HotButton(), expectedHot);
}

} // namespace

class CNavigationCentreTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void clickInEachButtonEmitsItsCommand_data();
    void clickInEachButtonEmitsItsCommand();
    void clicksAwayFromTheButtonsEmitNothing();
    void releaseOnAnotherButtonEmitsNothingAndClearsThePress();
    void releaseOutsideTheViewEmitsNothing();
    void dragOffAndBackOntoThePressedButtonStillClicks();
    void doubleClickPressesAgain();
    void otherMouseButtonsDoNotPress();
    void hidingTheViewEndsThePress();
    void hotAndPressedButtonsAreRepainted();
    void noHotButtonWhileTheWindowIsDisabled();
    void keyboardMovesFocusAndActivates();
    void tabGoesRoundTheButtons();
    void focusMarkIsDrawnAroundTheFocusedButton();
    void buttonsHaveAccessibleNamesAndActions();
    void buttonsHaveToolTips();
    void sizeHintIsThePictureAndTheRestIsWhite();
    void picturesAgreeOutsideTheButtons();
    void picturesAreDrawnAtTheDevicePixelRatio();

    void linkLabelLooksLikeALink();
    void linkLabelClickOpensTarget();
    void linkLabelPressDraggedOffOpensNothing();
    void linkLabelKeysOpenTarget();
    void linkLabelReportsAFailedOpen();
    void linkLabelIsAnAccessibleLink();

    void aboutBoxTitleAndTexts();
    void aboutBoxLicencePageWhenSiteEndsWithSlash();
    void aboutBoxLinksOpenTheirTargets();
    void aboutBoxOkCloses();

private:
    void ShowView(CNavigationCentreView& view);
};

void CNavigationCentreTest::init() {
    // Every test starts with the cursor far from any window, so nothing is hot.
    QCursor::setPos(-1000, -1000);
}

void CNavigationCentreTest::cleanup() {
    // A tip left on screen would cover the next test's window.
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
}

void CNavigationCentreTest::ShowView(CNavigationCentreView& view) {
    view.move(100, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
}

void CNavigationCentreTest::clickInEachButtonEmitsItsCommand_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("command");
    for (size_t i = 0; i < kExpectedButtons.size(); ++i) {
        const CExpectedButton& expected = kExpectedButtons[i];
        const int index = static_cast<int>(i);
        // The centre and the first and last pixels of each rectangle.
        QTest::addRow("%s centre", expected.name)
            << expected.rect.center() << index << expected.command;
        QTest::addRow("%s top left", expected.name)
            << expected.rect.topLeft() << index << expected.command;
        QTest::addRow("%s bottom right", expected.name)
            << expected.rect.bottomRight() << index << expected.command;
    }
}

void CNavigationCentreTest::clickInEachButtonEmitsItsCommand() {
    QFETCH(QPoint, point);
    QFETCH(int, button);
    QFETCH(int, command);
    CNavigationCentreView view;
    ShowView(view);
    QSignalSpy spy(&view, &CNavigationCentreView::commandRequested);

    QTest::mousePress(&view, Qt::LeftButton, {}, point);
    QCOMPARE(view.PressedButton(), button);
    QCOMPARE(spy.count(), 0);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, point);

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), command);
    QCOMPARE(view.PressedButton(), -1);
}

void CNavigationCentreTest::clicksAwayFromTheButtonsEmitNothing() {
    CNavigationCentreView view;
    ShowView(view);
    QSignalSpy spy(&view, &CNavigationCentreView::commandRequested);
    // Just outside the first button, in the gaps and in the empty corner.
    const std::vector<QPoint> points = {QPoint(140, 80), QPoint(80, 140), QPoint(19, 19), kGap,
                                        kFreeCorner,     QPoint(60, 400)};
    for (const QPoint& point : points) {
        QTest::mousePress(&view, Qt::LeftButton, {}, point);
        QCOMPARE(view.PressedButton(), -1);
        QTest::mouseRelease(&view, Qt::LeftButton, {}, point);
    }
    QCOMPARE(spy.count(), 0);
}

void CNavigationCentreTest::releaseOnAnotherButtonEmitsNothingAndClearsThePress() {
    CNavigationCentreView view;
    ShowView(view);
    QSignalSpy spy(&view, &CNavigationCentreView::commandRequested);

    QTest::mousePress(&view, Qt::LeftButton, {}, kExpectedButtons[0].rect.center());
    QCOMPARE(view.PressedButton(), 0);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, kExpectedButtons[1].rect.center());
    QCOMPARE(spy.count(), 0);
    QCOMPARE(view.PressedButton(), -1);

    // Released in a gap: nothing either.
    QTest::mousePress(&view, Qt::LeftButton, {}, kExpectedButtons[2].rect.center());
    QTest::mouseRelease(&view, Qt::LeftButton, {}, kGap);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(view.PressedButton(), -1);
}

void CNavigationCentreTest::releaseOutsideTheViewEmitsNothing() {
    CNavigationCentreView view;
    ShowView(view);
    QSignalSpy spy(&view, &CNavigationCentreView::commandRequested);

    QTest::mousePress(&view, Qt::LeftButton, {}, kExpectedButtons[2].rect.center());
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(-30, -30));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(view.PressedButton(), -1);

    // A frame smaller than the picture: the part of a button beyond the view's edge is
    // outside the view, and a release there is no click.
    view.resize(250, 250);
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(220, 220));
    QCOMPARE(view.PressedButton(), 2);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(280, 280));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(view.PressedButton(), -1);
}

void CNavigationCentreTest::dragOffAndBackOntoThePressedButtonStillClicks() {
    CNavigationCentreView view;
    ShowView(view);
    QSignalSpy spy(&view, &CNavigationCentreView::commandRequested);
    const QPoint centre = kExpectedButtons[4].rect.center();

    QTest::mousePress(&view, Qt::LeftButton, {}, centre);
    QTest::mouseMove(&view, kGap);
    QCOMPARE(view.PressedButton(), 4);
    QTest::mouseMove(&view, centre + QPoint(30, 30));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, centre + QPoint(30, 30));

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), int(ID_YIELD_DIVIDENDS));
}

void CNavigationCentreTest::doubleClickPressesAgain() {
    CNavigationCentreView view;
    ShowView(view);
    QSignalSpy spy(&view, &CNavigationCentreView::commandRequested);
    const QPoint centre = kExpectedButtons[5].rect.center();

    // A double click arrives as press, release, double click, release.
    QTest::mouseClick(&view, Qt::LeftButton, {}, centre);
    QTest::mouseDClick(&view, Qt::LeftButton, {}, centre);
    QCOMPARE(view.PressedButton(), 5);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, centre);

    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), int(ID_CALCULATOR));
    QCOMPARE(view.PressedButton(), -1);
}

void CNavigationCentreTest::otherMouseButtonsDoNotPress() {
    CNavigationCentreView view;
    ShowView(view);
    QSignalSpy spy(&view, &CNavigationCentreView::commandRequested);
    const QPoint centre = kExpectedButtons[3].rect.center();

    QTest::mousePress(&view, Qt::RightButton, {}, centre);
    QCOMPARE(view.PressedButton(), -1);
    QTest::mouseRelease(&view, Qt::RightButton, {}, centre);
    QTest::mouseClick(&view, Qt::MiddleButton, {}, centre);
    QCOMPARE(spy.count(), 0);
}

void CNavigationCentreTest::hidingTheViewEndsThePress() {
    CNavigationCentreView view;
    ShowView(view);
    QSignalSpy spy(&view, &CNavigationCentreView::commandRequested);
    const QPoint centre = kExpectedButtons[1].rect.center();

    QTest::mousePress(&view, Qt::LeftButton, {}, centre);
    QCOMPARE(view.PressedButton(), 1);
    view.hide();
    QCOMPARE(view.PressedButton(), -1);
    ShowView(view);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, centre);
    QCOMPARE(spy.count(), 0);
}

void CNavigationCentreTest::hotAndPressedButtonsAreRepainted() {
    CNavigationCentreView view;
    ShowView(view);
    for (size_t i = 0; i < kExpectedButtons.size(); ++i) {
        const int button = static_cast<int>(i);
        const QPoint centre = kExpectedButtons[i].rect.center();
        const QPoint otherCentre =
            kExpectedButtons[(i + 1) % kExpectedButtons.size()].rect.center();

        HoverOver(view, kFreeCorner, -1);
        const QColor normal = PixelAt(view, centre);
        const QColor otherNormal = PixelAt(view, otherCentre);

        HoverOver(view, centre, button);
        const QColor hot = PixelAt(view, centre);
        QVERIFY2(hot != normal, qPrintable(hot.name()));
        QCOMPARE(PixelAt(view, otherCentre), otherNormal);

        QTest::mousePress(&view, Qt::LeftButton, {}, centre);
        const QColor pressed = PixelAt(view, centre);
        QVERIFY2(pressed != normal, qPrintable(pressed.name()));
        QVERIFY2(pressed != hot, qPrintable(pressed.name()));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, kGap);

        HoverOver(view, kGap, -1);
        QCOMPARE(PixelAt(view, centre), normal);
    }
}

void CNavigationCentreTest::noHotButtonWhileTheWindowIsDisabled() {
    CNavigationCentreView view;
    ShowView(view);
    const QPoint centre = kExpectedButtons[2].rect.center();
    const QColor normal = PixelAt(view, centre);

    view.setEnabled(false);
    HoverOver(view, centre, 2);
    QCOMPARE(PixelAt(view, centre), normal);

    view.setEnabled(true);
    QVERIFY(PixelAt(view, centre) != normal);
}

void CNavigationCentreTest::keyboardMovesFocusAndActivates() {
    CNavigationCentreView view;
    ShowView(view);
    view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&view));
    view.setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(view.hasFocus());
    QSignalSpy spy(&view, &CNavigationCentreView::commandRequested);

    QCOMPARE(view.FocusedButton(), 0);
    QTest::keyClick(&view, Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), int(ID_YIELD_CALL_REPORTS));

    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(view.FocusedButton(), 1);
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.FocusedButton(), 2);

    // Space presses the button and activates it when let go.
    QTest::keyPress(&view, Qt::Key_Space);
    QCOMPARE(view.PressedButton(), 2);
    QCOMPARE(spy.count(), 1);
    QTest::keyRelease(&view, Qt::Key_Space);
    QCOMPARE(view.PressedButton(), -1);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), int(ID_SHORT_LIST_OPEN));

    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.FocusedButton(), 3);
    QTest::keyClick(&view, Qt::Key_Enter);
    QCOMPARE(spy.at(2).at(0).toInt(), int(ID_TRADING_PLAN_OPEN));

    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(view.FocusedButton(), 5);
    QTest::keyClick(&view, Qt::Key_Up);
    QCOMPARE(view.FocusedButton(), 4);
    QTest::keyClick(&view, Qt::Key_Left);
    QCOMPARE(view.FocusedButton(), 2);
    QTest::keyClick(&view, Qt::Key_Left);
    QCOMPARE(view.FocusedButton(), 0);
    // Nothing further left: the focus stays.
    QTest::keyClick(&view, Qt::Key_Left);
    QCOMPARE(view.FocusedButton(), 0);
    QCOMPARE(spy.count(), 3);
}

void CNavigationCentreTest::tabGoesRoundTheButtons() {
    CNavigationCentreView view;
    ShowView(view);
    view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&view));
    view.setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(view.hasFocus());

    for (int expected = 1; expected < CNavigationCentreView::kButtonCount; ++expected) {
        QTest::keyClick(&view, Qt::Key_Tab);
        QCOMPARE(view.FocusedButton(), expected);
    }
    // The view is all there is in this window, so Tab goes round.
    QTest::keyClick(&view, Qt::Key_Tab);
    QVERIFY(view.hasFocus());
    QCOMPARE(view.FocusedButton(), 0);
    QTest::keyClick(&view, Qt::Key_Backtab);
    QCOMPARE(view.FocusedButton(), CNavigationCentreView::kButtonCount - 1);
    QTest::keyClick(&view, Qt::Key_Backtab);
    QCOMPARE(view.FocusedButton(), CNavigationCentreView::kButtonCount - 2);
}

void CNavigationCentreTest::focusMarkIsDrawnAroundTheFocusedButton() {
    // With another widget in the window, Tab leaves the view after its last button.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* view = new CNavigationCentreView(&window);
    auto* after = new QPushButton(QStringLiteral("After"), &window);
    layout->addWidget(view);
    layout->addWidget(after);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    // On the ring's path around the Short List button, clear of the connectors.
    const QPoint onRing(210, 176);
    after->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(after->hasFocus());
    const QColor unfocused = PixelAt(*view, onRing);

    view->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(view->hasFocus());
    view->SetFocusedButton(2);
    QVERIFY(PixelAt(*view, onRing) != unfocused);

    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(view->FocusedButton(), 3);
    QCOMPARE(PixelAt(*view, onRing), unfocused);

    QTest::keyClick(view, Qt::Key_Tab);
    QTest::keyClick(view, Qt::Key_Tab);
    QCOMPARE(view->FocusedButton(), 5);
    QTest::keyClick(view, Qt::Key_Tab);
    QTRY_VERIFY(after->hasFocus());
}

void CNavigationCentreTest::buttonsHaveAccessibleNamesAndActions() {
    CNavigationCentreView view;
    ShowView(view);
    QSignalSpy spy(&view, &CNavigationCentreView::commandRequested);
    QAccessibleInterface* pane = QAccessible::queryAccessibleInterface(&view);
    QVERIFY(pane != nullptr);
    QCOMPARE(pane->childCount(), int(kExpectedButtons.size()));

    for (size_t i = 0; i < kExpectedButtons.size(); ++i) {
        const CExpectedButton& expected = kExpectedButtons[i];
        QAccessibleInterface* button = pane->child(static_cast<int>(i));
        QVERIFY(button != nullptr);
        QCOMPARE(button->role(), QAccessible::Button);
        QCOMPARE(button->text(QAccessible::Name), QString::fromLatin1(expected.name));
        QVERIFY(!button->text(QAccessible::Description).isEmpty());
        QCOMPARE(button->rect(),
                 QRect(view.mapToGlobal(expected.rect.topLeft()), expected.rect.size()));
        QCOMPARE(pane->indexOfChild(button), static_cast<int>(i));
        QCOMPARE(button->parent(), pane);
        const QPoint global = view.mapToGlobal(expected.rect.center());
        QCOMPARE(pane->childAt(global.x(), global.y()), button);

        QAccessibleActionInterface* actions = button->actionInterface();
        QVERIFY(actions != nullptr);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(spy.count(), static_cast<int>(i) + 1);
        QCOMPARE(spy.last().at(0).toInt(), expected.command);
    }
}

void CNavigationCentreTest::buttonsHaveToolTips() {
    CNavigationCentreView view;
    ShowView(view);
    QStringList seen;
    for (size_t i = 0; i < kExpectedButtons.size(); ++i) {
        const QString expected = CNavigationCentreView::ButtonToolTip(static_cast<int>(i));
        QVERIFY(!expected.isEmpty());
        QVERIFY2(!seen.contains(expected), qPrintable(expected));
        seen << expected;

        const QPoint centre = kExpectedButtons[i].rect.center();
        QHelpEvent help(QEvent::ToolTip, centre, view.mapToGlobal(centre));
        QApplication::sendEvent(&view, &help);
        QTRY_COMPARE(QToolTip::text(), expected);
    }
    QToolTip::hideText();
}

void CNavigationCentreTest::sizeHintIsThePictureAndTheRestIsWhite() {
    CNavigationCentreView view;
    QCOMPARE(view.sizeHint(), QSize(480, 480));
    view.resize(620, 560);
    ShowView(view);
    const QImage image = view.grab().toImage();
    QCOMPARE(image.pixelColor(600, 20), QColor(Qt::white));
    QCOMPARE(image.pixelColor(479 + 30, 300), QColor(Qt::white));
    QCOMPARE(image.pixelColor(20, 540), QColor(Qt::white));
    QCOMPARE(image.pixelColor(610, 550), QColor(Qt::white));
    // The picture's own background is not white.
    QVERIFY(image.pixelColor(470, 470) != QColor(Qt::white));
    QVERIFY(image.pixelColor(5, 5) != QColor(Qt::white));
}

void CNavigationCentreTest::picturesAgreeOutsideTheButtons() {
    // A hot or pressed button is copied out of its picture by its rectangle, so whatever
    // lies outside the rectangles must be the same in all three pictures.
    using State = CNavigationCentreView::PictureState;
    const QImage normal = CNavigationCentreView::RenderPicture(State::Normal, 1.0).toImage();
    const QImage hot = CNavigationCentreView::RenderPicture(State::Hot, 1.0).toImage();
    const QImage pressed = CNavigationCentreView::RenderPicture(State::Pressed, 1.0).toImage();
    QCOMPARE(normal.size(), QSize(480, 480));
    QCOMPARE(hot.size(), normal.size());
    QCOMPARE(pressed.size(), normal.size());

    int differentOutside = 0;
    std::vector<int> differentInside(kExpectedButtons.size(), 0);
    for (int y = 0; y < normal.height(); ++y) {
        for (int x = 0; x < normal.width(); ++x) {
            const QPoint point(x, y);
            const bool sameHot = normal.pixel(point) == hot.pixel(point);
            const bool samePressed = normal.pixel(point) == pressed.pixel(point);
            const int button = CNavigationCentreView::ButtonAt(point);
            if (button < 0) {
                differentOutside += (sameHot && samePressed) ? 0 : 1;
            } else if (!sameHot && !samePressed) {
                ++differentInside[static_cast<size_t>(button)];
            }
        }
    }
    QCOMPARE(differentOutside, 0);
    for (size_t i = 0; i < differentInside.size(); ++i) {
        // Most of each button looks different when hot and when pressed.
        QVERIFY2(differentInside[i] > 120 * 120 / 2, qPrintable(QString::number(i)));
    }
}

void CNavigationCentreTest::picturesAreDrawnAtTheDevicePixelRatio() {
    const QPixmap sharp =
        CNavigationCentreView::RenderPicture(CNavigationCentreView::PictureState::Normal, 2.0);
    QCOMPARE(sharp.size(), QSize(960, 960));
    QCOMPARE(sharp.devicePixelRatio(), 2.0);
    QCOMPARE(sharp.deviceIndependentSize(), QSizeF(480, 480));
}

void CNavigationCentreTest::linkLabelLooksLikeALink() {
    CLinkLabel label(QStringLiteral("Strikeline support"),
                     QUrl(QStringLiteral("http://a.example")));
    QPalette palette = label.palette();
    palette.setColor(QPalette::Link, QColor(255, 0, 0));
    palette.setColor(QPalette::Window, QColor(255, 255, 255));
    label.setPalette(palette);
    label.setAutoFillBackground(true);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));

    QVERIFY(label.font().underline());
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(label.text(), QStringLiteral("Strikeline support"));

    const QImage image = label.grab().toImage();
    int linkColoured = 0;
    int otherInk = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour == Qt::white) {
                continue;
            }
            // Antialiased edges blend red with white: green and blue stay equal.
            if (colour.red() == 255 && colour.green() == colour.blue()) {
                ++linkColoured;
            } else {
                ++otherInk;
            }
        }
    }
    QVERIFY(linkColoured > 20);
    QCOMPARE(otherInk, 0);
}

void CNavigationCentreTest::linkLabelClickOpensTarget() {
    const QUrl target(QStringLiteral("http://127.0.0.1:8642/EULA.php"));
    CLinkLabel label(QStringLiteral("End-User Licence Agreement"), target);
    std::vector<QUrl> opened;
    label.SetOpener([&opened](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));

    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(opened.size(), size_t(1));
    QCOMPARE(opened.front(), target);

    QTest::mouseClick(&label, Qt::RightButton);
    QCOMPARE(opened.size(), size_t(1));
}

void CNavigationCentreTest::linkLabelPressDraggedOffOpensNothing() {
    CLinkLabel label(QStringLiteral("site"), QUrl(QStringLiteral("http://127.0.0.1:8642")));
    int calls = 0;
    label.SetOpener([&calls](const QUrl&) {
        ++calls;
        return true;
    });
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));

    QTest::mousePress(&label, Qt::LeftButton);
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(-20, -20));
    QCOMPARE(calls, 0);
    // A release without a press on the label is no click either.
    QTest::mouseRelease(&label, Qt::LeftButton);
    QCOMPARE(calls, 0);
}

void CNavigationCentreTest::linkLabelKeysOpenTarget() {
    const QUrl target(QStringLiteral("mailto:support@varnel.example"));
    CLinkLabel label(QStringLiteral("support@varnel.example"), target);
    std::vector<QUrl> opened;
    label.SetOpener([&opened](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    QCOMPARE(label.focusPolicy(), Qt::StrongFocus);

    QTest::keyClick(&label, Qt::Key_Return);
    QTest::keyClick(&label, Qt::Key_Enter);
    QTest::keyClick(&label, Qt::Key_Space);
    QTest::keyClick(&label, Qt::Key_A);
    QCOMPARE(opened, std::vector<QUrl>(3, target));
}

void CNavigationCentreTest::linkLabelReportsAFailedOpen() {
    CLinkLabel label(QStringLiteral("site"), QUrl(QStringLiteral("http://127.0.0.1:8642")));
    int calls = 0;
    label.SetOpener([&calls](const QUrl&) {
        ++calls;
        return false;
    });
    QVERIFY(!label.OpenTarget());
    QCOMPARE(calls, 1);

    // No target: nothing to hand to the desktop.
    label.SetTarget(QUrl());
    QVERIFY(!label.OpenTarget());
    QCOMPARE(calls, 1);
}

void CNavigationCentreTest::linkLabelIsAnAccessibleLink() {
    const QUrl target(QStringLiteral("http://127.0.0.1:8642"));
    CLinkLabel label(QStringLiteral("http://127.0.0.1:8642"), target);
    int calls = 0;
    label.SetOpener([&calls](const QUrl&) {
        ++calls;
        return true;
    });
    QAccessibleInterface* link = QAccessible::queryAccessibleInterface(&label);
    QVERIFY(link != nullptr);
    QCOMPARE(link->role(), QAccessible::Link);
    QCOMPARE(link->text(QAccessible::Name), QStringLiteral("http://127.0.0.1:8642"));
    QVERIFY(link->actionInterface() != nullptr);
    link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(calls, 1);
}

void CNavigationCentreTest::aboutBoxTitleAndTexts() {
    CAboutDlg about(QStringLiteral("http://127.0.0.1:8642"));
    QCOMPARE(about.windowTitle(), QStringLiteral("About Strikeline"));
    QCOMPARE(about.VersionLabel()->text(), QStringLiteral("Strikeline v1.3.9 by Varnel Pty. Ltd."));

    QCOMPARE(about.SiteLink()->text(), QStringLiteral("http://127.0.0.1:8642"));
    QCOMPARE(about.SiteLink()->Target(), QUrl(QStringLiteral("http://127.0.0.1:8642")));
    QCOMPARE(about.LicenceLink()->text(), QStringLiteral("End-User Licence Agreement"));
    QCOMPARE(about.LicenceLink()->Target(), QUrl(QStringLiteral("http://127.0.0.1:8642/EULA.php")));
    QCOMPARE(about.SupportLink()->text(), QStringLiteral("support@varnel.example"));
    QCOMPARE(about.SupportLink()->Target(), QUrl(QStringLiteral("mailto:support@varnel.example")));

    // The three links are the box's own, found as a user's tools would find them.
    QCOMPARE(int(about.findChildren<CLinkLabel*>().size()), 3);
    QVERIFY(about.OkButton() != nullptr);
    QVERIFY(about.IconLabel() != nullptr);
}

void CNavigationCentreTest::aboutBoxLicencePageWhenSiteEndsWithSlash() {
    CAboutDlg about(QStringLiteral("https://www.varnel.example/strikeline/"));
    QCOMPARE(about.LicenceLink()->Target(),
             QUrl(QStringLiteral("https://www.varnel.example/strikeline/EULA.php")));
    CAboutDlg bare(QStringLiteral("https://www.varnel.example/"));
    QCOMPARE(bare.LicenceLink()->Target(),
             QUrl(QStringLiteral("https://www.varnel.example/EULA.php")));
}

void CNavigationCentreTest::aboutBoxLinksOpenTheirTargets() {
    CAboutDlg about(QStringLiteral("http://127.0.0.1:8642"));
    std::vector<QUrl> opened;
    for (CLinkLabel* link : about.findChildren<CLinkLabel*>()) {
        link->SetOpener([&opened](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
    }
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));

    QTest::mouseClick(about.SiteLink(), Qt::LeftButton);
    QTest::mouseClick(about.LicenceLink(), Qt::LeftButton);
    QTest::mouseClick(about.SupportLink(), Qt::LeftButton);
    const std::vector<QUrl> expected = {QUrl(QStringLiteral("http://127.0.0.1:8642")),
                                        QUrl(QStringLiteral("http://127.0.0.1:8642/EULA.php")),
                                        QUrl(QStringLiteral("mailto:support@varnel.example"))};
    QCOMPARE(opened, expected);
    QVERIFY(about.isVisible());
}

void CNavigationCentreTest::aboutBoxOkCloses() {
    CAboutDlg about(QStringLiteral("http://127.0.0.1:8642"));
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.OkButton(), Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

QTEST_MAIN(CNavigationCentreTest)
#include "NavigationCentreTest.moc"
