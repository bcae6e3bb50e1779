#include "gui/plan/TradingPlanView.h"

#include "gui/app/CommandIds.h"
#include "gui/charts/PayoffWindow.h"
#include "gui/plan/ColorSelectorWnd.h"
#include "gui/plan/PlanUndoCommands.h"
#include "gui/plan/PlanViewColumns.h"
#include "gui/plan/TradingPlanTable.h"
#include "gui/plan/TradingPlanTableBuilder.h"
#include "gui/reports/MultiTablePrintJob.h"
#include "gui/reports/SessionPaperColors.h"
#include "journal/DiaryDatabase.h"
#include "plan/PlanAnalyticsCells.h"
#include "plan/PlanCellEdit.h"
#include "plan/PlanFigures.h"
#include "plan/PlanRowClose.h"
#include "plan/TradingPlan.h"
#include "session/ApplicationState.h"
#include "session/Session.h"
#include "storage/ColorScheme.h"

#include <QPrinter>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>

namespace strikeline {

namespace {

constexpr int kLinesPerPage = 10;

} // namespace

CTradingPlanView::CTradingPlanView(CSession& session, CTradingPlanViewHooks hooks, QWidget* parent)
    : QAbstractScrollArea(parent), m_Session(session), m_Hooks(std::move(hooks)),
      m_Clock(CurrentFileTime), m_Table(new CTradingPlanTable(*this, viewport())),
      m_Exports(*this, session) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusProxy(m_Table);
    connect(&m_UndoStack, &QUndoStack::canUndoChanged, this,
            &CTradingPlanView::CommandStatesChanged);
    connect(&m_UndoStack, &QUndoStack::canRedoChanged, this,
            &CTradingPlanView::CommandStatesChanged);
    Refill();
}

CTradingPlan& CTradingPlanView::Plan() const {
    return m_Session.TradingPlan();
}

CTradingPlanView::~CTradingPlanView() {
    // What is being typed is taken while this view is still whole: the editor would
    // otherwise hand it over when the base class hides the window.
    m_Table->EndEditing(true);
}

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
    return Plan().Contains(entry) ? entry : nullptr;
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
    if (PlanChangedElsewhere()) {
        m_UndoStack.clear();
    }
    NotePlanState();
    const CTradingPlanTableBuilder builder(m_Session.ColorScheme());
    m_Palette = builder.Palette();
    m_PlainText = m_Session.ColorScheme().Get(SchemeColor::ReportFg);
    // Any edit in progress is dropped with its row.
    m_Table->SetMarkedRows({});
    m_Table->RemoveAllRows();
    m_Table->setFont(builder.RegularFont());
    m_Table->SetPrintedHeaderCount(CTradingPlanTableBuilder::kHeadingRows);
    m_RowEntries.clear();
    m_Entries.clear();
    m_Entries = Plan().DisplayOrder();
    const auto add = [this](int row, CTradingPlanEntry* entry) {
        m_RowEntries.resize(static_cast<std::size_t>(row) + 1, nullptr);
        m_RowEntries[static_cast<std::size_t>(row)] = entry;
        return row;
    };
    add(builder.AddHeading(*m_Table), nullptr);
    const CTradingPlanEntry* previous = nullptr;
    const std::shared_ptr<const CMarketAnalytics> market = m_Session.Analytics();
    for (CTradingPlanEntry* entry : m_Entries) {
        if (OpensCompanyGroup(previous, *entry)) {
            add(builder.AddCompanyRow(*m_Table, entry->m_CompanyID), nullptr);
        }
        const int row = add(builder.AddEntryRow(*m_Table, *entry), entry);
        CTradingPlanTableBuilder::WriteEntry(*m_Table, row, *entry);
        WriteAnalytics(row, *entry, market.get());
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
    emit PlanShown();
}

