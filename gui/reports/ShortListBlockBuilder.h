#pragma once

#include "analytics/AnalyticsTexts.h"
#include "gui/reports/ShortListBlockTable.h"
#include "reports/ShortListTexts.h"
#include "storage/Color.h"
#include "storage/ColorScheme.h"

#include <QFont>
#include <optional>
#include <set>
#include <string>

namespace strikeline {

class CComplexTableWnd;
class CShortListBlockTable;
class CCompanyNameTable;
struct CDividend;

// Fills a Short List block: the embedded company header with its close box, the kind's
// label beside the series header (with "Not exercised", "Exercised" and "Dividends" over
// their two columns each), and one row per series with its Trading Plan box, the series'
// figures and the company's announced dividend, then the analytics columns, empty until
// the view fills them in.
class CShortListBlockBuilder {
public:
    // The series header and rows share their width as this many units with the analytics
    // columns: the kind's label, the Short List columns and the analytics.
    static constexpr int kAnalyticsDivisions = CShortListBlockTable::kLabelCells +
                                               static_cast<int>(kShortListColumns) +
                                               static_cast<int>(kAnalyticsColumnCount);
    // The company header and the series header open every printed page of a block.
    static constexpr int kPrintedHeaderRows = 2;
    // The option price stands out on a fixed sand colour.
    static constexpr Color kOptionPriceBackground = 0xC9C77E;

    CShortListBlockBuilder(const CColorScheme& scheme, const QFont& regular,
                           const QFont& underlined, const QFont& bold);

    // Series whose key is in `tickedKeys` get a ticked box.
    void Build(CShortListBlockTable& table, const CCompanyNameTable& names,
               const std::optional<CDividend>& dividend,
               const std::set<std::string>& tickedKeys) const;

private:
    Color Scheme(SchemeColor which) const { return m_Scheme.Get(which); }
    void AddCompanyTable(CShortListBlockTable& table, const CCompanyNameTable& names) const;
    void AddSeriesHeader(CShortListBlockTable& table) const;
    void AddSeriesRow(CShortListBlockTable& table, std::size_t index,
                      const std::optional<CDividend>& dividend,
                      const std::set<std::string>& tickedKeys) const;

    CColorScheme m_Scheme;
    QFont m_Regular;
    QFont m_Underlined;
    QFont m_Bold;
};

} // namespace strikeline
