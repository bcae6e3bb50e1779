#include "gui/reports/MultiTableView.h"

#include "gui/reports/MultiTablePrintJob.h"
#include "gui/reports/StackedTable.h"
#include "gui/widgets/QtColor.h"
#include "gui/widgets/SchemeFont.h"
#include "storage/ColorScheme.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace strikeline {

namespace {

// One notch of a mouse wheel.
constexpr int kWheelNotch = 120;
constexpr int kLinesPerPage = 10;

bool TakesSelection(const CComplexTableWnd& table, int row, int column) {
    const CComplexTableCell* cell = table.Cell(row, column);
    return cell != nullptr && cell->m_Visible && cell->m_Selectable;
}

// The cell a move coming from a neighbouring table lands on: the first (or last) row with
// a cell to take in the same column, or for the cell-by-cell moves the first (or last)
// cell that can be taken.
std::optional<CTableCellIndex> EntryCell(const CComplexTableWnd& table, int column,
                                         TableDirection direction) {
    const int rows = table.RowCount();
    switch (direction) {
    case TableDirection::Down:
    case TableDirection::PageDown:
        for (int r = 0; r < rows; ++r) {
            if (TakesSelection(table, r, column)) {
                return CTableCellIndex{r, column};
            }
        }
        break;
    case TableDirection::Up:
    case TableDirection::PageUp:
        for (int r = rows - 1; r >= 0; --r) {
            if (TakesSelection(table, r, column)) {
                return CTableCellIndex{r, column};
            }
        }
        break;
    case TableDirection::Next:
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < table.CellCount(r); ++c) {
                if (TakesSelection(table, r, c)) {
                    return CTableCellIndex{r, c};
                }
            }
        }
        break;
    case TableDirection::Previous:
        for (int r = rows - 1; r >= 0; --r) {
            for (int c = table.CellCount(r) - 1; c >= 0; --c) {
                if (TakesSelection(table, r, c)) {
                    return CTableCellIndex{r, c};
                }
            }
        }
        break;
    case TableDirection::Left:
    case TableDirection::Right:
        break;
    }
    return std::nullopt;
}

} // namespace

CMultiTableView::CMultiTableView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The background is filled explicitly; the tables paint every pixel of their own.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_WorkTimer.setInterval(0);
    connect(&m_WorkTimer, &QTimer::timeout, this, &CMultiTableView::RunSlice);
    ApplyScheme(CColorScheme());
}

CMultiTableView::~CMultiTableView() {
    DeleteAllTables();
}

CStackedTable* CMultiTableView::MadeTable(int index) const {
    return index >= 0 && index < TableCount() ? m_Tables[static_cast<std::size_t>(index)].get()
                                              : nullptr;
}

int CMultiTableView::MadeTableCount() const {
    return static_cast<int>(std::count_if(m_Tables.begin(), m_Tables.end(),
                                          [](const auto& table) { return table != nullptr; }));
}

CStackedTable* CMultiTableView::Table(int index) {
    if (index < 0 || index >= TableCount()) {
        return nullptr;
    }
    const auto at = static_cast<std::size_t>(index);
    if (m_Tables[at]) {
        return m_Tables[at].get();
    }
    CStackedTable& table = MakeTableAt(at);
    // A measuring pass under way measures it again; a placed stack takes its height now.
    m_NextToMeasure = std::min(m_NextToMeasure, at);
    if (at < m_PlacedHeights.size() && m_PlacedHeights[at] >= 0 && m_PlacedWidth > 0) {
        const int estimate = m_PlacedHeights[at];
        const int delta = table.TotalHeight(m_PlacedWidth) - estimate;
        if (delta != 0) {
            const bool above = m_PlacedTops[at] + estimate <= ScrollPosition();
            m_PlacedHeights[at] += delta;
            for (std::size_t j = at + 1; j < m_PlacedTops.size(); ++j) {
                if (m_PlacedTops[j] >= 0) {
                    m_PlacedTops[j] += delta;
                }
            }
            m_StackHeight += delta;
            const bool placing = std::exchange(m_Placing, true);
            UpdateScrollRange();
            if (above) {
                ScrollTo(ScrollPosition() + delta);
            }
            m_Placing = placing;
        }
        if (!m_Placing) {
            PlaceTables();
        }
    }
    return &table;
}

