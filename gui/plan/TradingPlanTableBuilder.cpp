#include "gui/plan/TradingPlanTableBuilder.h"

#include "gui/plan/PlanViewColumns.h"
#include "gui/widgets/ComplexTableWnd.h"
#include "plan/PlanAnalyticsCells.h"
#include "plan/PlanCellEdit.h"
#include "plan/TradingPlanEntry.h"

#include <memory>
#include <numeric>
#include <span>

namespace strikeline {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Texts with a line break or a blank are drawn wrapped, as the row was measured for them.
int FormatFor(const QString& text) {
    const bool wrap = text.contains(QLatin1Char(' ')) || text.contains(QLatin1Char('\n'));
    return wrap ? Qt::AlignHCenter | Qt::TextWordWrap : Qt::AlignHCenter;
}

void Frame(CComplexTableWnd& table, int row, int cell, bool top) {
    table.SetBorders(row, cell, cell == 0 ? 1 : 0, 1, top ? 1 : 0, 1,
                     CTradingPlanTableBuilder::kBorderColor);
}

// The heading row's cells: one per column outside a group, one per group.
constexpr int kHeadingCells = [] {
    int cells = 0;
    for (std::size_t i = 0; i < PlanViewColumns.size(); ++i) {
        const PlanColumnGroup group = PlanViewColumns[i].heading.group;
        cells += group == PlanColumnGroup::None || i == 0 ||
                         PlanViewColumns[i - 1].heading.group != group
                     ? 1
                     : 0;
    }
    return cells;
}();

} // namespace

CTradingPlanTableBuilder::CTradingPlanTableBuilder(const CColorScheme& scheme)
    : m_Scheme(scheme), m_Regular(CreateSchemeFont(scheme, false, false, false)),
      m_Bold(CreateSchemeFont(scheme, true, false, false)),
      m_Vertical(CreateSchemeFont(scheme, true, false, true)) {
    for (std::int32_t i = 0; i < kPlanCellColourCount; ++i) {
        m_Palette[static_cast<std::size_t>(i)] = PlanCellPalette(scheme, i);
    }
}

Color CTradingPlanTableBuilder::PaletteColour(std::int32_t index) const {
    return index >= 0 && index < kPlanCellColourCount ? m_Palette[static_cast<std::size_t>(index)]
                                                      : m_Palette[0];
}

int CTradingPlanTableBuilder::AddTextCell(CComplexTableWnd& table, int row, const QString& text,
                                          int span, Color background, Color foreground) const {
    const int cell =
        table.AddCell(row, text, kPlanViewWidthUnits, span, background, foreground, false, false);
    table.SetFormat(row, cell, FormatFor(text));
    Frame(table, row, cell, false);
    return cell;
}

int CTradingPlanTableBuilder::AddHeadingCell(CComplexTableWnd& table, int row, const QString& text,
                                             int span) const {
    const int cell =
        table.AddCell(row, text, kPlanViewWidthUnits, span, Scheme(SchemeColor::OptionsHeaderBk),
                      Scheme(SchemeColor::OptionsHeaderFg), false, false);
    table.SetFormat(row, cell, FormatFor(text));
    table.SetCellFont(row, cell, m_Bold);
    Frame(table, row, cell, true);
    return cell;
}

