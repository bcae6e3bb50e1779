#pragma once

#include "gui/reports/StackedTable.h"
#include "reports/ReportBuilder.h"
#include "reports/ReportKind.h"

#include <optional>
#include <string>
#include <vector>

namespace strikeline {

class CShortListCompanyTable;
class CShortListView;

// One company block of the Short List. The block owns its private copy of the company
// with every series, so it outlives changes to the market data. Row 0 holds the embedded
// company table, row 1 the series header, and each further row one qualifying series with
// its Trading Plan box (column 0) and the two dividend cells the user may type into.
class CShortListBlockTable : public CStackedTable {
    Q_OBJECT

public:
    static constexpr int kCompanyRow = 0;
    static constexpr int kSeriesHeaderRow = 1;
    static constexpr int kFirstSeriesRow = 2;
    // A series row starts with the empty cell under the kind's label.
    static constexpr int kLabelCells = 1;

    CShortListBlockTable(CShortListView& view, CReportBlock block, ReportKind kind,
                         QWidget* parent = nullptr);

    CShortListView& View() const { return m_View; }
    ReportKind Kind() const { return m_Kind; }
    const CCompanyInfo& Company() const { return *m_Block.company; }
    const CReportBlock& Block() const { return m_Block; }
    CShortListCompanyTable* CompanyTable() const;

    // The cell of a Short List column (0 the Trading Plan box ... 14 BEP) in a series row.
    static int CellOf(int column) { return column + kLabelCells; }
    // The series shown in the row, or null for the header rows.
    const CContractInfo* SeriesAt(int row) const;
    // The row of the series (letter case aside), or -1.
    int FindSeriesRow(std::string_view seriesCode) const;
    bool IsPlanTicked(int row) const;
    // Sets the box without sending anything to the Trading Plan.
    void SetPlanTicked(int row, bool ticked);
    void UntickAll();
    // The keys of the series whose box is ticked.
    std::vector<std::string> TickedKeys() const;
    // The dividend texts of a series row as shown.
    QString DividendValueText(int row) const;
    QString DividendDateText(int row) const;

    // A series row's menu: the series' Payoff.
    void OnRightButtonDown(int row, int column, const QPoint& point,
                           Qt::KeyboardModifiers modifiers) override;
    bool MayToggleCheckBox(int row, int column) override;
    void OnCheckBoxToggled(int row, int column) override;
    void CommitEditedText(int row, int column, const QString& text) override;

private:
    CShortListView& m_View;
    CReportBlock m_Block;
    ReportKind m_Kind;
};

} // namespace strikeline