int CMultiTableView::IndexOf(const CComplexTableWnd* table) const {
    const auto found = std::find_if(m_Tables.begin(), m_Tables.end(),
                                    [table](const auto& entry) { return entry.get() == table; });
    return found == m_Tables.end() ? -1 : static_cast<int>(found - m_Tables.begin());
}

int CMultiTableView::TableTop(int index) const {
    return index >= 0 && index < static_cast<int>(m_PlacedTops.size())
               ? m_PlacedTops[static_cast<std::size_t>(index)]
               : -1;
}

int CMultiTableView::TableHeight(int index) const {
    return index >= 0 && index < static_cast<int>(m_PlacedHeights.size())
               ? m_PlacedHeights[static_cast<std::size_t>(index)]
               : -1;
}

void CMultiTableView::ApplyScheme(const CColorScheme& scheme) {
    m_RegularFont = CreateSchemeFont(scheme, false, false, false).m_Font;
    m_UnderlinedFont = CreateSchemeFont(scheme, false, true, false).m_Font;
    m_BoldFont = CreateSchemeFont(scheme, true, false, false).m_Font;
    m_Background = scheme.Get(SchemeColor::ReportBk);
    viewport()->update();
}

// Selection.

void CMultiTableView::SetActiveTable(CStackedTable* table) {
    if (m_ActiveTable != nullptr && m_ActiveTable != table) {
        m_ActiveTable->SetCurrentCell(-1, -1);
    }
    m_ActiveTable = table;
}