void CTradingPlanView::RecomputeEntryRow(int row) {
    if (const CTradingPlanEntry* entry = EntryAt(row)) {
        CTradingPlanTableBuilder::WriteEntry(*m_Table, row, *entry);
        WriteAnalytics(row, *entry, m_Session.Analytics().get());
    }
}

void CTradingPlanView::WriteAnalytics(int row, const CTradingPlanEntry& entry,
                                      const CMarketAnalytics* market) {
    CPlanAnalyticsCells cells;
    if (market != nullptr) {
        cells = PlanAnalyticsCells(entry, *market, m_Session.AnalyticsSettings());
    }
    CTradingPlanTableBuilder::WriteAnalytics(*m_Table, row, cells, m_PlainText);
}

void CTradingPlanView::ShowAnalytics() {
    const std::shared_ptr<const CMarketAnalytics> market = m_Session.Analytics();
    for (int row = 0; row < m_Table->RowCount(); ++row) {
        if (const CTradingPlanEntry* entry = EntryAt(row)) {
            WriteAnalytics(row, *entry, market.get());
        }
    }
    // A warning may take more lines than the row had.
    Relayout();
}

void CTradingPlanView::RecomputeTotals() {
    std::vector<const CTradingPlanEntry*> shown;
    shown.reserve(m_Entries.size());
    for (const CTradingPlanEntry* entry : m_Entries) {
        if (Plan().Contains(entry)) {
            shown.push_back(entry);
        }
    }
    CTradingPlanTableBuilder::WriteTotals(*m_Table, m_TotalsRow, ComputePlanTotals(shown));
    m_Generated = Now();
    m_Table->SetText(m_TimeStampRow, 0, QString::fromStdString(PlanTimeStampText(m_Generated)),
                     true);
}

void CTradingPlanView::CloseRow(int row) {
    const std::optional<std::size_t> index = Plan().IndexOf(EntryAt(row));
    if (index) {
        m_UndoStack.push(new CPlanRowCloseCommand(*this, *index, Now()));
    }
}

void CTradingPlanView::ShowClosedRow(const CPlanRowClosing& closing) {
    NotePlanState();
    Refill();
    const PlanFamily family = PlanFamilyOf(closing.entry.m_SourceType);
    // Last: the Short List may in turn ask this view to refill.
    if (closing.lastOfSeries && family != PlanFamily::None && m_Hooks.untickSeries) {
        m_Hooks.untickSeries(closing.entry.m_CompanyID, closing.entry.m_ContractID,
                             family == PlanFamily::Call);
    }
}

void CTradingPlanView::ShowReopenedRow(const CTradingPlanEntry& entry,
                                       const CPlanRowClosing& closing) {
    NotePlanState();
    Refill(&entry);
    const PlanFamily family = PlanFamilyOf(entry.m_SourceType);
    if (closing.lastOfSeries && family != PlanFamily::None && m_Hooks.tickSeries) {
        m_Hooks.tickSeries(entry.m_CompanyID, entry.m_ContractID, family == PlanFamily::Call);
    }
}

void CTradingPlanView::PushRowChange(const CTradingPlanEntry& entry, CTradingPlanEntry after,
                                     int column, const QString& textAfter, const QString& label) {
    const std::optional<std::size_t> index = Plan().IndexOf(&entry);
    if (!index) {
        return;
    }
    if (after == entry) {
        // Nothing changed and nothing to take back; the cell shows what was typed.
        if (!textAfter.isNull()) {
            m_Table->SetText(RowOf(&entry), column, textAfter, true);
        }
        return;
    }
    const CComplexTableCell* cell = m_Table->Cell(RowOf(&entry), column);
    const QString textBefore = cell != nullptr && !textAfter.isNull() ? cell->m_Text : QString();
    m_UndoStack.push(new CPlanRowChangeCommand(*this, label, *index, entry, std::move(after),
                                               column, textBefore, textAfter));
}

