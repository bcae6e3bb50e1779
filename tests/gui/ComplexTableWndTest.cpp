// The table control driven as the user drives it: real widgets, real mouse clicks and key
// presses on the offscreen platform, and pictures of what it paints.

#include "gui/widgets/ComplexTableWnd.h"

#include "gui/widgets/ColumnGrid.h"
#include "gui/widgets/InPlaceEdit.h"
#include "gui/widgets/QtColor.h"
#include "gui/widgets/SchemeFont.h"
#include "storage/ColorScheme.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <climits>
#include <functional>
#include <memory>

namespace strikeline {

namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlack = 0x000000;

// A table that writes down every hook call and can answer the text and toggle hooks.
class CRecordingTable : public CComplexTableWnd {
public:
    using CComplexTableWnd::CComplexTableWnd;

    void OnLeftButtonDown(int row, int column, const QPoint& point,
                          Qt::KeyboardModifiers modifiers) override {
        Record("left", row, column);
        CComplexTableWnd::OnLeftButtonDown(row, column, point, modifiers);
    }
    void OnRightButtonDown(int row, int column, const QPoint& point,
                           Qt::KeyboardModifiers modifiers) override {
        Record("right", row, column);
        CComplexTableWnd::OnRightButtonDown(row, column, point, modifiers);
    }
    void OnCornerMarkerClicked(int row, int column, const QPoint&, Qt::KeyboardModifiers) override {
        Record("corner", row, column);
    }
    bool MayToggleCheckBox(int row, int column) override {
        Record("may-toggle", row, column);
        return m_AllowToggle;
    }
    void OnCheckBoxToggled(int row, int column) override { Record("toggled", row, column); }
    void BeginEditing(int row, int column) override {
        Record("begin-edit", row, column);
        CComplexTableWnd::BeginEditing(row, column);
    }
    void CommitEditedText(int row, int column, const QString& text) override {
        Record("commit", row, column, text);
        CComplexTableWnd::CommitEditedText(row, column, text);
    }
    void OnTableFocus() override { ++m_FocusCalls; }
    QString GetCellText(int row, int column) override {
        ++m_TextCalls;
        m_LowestTextRow = std::min(m_LowestTextRow, row);
        m_HighestTextRow = std::max(m_HighestTextRow, row);
        return m_Text ? m_Text(row, column) : CComplexTableWnd::GetCellText(row, column);
    }
    void SetCellText(int row, int column, const QString& text) override {
        Record("set-text", row, column, text);
    }

    // Calls other than the text reads, which painting makes many of, and the focus hook,
    // which depends on where the focus was.
    QStringList m_Calls;
    int m_FocusCalls = 0;
    bool m_AllowToggle = true;
    std::function<QString(int, int)> m_Text;
    int m_TextCalls = 0;
    int m_LowestTextRow = INT_MAX;
    int m_HighestTextRow = -1;

    void ForgetTextCalls() {
        m_TextCalls = 0;
        m_LowestTextRow = INT_MAX;
        m_HighestTextRow = -1;
    }

private:
    void Record(const char* what, int row, int column, const QString& text = QString()) {
        QString call = QStringLiteral("%1 %2,%3").arg(QLatin1String(what)).arg(row).arg(column);
        if (!text.isNull()) {
            call += QStringLiteral(" ") + text;
        }
        m_Calls << call;
    }
};

// Counts commits where the count outlives the table.
class CCommitCountingTable : public CComplexTableWnd {
public:
    CCommitCountingTable(int& commits, QWidget* parent)
        : CComplexTableWnd(parent), m_Commits(commits) {}
    void CommitEditedText(int row, int column, const QString& text) override {
        ++m_Commits;
        CComplexTableWnd::CommitEditedText(row, column, text);
    }

private:
    int& m_Commits;
};

// A window with a table and a second control to take the focus elsewhere.
struct CTableWindow {
    CTableWindow() {
        m_Window.resize(320, 260);
        m_Table.setGeometry(0, 0, 300, 200);
        m_Other.setGeometry(0, 220, 120, 24);
    }

    // Shows the window and makes it active, so that the focus moves as it does for a user.
    bool Show() {
        m_Window.show();
        QApplication::setActiveWindow(&m_Window);
        return QTest::qWaitForWindowActive(&m_Window);
    }

    QWidget m_Window;
    CRecordingTable m_Table{&m_Window};
    QLineEdit m_Other{&m_Window};
};

// Types `text` as a user does: each key goes to the widget that has the focus then.
void TypeAsUser(QWidget& start, const QString& text) {
    for (const QChar c : text) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : &start, c.toLatin1());
    }
}

// Shows the window and opens the editor on the first cell of `row` with Enter, as a user
// does; null when the window or the editor did not come up.
CInPlaceEdit* StartEditing(CTableWindow& window, int row) {
    CRecordingTable& table = window.m_Table;
    table.SetEditable(row, 0, true);
    if (!window.Show()) {
        return nullptr;
    }
    table.setFocus();
    table.SetCurrentCell(row, 0);
    QTest::keyClick(&table, Qt::Key_Return);
    return table.ActiveEditor();
}

// Adds a row of `count` cells, `divisions` per row and one each.
int AddRowOfCells(CComplexTableWnd& table, int count, const QString& prefix = QStringLiteral("c")) {
    const int row = table.AddRow();
    table.ReserveCells(row, count);
    for (int c = 0; c < count; ++c) {
        table.AddCell(row, prefix + QString::number(c), count, 1);
    }
    return row;
}

void SetRowHeight(CComplexTableWnd& table, int row, int height) {
    for (int c = 0; c < table.CellCount(row); ++c) {
        table.SetFixedHeight(row, c, height);
    }
}

QPoint CentreOf(const QRect& rect) {
    return rect.center();
}

QImage Picture(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int PixelsDarkerThan(const QImage& image, const QRect& area, int lightness) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y).lightness() < lightness) {
                ++count;
            }
        }
    }
    return count;
}

void ProcessDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class CComplexTableWndTest : public QObject {
    Q_OBJECT

private slots:
    // Widths.
    void NineCellsShareAHundredPixelsWithTheSparePixelFirst();
    void SpanSevenOfTwelveGetsSevenUnitsAndUpToSevenSparePixels();
    void InvisibleCellTakesNoWidth();
    void ZeroDivisionsAndSpansNeitherCrashNorStall();
    void UnitWidthsMeetEveryClaimAndShareTheRest_data();
    void UnitWidthsMeetEveryClaimAndShareTheRest();
    void FittedColumnsGiveEachTextItsRoomAndStayAligned();
    // Heights.
    void RowHeightFollowsTheTallestCell();
    void CheckBoxEmbeddedAndFixedHeights();
    void VerticalTextIsAsTallAsItIsLong();
    void LastRowStretchesToTheBottom();
    void TextFromTheHookIsMeasuredAndPainted();
    void RepeatedTextsAreMeasuredForTheirOwnWidthAndFont();
    // Building.
    void SettersFindCellsByNameAndKeepRowValues();
    void InsertedRowKeepsTheCurrentCellOnItsCell();
    void CurrentCellOutsideTheTableClears();
    void TextOfAHookCellIsStoredThroughTheHook();
    void EmbeddedTableTakesTheHostFontAndSitsOverItsCell();
    // Navigation.
    void UpAndDownSkipRowsOfOtherShapesAndCellsThatCannotBeTaken();
    void LeftAndRightStayInTheRow();
    void NextAndPreviousWrapAcrossRowsAndStopAtTheEnds();
    void TabReachesTheTableOnlyWithACurrentCell();
    void PageDownAndUpCoverTheVisibleHeight();
    void PageMovesFallBackTowardTheStart();
    void PageUsesTheScrollAreaViewport();
    void KeysDoNothingWithoutACurrentCell();
    void SpaceTogglesOnlyTheCurrentCheckBox();
    void MenuKeysAndTheCornerKeyActOnTheCurrentCell_data();
    void MenuKeysAndTheCornerKeyActOnTheCurrentCell();
    void FirstEditableCellIsFoundInReadingOrder();
    // Mouse.
    void ClicksMakeCellsCurrent();
    void CheckBoxClickAsksThenToggles();
    void RefusedToggleKeepsTheBox();
    void CheckBoxThatCannotBeSelectedStillToggles();
    void CornerMarkerClickCallsTheCornerHook();
    void CellCursorFollowsTheMouse();
    void FocusCallsTheFocusHook();
    // Editing.
    void EnterOpensTheEditorOverTheCellAndCommitsOnce();
    void EscapeCancelsTheEdit();
    void ClickingElsewhereCommitsTheEdit();
    void ClickOnTheCurrentEditableCellBeginsEditing();
    void EditorWidensButStaysInsideTheTable();
    void EditorKeepsDeleteFromWindowShortcuts();
    void EditorStartsWithTheHookText();
    void RowsAddedWhileEditingCommitIntoTheEditedCell();
    void RemovingTheRowsCancelsTheEdit();
    void DestroyingTheTableWhileEditingCommitsNothing();
    void TypingOnAnEditableCellStartsTheEditorWithTheKey();
    // Painting.
    void PictureShowsCellBackgroundsSelectionAndWhiteBelow();
    void PaintingAsksOnlyForVisibleRows();
    void PaintEntryDrawsEmbeddedTables();
    void TextFollowsTheFormatAndTurnsForVerticalCells();
    void TickedBoxShowsItsCross();
    void TextTooWideIsCutWithAnEllipsisAndShownWholeAsTooltip();
    void MinimumWidthShowsEveryTextWhole();
    // Scheme font and colours.
    void SchemeFontTakesFaceSizeBoldUnderlineAndVertical();
    void ColoursKeepRedInTheLowByte();
};

// --- Widths -----------------------------------------------------------------------------

void CComplexTableWndTest::NineCellsShareAHundredPixelsWithTheSparePixelFirst() {
    CComplexTableWnd table;
    const int row = AddRowOfCells(table, 9);
    table.RecalcLayout(100);
    QCOMPARE(table.CellRect(row, 0).width(), 12);
    for (int c = 1; c < 9; ++c) {
        QCOMPARE(table.CellRect(row, c).width(), 11);
        QCOMPARE(table.CellRect(row, c).left(), 12 + (c - 1) * 11);
    }
    QCOMPARE(table.CellRect(row, 8).right(), 99);
}

