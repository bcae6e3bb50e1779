#pragma once

#include "gui/app/ViewKind.h"
#include "gui/plan/TradingPlanExportCommands.h"
#include "gui/plan/TradingPlanViewHooks.h"
#include "plan/PlanColumns.h"
#include "plan/TradingPlanEntry.h"
#include "storage/Color.h"
#include "storage/FileTime.h"

#include <QAbstractScrollArea>
#include <QUndoStack>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class QPrinter;
class QSize;

namespace strikeline {

class CMarketAnalytics;
class CSession;

class CComplexTableWnd;
class CMultiTablePrintJob;
struct CPayoffPosition;
class CTradingPlanTable;
class CTradingPlan;
struct CPlanRowClosing;
struct CTradingPlanEntry;

// The Trading Plan window: the plan's rows in display order as one editable table under
// their company headings, with the totals and the time of the last recomputation. The
// user types figures, switches a row between selling and buying, colours cells, closes
// rows, and runs the exports and printing from here. The view shows the session's plan;
// rows it keeps are checked against the plan before they are touched,
// so a plan changed behind its back is never written through a stale row. Typed figures,
// trade sides, cell colours and closed rows go through an undo stack ("Undo" and "Redo"
// of the Edit menu while the window is active); the stack is forgotten when the plan was
// changed elsewhere other than by rows added at its end.
class CTradingPlanView : public QAbstractScrollArea,
                         public CRefreshableView,
                         public CCommandTarget {
    Q_OBJECT

public:
    // The moment (universal time) of a recomputation, a closed row and a mail attachment.
    using CClock = std::function<FileTime()>;

    explicit CTradingPlanView(CSession& session, CTradingPlanViewHooks hooks = {},
                              QWidget* parent = nullptr);

    CSession& Session() const { return m_Session; }
    ~CTradingPlanView() override;

    // Rebuilds the table from the plan and the colour scheme, recomputes every figure, and
    // selects the first cell of `select`'s row (scrolled into view) when given.
    void Refill(const CTradingPlanEntry* select = nullptr);
    void RefreshView() override { Refill(); }
    // The analytics columns from the session's analytics, as they are now (empty while they
    // are not worked out); called when new ones are ready.
    void ShowAnalytics();
    bool HandlesCommand(int command) const override;
    void OnCommand(int command) override;

    CTradingPlanTable& Table() const { return *m_Table; }
    // The column key of a data or totals cell.
    static std::string_view ColumnKey(int column);
    // The plan row a table row shows; null for the other rows and for a row that has left
    // the plan since the table was built.
    CTradingPlanEntry* EntryAt(int row) const;
    // The table row showing `entry`, or -1.
    int RowOf(const CTradingPlanEntry* entry) const;
    int TotalsRow() const { return m_TotalsRow; }
    int TimeStampRow() const { return m_TimeStampRow; }
    FileTime GenerationTime() const { return m_Generated; }
    const std::array<Color, kPlanCellColourCount>& Palette() const { return m_Palette; }

    // What the table's hooks ask for.
    // Ticking "Close All": the diary entry is stamped closed, the row leaves the plan and
    // the Short List unticks a series no row holds any more.
    void CloseRow(int row);
    void ChangeEntryType(CTradingPlanEntry* entry, std::uint32_t type);
    void SetCellColour(int row, int column, const CTradingPlanEntry* entry, int index);
    // Takes a typed text into the plan row; an edit the row does not take leaves the cell.
    void EditCell(int row, int column, const QString& text);

    // Undo. The commands change the plan through the core and show the result here.
    QUndoStack& UndoStack() { return m_UndoStack; }
    // A row changed in place: its figures and colours, the totals, and the changed cell's
    // text when given; with `select` the changed cell becomes current.
    void ShowChangedRow(const CTradingPlanEntry& entry, int column, const QString& shown,
                        bool select);
    // A row closed: the plan shown without it, and the Short List told when it was the
    // series' last row.
    void ShowClosedRow(const CPlanRowClosing& closing);
    // A closed row put back: shown and selected, and the Short List's box ticked again.
    void ShowReopenedRow(const CTradingPlanEntry& entry, const CPlanRowClosing& closing);
    // Empties the undo stack once the command running now has finished.
    void ForgetUndo();

    // Scrolling.
    void EnsureCellVisible(int row, int column);
    void ScrollToOrigin();
    int ScrollPosition() const;
    int LineStep() const;
    int PageStep() const;

    // Printing: the table across pages, the heading repeated, pages broken between rows.
    bool Print(QPrinter& printer);
    int PrintedPageCount(QPrinter& printer);
    // The printing of the table on pages of `pageSize` print units, in the colours paper
    // takes.
    std::unique_ptr<CMultiTablePrintJob> PrintJob(const QSize& pageSize);
    // The print command: a preview, landscape unless the user turns the paper.
    void PrintWithPreview();

    // The charts of the row menu: the Payoff window of a position and the Capital by Expiry
    // Month window, opened in the main window.
    using CPayoffHook = std::function<void(const CPayoffPosition& position)>;
    void SetChartHooks(CPayoffHook payoff, std::function<void()> capital);
    // The row menu's work: the Payoff of the plan row shown at `row`, or of every row of its
    // company (`row` may then be the company's heading); the Capital by Expiry Month.
    void OpenPayoff(int row, bool companyRows);
    void OpenCapitalByMonth();
    // Marks the rows showing `entries` as chosen (the rows of a month of the capital chart),
    // the first of them current and in view. A click or a refill clears the marks.
    void SelectRows(const std::vector<const CTradingPlanEntry*>& entries);
    // The marked table rows, top to bottom.
    std::vector<int> SelectedRows() const;

    // Seams.
    void SetClock(CClock clock);
    CTradingPlanExportCommands& ExportCommands() { return m_Exports; }

signals:
    // Undo or Redo became available or not.
    void CommandStatesChanged();
    // The table shows the plan anew: filled again, or a row changed.
    void PlanShown();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Pushes a change of one row: `after` is the row as the user changed it.
    void PushRowChange(const CTradingPlanEntry& entry, CTradingPlanEntry after, int column,
                       const QString& textAfter, const QString& label);
    // What the plan held after this view's last change; a plan that no longer starts with
    // those rows was changed elsewhere and the undo stack would not fit it.
    void NotePlanState();
    bool PlanChangedElsewhere() const;
    void RecomputeEntryRow(int row);
    void WriteAnalytics(int row, const CTradingPlanEntry& entry, const CMarketAnalytics* market);
    // The totals over every shown row, and the generation time stamp.
    void RecomputeTotals();
    void Relayout();
    FileTime Now() const { return m_Clock(); }

    // The session's plan, which the table shows.
    CTradingPlan& Plan() const;

    CSession& m_Session;
    CTradingPlanViewHooks m_Hooks;
    CClock m_Clock;
    CTradingPlanTable* m_Table;
    // The plan rows in display order, and the row each table row shows.
    std::vector<CTradingPlanEntry*> m_Entries;
    std::vector<CTradingPlanEntry*> m_RowEntries;
    int m_TotalsRow = -1;
    int m_TimeStampRow = -1;
    FileTime m_Generated = kNoDate;
    std::array<Color, kPlanCellColourCount> m_Palette{};
    // The scheme's text colour, for the analytics cells without a warning.
    Color m_PlainText = 0;
    CTradingPlanExportCommands m_Exports;
    CPayoffHook m_PayoffHook;
    std::function<void()> m_CapitalHook;
    QUndoStack m_UndoStack;
    std::vector<CTradingPlanEntry> m_KnownRows;
};

} // namespace strikeline