bool CMultiTableView::MoveSelectionOut(CStackedTable& from, int column, TableDirection direction) {
    const int index = IndexOf(&from);
    if (index < 0) {
        return false;
    }
    int step = 0;
    switch (direction) {
    case TableDirection::Down:
    case TableDirection::PageDown:
    case TableDirection::Next:
        step = 1;
        break;
    case TableDirection::Up:
    case TableDirection::PageUp:
    case TableDirection::Previous:
        step = -1;
        break;
    case TableDirection::Left:
    case TableDirection::Right:
        return false;
    }
    for (int i = index + step; i >= 0 && i < TableCount(); i += step) {
        CStackedTable& target = *Table(i);
        if (const std::optional<CTableCellIndex> cell = EntryCell(target, column, direction)) {
            SetActiveTable(&target);
            // Setting the cell scrolls it into view, which shows a table that was hidden
            // for being far away, so that it can take the focus.
            target.SetCurrentCell(cell->m_Row, cell->m_Column);
            target.setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return false;
}

void CMultiTableView::EnsureCellVisible(const CComplexTableWnd& table, int row, int column) {
    const int index = IndexOf(&table);
    if (index < 0 || index >= static_cast<int>(m_PlacedTops.size()) ||
        m_PlacedHeights[static_cast<std::size_t>(index)] < 0) {
        return; // not placed yet
    }
    const QRect cell = table.CellRect(row, column);
    if (cell.isNull()) {
        return;
    }
    const int top = m_PlacedTops[static_cast<std::size_t>(index)] + cell.top();
    const int bottom = top + cell.height();
    const int scroll = ScrollPosition();
    const int client = ClientHeight();
    if (top < scroll) {
        ScrollTo(top);
    } else if (bottom > scroll + client) {
        // A cell taller than the window shows its top.
        ScrollTo(std::min(top, bottom - client));
    }
    // Sideways likewise, its left edge first.
    QScrollBar* across = horizontalScrollBar();
    const int left = kMargin + cell.left();
    const int right = left + cell.width();
    const int window = viewport()->width();
    if (left < across->value()) {
        across->setValue(left);
    } else if (right > across->value() + window) {
        across->setValue(std::min(left, right - window));
    }
}

// Scrolling.

int CMultiTableView::ScrollPosition() const {
    return verticalScrollBar()->value();
}

void CMultiTableView::ScrollTo(int position) {
    verticalScrollBar()->setValue(position);
}

int CMultiTableView::LineStep() const {
    return std::max(1, ClientHeight() / kLinesPerPage);
}

void CMultiTableView::ScrollByLines(int lines) {
    ScrollTo(ScrollPosition() + lines * LineStep());
}

void CMultiTableView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    PlaceTables();
}

void CMultiTableView::wheelEvent(QWheelEvent* event) {
    m_WheelRemainder += event->angleDelta().y();
    const int notches = m_WheelRemainder / kWheelNotch;
    m_WheelRemainder -= notches * kWheelNotch;
    // A positive delta turns the wheel away from the user: up.
    if (notches != 0) {
        ScrollByLines(-notches);
    }
    event->accept();
}

void CMultiTableView::UpdateScrollRange() {
    const int client = ClientHeight();
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(std::max(1, client));
    bar->setSingleStep(LineStep());
    bar->setRange(0, std::max(0, m_StackHeight - client));
}

int CMultiTableView::FullWidth() const {
    return contentsRect().width();
}

int CMultiTableView::ClientHeight() const {
    const int across = Overflows() ? horizontalScrollBar()->sizeHint().height() : 0;
    return std::max(contentsRect().height() - across, 0);
}

bool CMultiTableView::Overflows() const {
    return horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
}

void CMultiTableView::UpdateHorizontalScrollBar() {
    const int window = FullWidth() - (m_ScrollBarWanted ? ScrollBarWidth() : 0);
    const int overflow = m_PlacedWidth + 2 * kMargin - window;
    setHorizontalScrollBarPolicy(overflow > 0 && !m_Tables.empty() ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAlwaysOff);
    QScrollBar* bar = horizontalScrollBar();
    bar->setRange(0, std::max(overflow, 0));
    bar->setPageStep(std::max(window, 1));
    bar->setSingleStep(std::max(window / kLinesPerPage, 1));
}

int CMultiTableView::ScrollBarWidth() const {
    return verticalScrollBar()->sizeHint().width();
}

int CMultiTableView::MeasureWidth(bool fullWidth) const {
    return std::max(1, FullWidth() - 2 * kMargin - (fullWidth ? 0 : ScrollBarWidth()));
}

bool CMultiTableView::IsNear(int top, int height) const {
    return top + height >= -kHiddenAbove && top - ClientHeight() < kHiddenBelow;
}

void CMultiTableView::MakeNearPlacedTables() {
    if (m_PlacedWidth <= 0) {
        return;
    }
    for (std::size_t i = 0; i < m_Tables.size() && i < m_PlacedTops.size(); ++i) {
        if (!m_Tables[i] && m_PlacedHeights[i] >= 0 &&
            IsNear(m_PlacedTops[i] - ScrollPosition(), m_PlacedHeights[i])) {
            Table(static_cast<int>(i));
        }
    }
}

void CMultiTableView::PlaceTables() {
    if (m_Placing) {
        return;
    }
    m_Placing = true;
    MakeNearPlacedTables();
    m_Placing = false;
    if (!m_LayoutPending && WiderTableInView(m_PlacedTops, m_PlacedHeights)) {
        RestartMeasuring(m_FullWidthPass);
    }
    const int scroll = ScrollPosition();
    const int client = ClientHeight();
    for (std::size_t i = 0; i < m_Tables.size(); ++i) {
        if (!m_Tables[i]) {
            continue; // far from the visible area
        }
        CStackedTable& table = *m_Tables[i];
        bool near = false;
        QRect place;
        if (i < m_PlacedTops.size() && m_PlacedHeights[i] >= 0) {
            place = QRect(kMargin - horizontalScrollBar()->value(), m_PlacedTops[i] - scroll,
                          m_PlacedWidth, m_PlacedHeights[i]);
            near = IsNear(place.top(), place.height());
        }
        if (near) {
            table.SetVisibleHeight(client);
            if (table.geometry() != place) {
                table.setGeometry(place);
            }
            if (table.isHidden()) {
                table.show();
            }
        } else if (!table.isHidden()) {
            if (m_ActiveTable == &table && table.hasFocus()) {
                // A hidden table cannot keep the focus; the view holds it meanwhile.
                setFocus(Qt::OtherFocusReason);
            }
            table.move(kMargin, client);
            table.hide();
        }
    }
}

void CMultiTableView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    const int full = FullWidth();
    const int client = ClientHeight();
    if (full == m_LastFullWidth && client == m_LastClientHeight) {
        return;
    }
    const bool widthChanged = full != m_LastFullWidth;
    m_LastFullWidth = full;
    m_LastClientHeight = client;
    if (widthChanged) {
        RestartMeasuring(false);
        return;
    }
    if (m_LayoutPending) {
        return; // the scroll bar is decided when the measuring ends
    }
    const bool fits = m_StackHeight <= client;
    if (m_ScrollBarWanted && fits && !m_Tables.empty()) {
        RestartMeasuring(true);
    } else if (!m_ScrollBarWanted && !fits) {
        RestartMeasuring(false);
    } else {
        UpdateScrollRange();
        PlaceTables();
    }
}