void CComplexTableWndTest::SpanSevenOfTwelveGetsSevenUnitsAndUpToSevenSparePixels() {
    CComplexTableWnd table;
    const int row = table.AddRow();
    table.AddCell(row, QStringLiteral("seven"), 12, 7);
    table.AddCell(row, QStringLiteral("five"), 12, 5);

    // 130 / 12 = 10 a unit: 70 + 50 leaves 10, of which the first cell takes its 7.
    table.RecalcLayout(130);
    QCOMPARE(table.CellRect(row, 0).width(), 77);
    QCOMPARE(table.CellRect(row, 1).width(), 53);
    QCOMPARE(table.CellRect(row, 1).left(), 77);

    // 100 / 12 = 8: 56 + 40 leaves 4, all to the first cell.
    table.RecalcLayout(100);
    QCOMPARE(table.CellRect(row, 0).width(), 60);
    QCOMPARE(table.CellRect(row, 1).width(), 40);

    // 143 / 12 = 11: 77 + 55 leaves 11; 7 go to the first cell, 4 to the second.
    table.RecalcLayout(143);
    QCOMPARE(table.CellRect(row, 0).width(), 84);
    QCOMPARE(table.CellRect(row, 1).width(), 59);
}

void CComplexTableWndTest::InvisibleCellTakesNoWidth() {
    CComplexTableWnd table;
    const int row = table.AddRow();
    for (int c = 0; c < 3; ++c) {
        table.AddCell(row, QStringLiteral("x"), 3, 1);
    }
    table.SetVisible(row, 1, false);
    table.RecalcLayout(90);
    QCOMPARE(table.CellRect(row, 1).width(), 0);
    QCOMPARE(table.CellRect(row, 0), QRect(0, 0, 45, table.RowHeight(row)));
    QCOMPARE(table.CellRect(row, 2).left(), 45);
    QCOMPARE(table.CellRect(row, 2).width(), 45);
    // Nothing of the invisible cell can be hit.
    QVERIFY(table.CellAt(QPoint(45, 2)) == (CTableCellIndex{row, 2}));
}

void CComplexTableWndTest::ZeroDivisionsAndSpansNeitherCrashNorStall() {
    CComplexTableWnd table;
    const int row = table.AddRow();
    table.AddCell(row, QStringLiteral("none"), 0, 0);
    table.AddCell(row, QStringLiteral("half"), 2, 1);
    table.RecalcLayout(100);
    QCOMPARE(table.CellRect(row, 0).width(), 0);
    QCOMPARE(table.CellRect(row, 1).width(), 100);

    // No cell can take the spare pixels: they stay unused.
    CComplexTableWnd lone;
    const int only = lone.AddRow();
    lone.AddCell(only, QStringLiteral("none"), -3, 0);
    lone.RecalcLayout(100);
    QCOMPARE(lone.CellRect(only, 0).width(), 0);
}

void CComplexTableWndTest::UnitWidthsMeetEveryClaimAndShareTheRest_data() {
    QTest::addColumn<std::vector<bool>>("live");
    QTest::addColumn<std::vector<CGridNeed>>("needs");
    QTest::addColumn<std::vector<int>>("minimum");
    QTest::addColumn<int>("width");
    QTest::addColumn<std::vector<int>>("widths");
    const std::vector<bool> four(4, true);
    // The one-unit claim first; the two-unit claim spreads evenly; the wide one is met.
    const std::vector<CGridNeed> claims = {{0, 4, 40}, {1, 2, 50}, {0, 1, 30}};
    QTest::newRow("room to spare") << four << claims << std::vector<int>{30, 25, 25, 0} << 200
                                   << std::vector<int>{50, 50, 50, 50};
    QTest::newRow("minimums held") << four << claims << std::vector<int>{30, 25, 25, 0} << 100
                                   << std::vector<int>{30, 25, 25, 20};
    QTest::newRow("too narrow") << four << claims << std::vector<int>{30, 25, 25, 0} << 50
                                << std::vector<int>{30, 25, 25, 0};
    QTest::newRow("leftover pixels")
        << std::vector<bool>(3, true) << std::vector<CGridNeed>{} << std::vector<int>{0, 0, 0} << 11
        << std::vector<int>{4, 4, 3};
    QTest::newRow("dead unit") << std::vector<bool>{true, false, true}
                               << std::vector<CGridNeed>{{0, 3, 31}, {1, 1, 10}}
                               << std::vector<int>{16, 0, 15} << 9 << std::vector<int>{16, 0, 15};
}

void CComplexTableWndTest::UnitWidthsMeetEveryClaimAndShareTheRest() {
    QFETCH(std::vector<bool>, live);
    QFETCH(std::vector<CGridNeed>, needs);
    QFETCH(std::vector<int>, minimum);
    QFETCH(int, width);
    QFETCH(std::vector<int>, widths);
    QCOMPARE(MinimumUnitWidths(live, needs), minimum);
    QCOMPARE(FitUnitWidths(live, minimum, width), widths);
}

void CComplexTableWndTest::FittedColumnsGiveEachTextItsRoomAndStayAligned() {
    CComplexTableWnd table;
    table.SetStretchLastRow(false);
    table.SetFitColumnsToText(true);
    const QFontMetrics metrics(table.font());
    const QString word = QStringLiteral("Contracts");
    const QString figure = QStringLiteral("$-2024.55");
    // A heading row over a figure row, six units each, the fourth cell hidden in both; the
    // last heading holds a group title over two sub-headings.
    const int heading = table.AddRow();
    const int figures = table.AddRow();
    for (const int row : {heading, figures}) {
        for (int c = 0; c < 4; ++c) {
            table.AddCell(row, row == heading && c == 1 ? word : QStringLiteral("x"), 6, 1);
        }
        table.SetVisible(row, 3, false);
    }
    table.AddCell(heading, QString(), 6, 2);
    table.AddCell(figures, QStringLiteral("1"), 6, 1);
    table.AddCell(figures, figure, 6, 1);
    auto group = std::make_unique<CComplexTableWnd>();
    const int title = group->AddRow();
    group->AddCell(title, QStringLiteral("Exercised"), 2, 2);
    const int subs = group->AddRow();
    group->AddCell(subs, QStringLiteral("Net"), 2, 1);
    group->AddCell(subs, QStringLiteral("Brokerage"), 2, 1);
    table.SetEmbeddedTable(heading, 4, std::move(group));
    // Off the grid: a label row of its own shape.
    const int label = table.AddRow();
    table.AddCell(label, QStringLiteral("Totals"), 2, 1);
    table.AddCell(label, QString(), 2, 1);

    const int wordNeed = metrics.horizontalAdvance(word) + 8;
    const int brokerageNeed = metrics.horizontalAdvance(QStringLiteral("Brokerage")) + 8;
    const int figureNeed = metrics.horizontalAdvance(figure) + 8;
    const int minimum = table.MinimumLayoutWidth();
    QVERIFY(minimum >= wordNeed + std::max(brokerageNeed, figureNeed));
    QVERIFY(minimum < 6 * std::max({wordNeed, brokerageNeed, figureNeed}));

    for (const int width : {minimum, minimum + 37, 3 * minimum}) {
        table.RecalcLayout(width);
        // Every text whole, the narrow column as wide as its word needs.
        QVERIFY(table.CellRect(heading, 1).width() >= wordNeed);
        QCOMPARE(table.ShownText(heading, 1), word);
        QCOMPARE(table.ShownText(figures, 5), figure);
        CComplexTableWnd& embedded = *table.Cell(heading, 4)->m_EmbeddedTable;
        QCOMPARE(embedded.ShownText(subs, 1), QStringLiteral("Brokerage"));
        // The hidden unit takes nothing; both rows fill the width on the same edges.
        QCOMPARE(table.CellRect(figures, 3).width(), 0);
        QCOMPARE(table.CellRect(heading, 4).right() + 1, width);
        QCOMPARE(table.CellRect(figures, 5).right() + 1, width);
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(table.CellRect(heading, c).left(), table.CellRect(figures, c).left());
            QCOMPARE(table.CellRect(heading, c).width(), table.CellRect(figures, c).width());
        }
        // The group's sub-headings stand over the figures below them.
        const int groupLeft = table.CellRect(heading, 4).left();
        QCOMPARE(groupLeft + embedded.CellRect(subs, 0).left(), table.CellRect(figures, 4).left());
        QCOMPARE(groupLeft + embedded.CellRect(subs, 1).left(), table.CellRect(figures, 5).left());
    }
    // Where there is room to spare, the units share it equally.
    table.RecalcLayout(3 * minimum);
    QCOMPARE(table.CellRect(heading, 0).width(), table.CellRect(heading, 2).width());
    QVERIFY(std::abs(table.CellRect(heading, 0).width() - table.CellRect(figures, 4).width()) <= 1);
}

// --- Heights ----------------------------------------------------------------------------

