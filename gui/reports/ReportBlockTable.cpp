#include "gui/reports/ReportBlockTable.h"

#include "gui/reports/ReportBlockBuilder.h"
#include "gui/reports/ReportView.h"
#include "marketdata/CompanyInfo.h"

#include <QMenu>
#include <QPointer>
#include <string>

namespace strikeline {

CReportBlockTable::CReportBlockTable(CReportView& view, QWidget* parent)
    : CSeriesTable(&view, parent), m_ReportView(view) {}

std::uintptr_t CReportBlockTable::CompanyRowValue(const CCompanyInfo& company) {
    return reinterpret_cast<std::uintptr_t>(&company);
}

const CCompanyInfo* CReportBlockTable::Company() const {
    return reinterpret_cast<const CCompanyInfo*>(RowValue(kCompanyRow));
}

void CReportBlockTable::OnLeftButtonDown(int row, int column, const QPoint& point,
                                         Qt::KeyboardModifiers modifiers) {
    if (row == kCompanyRow && column == kNameColumn) {
        if (const CCompanyInfo* company = Company()) {
            // A copy: the chart may be opened by code that rebuilds this very report.
            const std::string code = company->Code();
            m_ReportView.OpenTrendChart(code);
        }
        return;
    }
    CSeriesTable::OnLeftButtonDown(row, column, point, modifiers);
}

void CReportBlockTable::OnRightButtonDown(int row, int column, const QPoint& point,
                                          Qt::KeyboardModifiers modifiers) {
    CSeriesTable::OnRightButtonDown(row, column, point, modifiers);
    // Series rows hold their series; the header rows above them and the leveraged line not.
    const auto* series = row >= CReportBlockBuilder::kPrintedHeaderRows
                             ? reinterpret_cast<const CContractInfo*>(RowValue(row))
                             : nullptr;
    if (series == nullptr || Company() == nullptr) {
        return;
    }
    QMenu menu;
    const QAction* payoff = menu.addAction(tr("Payoff"));
    const QPointer<CReportBlockTable> alive(this);
    // A rebuild while the menu is open takes this block, and the series, away.
    if (menu.exec(mapToGlobal(point)) == payoff && !alive.isNull()) {
        m_ReportView.OpenPayoff(*Company(), *series);
    }
}

} // namespace strikeline