void CMultiTableView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), ToQColor(m_Background));
}

// Building and measuring.

int CMultiTableView::AddTable(std::unique_ptr<CStackedTable> table) {
    return InsertTable(TableCount(), std::move(table));
}

void CMultiTableView::Adopt(CStackedTable& table) {
    if (table.parentWidget() != viewport()) {
        table.setParent(viewport());
    }
    table.hide();
    connect(&table, &CComplexTableWnd::CurrentCellChanged, this,
            [this, raw = &table](int row, int column) {
                if (row >= 0) {
                    EnsureCellVisible(*raw, row, column);
                }
            });
}

CStackedTable& CMultiTableView::MakeTableAt(std::size_t index) {
    std::unique_ptr<CStackedTable> table = MakeTable(static_cast<int>(index));
    Adopt(*table);
    m_Tables[index] = std::move(table);
    return *m_Tables[index];
}

std::unique_ptr<CStackedTable> CMultiTableView::MakeTable(int /*index*/) {
    return std::make_unique<CStackedTable>(this);
}

int CMultiTableView::EstimateTableHeight(int index, int width) {
    return Table(index)->TotalHeight(width);
}

void CMultiTableView::AddPendingTables(int count) {
    if (count <= 0) {
        return;
    }
    if (!m_LayoutPending) {
        m_PassSwitched = false;
    }
    if (m_MeasureWidth <= 0) {
        m_MeasureWidth = MeasureWidth(m_FullWidthPass);
    }
    const std::size_t at = m_Tables.size();
    const auto added = static_cast<std::size_t>(count);
    m_Tables.resize(at + added);
    m_Heights.resize(at + added, -1);
    m_Tops.resize(at + added, -1);
    m_MinimumWidths.resize(at + added, -1);
    m_NextToMeasure = std::min(m_NextToMeasure, at);
    m_LayoutPending = true;
    ScheduleWork();
}

int CMultiTableView::InsertTable(int index, std::unique_ptr<CStackedTable> table) {
    Adopt(*table);
    if (!m_LayoutPending) {
        m_PassSwitched = false;
    }
    if (m_MeasureWidth <= 0) {
        m_MeasureWidth = MeasureWidth(m_FullWidthPass);
    }
    if (index < 0 || index > TableCount()) {
        index = TableCount();
    }
    const auto at = static_cast<std::size_t>(index);
    m_Tables.insert(m_Tables.begin() + index, std::move(table));
    m_Heights.insert(m_Heights.begin() + index, -1);
    m_Tops.insert(m_Tops.begin() + index, -1);
    m_MinimumWidths.insert(m_MinimumWidths.begin() + index, -1);
    // The last layout keeps placing the others until the new one is done; the newcomer
    // has no place in it yet.
    if (at < m_PlacedTops.size()) {
        m_PlacedTops.insert(m_PlacedTops.begin() + index, -1);
        m_PlacedHeights.insert(m_PlacedHeights.begin() + index, -1);
    }
    // Tables above keep their tops; those from here on move down.
    m_NextToMeasure = std::min(m_NextToMeasure, at);
    if (at < m_NextToRefresh) {
        ++m_NextToRefresh;
    }
    m_LayoutPending = true;
    ScheduleWork();
    return index;
}

