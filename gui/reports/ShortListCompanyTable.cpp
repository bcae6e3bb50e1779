#include "gui/reports/ShortListCompanyTable.h"

#include "gui/reports/ShortListBlockTable.h"
#include "gui/reports/ShortListView.h"
#include "plan/TradingPlan.h"
#include "reports/ShortListRules.h"
#include "reports/ShortListStore.h"
#include "session/Session.h"

#include <string>

namespace strikeline {

CShortListCompanyTable::CShortListCompanyTable(CShortListBlockTable& block, QWidget* parent)
    // Not part of the view's stack: its cells take no selection.
    : CStackedTable(nullptr, parent), m_Block(block) {}

void CShortListCompanyTable::OnLeftButtonDown(int row, int column, const QPoint& point,
                                              Qt::KeyboardModifiers modifiers) {
    if (row == kValueRow && column == kNameColumn) {
        // A copy: opening the chart may change the Short List.
        const std::string code = m_Block.Company().Code();
        m_Block.View().OpenTrendChart(code);
        return;
    }
    CStackedTable::OnLeftButtonDown(row, column, point, modifiers);
}

bool CShortListCompanyTable::MayToggleCheckBox(int row, int column) {
    if (row != kValueRow || column != CloseColumn()) {
        return false;
    }
    const std::string& code = m_Block.Company().Code();
    CSession& session = m_Block.View().Session();
    if (!RemoveNeedsQuestion(code, m_Block.Kind(), &session.TradingPlan())) {
        return true;
    }
    return session.Messages().Ask(RemoveCompanyQuestion(code));
}

void CShortListCompanyTable::OnCheckBoxToggled(int /*row*/, int /*column*/) {
    for (const std::size_t index : m_Block.Block().series) {
        m_Block.View().Session().ShortList().UntickSeries(
            m_Block.Company().Contracts()[index].Code(), m_Block.Kind());
    }
    // This table goes with its block, so the removal waits until the click is over.
    m_Block.View().PostRemoveCompany(m_Block.Company().Code(), m_Block.Kind());
}

} // namespace strikeline