void CComplexTableWndTest::RowHeightFollowsTheTallestCell() {
    CComplexTableWnd table;
    const int row = table.AddRow();
    const QString words = QStringLiteral("several words that cannot fit on one line");
    table.AddCell(row, QStringLiteral("short"), 2, 1);
    table.AddCell(row, words, 2, 1);
    const int oneLine = table.AddRow();
    table.AddCell(oneLine, QStringLiteral("short"), 1, 1);
    table.SetStretchLastRow(false);
    table.RecalcLayout(160);

    const QFontMetrics metrics(table.font());
    const int lineHeight =
        metrics.boundingRect(QRect(0, 0, 1000, 1000), Qt::TextWordWrap, QStringLiteral("W"))
            .height();
    const int wrapped =
        metrics
            .boundingRect(QRect(0, 0, 80 - 8, 100000), Qt::TextWordWrap | Qt::AlignHCenter, words)
            .height();
    QVERIFY(wrapped > lineHeight);
    QCOMPARE(table.RowHeight(row), wrapped + 8);
    QCOMPARE(table.RowHeight(oneLine), lineHeight + 8);
    QCOMPARE(table.CellRect(oneLine, 0).top(), wrapped + 8);
    QCOMPARE(table.CellRect(row, 0).height(), wrapped + 8);

    // Without measuring, one line of "W" decides.
    table.SetMeasureText(row, 1, false);
    table.RecalcLayout(160);
    QCOMPARE(table.RowHeight(row), lineHeight + 8);

    // The extra right inset narrows the text.
    CComplexTableWnd inset;
    inset.SetStretchLastRow(false);
    const int insetRow = inset.AddRow();
    inset.AddCell(insetRow, QStringLiteral("aaa bbb"), 1, 1);
    const int textWidth = QFontMetrics(inset.font()).horizontalAdvance(QStringLiteral("aaa bbb"));
    inset.RecalcLayout(textWidth + 8);
    QCOMPARE(inset.RowHeight(insetRow), lineHeight + 8);
    inset.Cell(insetRow, 0)->m_ExtraRightInset = 5;
    inset.RecalcLayout(textWidth + 8);
    QVERIFY(inset.RowHeight(insetRow) > lineHeight + 8);
}

void CComplexTableWndTest::CheckBoxEmbeddedAndFixedHeights() {
    CComplexTableWnd table;
    table.SetStretchLastRow(false);
    const int box = table.AddRow();
    table.AddCell(box, QString(), 1, 1);
    table.SetCheckBox(box, 0, false);
    const int fixed = table.AddRow();
    table.AddCell(fixed, QStringLiteral("fixed"), 1, 1);
    table.SetFixedHeight(fixed, 0, 37);
    const int missing = table.AddRow();
    table.AddCell(missing, QString(), 1, 1);
    table.SetEmbeddedTable(missing, 0, nullptr);
    const int given = table.AddRow();
    table.AddCell(given, QStringLiteral("given"), 1, 1);
    table.Cell(given, 0)->m_AutoHeight = false;
    table.Cell(given, 0)->m_Height = 3;
    table.RecalcLayout(200);

    QCOMPARE(table.RowHeight(box), 12 + 4 + 4);
    QCOMPARE(table.RowHeight(fixed), 37);
    QCOMPARE(table.RowHeight(missing), 10);
    QCOMPARE(table.RowHeight(given), 3);
    QCOMPARE(table.TotalHeight(200), 20 + 37 + 10 + 3);

    table.SetMargins(box, 0, QMargins(1, 6, 1, 7));
    table.RecalcLayout(200);
    QCOMPARE(table.RowHeight(box), 12 + 6 + 7);
}

void CComplexTableWndTest::VerticalTextIsAsTallAsItIsLong() {
    CComplexTableWnd table;
    const int row = table.AddRow();
    const QString text = QStringLiteral("Strike Price");
    table.AddCell(row, text, 1, 1);
    table.SetVertical(row, 0, true);
    table.SetStretchLastRow(false);
    table.RecalcLayout(30);
    QCOMPARE(table.RowHeight(row), QFontMetrics(table.font()).horizontalAdvance(text) + 8);
}

void CComplexTableWndTest::LastRowStretchesToTheBottom() {
    CComplexTableWnd table;
    const int first = AddRowOfCells(table, 2);
    const int last = AddRowOfCells(table, 2);
    SetRowHeight(table, first, 20);
    SetRowHeight(table, last, 20);
    table.resize(200, 150);
    table.RecalcLayout(200);
    QCOMPARE(table.RowHeight(first), 20);
    QCOMPARE(table.RowHeight(last), 130);
    QCOMPARE(table.CellRect(last, 1).height(), 130);
    QCOMPARE(table.TotalHeight(200), 40);

    table.SetStretchLastRow(false);
    QCOMPARE(table.RowHeight(last), 20);
}

void CComplexTableWndTest::TextFromTheHookIsMeasuredAndPainted() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const QString words = QStringLiteral("many words from the hook that wrap over lines");
    table.m_Text = [&](int row, int column) {
        return row == 0 && column == 0 ? words : QString();
    };
    const int row = table.AddRow();
    table.AddCell(row, QString(), 2, 1);
    table.AddCell(row, QString(), 2, 1);
    table.SetTextFromHook(row, 0, true);
    table.SetTextFromHook(row, 1, true);
    table.SetStretchLastRow(false);
    table.resize(200, 200);
    table.RecalcLayout(200);

    const QFontMetrics metrics(table.font());
    const int wrapped =
        metrics
            .boundingRect(QRect(0, 0, 100 - 8, 100000), Qt::TextWordWrap | Qt::AlignHCenter, words)
            .height();
    QCOMPARE(table.RowHeight(row), wrapped + 8);
    QVERIFY(table.m_TextCalls > 0);

    const QImage picture = Picture(table);
    QVERIFY(PixelsDarkerThan(picture, table.CellRect(row, 0), 128) > 20);
    QCOMPARE(PixelsDarkerThan(picture, table.CellRect(row, 1), 128), 0);
}

void CComplexTableWndTest::RepeatedTextsAreMeasuredForTheirOwnWidthAndFont() {
    CComplexTableWnd table;
    table.SetStretchLastRow(false);
    const QString title = QStringLiteral("Strike Price Premium");
    const int wide = table.AddRow();
    table.AddCell(wide, title, 1, 1);
    const int narrow = table.AddRow();
    table.AddCell(narrow, title, 4, 1);
    table.AddCell(narrow, QString(), 4, 3);
    const int large = table.AddRow();
    table.AddCell(large, title, 1, 1);
    QFont largeFont = table.font();
    largeFont.setPointSize(largeFont.pointSize() * 2);
    table.SetCellFont(large, 0, largeFont);
    table.RecalcLayout(400);

    const QFontMetrics metrics(table.font());
    const int lineHeight =
        metrics.boundingRect(QRect(0, 0, 1000, 1000), Qt::TextWordWrap, QStringLiteral("W"))
            .height();
    QCOMPARE(table.RowHeight(wide), lineHeight + 8);
    const int wrapped =
        metrics
            .boundingRect(QRect(0, 0, 100 - 8, 100000), Qt::TextWordWrap | Qt::AlignHCenter, title)
            .height();
    QVERIFY(wrapped > lineHeight);
    QCOMPARE(table.RowHeight(narrow), wrapped + 8);
    const QFontMetrics largeMetrics(largeFont);
    const int largeHeight =
        largeMetrics
            .boundingRect(QRect(0, 0, 400 - 8, 100000), Qt::TextWordWrap | Qt::AlignHCenter, title)
            .height();
    QCOMPARE(table.RowHeight(large), largeHeight + 8);
    QVERIFY(largeHeight > lineHeight);
}

// --- Building ---------------------------------------------------------------------------

void CComplexTableWndTest::SettersFindCellsByNameAndKeepRowValues() {
    CComplexTableWnd table;
    const int row = AddRowOfCells(table, 3);
    table.SetName(row, 2, QStringLiteral("Premium"));
    table.SetTextByName(row, QStringLiteral("Premium"), QStringLiteral("0.45"));
    table.SetTextByName(row, QStringLiteral("Nothing"), QStringLiteral("lost"));
    QCOMPARE(table.Cell(row, 2)->m_Text, QStringLiteral("0.45"));
    QCOMPARE(table.Cell(row, 0)->m_Text, QStringLiteral("c0"));
    QCOMPARE(table.Cell(row, 1)->m_Text, QStringLiteral("c1"));

    table.SetRowValue(row, 4242);
    QCOMPARE(table.RowValue(row), std::uintptr_t{4242});
    QCOMPARE(table.RowValue(7), std::uintptr_t{0});
    QCOMPARE(table.RowCount(), 1);
    QCOMPARE(table.CellCount(row), 3);
    QCOMPARE(table.AddCell(5, QStringLiteral("no row")), -1);

    // Out-of-range indexes are ignored rather than trusted.
    table.SetText(row, 9, QStringLiteral("x"));
    table.SetBackground(-1, 0, kBlack);
    QCOMPARE(table.CellRect(3, 3), QRect());

    table.SetBorders(row, 1, 1, 2, 3, 4, 0x999999);
    QCOMPARE(table.Cell(row, 1)->m_RightBorder.m_Width, 2);
    QCOMPARE(table.Cell(row, 1)->m_BottomBorder.m_Color, Color{0x999999});
    table.SetCornerMarker(row, 1, 6, 0x0000FF);
    QCOMPARE(table.Cell(row, 1)->m_CornerMarkerSize, 6);
}

void CComplexTableWndTest::InsertedRowKeepsTheCurrentCellOnItsCell() {
    CComplexTableWnd table;
    AddRowOfCells(table, 2, QStringLiteral("a"));
    AddRowOfCells(table, 2, QStringLiteral("b"));
    table.SetCurrentCell(1, 1);
    QCOMPARE(table.AddRow(0), 0);
    QCOMPARE(table.CurrentRow(), 2);
    QCOMPARE(table.Cell(table.CurrentRow(), table.CurrentColumn())->m_Text, QStringLiteral("b1"));
    QCOMPARE(table.AddRow(99), 3);
    QCOMPARE(table.CurrentRow(), 2);
}

void CComplexTableWndTest::CurrentCellOutsideTheTableClears() {
    CComplexTableWnd table;
    AddRowOfCells(table, 3);
    QSignalSpy changes(&table, &CComplexTableWnd::CurrentCellChanged);
    table.SetCurrentCell(0, 2);
    QCOMPARE(table.CurrentRow(), 0);
    QCOMPARE(table.CurrentColumn(), 2);
    table.SetCurrentCell(0, 2);
    QCOMPARE(changes.count(), 1);
    table.SetCurrentCell(0, 3);
    QCOMPARE(table.CurrentRow(), -1);
    QCOMPARE(table.CurrentColumn(), -1);
    table.SetCurrentCell(0, 1);
    table.SetCurrentCell(-1, -1);
    QCOMPARE(table.CurrentRow(), -1);
    QCOMPARE(changes.count(), 4);
}

