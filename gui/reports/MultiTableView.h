#pragma once

#include "gui/widgets/TableNavigation.h"
#include "storage/Color.h"
#include "storage/PaperColors.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QSize>
#include <QTimer>
#include <chrono>
#include <memory>
#include <vector>

class QPrinter;

namespace strikeline {

class CColorScheme;
class CComplexTableWnd;
class CMultiTablePrintJob;
class CStackedTable;

// How the idle work of a view went since it last started: the report and Short List
// views are built in slices so that the window keeps answering.
struct CSliceStatistics {
    int slices = 0;
    std::chrono::nanoseconds longest{0};
    std::chrono::nanoseconds total{0};
};

// A scrolling view showing a vertical stack of tables: the report and Short List windows.
// Tables are measured a few at a time from a zero-interval timer; once all are measured
// the stack is placed, and tables far from the visible area are hidden so that a whole
// market scrolls smoothly. A view may also stack tables that are made only when they first
// come near the visible area: until then their heights are estimated, and when one is made
// the stack below it moves by the difference (above the visible area the scroll position
// moves with it, so what the user sees stays put). The stack is never narrower than its widest
// table's texts need; a window narrower than that scrolls sideways. The view keeps one selection
// across its tables (the active table's current cell) and prints its tables page by page.
class CMultiTableView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Left, top and right of the stack, and between two tables.
    static constexpr int kMargin = 10;
    static constexpr int kGap = 25;
    // Tables whose bottom lies further above the visible area than this, or whose top lies
    // this far or further below it, are hidden.
    static constexpr int kHiddenAbove = 2047;
    static constexpr int kHiddenBelow = 2048;
    // Work per slice: the last step of a slice may overrun it by the longest step (the
    // report's snapshot of a whole market, a few milliseconds), and a slice should stay
    // within one frame (16 ms) so that the window answers between slices.
    static constexpr std::chrono::microseconds kDefaultSliceBudget{8000};

    explicit CMultiTableView(QWidget* parent = nullptr);
    ~CMultiTableView() override;

    // Tables, in stack order. Table makes a table not made yet (see AddPendingTables);
    // MadeTable answers null for it.
    int TableCount() const { return static_cast<int>(m_Tables.size()); }
    CStackedTable* Table(int index);
    CStackedTable* MadeTable(int index) const;
    int MadeTableCount() const;
    int IndexOf(const CComplexTableWnd* table) const;
    // Where the last complete layout put the table, in view coordinates before scrolling;
    // -1 when the table has not been placed yet.
    int TableTop(int index) const;
    int TableHeight(int index) const;
    // Margin plus every placed table's height and gap.
    int StackHeight() const { return m_StackHeight; }

    // Fonts and background from the colour scheme: regular (the tables' font), underlined
    // and bold.
    void ApplyScheme(const CColorScheme& scheme);
    const QFont& RegularFont() const { return m_RegularFont; }
    const QFont& UnderlinedFont() const { return m_UnderlinedFont; }
    const QFont& BoldFont() const { return m_BoldFont; }
    Color Background() const { return m_Background; }

    // Selection.
    CStackedTable* ActiveTable() const { return m_ActiveTable; }
    // Clears the current cell of the table that was active before.
    void SetActiveTable(CStackedTable* table);
    // Continues a move that left `from` into the nearest table above or below that has a
    // cell to take; false when there is none (or the move was sideways).
    bool MoveSelectionOut(CStackedTable& from, int column, TableDirection direction);
    // Scrolls just enough to show the cell.
    void EnsureCellVisible(const CComplexTableWnd& table, int row, int column);

    // Scrolling.
    int ScrollPosition() const;
    void ScrollTo(int position);
    // One line is a tenth of the visible height.
    void ScrollByLines(int lines);
    int LineStep() const;

    // Idle work: building (subclasses), measuring, and freeing the tables of the last build.
    bool IsWorkPending() const { return m_WorkTimer.isActive(); }
    // Tables wait to be built, measured or placed.
    bool IsLayoutPending() const { return m_LayoutPending; }
    void SetSliceBudget(std::chrono::microseconds budget) { m_SliceBudget = budget; }
    std::chrono::microseconds SliceBudget() const { return m_SliceBudget; }
    const CSliceStatistics& SliceStatistics() const { return m_Statistics; }
    // Does the rest of the work at once.
    void FinishPendingWork();
    // Makes every table and measures the whole stack (printing needs every table).
    void MakeAllTables();

