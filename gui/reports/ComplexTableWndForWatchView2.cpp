#include "gui/reports/ComplexTableWndForWatchView2.h"

#include "gui/reports/ComplexTableWndForWatchView.h"
#include "gui/reports/WatchView.h"
#include "plan/TradingPlan.h"
#include "reports/ShortListRules.h"
#include "reports/ShortListStore.h"
#include "session/Session.h"

#include <string>

namespace strikeline {

CComplexTableWndForWatchView2::CComplexTableWndForWatchView2(CComplexTableWndForWatchView& block,
                                                             QWidget* parent)
    // Not part of the view's stack: its cells take no selection.
    : CComplexTableWndForMultiTableView(nullptr, parent), m_Block(block) {}

void CComplexTableWndForWatchView2::OnLeftButtonDown(int row, int column, const QPoint& point,
                                                     Qt::KeyboardModifiers modifiers) {
    if (row == kValueRow && column == kNameColumn) {
        // A copy: opening the chart may change the Short List.
        const std::string code = m_Block.Company().Code();
        m_Block.WatchView().OpenTrendChart(code);
        return;
    }
    CComplexTableWndForMultiTableView::OnLeftButtonDown(row, column, point, modifiers);
}

bool CComplexTableWndForWatchView2::MayToggleCheckBox(int row, int column) {
    if (row != kValueRow || column != CloseColumn()) {
        return false;
    }
    const std::string& code = m_Block.Company().Code();
    CSession& session = m_Block.WatchView().Session();
    if (!RemoveNeedsQuestion(code, m_Block.Kind(), &session.TradingPlan())) {
        return true;
    }
    return session.Messages().Ask(RemoveCompanyQuestion(code));
}

void CComplexTableWndForWatchView2::OnCheckBoxToggled(int /*row*/, int /*column*/) {
    for (const std::size_t index : m_Block.Block().series) {
        m_Block.WatchView().Session().ShortList().UntickSeries(
            m_Block.Company().Contracts()[index].Code(), m_Block.Kind());
    }
    // This table goes with its block, so the removal waits until the click is over.
    m_Block.WatchView().PostRemoveCompany(m_Block.Company().Code(), m_Block.Kind());
}

} // namespace strikeline