void CComplexTableWndTest::TextOfAHookCellIsStoredThroughTheHook() {
    CRecordingTable table;
    const int row = AddRowOfCells(table, 2);
    table.SetTextFromHook(row, 1, true);
    table.SetText(row, 1, QStringLiteral("12.5"));
    table.SetText(row, 0, QStringLiteral("plain"));
    QCOMPARE(table.m_Calls, QStringList{QStringLiteral("set-text 0,1 12.5")});
    QCOMPARE(table.Cell(row, 1)->m_Text, QStringLiteral("c1"));
    QCOMPARE(table.Cell(row, 0)->m_Text, QStringLiteral("plain"));
}

void CComplexTableWndTest::EmbeddedTableTakesTheHostFontAndSitsOverItsCell() {
    CComplexTableWnd host;
    QFont big = host.font();
    big.setPointSize(big.pointSize() + 7);
    host.setFont(big);
    auto child = std::make_unique<CComplexTableWnd>(&host);
    QCOMPARE(child->font(), big);
    for (int r = 0; r < 3; ++r) {
        const int row = AddRowOfCells(*child, 2);
        SetRowHeight(*child, row, 15);
    }
    CComplexTableWnd* embedded = child.get();
    const int row = host.AddRow();
    host.AddCell(row, QStringLiteral("name"), 4, 1);
    host.AddCell(row, QString(), 4, 3);
    host.SetEmbeddedTable(row, 1, std::move(child));
    host.SetStretchLastRow(false);
    host.resize(400, 100);
    host.RecalcLayout(400);

    QCOMPARE(host.RowHeight(row), 45);
    QCOMPARE(embedded->parentWidget(), &host);
    QCOMPARE(embedded->geometry(), host.CellRect(row, 1));
    QCOMPARE(embedded->geometry(), QRect(100, 0, 300, 45));
}

// --- Navigation -------------------------------------------------------------------------

void CComplexTableWndTest::UpAndDownSkipRowsOfOtherShapesAndCellsThatCannotBeTaken() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    AddRowOfCells(table, 3); // 0
    AddRowOfCells(table, 2); // 1: another shape
    AddRowOfCells(table, 3); // 2: middle cell not selectable
    table.SetSelectable(2, 1, false);
    AddRowOfCells(table, 3); // 3: middle cell invisible
    table.SetVisible(3, 1, false);
    AddRowOfCells(table, 3); // 4
    QVERIFY(window.Show());
    table.setFocus();

    table.SetCurrentCell(0, 1);
    QTest::keyClick(&table, Qt::Key_Down);
    QCOMPARE(table.CurrentRow(), 4);
    QCOMPARE(table.CurrentColumn(), 1);
    QTest::keyClick(&table, Qt::Key_Down); // the last row: nothing below
    QCOMPARE(table.CurrentRow(), 4);
    QTest::keyClick(&table, Qt::Key_Up);
    QCOMPARE(table.CurrentRow(), 0);
    QTest::keyClick(&table, Qt::Key_Up);
    QCOMPARE(table.CurrentRow(), 0);

    table.SetCurrentCell(0, 0);
    QTest::keyClick(&table, Qt::Key_Down);
    QCOMPARE(table.CurrentRow(), 2);
    QCOMPARE(table.CurrentColumn(), 0);
    QTest::keyClick(&table, Qt::Key_Down);
    QCOMPARE(table.CurrentRow(), 3);
}

void CComplexTableWndTest::LeftAndRightStayInTheRow() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    AddRowOfCells(table, 5);
    AddRowOfCells(table, 5);
    table.SetSelectable(0, 1, false);
    table.SetVisible(0, 3, false);
    QVERIFY(window.Show());
    table.setFocus();

    table.SetCurrentCell(0, 0);
    QTest::keyClick(&table, Qt::Key_Right);
    QCOMPARE(table.CurrentColumn(), 2);
    QTest::keyClick(&table, Qt::Key_Right);
    QCOMPARE(table.CurrentColumn(), 4);
    QTest::keyClick(&table, Qt::Key_Right); // no wrapping into the next row
    QCOMPARE(table.CurrentRow(), 0);
    QCOMPARE(table.CurrentColumn(), 4);
    QTest::keyClick(&table, Qt::Key_Left);
    QCOMPARE(table.CurrentColumn(), 2);
    QTest::keyClick(&table, Qt::Key_Left);
    QCOMPARE(table.CurrentColumn(), 0);
    QTest::keyClick(&table, Qt::Key_Left);
    QCOMPARE(table.CurrentColumn(), 0);
}

void CComplexTableWndTest::NextAndPreviousWrapAcrossRowsAndStopAtTheEnds() {
    CComplexTableWnd table;
    AddRowOfCells(table, 2); // 0
    AddRowOfCells(table, 1); // 1: nothing to take
    table.SetSelectable(1, 0, false);
    table.AddRow();          // 2: no cells at all
    AddRowOfCells(table, 3); // 3: middle cell invisible
    table.SetVisible(3, 1, false);

    const auto move = [&](TableDirection direction) {
        table.MoveSelection(table.CurrentRow(), table.CurrentColumn(), direction);
        return CTableCellIndex{table.CurrentRow(), table.CurrentColumn()};
    };
    table.SetCurrentCell(0, 0);
    QCOMPARE(move(TableDirection::Next), (CTableCellIndex{0, 1}));
    QCOMPARE(move(TableDirection::Next), (CTableCellIndex{3, 0}));
    QCOMPARE(move(TableDirection::Next), (CTableCellIndex{3, 2}));
    QVERIFY(!table.MoveSelection(3, 2, TableDirection::Next));
    QCOMPARE(move(TableDirection::Next), (CTableCellIndex{3, 2}));
    QCOMPARE(move(TableDirection::Previous), (CTableCellIndex{3, 0}));
    QCOMPARE(move(TableDirection::Previous), (CTableCellIndex{0, 1}));
    QCOMPARE(move(TableDirection::Previous), (CTableCellIndex{0, 0}));
    QVERIFY(!table.MoveSelection(0, 0, TableDirection::Previous));
    QCOMPARE(move(TableDirection::Previous), (CTableCellIndex{0, 0}));
}

void CComplexTableWndTest::TabReachesTheTableOnlyWithACurrentCell() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    AddRowOfCells(table, 2);
    AddRowOfCells(table, 2);
    QVERIFY(window.Show());
    table.setFocus();
    QVERIFY(table.hasFocus());

    table.SetCurrentCell(0, 1);
    QTest::keyClick(&table, Qt::Key_Tab);
    QCOMPARE(table.CurrentRow(), 1);
    QCOMPARE(table.CurrentColumn(), 0);
    QVERIFY(table.hasFocus());
    QTest::keyClick(&table, Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(table.CurrentRow(), 0);
    QCOMPARE(table.CurrentColumn(), 1);
    QTest::keyClick(&table, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(table.CurrentColumn(), 0);
    QVERIFY(table.hasFocus());

    // Without a current cell Tab moves on to the next control as usual.
    table.SetCurrentCell(-1, -1);
    QTest::keyClick(&table, Qt::Key_Tab);
    QVERIFY(window.m_Other.hasFocus());
}

void CComplexTableWndTest::PageDownAndUpCoverTheVisibleHeight() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    for (int r = 0; r < 30; ++r) {
        const int row = AddRowOfCells(table, r == 10 ? 2 : 3);
        SetRowHeight(table, row, 20);
    }
    table.SetVisibleHeight(100);
    QVERIFY(window.Show());
    table.setFocus();

    table.SetCurrentCell(0, 1);
    QTest::keyClick(&table, Qt::Key_PageDown);
    QCOMPARE(table.CurrentRow(), 5);
    QCOMPARE(table.CurrentColumn(), 1);
    // Row 10 has another shape: the first row from there onward is taken.
    QTest::keyClick(&table, Qt::Key_PageDown);
    QCOMPARE(table.CurrentRow(), 11);
    QTest::keyClick(&table, Qt::Key_PageUp);
    QCOMPARE(table.CurrentRow(), 6);
    QTest::keyClick(&table, Qt::Key_PageUp);
    QCOMPARE(table.CurrentRow(), 1);
    QTest::keyClick(&table, Qt::Key_PageUp);
    QCOMPARE(table.CurrentRow(), 0);
    QTest::keyClick(&table, Qt::Key_PageUp);
    QCOMPARE(table.CurrentRow(), 0);

    table.SetCurrentCell(27, 2);
    QTest::keyClick(&table, Qt::Key_PageDown);
    QCOMPARE(table.CurrentRow(), 29);
    QTest::keyClick(&table, Qt::Key_PageDown);
    QCOMPARE(table.CurrentRow(), 29);
}

void CComplexTableWndTest::PageMovesFallBackTowardTheStart() {
    CComplexTableWnd table;
    for (int r = 0; r < 20; ++r) {
        const int row = AddRowOfCells(table, r >= 15 ? 2 : 3);
        SetRowHeight(table, row, 20);
    }
    table.SetVisibleHeight(100);
    table.RecalcLayout(300);

    // A page down from row 12 lands on row 17; no row of three cells follows, so the
    // nearest one back toward the start is taken.
    QVERIFY(table.MoveSelection(12, 0, TableDirection::PageDown));
    QCOMPARE(table.CurrentRow(), 14);

    // The only row of its shape: a page move has nowhere to go.
    CComplexTableWnd lone;
    AddRowOfCells(lone, 4);
    for (int r = 0; r < 10; ++r) {
        AddRowOfCells(lone, 2);
    }
    lone.SetVisibleHeight(40);
    lone.RecalcLayout(300);
    lone.SetCurrentCell(0, 3);
    QVERIFY(!lone.MoveSelection(0, 3, TableDirection::PageDown));
    QCOMPARE(lone.CurrentRow(), 0);
    lone.SetCurrentCell(9, 1);
    QVERIFY(lone.MoveSelection(9, 1, TableDirection::PageDown));
    QCOMPARE(lone.CurrentRow(), 10);
}

