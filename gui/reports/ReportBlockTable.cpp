#include "gui/reports/ReportBlockTable.h"

#include "gui/reports/ReportView.h"
#include "marketdata/CompanyInfo.h"

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

} // namespace strikeline