void CMultiTableView::RemoveTable(int index) {
    if (index < 0 || index >= TableCount()) {
        return;
    }
    const auto at = static_cast<std::size_t>(index);
    if (CStackedTable* table = m_Tables[at].get()) {
        if (const QWidget* focus = QApplication::focusWidget();
            focus != nullptr && (focus == table || table->isAncestorOf(focus))) {
            setFocus(Qt::OtherFocusReason);
        }
        if (m_ActiveTable == table) {
            m_ActiveTable = nullptr;
        }
        RetireTable(std::move(m_Tables[at]));
    }
    m_Tables.erase(m_Tables.begin() + index);
    m_Heights.erase(m_Heights.begin() + index);
    m_Tops.erase(m_Tops.begin() + index);
    m_MinimumWidths.erase(m_MinimumWidths.begin() + index);
    if (at < m_PlacedTops.size()) {
        m_PlacedTops.erase(m_PlacedTops.begin() + index);
        m_PlacedHeights.erase(m_PlacedHeights.begin() + index);
    }
    if (!m_LayoutPending) {
        m_PassSwitched = false;
    }
    m_NextToMeasure = std::min(m_NextToMeasure, at);
    if (at < m_NextToRefresh) {
        --m_NextToRefresh;
    }
    m_LayoutPending = true;
    ScheduleWork();
}

void CMultiTableView::RetireTable(std::unique_ptr<CStackedTable> table) {
    table->hide();
    // Its rows may point into data that its owner frees now.
    table->disconnect(this);
    m_Retired.push_back(std::move(table));
}

void CMultiTableView::RemoveAllTables() {
    if (const QWidget* focus = QApplication::focusWidget();
        focus != nullptr && viewport()->isAncestorOf(focus)) {
        setFocus(Qt::OtherFocusReason);
    }
    m_ActiveTable = nullptr;
    m_Retired.reserve(m_Retired.size() + m_Tables.size());
    for (std::unique_ptr<CStackedTable>& table : m_Tables) {
        if (table) {
            RetireTable(std::move(table));
        }
    }
    m_Tables.clear();
    m_Heights.clear();
    m_Tops.clear();
    m_MinimumWidths.clear();
    m_NextToMeasure = 0;
    m_Refreshing = false;
    m_NextToRefresh = 0;
    m_PlacedTops.clear();
    m_PlacedHeights.clear();
    m_StackHeight = 0;
    m_WheelRemainder = 0;
    if (!m_Retired.empty()) {
        ScheduleWork();
    }
    UpdateScrollRange();
    viewport()->update();
}

void CMultiTableView::DeleteAllTables() {
    RemoveAllTables();
    m_Retired.clear();
}

void CMultiTableView::StartBuilding() {
    m_Building = true;
    m_LayoutPending = true;
    m_Statistics = {};
    m_LastFullWidth = FullWidth();
    m_LastClientHeight = ClientHeight();
    RestartMeasuring(false);
}

bool CMultiTableView::BuildNextStep() {
    return false;
}

void CMultiTableView::RefreshTables() {
    if (m_Tables.empty()) {
        return; // tables still to be built are made up to date
    }
    m_Refreshing = true;
    m_NextToRefresh = 0;
    m_LayoutPending = true;
    ScheduleWork();
}

void CMultiTableView::RefreshTable(CStackedTable& /*table*/) {}

bool CMultiTableView::RefreshNextTable() {
    if (!m_Refreshing) {
        return false;
    }
    if (m_NextToRefresh < m_Tables.size()) {
        // Pending tables are made up to date when they are made.
        if (CStackedTable* table = m_Tables[m_NextToRefresh++].get()) {
            RefreshTable(*table);
            table->update();
        }
        return true;
    }
    m_Refreshing = false;
    m_NextToRefresh = 0;
    // The texts changed: every width and height is measured again.
    std::fill(m_MinimumWidths.begin(), m_MinimumWidths.end(), -1);
    RestartMeasuring(false);
    return true;
}