void CComplexTableWndTest::PageUsesTheScrollAreaViewport() {
    QScrollArea area;
    area.resize(300, 130);
    auto owned = std::make_unique<CComplexTableWnd>();
    CComplexTableWnd& table = *owned;
    for (int r = 0; r < 40; ++r) {
        const int row = AddRowOfCells(table, 3);
        SetRowHeight(table, row, 20);
    }
    table.resize(280, table.TotalHeight(280));
    area.setWidget(owned.release()); // the scroll area owns its widget
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));

    const int viewport = area.viewport()->height();
    QCOMPARE(table.VisibleHeight(), viewport);
    table.SetCurrentCell(0, 0);
    QVERIFY(table.MoveSelection(0, 0, TableDirection::PageDown));
    QCOMPARE(table.CurrentRow(), (viewport + 19) / 20);
}

void CComplexTableWndTest::KeysDoNothingWithoutACurrentCell() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    AddRowOfCells(table, 3);
    AddRowOfCells(table, 3);
    table.SetEditable(0, 0, true);
    QVERIFY(window.Show());
    table.setFocus();
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_PageDown, Qt::Key_Return}) {
        QTest::keyClick(&table, key);
        QCOMPARE(table.CurrentRow(), -1);
    }
    QVERIFY(!table.IsEditing());
    QVERIFY(table.m_Calls.filter(QStringLiteral("begin-edit")).isEmpty());

    // Enter on a cell that cannot be edited opens nothing either.
    table.SetCurrentCell(1, 1);
    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(!table.IsEditing());
}

void CComplexTableWndTest::SpaceTogglesOnlyTheCurrentCheckBox() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = AddRowOfCells(table, 3);
    table.SetCheckBox(row, 0, false);
    QVERIFY(window.Show());
    table.setFocus();

    // Anywhere else in the row Space leaves the box alone.
    table.SetCurrentCell(row, 2);
    QTest::keyClick(&table, Qt::Key_Space);
    QVERIFY(table.m_Calls.isEmpty());
    QVERIFY(!table.Cell(row, 0)->m_Ticked);

    table.SetCurrentCell(row, 0);
    QTest::keyClick(&table, Qt::Key_Space);
    QCOMPARE(table.m_Calls,
             (QStringList{QStringLiteral("may-toggle 0,0"), QStringLiteral("toggled 0,0")}));
    QVERIFY(table.Cell(row, 0)->m_Ticked);

    // The hook may still refuse.
    table.m_Calls.clear();
    table.m_AllowToggle = false;
    QTest::keyClick(&table, Qt::Key_Space);
    QCOMPARE(table.m_Calls, QStringList{QStringLiteral("may-toggle 0,0")});
    QVERIFY(table.Cell(row, 0)->m_Ticked);
}

void CComplexTableWndTest::MenuKeysAndTheCornerKeyActOnTheCurrentCell_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("call");
    QTest::newRow("menu key") << int(Qt::Key_Menu) << Qt::KeyboardModifiers()
                              << QStringLiteral("right 1,1");
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                               << QStringLiteral("right 1,1");
    QTest::newRow("F10 alone") << int(Qt::Key_F10) << Qt::KeyboardModifiers() << QString();
    QTest::newRow("corner key") << CComplexTableWnd::kCornerMarkerKey
                                << Qt::KeyboardModifiers(CComplexTableWnd::kCornerMarkerModifiers)
                                << QStringLiteral("corner 1,1");
}

void CComplexTableWndTest::MenuKeysAndTheCornerKeyActOnTheCurrentCell() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, call);
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    AddRowOfCells(table, 3);
    const int row = AddRowOfCells(table, 3);
    table.SetCornerMarker(row, 1, 8, kBlack);
    QVERIFY(window.Show());
    table.setFocus();
    table.SetCurrentCell(row, 1);

    QTest::keyClick(&table, static_cast<Qt::Key>(key), modifiers);
    QCOMPARE(table.m_Calls, call.isEmpty() ? QStringList() : QStringList{call});
    QCOMPARE(table.CurrentRow(), row);
    QCOMPARE(table.CurrentColumn(), 1);

    // A cell without a corner marker has nothing to click.
    if (call.startsWith(QStringLiteral("corner"))) {
        table.m_Calls.clear();
        table.SetCurrentCell(row, 2);
        QTest::keyClick(&table, static_cast<Qt::Key>(key), modifiers);
        QVERIFY(table.m_Calls.isEmpty());
    }
}

void CComplexTableWndTest::FirstEditableCellIsFoundInReadingOrder() {
    CComplexTableWnd table;
    QVERIFY(!table.FirstEditableCell());
    AddRowOfCells(table, 3);
    const int row = AddRowOfCells(table, 3);
    AddRowOfCells(table, 3);
    table.SetEditable(row + 1, 0, true);
    table.SetEditable(row, 0, true);
    table.SetVisible(row, 0, false);
    table.SetEditable(row, 1, true);
    table.SetSelectable(row, 1, false);
    table.SetEditable(row, 2, true);
    QVERIFY(table.FirstEditableCell() == (CTableCellIndex{row, 2}));
}

// --- Mouse ------------------------------------------------------------------------------

void CComplexTableWndTest::ClicksMakeCellsCurrent() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    AddRowOfCells(table, 3);
    table.SetSelectable(0, 2, false);
    QVERIFY(window.Show());

    QTest::mouseClick(&table, Qt::LeftButton, {}, CentreOf(table.CellRect(0, 1)));
    QCOMPARE(table.CurrentColumn(), 1);
    QVERIFY(table.hasFocus());
    QTest::mouseClick(&table, Qt::RightButton, {}, CentreOf(table.CellRect(0, 0)));
    QCOMPARE(table.CurrentColumn(), 0);
    QTest::mouseClick(&table, Qt::LeftButton, {}, CentreOf(table.CellRect(0, 2)));
    QCOMPARE(table.CurrentColumn(), 0);
    QTest::mouseClick(&table, Qt::RightButton, {}, CentreOf(table.CellRect(0, 2)));
    QCOMPARE(table.CurrentColumn(), 0);

    QVERIFY(table.m_Calls.contains(QStringLiteral("left 0,1")));
    QVERIFY(table.m_Calls.contains(QStringLiteral("right 0,0")));
    QVERIFY(table.m_Calls.contains(QStringLiteral("right 0,2")));
    // Neither a corner marker nor an editor is involved.
    QVERIFY(table.m_Calls.filter(QStringLiteral("corner")).isEmpty());
    QVERIFY(table.m_Calls.filter(QStringLiteral("begin-edit")).isEmpty());
}

void CComplexTableWndTest::CheckBoxClickAsksThenToggles() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = table.AddRow();
    table.AddCell(row, QString(), 2, 1);
    table.AddCell(row, QString(), 2, 1);
    table.SetCheckBox(row, 1, false);
    QVERIFY(window.Show());

    const QRect cell = table.CellRect(row, 1);
    QTest::mouseClick(&table, Qt::LeftButton, {}, CentreOf(cell));
    QCOMPARE(table.m_Calls,
             (QStringList{QStringLiteral("left 0,1"), QStringLiteral("may-toggle 0,1"),
                          QStringLiteral("toggled 0,1")}));
    QVERIFY(table.Cell(row, 1)->m_Ticked);
    QCOMPARE(table.CurrentColumn(), 1);

    // Beside the box the cell is only made current.
    table.m_Calls.clear();
    QTest::mouseClick(&table, Qt::LeftButton, {}, cell.topLeft() + QPoint(2, 2));
    QCOMPARE(table.m_Calls, QStringList{QStringLiteral("left 0,1")});
    QVERIFY(table.Cell(row, 1)->m_Ticked);

    QTest::mouseClick(&table, Qt::LeftButton, {}, CentreOf(cell));
    QVERIFY(!table.Cell(row, 1)->m_Ticked);
}

void CComplexTableWndTest::RefusedToggleKeepsTheBox() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = table.AddRow();
    table.AddCell(row, QString(), 1, 1);
    table.SetCheckBox(row, 0, true);
    table.m_AllowToggle = false;
    QVERIFY(window.Show());

    QTest::mouseClick(&table, Qt::LeftButton, {}, CentreOf(table.CellRect(row, 0)));
    QCOMPARE(table.m_Calls,
             (QStringList{QStringLiteral("left 0,0"), QStringLiteral("may-toggle 0,0")}));
    QVERIFY(table.Cell(row, 0)->m_Ticked);
}

void CComplexTableWndTest::CheckBoxThatCannotBeSelectedStillToggles() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = table.AddRow();
    table.AddCell(row, QString(), 1, 1, kWhite, kBlack, false);
    table.SetCheckBox(row, 0, false);
    QVERIFY(window.Show());

    QTest::mouseClick(&table, Qt::LeftButton, {}, CentreOf(table.CellRect(row, 0)));
    QVERIFY(table.Cell(row, 0)->m_Ticked);
    QCOMPARE(table.CurrentRow(), -1);
    QVERIFY(table.m_Calls.contains(QStringLiteral("toggled 0,0")));
}

void CComplexTableWndTest::CornerMarkerClickCallsTheCornerHook() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = AddRowOfCells(table, 2);
    table.SetCornerMarker(row, 0, 8, 0x0000FF);
    table.SetStretchLastRow(false);
    QVERIFY(window.Show());
    table.SetCurrentCell(row, 0);

    const QRect cell = table.CellRect(row, 0);
    QTest::mouseClick(&table, Qt::LeftButton, {}, cell.bottomRight() - QPoint(1, 1));
    QCOMPARE(table.m_Calls,
             (QStringList{QStringLiteral("left 0,0"), QStringLiteral("corner 0,0")}));

    // Outside the triangle, even inside its square, is the cell itself.
    table.m_Calls.clear();
    QTest::mouseClick(&table, Qt::LeftButton, {}, cell.bottomRight() - QPoint(7, 7));
    QTest::mouseClick(&table, Qt::LeftButton, {}, CentreOf(cell));
    QCOMPARE(table.m_Calls, (QStringList{QStringLiteral("left 0,0"), QStringLiteral("left 0,0")}));

    // The marker is drawn on the current cell only.
    const QImage picture = Picture(table);
    QCOMPARE(picture.pixelColor(cell.bottomRight() - QPoint(1, 1)), QColor(Qt::red));
    table.SetCurrentCell(row, 1);
    QCOMPARE(Picture(table).pixelColor(cell.bottomRight() - QPoint(1, 1)), QColor(Qt::white));
}

