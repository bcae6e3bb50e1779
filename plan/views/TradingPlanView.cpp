#include "plan/views/TradingPlanView.h"

#include "app/ApplicationState.h"
#include "app/views/CommandIds.h"
#include "app/views/UserMessages.h"
#include "journal/DiaryDatabase.h"
#include "plan/PlanCellEdit.h"
#include "plan/PlanFigures.h"
#include "plan/PlanRowClose.h"
#include "plan/TradingPlan.h"
#include "plan/views/ColorSelectorWnd.h"
#include "plan/views/ComplexTableWndForTradingPlanView.h"
#include "plan/views/PlanViewColumns.h"
#include "plan/views/TradingPlanTableBuilder.h"
#include "reports/views/MultiTablePrintJob.h"
#include "ui/ColorScheme.h"

#include <QPrinter>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>

namespace strikeline {

namespace {

constexpr int kLinesPerPage = 10;

} // namespace

CTradingPlanView::CTradingPlanView(CTradingPlanViewHooks hooks, QWidget* parent)
    : QAbstractScrollArea(parent), m_Hooks(std::move(hooks)), m_Clock(CurrentFileTime),
      m_Table(new CComplexTableWndForTradingPlanView(*this, viewport())), m_Exports(*this) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusProxy(m_Table);
    Refill();
}

CTradingPlanView::~CTradingPlanView() = default;

void CTradingPlanView::SetClock(CClock clock) {
    m_Clock = clock ? std::move(clock) : CClock(CurrentFileTime);
}

std::string_view CTradingPlanView::ColumnKey(int column) {
    return column >= 0 && column < static_cast<int>(PlanViewColumns.size())
               ? PlanViewColumns[static_cast<std::size_t>(column)].key
               : std::string_view();
}

CTradingPlanEntry* CTradingPlanView::EntryAt(int row) const {
    if (row < 0 || row >= static_cast<int>(m_RowEntries.size())) {
        return nullptr;
    }
    CTradingPlanEntry* entry = m_RowEntries[static_cast<std::size_t>(row)];
    const CTradingPlan* plan = GetTradingPlan();
    return plan != nullptr && plan->Contains(entry) ? entry : nullptr;
}

int CTradingPlanView::RowOf(const CTradingPlanEntry* entry) const {
    if (entry == nullptr) {
        return -1;
    }
    const auto found = std::find(m_RowEntries.begin(), m_RowEntries.end(), entry);
    return found == m_RowEntries.end() ? -1 : static_cast<int>(found - m_RowEntries.begin());
}

void CTradingPlanView::Refill(const CTradingPlanEntry* select) {
    if (CColorSelectorWnd* selector = m_Table->ColourSelector()) {
        selector->close();
    }
    const CTradingPlanTableBuilder builder(CurrentColorScheme());
    m_Palette = builder.Palette();
    // Any edit in progress is dropped with its row.
    m_Table->RemoveAllRows();
    m_Table->setFont(builder.RegularFont());
    m_Table->SetPrintedHeaderCount(CTradingPlanTableBuilder::kHeadingRows);
    m_RowEntries.clear();
    m_Entries.clear();
    if (CTradingPlan* plan = GetTradingPlan()) {
        m_Entries = plan->DisplayOrder();
    }
    const auto add = [this](int row, CTradingPlanEntry* entry) {
        m_RowEntries.resize(static_cast<std::size_t>(row) + 1, nullptr);
        m_RowEntries[static_cast<std::size_t>(row)] = entry;
        return row;
    };
    add(builder.AddHeading(*m_Table), nullptr);
    const CTradingPlanEntry* previous = nullptr;
    for (CTradingPlanEntry* entry : m_Entries) {
        if (OpensCompanyGroup(previous, *entry)) {
            add(builder.AddCompanyRow(*m_Table, entry->m_CompanyID), nullptr);
        }
        const int row = add(builder.AddEntryRow(*m_Table, *entry), entry);
        CTradingPlanTableBuilder::WriteEntry(*m_Table, row, *entry);
        previous = entry;
    }
    add(builder.AddTotalsLabel(*m_Table), nullptr);
    m_TotalsRow = add(builder.AddTotalsRow(*m_Table), nullptr);
    add(builder.AddSpacer(*m_Table), nullptr);
    m_TimeStampRow = add(builder.AddTimeStamp(*m_Table), nullptr);
    RecomputeTotals();
    Relayout();
    if (const int row = RowOf(select); row >= 0) {
        m_Table->SetCurrentCell(row, 0);
        EnsureCellVisible(row, 0);
    } else if (const std::optional<CTableCellIndex> first = m_Table->FirstEditableCell()) {
        // So that the keys work before any click.
        m_Table->SetCurrentCell(first->m_Row, first->m_Column);
    }
}

