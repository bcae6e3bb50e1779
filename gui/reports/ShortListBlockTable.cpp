#include "gui/reports/ShortListBlockTable.h"

#include "gui/reports/ShortListCompanyTable.h"
#include "gui/reports/ShortListView.h"
#include "marketdata/CompanyList.h"
#include "reports/ShortListRules.h"
#include "reports/ShortListStore.h"
#include "reports/ShortListTexts.h"
#include "session/Session.h"

#include <QMenu>
#include <QPointer>

namespace strikeline {

CShortListBlockTable::CShortListBlockTable(CShortListView& view, CReportBlock block,
                                           ReportKind kind, QWidget* parent)
    : CStackedTable(&view, parent), m_View(view), m_Block(std::move(block)), m_Kind(kind) {}

CShortListCompanyTable* CShortListBlockTable::CompanyTable() const {
    const CCell* cell = Cell(kCompanyRow, 0);
    return cell != nullptr ? static_cast<CShortListCompanyTable*>(cell->m_EmbeddedTable.get())
                           : nullptr;
}

const CContractInfo* CShortListBlockTable::SeriesAt(int row) const {
    const int index = row - kFirstSeriesRow;
    return index >= 0 && static_cast<std::size_t>(index) < m_Block.series.size()
               ? &m_Block.Series(static_cast<std::size_t>(index))
               : nullptr;
}

int CShortListBlockTable::FindSeriesRow(std::string_view seriesCode) const {
    for (std::size_t i = 0; i < m_Block.series.size(); ++i) {
        if (SameCode(m_Block.Series(i).Code(), seriesCode)) {
            return kFirstSeriesRow + static_cast<int>(i);
        }
    }
    return -1;
}

bool CShortListBlockTable::IsPlanTicked(int row) const {
    const CCell* box = Cell(row, CellOf(kShortListPlanColumn));
    return SeriesAt(row) != nullptr && box != nullptr && box->m_Ticked;
}

void CShortListBlockTable::SetPlanTicked(int row, bool ticked) {
    if (SeriesAt(row) != nullptr) {
        SetCheckBox(row, CellOf(kShortListPlanColumn), ticked, true);
    }
}

void CShortListBlockTable::UntickAll() {
    for (int row = kFirstSeriesRow; row < RowCount(); ++row) {
        SetPlanTicked(row, false);
    }
}

std::vector<std::string> CShortListBlockTable::TickedKeys() const {
    std::vector<std::string> keys;
    for (int row = kFirstSeriesRow; row < RowCount(); ++row) {
        if (IsPlanTicked(row)) {
            keys.push_back(CShortListStore::SeriesKey(SeriesAt(row)->Code(), m_Kind));
        }
    }
    return keys;
}

QString CShortListBlockTable::DividendValueText(int row) const {
    const CCell* cell = Cell(row, CellOf(kShortListDividendValueColumn));
    return cell != nullptr ? cell->m_Text : QString();
}

QString CShortListBlockTable::DividendDateText(int row) const {
    const CCell* cell = Cell(row, CellOf(kShortListDividendDateColumn));
    return cell != nullptr ? cell->m_Text : QString();
}

void CShortListBlockTable::OnRightButtonDown(int row, int column, const QPoint& point,
                                             Qt::KeyboardModifiers modifiers) {
    CStackedTable::OnRightButtonDown(row, column, point, modifiers);
    if (SeriesAt(row) == nullptr) {
        return;
    }
    QMenu menu;
    const QAction* payoff = menu.addAction(tr("Payoff"));
    const QPointer<CShortListBlockTable> alive(this);
    // The block may be taken away while the menu is open.
    if (menu.exec(mapToGlobal(point)) == payoff && !alive.isNull()) {
        m_View.OpenPayoff(*this, row);
    }
}

bool CShortListBlockTable::MayToggleCheckBox(int row, int column) {
    return SeriesAt(row) != nullptr && column == CellOf(kShortListPlanColumn);
}

void CShortListBlockTable::OnCheckBoxToggled(int row, int /*column*/) {
    // Clearing a box takes nothing out of the plan; ticking always adds a row.
    const bool ticked = IsPlanTicked(row);
    m_View.Session().ShortList().SetTicked(SeriesAt(row)->Code(), m_Kind, ticked);
    if (ticked) {
        m_View.SendSeriesToPlan(*this, row);
    }
}

void CShortListBlockTable::CommitEditedText(int row, int column, const QString& text) {
    std::optional<std::string> kept;
    if (column == CellOf(kShortListDividendValueColumn)) {
        kept = EditDividendValue(text.toStdString());
    } else if (column == CellOf(kShortListDividendDateColumn)) {
        kept = EditDividendDate(text.toStdString());
    }
    // A text that does not read leaves the old one standing.
    if (kept) {
        SetText(row, column, QString::fromStdString(*kept), true);
    }
}

} // namespace strikeline