    // Printing. Refused (false, nothing printed) when the view has no tables.
    bool HasTables() const { return !m_Tables.empty(); }
    bool Print(QPrinter& printer);
    // The printing of every table on pages of `pageSize` print units, in the colours paper
    // takes; null without tables.
    std::unique_ptr<CMultiTablePrintJob> PrintJob(const QSize& pageSize);
    // The number of pages Print would fill on this printer; 0 without tables.
    int PrintedPageCount(QPrinter& printer);
    // The print command: a preview of the pages, landscape unless the user turns the
    // paper, from which the user prints.
    void PrintWithPreview();

signals:
    // Every table is built, measured and placed.
    void WorkFinished();

protected:
    // The colours paper takes for those the tables show; by default the same ones.
    virtual CPaperColors ColorsOnPaper() const { return {}; }
    // Takes the table over and stacks it last, hidden until it is measured and placed.
    // Returns its index.
    int AddTable(std::unique_ptr<CStackedTable> table);
    // The same at `index` (at the end when outside the stack); the tables from there on are
    // measured again.
    int InsertTable(int index, std::unique_ptr<CStackedTable> table);
    // Stacks `count` tables after the others that are made by MakeTable only when they come
    // near the visible area (or are asked for); until then EstimateTableHeight stands for
    // their heights.
    void AddPendingTables(int count);
    // Takes one table away (the focus leaves it first); it is freed in a later slice.
    void RemoveTable(int index);
    // Takes every table away; the focus leaves them first. They are freed a few per slice.
    void RemoveAllTables();
    // Frees every table at once, those taken away included (before the data they show
    // goes, when the view closes).
    void DeleteAllTables();
    // Starts building: BuildNextStep is called from the slices until it returns false.
    void StartBuilding();
    // Brings the tables already made up to date a few at a time (RefreshTable is called for
    // each), then measures the stack again: new figures or columns shown or hidden change
    // the tables' sizes, and a whole market's tables take too long to change at once.
    void RefreshTables();
    // One table's part of RefreshTables; it must not change the table's rows.
    virtual void RefreshTable(CStackedTable& table);
    // One small piece of building (a table or less); false when nothing is left to build.
    virtual bool BuildNextStep();
    // Makes the pending table at `index`.
    virtual std::unique_ptr<CStackedTable> MakeTable(int index);
    // The height a pending table will likely have at `width`. Called in stack order during
    // a measuring pass, after the first table has been measured at that width (it is made
    // first). The default makes the table and measures it.
    virtual int EstimateTableHeight(int index, int width);
    virtual void OnWorkFinished();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void RunSlice();
    bool DoStep();
    bool RefreshNextTable();
    bool MeasureNextTable();
    // Makes one pending table in or near the visible area of the measured stack; false when
    // there is none.
    bool MakeNextNearTable();
    // Whether a table at this place lies near enough the visible area to be shown.
    bool IsNear(int top, int height) const;
    // Makes the table in its slot, hidden, and connects it to the view.
    CStackedTable& MakeTableAt(std::size_t index);
    void Adopt(CStackedTable& table);
    // Makes the pending tables near the placed stack and corrects the stack and scroll
    // position by the difference between their heights and the estimates.
    void MakeNearPlacedTables();
    // Called when nothing is left to build or measure; false when the tables must be
    // measured again at the other width.
    bool FinishMeasuring();
    // From outside the measuring (a resize, a new table) the width may switch once more;
    // `switching` is the switch itself.
    void RestartMeasuring(bool fullWidth, bool switching = false);
    void ScheduleWork();
    void RetireTable(std::unique_ptr<CStackedTable> table);
    void PlaceTables();
    void UpdateScrollRange();
    int FullWidth() const;
    int ClientHeight() const;
    int ScrollBarWidth() const;
    // Whether the stack is wider than the window, and the horizontal scroll bar shows.
    bool Overflows() const;
    void UpdateHorizontalScrollBar();
    // Measures the minimum widths of the tables in the visible area; whether one of them is
    // wider than the stack.
    bool WiderTableInView(const std::vector<int>& tops, const std::vector<int>& heights);
    int MeasureWidth(bool fullWidth) const;
    std::vector<CComplexTableWnd*> TablesForPrinting();

    // Null where a table is pending.
    std::vector<std::unique_ptr<CStackedTable>> m_Tables;
    // Tables taken away, hidden, freed a few per slice: a whole market's tables take a
    // while to free, and a refresh must not stall the window.
    std::vector<std::unique_ptr<CStackedTable>> m_Retired;
    // Measurement in progress, one entry per table; -1 not measured yet.
    std::vector<int> m_Heights;
    std::vector<int> m_Tops;
    // Each table's minimum width, -1 until it comes into view.
    std::vector<int> m_MinimumWidths;
    std::size_t m_NextToMeasure = 0;
    // RefreshTables in progress: the next table to bring up to date.
    bool m_Refreshing = false;
    std::size_t m_NextToRefresh = 0;
    int m_MeasureWidth = 0;
    bool m_FullWidthPass = false;
    bool m_PassSwitched = false;
    // The last complete layout, which placing and scrolling use while a new one is measured.
    std::vector<int> m_PlacedTops;
    std::vector<int> m_PlacedHeights;
    int m_PlacedWidth = 0;
    int m_StackHeight = 0;
    bool m_ScrollBarWanted = false;
    // Placing makes tables, which may move the scroll position, which places the tables.
    bool m_Placing = false;

    int m_LastFullWidth = -1;
    int m_LastClientHeight = -1;

    QFont m_RegularFont;
    QFont m_UnderlinedFont;
    QFont m_BoldFont;
    Color m_Background = 0xFFFFFF;

    CStackedTable* m_ActiveTable = nullptr;
    int m_WheelRemainder = 0;

    QTimer m_WorkTimer;
    bool m_Building = false;
    bool m_LayoutPending = false;
    std::chrono::microseconds m_SliceBudget = kDefaultSliceBudget;
    CSliceStatistics m_Statistics;
};

} // namespace strikeline
