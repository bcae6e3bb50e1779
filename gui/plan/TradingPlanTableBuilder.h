#pragma once

#include "gui/widgets/SchemeFont.h"
#include "plan/PlanColumns.h"
#include "plan/PlanFigures.h"
#include "storage/Color.h"
#include "storage/ColorScheme.h"

#include <QFont>
#include <array>
#include <span>
#include <string>

namespace strikeline {

class CComplexTableWnd;
struct CPlanAnalyticsCells;
struct CTradingPlanEntry;

// Builds the rows of the plan table in the scheme's colours and fonts: the heading, company
// group rows, one row per entry, "Totals", the totals row, a spacer and the time stamp.
// Entry and totals rows are built with empty texts; the Write functions fill them, and are
// called again whenever the figures change.
class CTradingPlanTableBuilder {
public:
    static constexpr Color kBorderColor = 0x999999;
    static constexpr Color kCheckBoxBackground = 0xC0C0C0;
    static constexpr Color kCheckMarkColor = 0x808080;
    // The colour button of a selectable data cell.
    static constexpr int kCornerMarkerSize = 10;
    static constexpr Color kCornerMarkerColor = 0x000000;
    // The text of a Warnings cell that holds a warning.
    static constexpr Color kWarningColor = Rgb(192, 0, 0);
    // The heading rows repeated on every printed page.
    static constexpr int kHeadingRows = 1;

    explicit CTradingPlanTableBuilder(const CColorScheme& scheme);

    const QFont& RegularFont() const { return m_Regular.m_Font; }
    // The highlight colour of a cell for a colour index; an index outside the palette
    // gives colour 0.
    Color PaletteColour(std::int32_t index) const;
    const std::array<Color, kPlanCellColourCount>& Palette() const { return m_Palette; }

    int AddHeading(CComplexTableWnd& table) const;
    int AddCompanyRow(CComplexTableWnd& table, const std::string& company) const;
    int AddEntryRow(CComplexTableWnd& table, const CTradingPlanEntry& entry) const;
    int AddTotalsLabel(CComplexTableWnd& table) const;
    int AddTotalsRow(CComplexTableWnd& table) const;
    int AddSpacer(CComplexTableWnd& table) const;
    int AddTimeStamp(CComplexTableWnd& table) const;

    // The entry's figures into its row's text cells, and which of them take typing.
    static void WriteEntry(CComplexTableWnd& table, int row, const CTradingPlanEntry& entry);
    static void WriteTotals(CComplexTableWnd& table, int row, const CPlanTotals& totals);
    // The analytics cells of an entry's row, a warning in the warning colour and anything
    // else in `plain`; empty cells while the analytics are not worked out.
    static void WriteAnalytics(CComplexTableWnd& table, int row, const CPlanAnalyticsCells& cells,
                               Color plain);

private:
    int AddTextCell(CComplexTableWnd& table, int row, const QString& text, int span,
                    Color background, Color foreground) const;
    int AddHeadingCell(CComplexTableWnd& table, int row, const QString& text, int span) const;
    // A group's heading over its columns' sub-headings, in one cell as wide as they are.
    void AddHeadingGroup(CComplexTableWnd& table, int row,
                         std::span<const CPlanColumn> columns) const;
    // A label of three units and an empty cell over the rest of the row.
    int AddLabelRow(CComplexTableWnd& table, const QString& label, bool bold) const;
    Color Scheme(SchemeColor which) const { return m_Scheme.Get(which); }

    CColorScheme m_Scheme;
    CSchemeFont m_Regular;
    CSchemeFont m_Bold;
    CSchemeFont m_Vertical;
    std::array<Color, kPlanCellColourCount> m_Palette{};
};

} // namespace strikeline