void CTradingPlanView::ShowChangedRow(const CTradingPlanEntry& entry, int column,
                                      const QString& shown, bool select) {
    NotePlanState();
    const int row = RowOf(&entry);
    if (row < 0) {
        Refill(&entry);
        return;
    }
    RecomputeEntryRow(row);
    for (int c = 0; c < m_Table->CellCount(row); ++c) {
        const std::string_view key = ColumnKey(c);
        const CComplexTableCell* cell = m_Table->Cell(row, c);
        if (cell != nullptr && cell->m_Kind == CellKind::Text && !key.empty()) {
            const std::int32_t index = entry.CellColour(key);
            const bool known = index >= 0 && index < kPlanCellColourCount;
            m_Table->SetBackground(row, c, m_Palette[known ? static_cast<std::size_t>(index) : 0],
                                   true);
        }
    }
    RecomputeTotals();
    if (!shown.isNull()) {
        m_Table->SetText(row, column, shown, true);
    }
    Relayout();
    if (select) {
        m_Table->SetCurrentCell(row, column);
        EnsureCellVisible(row, column);
    }
    emit PlanShown();
}

void CTradingPlanView::ForgetUndo() {
    QMetaObject::invokeMethod(
        this, [this] { m_UndoStack.clear(); }, Qt::QueuedConnection);
}

void CTradingPlanView::NotePlanState() {
    const CTradingPlan& plan = Plan();
    m_KnownRows.clear();
    for (std::size_t i = 0; i < plan.Count(); ++i) {
        m_KnownRows.push_back(plan.At(i));
    }
}

bool CTradingPlanView::PlanChangedElsewhere() const {
    // Rows added at the end (a series from the Short List) leave every other row in its
    // place, which is all the commands rely on.
    const CTradingPlan& plan = Plan();
    if (plan.Count() < m_KnownRows.size()) {
        return true;
    }
    for (std::size_t i = 0; i < m_KnownRows.size(); ++i) {
        if (!(plan.At(i) == m_KnownRows[i])) {
            return true;
        }
    }
    return false;
}

