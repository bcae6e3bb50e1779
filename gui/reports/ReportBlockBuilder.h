#pragma once

#include "analytics/AnalyticsTexts.h"
#include "gui/reports/SeriesTable.h"
#include "storage/Color.h"
#include "storage/ColorScheme.h"

#include <QFont>

namespace strikeline {

class CComplexTableWnd;
class CCompanyNameTable;
struct CReportBlock;

// Fills the table of one company block of a report: the company header and values rows,
// the series header with its two-row "Not exercised" / "Exercised" heading, one row per
// series (the one at the money highlighted) and the leveraged line under it. Colours come
// from the colour scheme the builder was made with. The report windows' blocks have the
// analytics columns after BEP as well, empty until the view fills them in.
class CReportBlockBuilder {
public:
    // The company header, values and series header rows open every printed page of a block.
    static constexpr int kPrintedHeaderRows = 3;
    // The block's Short List check box sits in its top-left corner, this size.
    static constexpr int kCheckBoxSize = 16;
    // Cell frames are grey.
    static constexpr Color kBorderColor = 0x999999;
    // The company name reads as a link: pure blue.
    static constexpr Color kLinkColor = 0xFF0000;
    // The series header, series rows and leveraged line share their width as this many
    // units with the analytics columns, and as the series columns without.
    static constexpr int kAnalyticsDivisions =
        CSeriesTable::kSeriesColumns + static_cast<int>(kAnalyticsColumnCount);

    CReportBlockBuilder(const CColorScheme& scheme, const QFont& regular, const QFont& underlined,
                        const QFont& bold);

    // Series cells take their figures from the table's text hooks, so `table` is expected to
    // answer them (CSeriesTable); `block` must outlive the table.
    void Build(CComplexTableWnd& table, const CReportBlock& block,
               const CCompanyNameTable& names) const;
    // Blocks get the analytics columns (off by default: a colour sample has none), shown or
    // hidden.
    void SetAnalyticsColumns(bool with, bool shown) {
        m_AnalyticsColumns = with;
        m_AnalyticsShown = shown;
    }

private:
    int SeriesDivisions() const {
        return m_AnalyticsColumns && m_AnalyticsShown ? kAnalyticsDivisions
                                                      : CSeriesTable::kSeriesColumns;
    }
    int AnalyticsCells() const {
        return m_AnalyticsColumns ? static_cast<int>(kAnalyticsColumnCount) : 0;
    }
    // An analytics cell added to the row, shown or hidden as the columns are.
    void AddAnalyticsCell(CComplexTableWnd& table, int row, Color background, Color foreground,
                          bool selectable) const;
    Color Scheme(SchemeColor which) const { return m_Scheme.Get(which); }
    void AddCompanyHeader(CComplexTableWnd& table, const CReportBlock& block) const;
    void AddCompanyValues(CComplexTableWnd& table, const CReportBlock& block,
                          const CCompanyNameTable& names) const;
    void AddSeriesHeader(CComplexTableWnd& table) const;
    void AddSeriesRow(CComplexTableWnd& table, const CReportBlock& block, std::size_t index) const;
    void AddLeveragedRow(CComplexTableWnd& table, const CReportBlock& block) const;

    CColorScheme m_Scheme;
    QFont m_Regular;
    QFont m_Underlined;
    QFont m_Bold;
    bool m_AnalyticsColumns = false;
    bool m_AnalyticsShown = true;
};

} // namespace strikeline