void CMultiTableView::OnWorkFinished() {}

void CMultiTableView::RestartMeasuring(bool fullWidth, bool switching) {
    m_FullWidthPass = fullWidth;
    m_PassSwitched = switching;
    m_MeasureWidth = MeasureWidth(fullWidth);
    for (const int minimum : m_MinimumWidths) {
        m_MeasureWidth = std::max(m_MeasureWidth, minimum);
    }
    std::fill(m_Heights.begin(), m_Heights.end(), -1);
    std::fill(m_Tops.begin(), m_Tops.end(), -1);
    m_NextToMeasure = 0;
    m_LayoutPending = true;
    ScheduleWork();
}

void CMultiTableView::ScheduleWork() {
    if (!m_WorkTimer.isActive()) {
        m_WorkTimer.start();
    }
}

void CMultiTableView::FinishPendingWork() {
    while (m_WorkTimer.isActive()) {
        RunSlice();
    }
}

void CMultiTableView::MakeAllTables() {
    FinishPendingWork(); // the tables to make are known once the build is done
    bool made = false;
    for (std::size_t i = 0; i < m_Tables.size(); ++i) {
        if (!m_Tables[i]) {
            MakeTableAt(i);
            made = true;
        }
    }
    if (made) {
        RestartMeasuring(m_FullWidthPass);
        FinishPendingWork();
    }
}

void CMultiTableView::RunSlice() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + m_SliceBudget;
    bool finished = false;
    bool idle = false;
    do {
        if (RefreshNextTable() || MeasureNextTable()) {
            continue;
        }
        if (m_Building) {
            if (BuildNextStep()) {
                continue;
            }
            m_Building = false;
        }
        if (m_LayoutPending) {
            if (MakeNextNearTable()) {
                continue;
            }
            if (!FinishMeasuring()) {
                continue;
            }
            m_LayoutPending = false;
            finished = true;
            break;
        }
        if (!m_Retired.empty()) {
            m_Retired.pop_back();
            continue;
        }
        idle = true;
        break;
    } while (Clock::now() < deadline);
    const auto spent = Clock::now() - start;
    ++m_Statistics.slices;
    m_Statistics.total += spent;
    m_Statistics.longest = std::max<std::chrono::nanoseconds>(m_Statistics.longest, spent);
    if (idle || (finished && m_Retired.empty())) {
        m_WorkTimer.stop();
    }
    if (finished) {
        OnWorkFinished();
        // Unless the subclass started over meanwhile.
        if (!m_LayoutPending) {
            emit WorkFinished();
        }
    }
}

bool CMultiTableView::MeasureNextTable() {
    if (m_NextToMeasure >= m_Tables.size()) {
        return false;
    }
    const std::size_t i = m_NextToMeasure++;
    if (i == 0) {
        // The first table is always made: the estimates of the others start from it.
        CStackedTable& first = m_Tables[0] ? *m_Tables[0] : MakeTableAt(0);
        if (m_MinimumWidths[0] < 0) {
            // A view's tables are alike: the first one's texts foretell the width the stack
            // needs, so that a stack wider than the window is not measured twice.
            m_MinimumWidths[0] = first.MinimumLayoutWidth();
            m_MeasureWidth = std::max(m_MeasureWidth, m_MinimumWidths[0]);
        }
    }
    m_Heights[i] = m_Tables[i] ? m_Tables[i]->TotalHeight(m_MeasureWidth)
                               : EstimateTableHeight(static_cast<int>(i), m_MeasureWidth);
    m_Tops[i] = i == 0 ? kMargin : m_Tops[i - 1] + m_Heights[i - 1] + kGap;
    return true;
}

bool CMultiTableView::MakeNextNearTable() {
    if (m_NextToMeasure < m_Tables.size()) {
        return false;
    }
    const int scroll = ScrollPosition();
    for (std::size_t i = 0; i < m_Tables.size(); ++i) {
        if (m_Tables[i] || !IsNear(m_Tops[i] - scroll, m_Heights[i])) {
            continue;
        }
        // Made and measured now; the tables below move by its difference from the estimate.
        const int delta = MakeTableAt(i).TotalHeight(m_MeasureWidth) - m_Heights[i];
        m_Heights[i] += delta;
        for (std::size_t j = i + 1; j < m_Tops.size(); ++j) {
            m_Tops[j] += delta;
        }
        return true;
    }
    return false;
}