void CTradingPlanView::RecomputeEntryRow(int row) {
    if (const CTradingPlanEntry* entry = EntryAt(row)) {
        CTradingPlanTableBuilder::WriteEntry(*m_Table, row, *entry);
    }
}

void CTradingPlanView::RecomputeTotals() {
    std::vector<const CTradingPlanEntry*> shown;
    shown.reserve(m_Entries.size());
    const CTradingPlan* plan = GetTradingPlan();
    for (const CTradingPlanEntry* entry : m_Entries) {
        if (plan != nullptr && plan->Contains(entry)) {
            shown.push_back(entry);
        }
    }
    CTradingPlanTableBuilder::WriteTotals(*m_Table, m_TotalsRow, ComputePlanTotals(shown));
    m_Generated = Now();
    m_Table->SetText(m_TimeStampRow, 0, QString::fromStdString(PlanTimeStampText(m_Generated)),
                     true);
}

void CTradingPlanView::CloseRow(int row) {
    CTradingPlan* plan = GetTradingPlan();
    const CTradingPlanEntry* entry = EntryAt(row);
    if (plan == nullptr || entry == nullptr) {
        return;
    }
    // Copied first: closing deletes the row.
    const std::string company = entry->m_CompanyID;
    const std::string series = entry->m_ContractID;
    const PlanFamily family = PlanFamilyOf(entry->m_SourceType);
    const bool lastOfSeries = ClosePlanEntry(*plan, *entry, GetDiaryDatabase(), Now());
    Refill();
    // Last: the Short List may in turn ask this view to refill.
    if (lastOfSeries && family != PlanFamily::None && m_Hooks.untickSeries) {
        m_Hooks.untickSeries(company, series, family == PlanFamily::Call);
    }
}

void CTradingPlanView::ChangeEntryType(CTradingPlanEntry* entry, std::uint32_t type) {
    const int row = RowOf(entry);
    if (entry == nullptr || EntryAt(row) != entry ||
        PlanFamilyOf(type) != PlanFamilyOf(entry->m_SourceType)) {
        return;
    }
    entry->m_SourceType = type;
    RecomputeEntryRow(row);
    RecomputeTotals();
    Relayout();
}

void CTradingPlanView::SetCellColour(int row, int column, const CTradingPlanEntry* entry,
                                     int index) {
    CTradingPlanEntry* shown = EntryAt(row);
    const std::string_view key = ColumnKey(column);
    const CComplexTableCell* cell = m_Table->Cell(row, column);
    if (shown == nullptr || shown != entry || key.empty() || cell == nullptr ||
        cell->m_Kind != CellKind::Text) {
        return;
    }
    shown->SetCellColour(key, index);
    const bool known = index >= 0 && index < kPlanCellColourCount;
    m_Table->SetBackground(row, column, m_Palette[known ? static_cast<std::size_t>(index) : 0],
                           true);
}