void CTradingPlanTableBuilder::AddHeadingGroup(CComplexTableWnd& table, int row,
                                               std::span<const CPlanViewColumn> columns) const {
    const QString title = Text(GroupOf(columns.front().heading.group).heading);
    const int span = std::accumulate(
        columns.begin(), columns.end(), 0,
        [](int sum, const CPlanViewColumn& column) { return sum + column.view.width; });
    const Color background = Scheme(SchemeColor::OptionsHeaderBk);
    const Color foreground = Scheme(SchemeColor::OptionsHeaderFg);
    auto group = std::make_unique<CComplexTableWnd>();
    group->setFocusPolicy(Qt::NoFocus);
    group->setFont(m_Regular.m_Font);
    const int top = group->AddRow();
    const int bottom = group->AddRow();
    const int titleCell = group->AddCell(top, title, span, span, background, foreground, false);
    group->SetCellFont(top, titleCell, m_Bold);
    group->SetFormat(top, titleCell, FormatFor(title));
    group->SetBorders(top, titleCell, 0, 0, 0, 1, kBorderColor);
    int index = 0;
    for (const CPlanViewColumn& column : columns) {
        const QString text = Text(column.ViewHeading());
        const int cell =
            group->AddCell(bottom, text, span, column.view.width, background, foreground, false);
        group->SetCellFont(bottom, cell, m_Bold);
        group->SetFormat(bottom, cell, FormatFor(text));
        // The host cell draws the group's outer frame.
        const bool last = ++index == static_cast<int>(columns.size());
        group->SetBorders(bottom, cell, 0, last ? 0 : 1, 0, 0, kBorderColor);
    }
    const int host = AddHeadingCell(table, row, QString(), span);
    table.SetEmbeddedTable(row, host, std::move(group));
}

int CTradingPlanTableBuilder::AddHeading(CComplexTableWnd& table) const {
    const int row = table.AddRow();
    table.ReserveCells(row, kHeadingCells);
    std::size_t i = 0;
    while (i < PlanViewColumns.size()) {
        const CPlanViewColumn& column = PlanViewColumns[i];
        const PlanColumnGroup group = column.heading.group;
        if (group != PlanColumnGroup::None) {
            // The group's heading over the sub-headings of its columns.
            std::size_t end = i + 1;
            while (end < PlanViewColumns.size() && PlanViewColumns[end].heading.group == group) {
                ++end;
            }
            AddHeadingGroup(table, row, std::span(PlanViewColumns).subspan(i, end - i));
            i = end;
            continue;
        }
        const int cell = AddHeadingCell(table, row, Text(column.ViewHeading()), column.view.width);
        if (!column.ShowsIn(PlanOutputView)) {
            table.SetVisible(row, cell, false);
        } else if (column.id == PlanColumnId::CloseAll) {
            table.SetCellFont(row, cell, m_Vertical);
            table.SetFormat(row, cell, Qt::AlignHCenter);
            table.SetMargins(row, cell, QMargins(1, 4, 1, 4));
        }
        ++i;
    }
    return row;
}

int CTradingPlanTableBuilder::AddLabelRow(CComplexTableWnd& table, const QString& label,
                                          bool bold) const {
    const Color background = Scheme(SchemeColor::ReportBk);
    const Color foreground = Scheme(SchemeColor::ReportFg);
    const int row = table.AddRow();
    const int cell = AddTextCell(table, row, label, 3, background, foreground);
    if (bold) {
        table.SetCellFont(row, cell, m_Bold);
    }
    AddTextCell(table, row, QString(), kPlanViewWidthUnits - 3, background, foreground);
    return row;
}

int CTradingPlanTableBuilder::AddCompanyRow(CComplexTableWnd& table,
                                            const std::string& company) const {
    return AddLabelRow(table, Text(company), true);
}

int CTradingPlanTableBuilder::AddEntryRow(CComplexTableWnd& table,
                                          const CTradingPlanEntry& entry) const {
    const Color foreground = Scheme(SchemeColor::ReportFg);
    const int row = table.AddRow();
    table.ReserveCells(row, static_cast<int>(PlanViewColumns.size()));
    for (const CPlanViewColumn& column : PlanViewColumns) {
        int cell = -1;
        if (column.ShowsIn(PlanOutputAnalytics)) {
            // Worked out, so neither typed into nor coloured.
            cell = table.AddCell(row, QString(), kPlanViewWidthUnits, column.view.width,
                                 PaletteColour(0), foreground, false, false);
            if (column.id == PlanColumnId::Warnings) {
                table.SetFormat(row, cell, Qt::AlignLeft | Qt::TextWordWrap);
            }
        } else if (column.view.checkBox) {
            cell = table.AddCell(row, QString(), kPlanViewWidthUnits, column.view.width,
                                 kCheckBoxBackground, foreground, false, false);
            const int box = column.view.diaryBox;
            table.SetCheckBox(row, cell,
                              box >= 0 && entry.m_AddToDiary[static_cast<std::size_t>(box)]);
            table.Cell(row, cell)->m_BoxColor = kCheckMarkColor;
        } else {
            cell =
                table.AddCell(row, QString(), kPlanViewWidthUnits, column.view.width,
                              PaletteColour(entry.CellColour(column.key)), foreground, true, false);
            table.SetCornerMarker(row, cell, kCornerMarkerSize, kCornerMarkerColor);
            if (column.twoLines) {
                table.SetFormat(row, cell, Qt::AlignHCenter | Qt::TextWordWrap);
            }
        }
        table.SetName(row, cell, Text(column.key));
        table.SetVisible(row, cell, column.ShowsIn(PlanOutputView));
        Frame(table, row, cell, false);
    }
    return row;
}