bool CMultiTableView::WiderTableInView(const std::vector<int>& tops,
                                       const std::vector<int>& heights) {
    const int scroll = ScrollPosition();
    const int client = ClientHeight();
    bool wider = false;
    for (std::size_t i = 0; i < m_Tables.size() && i < tops.size(); ++i) {
        const bool shown = heights[i] >= 0 && tops[i] + heights[i] > scroll &&
                           tops[i] < scroll + std::max(client, 1);
        if (shown && m_MinimumWidths[i] < 0 && m_Tables[i]) {
            m_MinimumWidths[i] = m_Tables[i]->MinimumLayoutWidth();
        }
        wider = wider || m_MinimumWidths[i] > m_MeasureWidth;
    }
    return wider;
}

bool CMultiTableView::FinishMeasuring() {
    // Measuring every text of a whole market would double the work; the tables the user
    // can see decide, and one found wider later measures the stack again.
    if (WiderTableInView(m_Tops, m_Heights)) {
        RestartMeasuring(m_FullWidthPass, m_PassSwitched);
        return false;
    }
    int total = kMargin;
    for (const int height : m_Heights) {
        total += height + kGap;
    }
    // A stack wider than the window leaves the height of the sideways scroll bar less.
    const int window = FullWidth() - (m_FullWidthPass ? 0 : ScrollBarWidth());
    setHorizontalScrollBarPolicy(m_MeasureWidth + 2 * kMargin > window && !m_Tables.empty()
                                     ? Qt::ScrollBarAlwaysOn
                                     : Qt::ScrollBarAlwaysOff);
    const bool fits = total <= ClientHeight();
    if (!m_PassSwitched && !m_Tables.empty()) {
        // Without a scroll bar the tables have its width as well.
        if (!m_FullWidthPass && fits) {
            RestartMeasuring(true, true);
            return false;
        }
        if (m_FullWidthPass && !fits) {
            RestartMeasuring(false, true);
            return false;
        }
    }
    m_ScrollBarWanted = !fits;
    setVerticalScrollBarPolicy(m_ScrollBarWanted ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m_PlacedTops = m_Tops;
    m_PlacedHeights = m_Heights;
    m_PlacedWidth = m_MeasureWidth;
    m_StackHeight = total;
    UpdateHorizontalScrollBar();
    UpdateScrollRange();
    PlaceTables();
    return true;
}

// Printing.

std::vector<CComplexTableWnd*> CMultiTableView::TablesForPrinting() {
    MakeAllTables();
    std::vector<CComplexTableWnd*> tables;
    tables.reserve(m_Tables.size());
    for (const auto& table : m_Tables) {
        tables.push_back(table.get());
    }
    return tables;
}

std::unique_ptr<CMultiTablePrintJob> CMultiTableView::PrintJob(const QSize& pageSize) {
    FinishPendingWork();
    if (m_Tables.empty()) {
        return nullptr;
    }
    return std::make_unique<CMultiTablePrintJob>(TablesForPrinting(), pageSize, logicalDpiY(),
                                                 ColorsOnPaper());
}

int CMultiTableView::PrintedPageCount(QPrinter& printer) {
    const std::unique_ptr<CMultiTablePrintJob> job = PrintJob(PrintUnits(printer, *this));
    return job ? job->PageCount() : 0;
}

bool CMultiTableView::Print(QPrinter& printer) {
    const std::unique_ptr<CMultiTablePrintJob> job = PrintJob(PrintUnits(printer, *this));
    return job && PrintPages(*job, printer, *this);
}

void CMultiTableView::PrintWithPreview() {
    FinishPendingWork();
    if (m_Tables.empty()) {
        return;
    }
    ShowPrintPreview(*this, [this](QPrinter& printer) { Print(printer); });
}

} // namespace strikeline