void CComplexTableWndTest::CellCursorFollowsTheMouse() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = AddRowOfCells(table, 2);
    table.SetCellCursor(row, 0, QCursor(Qt::PointingHandCursor));
    QVERIFY(window.Show());

    QTest::mouseMove(&table, CentreOf(table.CellRect(row, 0)));
    QTRY_COMPARE(table.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(&table, CentreOf(table.CellRect(row, 1)));
    QTRY_COMPARE(table.cursor().shape(), Qt::ArrowCursor);
}

void CComplexTableWndTest::FocusCallsTheFocusHook() {
    CTableWindow window;
    AddRowOfCells(window.m_Table, 2);
    QVERIFY(window.Show());
    window.m_Other.setFocus();
    QVERIFY(!window.m_Table.hasFocus());
    const int before = window.m_Table.m_FocusCalls;
    window.m_Table.setFocus();
    QCOMPARE(window.m_Table.m_FocusCalls, before + 1);
    QTest::mouseClick(&window.m_Other, Qt::LeftButton);
    QTest::mouseClick(&window.m_Table, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(window.m_Table.m_FocusCalls, before + 2);
}

// --- Editing ----------------------------------------------------------------------------

void CComplexTableWndTest::EnterOpensTheEditorOverTheCellAndCommitsOnce() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = AddRowOfCells(table, 3);
    table.SetText(row, 1, QStringLiteral("old"));
    table.SetEditable(row, 1, true);
    QVERIFY(window.Show());
    table.setFocus();
    table.SetCurrentCell(row, 1);

    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(table.IsEditing());
    QPointer<CInPlaceEdit> editor = table.ActiveEditor();
    QVERIFY(editor);
    QCOMPARE(editor->geometry(), table.CellRect(row, 1));
    QCOMPARE(editor->font(), table.font());
    QCOMPARE(editor->text(), QStringLiteral("old"));
    QCOMPARE(editor->selectedText(), QStringLiteral("old"));
    QVERIFY(!editor->isUndoAvailable());
    QVERIFY(editor->hasFocus());

    QTest::keyClicks(editor, QStringLiteral("new"));
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(!table.IsEditing());
    QCOMPARE(table.Cell(row, 1)->m_Text, QStringLiteral("new"));
    QVERIFY(table.hasFocus());
    ProcessDeferredDeletes();
    QVERIFY(editor.isNull());
    QCOMPARE(table.m_Calls.filter(QStringLiteral("commit")),
             QStringList{QStringLiteral("commit 0,1 new")});

    // A cell font goes to the editor.
    QFont cellFont = table.font();
    cellFont.setPointSize(cellFont.pointSize() + 5);
    table.SetCellFont(row, 1, cellFont);
    QTest::keyClick(&table, Qt::Key_Enter);
    QVERIFY(table.ActiveEditor() != nullptr);
    QCOMPARE(table.ActiveEditor()->font(), cellFont);
    table.EndEditing(false);
}

void CComplexTableWndTest::EscapeCancelsTheEdit() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = AddRowOfCells(table, 2);
    table.SetText(row, 0, QStringLiteral("keep"));
    QPointer<CInPlaceEdit> editor = StartEditing(window, row);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("lost"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!table.IsEditing());
    ProcessDeferredDeletes();
    QVERIFY(editor.isNull());
    QCOMPARE(table.Cell(row, 0)->m_Text, QStringLiteral("keep"));
    QVERIFY(table.m_Calls.filter(QStringLiteral("commit")).isEmpty());
    QVERIFY(table.hasFocus());
}

void CComplexTableWndTest::ClickingElsewhereCommitsTheEdit() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = AddRowOfCells(table, 2);
    QPointer<CInPlaceEdit> editor = StartEditing(window, row);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("typed"));
    QTest::mouseClick(&window.m_Other, Qt::LeftButton);
    QVERIFY(window.m_Other.hasFocus());
    QVERIFY(!table.IsEditing());
    ProcessDeferredDeletes();
    QVERIFY(editor.isNull());
    QCOMPARE(table.Cell(row, 0)->m_Text, QStringLiteral("typed"));
    QCOMPARE(table.m_Calls.filter(QStringLiteral("commit")),
             QStringList{QStringLiteral("commit 0,0 typed")});

    // Clicking another cell of the table commits as well, and that cell becomes current.
    table.setFocus();
    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(table.IsEditing());
    QTest::keyClicks(table.ActiveEditor(), QStringLiteral("again"));
    QTest::mouseClick(&table, Qt::LeftButton, {}, CentreOf(table.CellRect(row, 1)));
    QVERIFY(!table.IsEditing());
    QCOMPARE(table.Cell(row, 0)->m_Text, QStringLiteral("again"));
    QCOMPARE(table.CurrentColumn(), 1);
    QCOMPARE(table.m_Calls.filter(QStringLiteral("commit")).size(), 2);
}

void CComplexTableWndTest::ClickOnTheCurrentEditableCellBeginsEditing() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = AddRowOfCells(table, 2);
    table.SetEditable(row, 0, true);
    QVERIFY(window.Show());

    const QPoint centre = CentreOf(table.CellRect(row, 0));
    QTest::mouseClick(&table, Qt::LeftButton, {}, centre);
    QVERIFY(!table.IsEditing());
    QTest::mouseClick(&table, Qt::LeftButton, {}, centre);
    QVERIFY(table.IsEditing());
    QCOMPARE(table.m_Calls.filter(QStringLiteral("begin-edit")),
             QStringList{QStringLiteral("begin-edit 0,0")});

    // A cell that cannot be edited never opens an editor.
    table.EndEditing(false);
    QTest::mouseClick(&table, Qt::LeftButton, {}, CentreOf(table.CellRect(row, 1)));
    QTest::mouseClick(&table, Qt::LeftButton, {}, CentreOf(table.CellRect(row, 1)));
    QVERIFY(!table.IsEditing());
}

void CComplexTableWndTest::EditorWidensButStaysInsideTheTable() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = AddRowOfCells(table, 4);
    table.SetEditable(row, 1, true);
    QVERIFY(window.Show());
    table.setFocus();
    table.SetCurrentCell(row, 1);
    QTest::keyClick(&table, Qt::Key_Return);
    CInPlaceEdit* editor = table.ActiveEditor();
    QVERIFY(editor != nullptr);
    const QRect cell = table.CellRect(row, 1);
    QCOMPARE(editor->width(), cell.width());

    QTest::keyClicks(editor, QStringLiteral("wider than the cell"));
    const int wanted =
        editor->fontMetrics().horizontalAdvance(QStringLiteral("wider than the cell")) + 10;
    QVERIFY(wanted > cell.width());
    QCOMPARE(editor->width(), std::min(wanted, table.width() - cell.left()));
    QCOMPARE(editor->x(), cell.left());

    QTest::keyClicks(editor, QStringLiteral(" and much, much wider than the whole table is"));
    QCOMPARE(editor->geometry().right(), table.width() - 1);
    table.EndEditing(false);
}

void CComplexTableWndTest::EditorKeepsDeleteFromWindowShortcuts() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    QAction deleteRow(QStringLiteral("Delete row"), &window.m_Window);
    deleteRow.setShortcut(QKeySequence::Delete);
    window.m_Window.addAction(&deleteRow);
    QSignalSpy triggered(&deleteRow, &QAction::triggered);
    const int row = AddRowOfCells(table, 2);
    table.SetEditable(row, 0, true);
    QVERIFY(window.Show());
    table.setFocus();
    table.SetCurrentCell(row, 0);

    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(table.ActiveEditor() != nullptr);
    QTest::keyClick(table.ActiveEditor(), Qt::Key_Delete);
    QCOMPARE(table.ActiveEditor()->text(), QString());
    QCOMPARE(triggered.count(), 0);
    table.EndEditing(false);

    // Outside the editor the window's shortcut works, which shows the test can see it.
    QTest::keyClick(&table, Qt::Key_Delete);
    QCOMPARE(triggered.count(), 1);
}

void CComplexTableWndTest::EditorStartsWithTheHookText() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    table.m_Text = [](int, int) {
        return QStringLiteral("from hook");
    };
    const int row = AddRowOfCells(table, 2);
    table.SetTextFromHook(row, 1, true);
    table.SetEditable(row, 1, true);
    QVERIFY(window.Show());
    table.setFocus();
    table.SetCurrentCell(row, 1);

    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(table.ActiveEditor() != nullptr);
    QCOMPARE(table.ActiveEditor()->text(), QStringLiteral("from hook"));
    QTest::keyClicks(table.ActiveEditor(), QStringLiteral("7"));
    QTest::keyClick(table.ActiveEditor(), Qt::Key_Return);
    QCOMPARE(table.m_Calls.filter(QStringLiteral("commit")).size(), 1);
    QVERIFY(table.m_Calls.contains(QStringLiteral("set-text 0,1 7")));
}

void CComplexTableWndTest::RowsAddedWhileEditingCommitIntoTheEditedCell() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = AddRowOfCells(table, 2);
    table.SetEditable(row, 1, true);
    QVERIFY(window.Show());
    table.setFocus();
    table.SetCurrentCell(row, 1);
    QTest::keyClick(&table, Qt::Key_Return);
    QVERIFY(table.IsEditing());

    // The owner refreshes and puts a row in front of the one being edited.
    AddRowOfCells(table, 2, QStringLiteral("new"));
    table.AddRow(0);
    QTest::keyClicks(table.ActiveEditor(), QStringLiteral("edited"));
    QTest::keyClick(table.ActiveEditor(), Qt::Key_Return);
    QCOMPARE(table.m_Calls.filter(QStringLiteral("commit")),
             QStringList{QStringLiteral("commit 1,1 edited")});
    QCOMPARE(table.Cell(1, 1)->m_Text, QStringLiteral("edited"));
    QCOMPARE(table.Cell(2, 1)->m_Text, QStringLiteral("new1"));
}