int CTradingPlanTableBuilder::AddTotalsLabel(CComplexTableWnd& table) const {
    return AddLabelRow(table, QStringLiteral("Totals"), true);
}

int CTradingPlanTableBuilder::AddTotalsRow(CComplexTableWnd& table) const {
    const Color background = Scheme(SchemeColor::ReportBk);
    const Color foreground = Scheme(SchemeColor::ReportFg);
    const int row = table.AddRow();
    table.ReserveCells(row, static_cast<int>(PlanViewColumns.size()));
    for (const CPlanViewColumn& column : PlanViewColumns) {
        const int cell =
            AddTextCell(table, row, QString(), column.view.width, background, foreground);
        table.SetName(row, cell, Text(column.key));
        table.SetVisible(row, cell, column.ShowsIn(PlanOutputView));
    }
    return row;
}

int CTradingPlanTableBuilder::AddSpacer(CComplexTableWnd& table) const {
    const int row = table.AddRow();
    table.AddCell(row, QString(), kPlanViewWidthUnits, kPlanViewWidthUnits,
                  Scheme(SchemeColor::ReportBk), Scheme(SchemeColor::ReportFg), false, false);
    return row;
}

int CTradingPlanTableBuilder::AddTimeStamp(CComplexTableWnd& table) const {
    const int row = table.AddRow();
    const int cell = AddTextCell(table, row, QString(), kPlanViewWidthUnits,
                                 Scheme(SchemeColor::ReportBk), Scheme(SchemeColor::ReportFg));
    table.SetFormat(row, cell, Qt::AlignLeft);
    table.SetCellFont(row, cell, m_Bold);
    return row;
}

void CTradingPlanTableBuilder::WriteEntry(CComplexTableWnd& table, int row,
                                          const CTradingPlanEntry& entry) {
    for (std::size_t i = 0; i < PlanViewColumns.size(); ++i) {
        const CPlanViewColumn& column = PlanViewColumns[i];
        if (column.view.checkBox || column.ShowsIn(PlanOutputAnalytics)) {
            continue;
        }
        const int cell = static_cast<int>(i);
        table.SetText(row, cell, Text(PlanCellText(entry, column.key)));
        table.SetEditable(row, cell, IsPlanCellEditable(entry, column.key));
    }
    table.update();
}

void CTradingPlanTableBuilder::WriteAnalytics(CComplexTableWnd& table, int row,
                                              const CPlanAnalyticsCells& cells, Color plain) {
    for (const PlanColumnId id :
         {PlanColumnId::Days, PlanColumnId::AnnualReturn, PlanColumnId::Warnings}) {
        const int cell = PlanViewColumnOf(id);
        table.SetText(row, cell, Text(cells.Text(id)));
    }
    table.SetTextColor(row, PlanViewColumnOf(PlanColumnId::Warnings),
                       cells.warned ? kWarningColor : plain);
    table.update();
}

void CTradingPlanTableBuilder::WriteTotals(CComplexTableWnd& table, int row,
                                           const CPlanTotals& totals) {
    for (std::size_t i = 0; i < PlanViewColumns.size(); ++i) {
        table.SetText(row, static_cast<int>(i),
                      Text(PlanTotalText(totals, PlanViewColumns[i].key)));
    }
    table.update();
}

} // namespace strikeline
