#include "gui/reports/ComplexTableWndForReportView.h"

#include "marketdata/CompanyInfo.h"
#include "reports/ReportTexts.h"

namespace strikeline {

CComplexTableWndForReportView::CComplexTableWndForReportView(CMultiTableView* view, QWidget* parent)
    : CComplexTableWndForMultiTableView(view, parent) {}

std::uintptr_t CComplexTableWndForReportView::SeriesRowValue(const CContractInfo& series) {
    return reinterpret_cast<std::uintptr_t>(&series);
}

QString CComplexTableWndForReportView::GetCellText(int row, int column) {
    const auto* series = reinterpret_cast<const CContractInfo*>(RowValue(row));
    if (series == nullptr || series->Company() == nullptr || column < 0 ||
        column >= kSeriesColumns) {
        return CComplexTableWndForMultiTableView::GetCellText(row, column);
    }
    if (series != m_CachedSeries) {
        const std::array<std::string, kSeriesColumns> texts =
            SeriesRowTexts(*series->Company(), *series);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            m_CachedTexts[i] = QString::fromStdString(texts[i]);
        }
        m_CachedSeries = series;
    }
    return m_CachedTexts[static_cast<std::size_t>(column)];
}

} // namespace strikeline
