#pragma once

#include "gui/reports/StackedTable.h"

#include <QString>
#include <array>
#include <cstdint>

namespace strikeline {

class CContractInfo;

// A table showing option series. A row whose cells take their text from the hooks holds
// its series as the row value (SeriesRowValue); the series and its share must outlive the
// table (the view's report snapshot does). Figures are formatted only when a cell is
// measured or drawn, never stored in the cells.
class CSeriesTable : public CStackedTable {
    Q_OBJECT

public:
    // The twelve columns of a series row.
    static constexpr int kSeriesColumns = 12;

    explicit CSeriesTable(CMultiTableView* view, QWidget* parent = nullptr);

    static std::uintptr_t SeriesRowValue(const CContractInfo& series);

    QString GetCellText(int row, int column) override;

private:
    // The texts of the row asked for last: measuring and painting go cell by cell along a
    // row, and one series' texts are worked out together.
    const CContractInfo* m_CachedSeries = nullptr;
    std::array<QString, kSeriesColumns> m_CachedTexts;
};

} // namespace strikeline
