#pragma once

#include "app/views/ViewKind.h"
#include "plan/PlanColumns.h"
#include "plan/views/TradingPlanExportCommands.h"
#include "plan/views/TradingPlanViewHooks.h"
#include "storage/Color.h"
#include "storage/FileTime.h"

#include <QAbstractScrollArea>
#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class QPrinter;

namespace strikeline {

class CComplexTableWnd;
class CComplexTableWndForTradingPlanView;
struct CTradingPlanEntry;

// The Trading Plan window: the plan's rows in display order as one editable table under
// their company headings, with the totals and the time of the last recomputation. The
// user types figures, switches a row between selling and buying, colours cells, closes
// rows, and runs the exports and printing from here. The view shows the process-wide plan
// (GetTradingPlan); rows it keeps are checked against the plan before they are touched,
// so a plan changed behind its back is never written through a stale row.
class CTradingPlanView : public QAbstractScrollArea,
                         public CRefreshableView,
                         public CCommandTarget {
    Q_OBJECT

public:
    // The moment (universal time) of a recomputation, a closed row and a mail attachment.
    using CClock = std::function<FileTime()>;

    explicit CTradingPlanView(CTradingPlanViewHooks hooks = {}, QWidget* parent = nullptr);
    ~CTradingPlanView() override;

    // Rebuilds the table from the plan and the colour scheme, recomputes every figure, and
    // selects the first cell of `select`'s row (scrolled into view) when given.
    void Refill(const CTradingPlanEntry* select = nullptr);
    void RefreshView() override { Refill(); }
    bool HandlesCommand(int command) const override;
    void OnCommand(int command) override;

    CComplexTableWndForTradingPlanView& Table() const { return *m_Table; }
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

    // Scrolling.
    void EnsureCellVisible(int row, int column);
    void ScrollToOrigin();
    int ScrollPosition() const;
    int LineStep() const;
    int PageStep() const;

    // Printing: the table across pages, the heading repeated, pages broken between rows.
    bool Print(QPrinter& printer);
    int PrintedPageCount(QPrinter& printer);
    // The print command: a preview, landscape unless the user turns the paper.
    void PrintWithPreview();

    // Seams.
    void SetClock(CClock clock);
    CTradingPlanExportCommands& ExportCommands() { return m_Exports; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void RecomputeEntryRow(int row);
    // The totals over every shown row, and the generation time stamp.
    void RecomputeTotals();
    void Relayout();
    FileTime Now() const { return m_Clock(); }

    CTradingPlanViewHooks m_Hooks;
    CClock m_Clock;
    CComplexTableWndForTradingPlanView* m_Table;
    // The plan rows in display order, and the row each table row shows.
    std::vector<CTradingPlanEntry*> m_Entries;
    std::vector<CTradingPlanEntry*> m_RowEntries;
    int m_TotalsRow = -1;
    int m_TimeStampRow = -1;
    FileTime m_Generated = kNoDate;
    std::array<Color, kPlanCellColourCount> m_Palette{};
    CTradingPlanExportCommands m_Exports;
};

} // namespace strikeline
