#include "gui/reports/ComplexTableWndForReportView2.h"

#include "gui/reports/ReportView.h"
#include "marketdata/CompanyInfo.h"

#include <string>

namespace strikeline {

CComplexTableWndForReportView2::CComplexTableWndForReportView2(CReportView& view, QWidget* parent)
    : CComplexTableWndForReportView(&view, parent), m_ReportView(view) {}

std::uintptr_t CComplexTableWndForReportView2::CompanyRowValue(const CCompanyInfo& company) {
    return reinterpret_cast<std::uintptr_t>(&company);
}

const CCompanyInfo* CComplexTableWndForReportView2::Company() const {
    return reinterpret_cast<const CCompanyInfo*>(RowValue(kCompanyRow));
}

void CComplexTableWndForReportView2::OnLeftButtonDown(int row, int column, const QPoint& point,
                                                      Qt::KeyboardModifiers modifiers) {
    if (row == kCompanyRow && column == kNameColumn) {
        if (const CCompanyInfo* company = Company()) {
            // A copy: the chart may be opened by code that rebuilds this very report.
            const std::string code = company->Code();
            m_ReportView.OpenTrendChart(code);
        }
        return;
    }
    CComplexTableWndForReportView::OnLeftButtonDown(row, column, point, modifiers);
}

} // namespace strikeline