void CComplexTableWndTest::RemovingTheRowsCancelsTheEdit() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = AddRowOfCells(table, 2);
    QPointer<CInPlaceEdit> editor = StartEditing(window, row);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("gone"));

    table.RemoveAllRows();
    QVERIFY(!table.IsEditing());
    QCOMPARE(table.RowCount(), 0);
    QCOMPARE(table.CurrentRow(), -1);
    window.m_Other.setFocus();
    ProcessDeferredDeletes();
    QVERIFY(editor.isNull());
    QVERIFY(table.m_Calls.filter(QStringLiteral("commit")).isEmpty());
}

void CComplexTableWndTest::TypingOnAnEditableCellStartsTheEditorWithTheKey() {
    CTableWindow window;
    CRecordingTable& table = window.m_Table;
    const int row = AddRowOfCells(table, 3);
    table.SetText(row, 1, QStringLiteral("old"));
    table.SetEditable(row, 1, true);
    table.SetCheckBox(row, 2, false);
    QVERIFY(window.Show());
    table.setFocus();

    // On a cell that cannot be edited typing does nothing, blanks included.
    table.SetCurrentCell(row, 0);
    TypeAsUser(table, QStringLiteral("5 Mar"));
    QVERIFY(!table.IsEditing());
    QVERIFY(table.m_Calls.isEmpty());
    // Nor does a Ctrl combination on the editable cell.
    table.SetCurrentCell(row, 1);
    QTest::keyClick(&table, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(!table.IsEditing());

    TypeAsUser(table, QStringLiteral("5 Mar 2027"));
    QVERIFY(table.IsEditing());
    QCOMPARE(table.ActiveEditor()->text(), QStringLiteral("5 Mar 2027"));
    QTest::keyClick(table.ActiveEditor(), Qt::Key_Return);
    QCOMPARE(table.m_Calls, (QStringList{QStringLiteral("begin-edit 0,1"),
                                         QStringLiteral("commit 0,1 5 Mar 2027")}));
    QCOMPARE(table.Cell(row, 1)->m_Text, QStringLiteral("5 Mar 2027"));
    QVERIFY(!table.Cell(row, 2)->m_Ticked);

    // Escape after the first key leaves the old text.
    table.SetText(row, 1, QStringLiteral("old"));
    TypeAsUser(table, QStringLiteral("9"));
    QCOMPARE(table.ActiveEditor()->text(), QStringLiteral("9"));
    QTest::keyClick(table.ActiveEditor(), Qt::Key_Escape);
    QCOMPARE(table.Cell(row, 1)->m_Text, QStringLiteral("old"));
}

void CComplexTableWndTest::DestroyingTheTableWhileEditingCommitsNothing() {
    QWidget window;
    window.resize(300, 100);
    int commits = 0;
    auto table = std::make_unique<CCommitCountingTable>(commits, &window);
    table->setGeometry(0, 0, 300, 100);
    const int row = AddRowOfCells(*table, 2);
    table->SetEditable(row, 0, true);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    table->setFocus();
    table->SetCurrentCell(row, 0);
    QTest::keyClick(table.get(), Qt::Key_Return);
    QPointer<CInPlaceEdit> editor = table->ActiveEditor();
    QVERIFY(editor);
    QVERIFY(editor->hasFocus());
    QTest::keyClicks(editor, QStringLiteral("unsaved"));

    table.reset();
    QVERIFY(editor.isNull());
    ProcessDeferredDeletes();
    QCOMPARE(commits, 0);
}

// --- Painting ---------------------------------------------------------------------------

void CComplexTableWndTest::PictureShowsCellBackgroundsSelectionAndWhiteBelow() {
    CComplexTableWnd table;
    table.resize(300, 80);
    const int row = table.AddRow();
    table.AddCell(row, QString(), 3, 1, Rgb(255, 0, 0));
    table.AddCell(row, QString(), 3, 1, Rgb(0, 160, 0));
    table.AddCell(row, QString(), 3, 1, Rgb(0, 0, 255));
    const int bordered = table.AddRow();
    table.AddCell(bordered, QString(), 1, 1, Rgb(255, 255, 0));
    table.SetBorders(bordered, 0, 3, 0, 0, 0, Rgb(0, 0, 0));
    table.SetStretchLastRow(false);

    QImage picture = Picture(table);
    QCOMPARE(picture.pixelColor(CentreOf(table.CellRect(row, 0))), QColor(255, 0, 0));
    QCOMPARE(picture.pixelColor(CentreOf(table.CellRect(row, 1))), QColor(0, 160, 0));
    QCOMPARE(picture.pixelColor(CentreOf(table.CellRect(row, 2))), QColor(0, 0, 255));
    const QRect yellow = table.CellRect(bordered, 0);
    QCOMPARE(picture.pixelColor(CentreOf(yellow)), QColor(255, 255, 0));
    QCOMPARE(picture.pixelColor(yellow.left() + 2, yellow.center().y()), QColor(0, 0, 0));
    QCOMPARE(picture.pixelColor(yellow.left() + 3, yellow.center().y()), QColor(255, 255, 0));
    QVERIFY(yellow.bottom() < 75);
    QCOMPARE(picture.pixelColor(150, 78), QColor(Qt::white));

    table.SetCurrentCell(row, 1);
    picture = Picture(table);
    QCOMPARE(picture.pixelColor(CentreOf(table.CellRect(row, 1))),
             table.palette().color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(picture.pixelColor(CentreOf(table.CellRect(row, 0))), QColor(255, 0, 0));
}

void CComplexTableWndTest::PaintingAsksOnlyForVisibleRows() {
    QScrollArea area;
    area.resize(300, 200);
    auto owned = std::make_unique<CRecordingTable>();
    CRecordingTable& table = *owned;
    table.m_Text = [](int row, int column) {
        return QStringLiteral("%1:%2").arg(row).arg(column);
    };
    constexpr int kRows = 10000;
    constexpr int kCells = 4;
    for (int r = 0; r < kRows; ++r) {
        const int row = table.AddRow();
        table.ReserveCells(row, kCells);
        for (int c = 0; c < kCells; ++c) {
            table.AddCell(row, QString(), kCells, 1);
            table.SetTextFromHook(row, c, true);
        }
    }
    table.resize(280, table.TotalHeight(280));
    const int rowHeight = table.RowHeight(0);
    QVERIFY(rowHeight > 0);
    area.setWidget(owned.release()); // the scroll area owns its widget
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    const int visibleRows = area.viewport()->height() / rowHeight + 2;

    table.ForgetTextCalls();
    QImage picture = Picture(*area.viewport());
    QVERIFY(table.m_TextCalls > 0);
    QVERIFY(table.m_TextCalls <= visibleRows * kCells);
    QCOMPARE(table.m_LowestTextRow, 0);
    QVERIFY(table.m_HighestTextRow < visibleRows);
    QVERIFY(PixelsDarkerThan(picture, table.CellRect(0, 0), 128) > 0);

    area.verticalScrollBar()->setValue(table.CellRect(kRows / 2, 0).top());
    table.ForgetTextCalls();
    picture = Picture(*area.viewport());
    QVERIFY(table.m_TextCalls > 0);
    QVERIFY(table.m_TextCalls <= visibleRows * kCells);
    QVERIFY(table.m_LowestTextRow >= kRows / 2 - 1);
    QVERIFY(table.m_HighestTextRow < kRows / 2 + visibleRows);
}

void CComplexTableWndTest::PaintEntryDrawsEmbeddedTables() {
    CComplexTableWnd host;
    auto child = std::make_unique<CComplexTableWnd>();
    const int childRow = child->AddRow();
    child->AddCell(childRow, QString(), 1, 1, Rgb(0, 128, 255));
    child->SetFixedHeight(childRow, 0, 30);
    const int row = host.AddRow();
    host.AddCell(row, QString(), 2, 1, Rgb(255, 0, 0));
    host.AddCell(row, QString(), 2, 1);
    host.SetEmbeddedTable(row, 1, std::move(child));
    host.SetStretchLastRow(false);
    host.resize(200, 60);
    host.RecalcLayout(200);
    QCOMPARE(host.RowHeight(row), 30);

    // A page or picture has no child windows: the entry point draws the embedded table.
    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        host.Paint(painter, image.rect());
    }
    QCOMPARE(image.pixelColor(50, 15), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(150, 15), QColor(0, 128, 255));
    QCOMPARE(image.pixelColor(100, 50), QColor(Qt::white));
}

void CComplexTableWndTest::TextFollowsTheFormatAndTurnsForVerticalCells() {
    CComplexTableWnd table;
    table.SetStretchLastRow(false);
    table.resize(300, 200);
    const int row = table.AddRow();
    for (int c = 0; c < 3; ++c) {
        table.AddCell(row, QStringLiteral("MMM"), 3, 1);
    }
    table.SetFormat(row, 0, Qt::AlignLeft);
    table.SetFormat(row, 2, Qt::AlignRight);
    const int turned = table.AddRow();
    table.AddCell(turned, QStringLiteral("MMMMMMMM"), 3, 1);
    table.SetVertical(turned, 0, true);

    const QImage picture = Picture(table);
    const auto inkIn = [&](int column, bool leftHalf) {
        const QRect cell = table.CellRect(row, column);
        const QRect half(leftHalf ? cell.left() : cell.center().x() + 1, cell.top(),
                         cell.width() / 2, cell.height());
        return PixelsDarkerThan(picture, half, 128);
    };
    QVERIFY(inkIn(0, true) > 0);
    QCOMPARE(inkIn(0, false), 0);
    QCOMPARE(inkIn(2, true), 0);
    QVERIFY(inkIn(2, false) > 0);
    QVERIFY(inkIn(1, true) > 0);
    QVERIFY(inkIn(1, false) > 0);

    // Rotated, the long word runs down the cell: its ink is taller than it is wide.
    const QRect cell = table.CellRect(turned, 0);
    int top = INT_MAX;
    int bottom = -1;
    int left = INT_MAX;
    int right = -1;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            if (picture.pixelColor(x, y).lightness() < 128) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    QVERIFY(bottom > top);
    QVERIFY(bottom - top > 3 * (right - left));
}

void CComplexTableWndTest::TickedBoxShowsItsCross() {
    CComplexTableWnd table;
    table.SetStretchLastRow(false);
    table.resize(200, 100);
    const int row = table.AddRow();
    table.AddCell(row, QString(), 2, 1);
    table.AddCell(row, QString(), 2, 1);
    table.SetCheckBox(row, 0, true);
    table.SetCheckBox(row, 1, false);
    table.Cell(row, 0)->m_BoxColor = Rgb(0, 0, 255);
    table.Cell(row, 1)->m_BoxColor = Rgb(0, 0, 255);

    const QImage picture = Picture(table);
    const QPoint ticked = CentreOf(table.CellRect(row, 0));
    const QPoint empty = CentreOf(table.CellRect(row, 1));
    // The box is 12 pixels square round the centre of the cell: its left side is 5 pixels
    // left of the centre pixel.
    const QPoint toEdge(5, 0);
    QCOMPARE(picture.pixelColor(ticked - toEdge), QColor(0, 0, 255));
    QCOMPARE(picture.pixelColor(empty - toEdge), QColor(0, 0, 255));
    QVERIFY(PixelsDarkerThan(picture, QRect(ticked - QPoint(1, 1), QSize(3, 3)), 200) > 0);
    QCOMPARE(PixelsDarkerThan(picture, QRect(empty - QPoint(1, 1), QSize(3, 3)), 200), 0);
}

void CComplexTableWndTest::TextTooWideIsCutWithAnEllipsisAndShownWholeAsTooltip() {
    CComplexTableWnd table;
    table.SetStretchLastRow(false);
    const QFontMetrics metrics(table.font());
    const QString figure = QStringLiteral("$14.385");
    const QString heading = QStringLiteral("Option Contracts");
    // The figure gets half its width; the heading room for "Option" but not "Contracts".
    const int figureRoom = metrics.horizontalAdvance(figure) / 2;
    const int optionWidth = metrics.horizontalAdvance(QStringLiteral("Option"));
    const int contractsWidth = metrics.horizontalAdvance(QStringLiteral("Contracts"));
    QVERIFY(optionWidth < contractsWidth);
    const int headingRoom = (optionWidth + contractsWidth) / 2;
    const int row = table.AddRow();
    table.AddCell(row, figure, 4, 1);
    table.SetFormat(row, 0, Qt::AlignRight);
    table.AddCell(row, heading, 4, 1);
    table.SetFormat(row, 1, Qt::AlignHCenter | Qt::TextWordWrap);
    table.AddCell(row, QStringLiteral("1"), 4, 1);
    table.AddCell(row, QString(), 4, 1);
    table.Cell(row, 0)->m_Width = figureRoom + 8;
    table.Cell(row, 1)->m_Width = headingRoom + 8;
    const int unit = figureRoom + headingRoom + 16;
    table.resize(4 * unit, 100);
    table.RecalcLayout(4 * unit);

    const QString ellipsis(QChar(0x2026));
    const QString cutFigure = table.ShownText(row, 0);
    QVERIFY(cutFigure.endsWith(ellipsis));
    QVERIFY(figure.startsWith(cutFigure.chopped(1)));
    QVERIFY(metrics.horizontalAdvance(cutFigure) <= figureRoom);
    // A wrapping heading keeps its words; only the word too long is cut.
    const QString cutHeading = table.ShownText(row, 1);
    QVERIFY(cutHeading.endsWith(ellipsis));
    QVERIFY(cutHeading.startsWith(QStringLiteral("Option ")));
    QCOMPARE(table.ShownText(row, 2), QStringLiteral("1"));

    // The mouse over a cut cell shows its whole text; over a whole one, nothing.
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    const auto tipAt = [&table](int column) {
        const QPoint point = CentreOf(table.CellRect(0, column));
        QHelpEvent help(QEvent::ToolTip, point, table.mapToGlobal(point));
        QApplication::sendEvent(&table, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(2), QString());
    QCOMPARE(tipAt(0), figure);
    QCOMPARE(tipAt(1), heading);
    QToolTip::hideText();

    // Wide enough, the text is drawn whole.
    table.Cell(row, 0)->m_Width = -1;
    table.Cell(row, 1)->m_Width = -1;
    table.RecalcLayout(8 * unit);
    QCOMPARE(table.ShownText(row, 0), figure);
    QCOMPARE(table.ShownText(row, 1), heading);
    // Line breaks stay where they were.
    const QString twoLines = QStringLiteral("Record Date\nExpiry Date");
    table.SetText(row, 1, twoLines);
    QCOMPARE(table.ShownText(row, 1), twoLines);
    table.Cell(row, 1)->m_Width = optionWidth + 8;
    table.RecalcLayout(8 * unit);
    QCOMPARE(table.ShownText(row, 1).count(QLatin1Char('\n')), 1);
}

void CComplexTableWndTest::MinimumWidthShowsEveryTextWhole() {
    CComplexTableWnd table;
    QCOMPARE(table.MinimumLayoutWidth(), 0);
    const QFontMetrics metrics(table.font());
    const int row = table.AddRow();
    table.AddCell(row, QStringLiteral("40.38%"), 10, 1);
    table.AddCell(row, QStringLiteral("a wrapping heading"), 10, 3);
    table.SetFormat(row, 1, Qt::AlignHCenter | Qt::TextWordWrap);
    table.AddCell(row, QString(), 10, 6);
    table.SetCheckBox(row, 2, false);
    // An embedded table needs its own minimum.
    const int host = table.AddRow();
    table.AddCell(host, QString(), 2, 1);
    auto inner = std::make_unique<CComplexTableWnd>();
    const int innerRow = inner->AddRow();
    inner->AddCell(innerRow, QStringLiteral("$-2024.55"), 2, 1);
    inner->AddCell(innerRow, QString(), 2, 1);
    table.SetEmbeddedTable(host, 0, std::move(inner));
    table.AddCell(host, QString(), 2, 1);
    // The narrow percentage (1 of 10 units, margins 4 + 4) or the embedded figure (a quarter
    // of the width) decides.
    const int percent = (metrics.horizontalAdvance(QStringLiteral("40.38%")) + 8) * 10;
    const int word = std::max({metrics.horizontalAdvance(QStringLiteral("a")),
                               metrics.horizontalAdvance(QStringLiteral("wrapping")),
                               metrics.horizontalAdvance(QStringLiteral("heading"))});
    const int wrapping = (word + 8 + 2) / 3 * 10;
    const int embedded = (metrics.horizontalAdvance(QStringLiteral("$-2024.55")) + 8) * 4;
    const int expected = std::max({percent, wrapping, embedded});
    QCOMPARE(table.MinimumLayoutWidth(), expected);

    table.RecalcLayout(expected);
    QCOMPARE(table.ShownText(row, 0), QStringLiteral("40.38%"));
    QCOMPARE(table.ShownText(row, 1), QStringLiteral("a wrapping heading"));
    CComplexTableWnd& embeddedTable = *table.Cell(host, 0)->m_EmbeddedTable;
    QCOMPARE(embeddedTable.ShownText(innerRow, 0), QStringLiteral("$-2024.55"));
    // A tenth narrower and a text is cut.
    table.RecalcLayout(expected * 9 / 10);
    QVERIFY(table.ShownText(row, 0) != QStringLiteral("40.38%") ||
            embeddedTable.ShownText(innerRow, 0) != QStringLiteral("$-2024.55"));
}

// --- Scheme font and colours ------------------------------------------------------------

void CComplexTableWndTest::SchemeFontTakesFaceSizeBoldUnderlineAndVertical() {
    CColorScheme scheme;
    scheme.SetFontStyle("DejaVu Sans");
    scheme.SetFontSize(11);
    const CSchemeFont plain = CreateSchemeFont(scheme, false, false, false);
    QCOMPARE(plain.m_Font.family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(plain.m_Font.pointSize(), 11);
    QCOMPARE(plain.m_Font.weight(), QApplication::font().weight());
    QVERIFY(!plain.m_Font.underline());
    QVERIFY(!plain.m_Vertical);

    const CSchemeFont heading = CreateSchemeFont(scheme, true, true, true);
    QCOMPARE(heading.m_Font.weight(), QFont::Bold);
    QVERIFY(heading.m_Font.underline());
    QVERIFY(heading.m_Vertical);

    // A face that is not installed stays in the font; Qt substitutes when drawing.
    scheme.SetFontStyle("No Such Face");
    QCOMPARE(CreateSchemeFont(scheme, false, false, false).m_Font.family(),
             QStringLiteral("No Such Face"));

    // A table cell given the vertical font draws its text rotated.
    CComplexTableWnd table;
    const int row = AddRowOfCells(table, 1);
    table.SetCellFont(row, 0, heading);
    QVERIFY(table.Cell(row, 0)->m_Vertical);
    QCOMPARE(*table.Cell(row, 0)->m_Font, heading.m_Font);
}

void CComplexTableWndTest::ColoursKeepRedInTheLowByte() {
    QCOMPARE(ToQColor(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(ToQColor(0xFF0000), QColor(0, 0, 255));
    QCOMPARE(ToQColor(Rgb(39, 20, 173)), QColor(39, 20, 173));
    QCOMPARE(FromQColor(QColor(39, 20, 173)), Rgb(39, 20, 173));
    QCOMPARE(FromQColor(QColor(Qt::blue)), Color{0xFF0000});
    QCOMPARE(FromQColor(QColor::fromHsv(120, 255, 255)), Rgb(0, 255, 0));
}

} // namespace strikeline

QTEST_MAIN(strikeline::CComplexTableWndTest)
#include "ComplexTableWndTest.moc"