void CTradingPlanView::ChangeEntryType(CTradingPlanEntry* entry, std::uint32_t type) {
    const int row = RowOf(entry);
    if (entry == nullptr || EntryAt(row) != entry ||
        PlanFamilyOf(type) != PlanFamilyOf(entry->m_SourceType)) {
        return;
    }
    CTradingPlanEntry changed = *entry;
    changed.m_SourceType = type;
    const std::string_view label = PlanTypeLabel(type);
    PushRowChange(*entry, std::move(changed), PlanViewColumnOf(PlanColumn::SrcType), QString(),
                  QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
}

void CTradingPlanView::SetCellColour(int row, int column, const CTradingPlanEntry* entry,
                                     int index) {
    CTradingPlanEntry* shown = EntryAt(row);
    const std::string_view key = ColumnKey(column);
    const CComplexTableCell* cell = m_Table->Cell(row, column);
    if (shown == nullptr || shown != entry || key.empty() || cell == nullptr ||
        cell->m_Kind != CellKind::Text || !cell->m_Selectable) {
        return;
    }
    CTradingPlanEntry coloured = *shown;
    coloured.SetCellColour(key, index);
    PushRowChange(*shown, std::move(coloured), column, QString(), tr("Cell Colour"));
}

void CTradingPlanView::EditCell(int row, int column, const QString& text) {
    CTradingPlanEntry* entry = EntryAt(row);
    const std::string_view key = ColumnKey(column);
    // A cell locked while its editor was open (a row switched to buying) takes nothing.
    if (entry == nullptr || key.empty() || !IsPlanCellEditable(*entry, key)) {
        return;
    }
    // Edited on a copy: the change goes through the undo stack.
    CTradingPlanEntry edited = *entry;
    std::string refusal;
    const std::optional<std::string> shown =
        EditPlanCell(edited, key, text.toStdString(), &refusal);
    if (!shown) {
        // The cell keeps the figure it had: it shows what the plan holds, not what was typed.
        if (!refusal.empty()) {
            m_Session.Messages().Show(refusal, MessageKind::Warning);
        }
        return;
    }
    PushRowChange(*entry, std::move(edited), column, QString::fromStdString(*shown), tr("Typing"));
}

// Charts.

void CTradingPlanView::SetChartHooks(CPayoffHook payoff, std::function<void()> capital) {
    m_PayoffHook = std::move(payoff);
    m_CapitalHook = std::move(capital);
}

void CTradingPlanView::OpenPayoff(int row, bool companyRows) {
    const CTradingPlanEntry* entry = EntryAt(row);
    if (entry == nullptr || !m_PayoffHook) {
        return;
    }
    const CPayoffPosition position =
        companyRows ? CompanyRowsPosition(Plan(), entry->m_CompanyID) : PlanRowPosition(*entry);
    // The hook may refill this view.
    const CPayoffHook hook = m_PayoffHook;
    hook(position);
}

void CTradingPlanView::OpenCapitalByMonth() {
    if (m_CapitalHook) {
        const std::function<void()> hook = m_CapitalHook;
        hook();
    }
}

void CTradingPlanView::SelectRows(const std::vector<const CTradingPlanEntry*>& entries) {
    m_Table->EndEditing(true);
    std::vector<int> rows;
    for (const CTradingPlanEntry* entry : entries) {
        if (const int row = RowOf(entry); row >= 0 && EntryAt(row) != nullptr) {
            rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    m_Table->SetMarkedRows(rows);
    if (!rows.empty()) {
        m_Table->SetCurrentCell(rows.front(), PlanViewColumnOf(PlanColumn::Company));
        // The last marked row in view, then the first, so that as many as fit show.
        EnsureCellVisible(rows.back(), 0);
        EnsureCellVisible(rows.front(), 0);
    }
}

std::vector<int> CTradingPlanView::SelectedRows() const {
    return m_Table->MarkedRows();
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
    if (command == ID_EDIT_UNDO) {
        return m_UndoStack.canUndo();
    }
    if (command == ID_EDIT_REDO) {
        return m_UndoStack.canRedo();
    }
    return command == ID_FILE_PRINT || CTradingPlanExportCommands::Handles(command);
}

void CTradingPlanView::OnCommand(int command) {
    // What the user is typing belongs in the export, and is the last change to undo.
    m_Table->EndEditing(true);
    if (command == ID_EDIT_UNDO) {
        m_UndoStack.undo();
        return;
    }
    if (command == ID_EDIT_REDO) {
        m_UndoStack.redo();
        return;
    }
    if (command == ID_FILE_PRINT) {
        PrintWithPreview();
        return;
    }
    if (!CTradingPlanExportCommands::Handles(command)) {
        return;
    }
    const CPlanExportAnalytics analytics{m_Session.Analytics(), m_Session.AnalyticsSettings()};
    m_Exports.Run(
        command,
        [this, &analytics](bool includeAnalytics) {
            return BuildPlanExport(Plan(), m_Generated, includeAnalytics ? &analytics : nullptr);
        },
        m_Session.StoredColorScheme(), Now());
}

// Printing.

std::unique_ptr<CMultiTablePrintJob> CTradingPlanView::PrintJob(const QSize& pageSize) {
    return std::make_unique<CMultiTablePrintJob>(std::vector<CComplexTableWnd*>{m_Table}, pageSize,
                                                 logicalDpiY(), PaperColorsOf(m_Session));
}

int CTradingPlanView::PrintedPageCount(QPrinter& printer) {
    return PrintJob(PrintUnits(printer, *this))->PageCount();
}

bool CTradingPlanView::Print(QPrinter& printer) {
    return PrintPages(*PrintJob(PrintUnits(printer, *this)), printer, *this);
}

void CTradingPlanView::PrintWithPreview() {
    ShowPrintPreview(*this, [this](QPrinter& printer) { Print(printer); });
}

} // namespace strikeline
