#pragma once

#include "gui/reports/SeriesTable.h"

#include <cstdint>

namespace strikeline {

class CCompanyInfo;
class CReportView;

// One company block of a Call or Put Report. Row 1 holds its company as the row value;
// a click on the company name (row 1, column 0) asks the report view for the company's
// trend chart.
class CReportBlockTable : public CSeriesTable {
    Q_OBJECT

public:
    static constexpr int kCompanyRow = 1;
    static constexpr int kNameColumn = 0;

    explicit CReportBlockTable(CReportView& view, QWidget* parent = nullptr);

    CReportView& ReportView() const { return m_ReportView; }
    static std::uintptr_t CompanyRowValue(const CCompanyInfo& company);
    // The block's company, or null while the block has no rows.
    const CCompanyInfo* Company() const;

    void OnLeftButtonDown(int row, int column, const QPoint& point,
                          Qt::KeyboardModifiers modifiers) override;
    // A series row's menu: the series' Payoff.
    void OnRightButtonDown(int row, int column, const QPoint& point,
                           Qt::KeyboardModifiers modifiers) override;

private:
    CReportView& m_ReportView;
};

} // namespace strikeline
