#include "gui/plan/TradingPlanTable.h"

#include "gui/plan/PlanCellColorSelector.h"
#include "gui/plan/PlanTypeMenu.h"
#include "gui/plan/TradingPlanView.h"
#include "plan/PlanColumns.h"
#include "plan/TradingPlanEntry.h"

#include <QHelpEvent>
#include <QMenu>
#include <QPainter>
#include <QToolTip>

namespace strikeline {

CTradingPlanTable::CTradingPlanTable(CTradingPlanView& view, QWidget* parent)
    : CComplexTableWnd(parent), m_View(view) {
    // The table is exactly as tall as its rows; the view scrolls it.
    SetStretchLastRow(false);
    // Narrow columns such as "Option Contracts" get the room their words need.
    SetFitColumnsToText(true);
}

CColorSelectorWnd* CTradingPlanTable::ColourSelector() const {
    return m_ColourSelector.data();
}

void CTradingPlanTable::OnRightButtonDown(int row, int column, const QPoint& point,
                                          Qt::KeyboardModifiers modifiers) {
    CComplexTableWnd::OnRightButtonDown(row, column, point, modifiers);
    CTradingPlanEntry* entry = m_View.EntryAt(row);
    if (entry == nullptr || CTradingPlanView::ColumnKey(column) != PlanColumn::SrcType) {
        ShowChartsMenu(row, column, point);
        return;
    }
    const std::vector<CPlanTypeChoice> choices = PlanTypeChoices(entry->m_SourceType);
    if (choices.empty()) {
        return;
    }
    CPlanTypeMenu menu(choices, this);
    // At the click, or over the current cell when the keyboard asked for the menu.
    const std::optional<std::uint32_t> chosen = menu.Choose(mapToGlobal(point));
    // The menu ran its own event loop: the view checks that the row is still there.
    if (chosen) {
        m_View.ChangeEntryType(entry, *chosen);
    }
}

void CTradingPlanTable::ShowChartsMenu(int row, int column, const QPoint& point) {
    const CTradingPlanEntry* entry = m_View.EntryAt(row);
    const std::string_view key = CTradingPlanView::ColumnKey(column);
    const bool onRow =
        entry != nullptr && (key == PlanColumn::Company || key == PlanColumn::ExpiryDate);
    // A company's heading is the row above its first plan row.
    const CTradingPlanEntry* first = m_View.EntryAt(row + 1);
    const bool onHeading = entry == nullptr && first != nullptr;
    if (!onRow && !onHeading) {
        return;
    }
    QMenu menu;
    const QAction* payoff = onRow ? menu.addAction(tr("Payoff")) : nullptr;
    const QAction* company = menu.addAction(tr("Payoff of the Company's Rows"));
    menu.addSeparator();
    const QAction* capital = menu.addAction(tr("Capital by Expiry Month"));
    const QAction* chosen = menu.exec(mapToGlobal(point));
    // The menu ran its own event loop: the rows must still be where they were.
    if (chosen == nullptr || m_View.EntryAt(row) != entry || m_View.EntryAt(row + 1) != first) {
        return;
    }
    if (chosen == payoff) {
        m_View.OpenPayoff(row, false);
    } else if (chosen == company) {
        m_View.OpenPayoff(onRow ? row : row + 1, true);
    } else if (chosen == capital) {
        m_View.OpenCapitalByMonth();
    }
}

void CTradingPlanTable::SetMarkedRows(std::vector<int> rows) {
    if (rows != m_MarkedRows) {
        m_MarkedRows = std::move(rows);
        update();
    }
}

void CTradingPlanTable::OnLeftButtonDown(int row, int column, const QPoint& point,
                                         Qt::KeyboardModifiers modifiers) {
    SetMarkedRows({});
    CComplexTableWnd::OnLeftButtonDown(row, column, point, modifiers);
}

void CTradingPlanTable::paintEvent(QPaintEvent* event) {
    CComplexTableWnd::paintEvent(event);
    if (m_MarkedRows.empty()) {
        return;
    }
    QPainter painter(this);
    const QColor edge = palette().color(QPalette::Highlight);
    QColor fill = edge;
    constexpr int kFillAlpha = 60;
    fill.setAlpha(kFillAlpha);
    painter.setPen(QPen(edge, 2));
    for (const int row : m_MarkedRows) {
        QRect band;
        for (int c = 0; c < CellCount(row); ++c) {
            if (Cell(row, c)->m_Visible) {
                band |= CellRect(row, c);
            }
        }
        painter.fillRect(band, fill);
        painter.drawRect(band.adjusted(1, 1, -1, -1));
    }
}

void CTradingPlanTable::OnCornerMarkerClicked(int row, int column, const QPoint& point,
                                              Qt::KeyboardModifiers /*modifiers*/) {
    const CCell* cell = Cell(row, column);
    if (cell == nullptr || cell->m_Kind != CellKind::Text || m_View.EntryAt(row) == nullptr) {
        return;
    }
    ShowColourSelector(row, column, mapToGlobal(point));
}

void CTradingPlanTable::ShowColourSelector(int row, int column, const QPoint& globalPoint) {
    if (m_ColourSelector) {
        m_ColourSelector->close();
    }
    const CTradingPlanEntry* entry = m_View.EntryAt(row);
    if (entry == nullptr) {
        return;
    }
    const auto& palette = m_View.Palette();
    auto* selector = new CPlanCellColorSelector(*this, row, column, entry,
                                                std::vector<Color>(palette.begin(), palette.end()));
    m_ColourSelector = selector;
    selector->ShowAt(globalPoint);
}

void CTradingPlanTable::ApplyCellColour(int row, int column, const CTradingPlanEntry* entry,
                                        int index) {
    m_View.SetCellColour(row, column, entry, index);
}

bool CTradingPlanTable::MoveSelection(int row, int column, TableDirection direction) {
    const bool moved = CComplexTableWnd::MoveSelection(row, column, direction);
    if (moved) {
        m_View.EnsureCellVisible(CurrentRow(), CurrentColumn());
    } else if (direction == TableDirection::Up || direction == TableDirection::PageUp ||
               direction == TableDirection::Previous) {
        // Nothing further up to select: show the heading above the first rows.
        m_View.ScrollToOrigin();
    }
    return moved;
}

bool CTradingPlanTable::MayToggleCheckBox(int row, int column) {
    const CCell* cell = Cell(row, column);
    if (cell == nullptr || cell->m_Ticked || m_View.EntryAt(row) == nullptr) {
        return false;
    }
    return CTradingPlanView::ColumnKey(column) == PlanColumn::CloseAll;
}

void CTradingPlanTable::OnCheckBoxToggled(int row, int column) {
    if (CTradingPlanView::ColumnKey(column) == PlanColumn::CloseAll) {
        m_View.CloseRow(row);
    }
}

bool CTradingPlanTable::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<CTableCellIndex> hit = CellAt(help->pos());
        const CCell* cell = hit ? Cell(hit->m_Row, hit->m_Column) : nullptr;
        if (cell != nullptr && !cell->m_Text.isEmpty() && m_View.EntryAt(hit->m_Row) != nullptr &&
            CTradingPlanView::ColumnKey(hit->m_Column) == PlanColumn::Warnings) {
            QToolTip::showText(help->globalPos(), cell->m_Text, this, cell->Rect());
            return true;
        }
    }
    return CComplexTableWnd::event(event);
}

void CTradingPlanTable::CommitEditedText(int row, int column, const QString& text) {
    m_View.EditCell(row, column, text);
}

} // namespace strikeline
