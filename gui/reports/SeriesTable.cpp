#include "gui/reports/SeriesTable.h"

#include "marketdata/CompanyInfo.h"
#include "reports/ReportTexts.h"

namespace strikeline {

CSeriesTable::CSeriesTable(CMultiTableView* view, QWidget* parent) : CStackedTable(view, parent) {}

std::uintptr_t CSeriesTable::SeriesRowValue(const CContractInfo& series) {
    return reinterpret_cast<std::uintptr_t>(&series);
}

QString CSeriesTable::GetCellText(int row, int column) {
    const auto* series = reinterpret_cast<const CContractInfo*>(RowValue(row));
    if (series == nullptr || series->Company() == nullptr || column < 0 ||
        column >= kSeriesColumns) {
        return CStackedTable::GetCellText(row, column);
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