void CTradingPlanView::EditCell(int row, int column, const QString& text) {
    CTradingPlanEntry* entry = EntryAt(row);
    const std::string_view key = ColumnKey(column);
    // A cell locked while its editor was open (a row switched to buying) takes nothing.
    if (entry == nullptr || key.empty() || !IsPlanCellEditable(*entry, key)) {
        return;
    }
    std::string refusal;
    const std::optional<std::string> shown =
        EditPlanCell(*entry, key, text.toStdString(), &refusal);
    if (!shown) {
        // The cell keeps the figure it had: it shows what the plan holds, not what was typed.
        if (!refusal.empty()) {
            CUserMessages::Show(this, QString::fromStdString(refusal), QMessageBox::Warning);
        }
        return;
    }
    RecomputeEntryRow(row);
    RecomputeTotals();
    m_Table->SetText(row, column, QString::fromStdString(*shown), true);
    Relayout();
}

// Layout and scrolling.

void CTradingPlanView::Relayout() {
    // Never narrower than its texts: a window too narrow for them scrolls sideways.
    const int client = viewport()->width();
    const int width = std::max(client, m_Table->MinimumLayoutWidth());
    QScrollBar* across = horizontalScrollBar();
    across->setRange(0, width - client);
    across->setPageStep(std::max(1, client));
    across->setSingleStep(std::max(1, client / kLinesPerPage));
    const int height = m_Table->TotalHeight(width);
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, height - viewport()->height()));
    bar->setPageStep(PageStep());
    bar->setSingleStep(LineStep());
    m_Table->setGeometry(-across->value(), -bar->value(), width, height);
}

void CTradingPlanView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
}

void CTradingPlanView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    m_Table->move(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

int CTradingPlanView::ScrollPosition() const {
    return verticalScrollBar()->value();
}

int CTradingPlanView::LineStep() const {
    return std::max(1, viewport()->height() / kLinesPerPage);
}

int CTradingPlanView::PageStep() const {
    return std::max(1, viewport()->height());
}

void CTradingPlanView::EnsureCellVisible(int row, int column) {
    const QRect cell = m_Table->CellRect(row, column);
    if (cell.isNull()) {
        return;
    }
    // A cell larger than the window shows its top left corner.
    const auto show = [](QScrollBar* bar, int start, int length, int client) {
        const int end = start + length;
        if (start < bar->value()) {
            bar->setValue(start);
        } else if (end > bar->value() + client) {
            bar->setValue(std::min(start, end - client));
        }
    };
    show(verticalScrollBar(), cell.top(), cell.height(), viewport()->height());
    show(horizontalScrollBar(), cell.left(), cell.width(), viewport()->width());
}

void CTradingPlanView::ScrollToOrigin() {
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

// Commands.

bool CTradingPlanView::HandlesCommand(int command) const {
    return command == ID_FILE_PRINT || CTradingPlanExportCommands::Handles(command);
}

void CTradingPlanView::OnCommand(int command) {
    // What the user is typing belongs in the export.
    m_Table->EndEditing(true);
    if (command == ID_FILE_PRINT) {
        PrintWithPreview();
        return;
    }
    if (!CTradingPlanExportCommands::Handles(command)) {
        return;
    }
    const CTradingPlan empty;
    const CTradingPlan* plan = GetTradingPlan();
    m_Exports.Run(command, BuildPlanExport(plan != nullptr ? *plan : empty, m_Generated),
                  CurrentColorScheme(), Now());
}

// Printing.

int CTradingPlanView::PrintedPageCount(QPrinter& printer) {
    return CMultiTablePrintJob({m_Table}, PrintUnits(printer, *this), logicalDpiY()).PageCount();
}

bool CTradingPlanView::Print(QPrinter& printer) {
    CMultiTablePrintJob job({m_Table}, PrintUnits(printer, *this), logicalDpiY());
    return PrintPages(job, printer, *this);
}

void CTradingPlanView::PrintWithPreview() {
    ShowPrintPreview(*this, [this](QPrinter& printer) { Print(printer); });
}

} // namespace strikeline
