#include "gui/plan/TradingPlanTableBuilder.h"

#include "gui/plan/PlanViewColumns.h"
#include "gui/widgets/ComplexTableWnd.h"
#include "plan/PlanCellEdit.h"
#include "plan/TradingPlanEntry.h"

#include <memory>
#include <numeric>

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

void CTradingPlanTableBuilder::AddHeadingGroup(
    CComplexTableWnd& table, int row, const QString& title,
    std::initializer_list<std::pair<const char*, int>> columns) const {
    const int span =
        std::accumulate(columns.begin(), columns.end(), 0,
                        [](int sum, const auto& column) { return sum + column.second; });
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
    for (const auto& [heading, width] : columns) {
        const QString text = QString::fromLatin1(heading);
        const int cell = group->AddCell(bottom, text, span, width, background, foreground, false);
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
    table.ReserveCells(row, 21);
    const auto hidden = [&](const char* text, int span) {
        const int cell = AddHeadingCell(table, row, QString::fromLatin1(text), span);
        table.SetVisible(row, cell, false);
    };
    const auto title = [&](const char* text, int span) {
        AddHeadingCell(table, row, QString::fromLatin1(text), span);
    };
    title("Type", 2);
    title("Company Code", 3);
    title("Record Date\nExpiry Date", 4);
    title("Shares", 3);
    title("Option Contracts", 2);
    title("Share Price", 3);
    title("Cost", 3);
    title("Equity Brokerage", 3);
    hidden("Add to Diary", 1);
    title("Strike price", 3);
    title("ASX Fair Price (Premium)", 3);
    title("Option Brokerage", 3);
    AddHeadingGroup(table, row, QStringLiteral("Not exercised"),
                    {{"Net Profit", 3}, {"% Return", 3}});
    hidden("Add to Diary", 1);
    AddHeadingGroup(table, row, QStringLiteral("Exercised"),
                    {{"Exercise Brokerage", 3}, {"Net Profit", 3}, {"% Return", 3}});
    hidden("Add to Diary", 1);
    AddHeadingGroup(table, row, QStringLiteral("Dividends"), {{"Value", 3}, {"Date", 4}});
    hidden("Trades", 2);
    hidden("Add to Diary", 1);
    title("BEP", 3);
    const int closeAll = AddHeadingCell(table, row, QStringLiteral("Close All"), 1);
    table.SetCellFont(row, closeAll, m_Vertical);
    table.SetFormat(row, closeAll, Qt::AlignHCenter);
    table.SetMargins(row, closeAll, QMargins(1, 4, 1, 4));
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
        if (column.checkBox) {
            cell = table.AddCell(row, QString(), kPlanViewWidthUnits, column.width,
                                 kCheckBoxBackground, foreground, false, false);
            bool ticked = false;
            for (std::size_t i = 0; i < kAddToDiaryKeys.size(); ++i) {
                ticked = ticked || (column.key == kAddToDiaryKeys[i] && entry.m_AddToDiary[i]);
            }
            table.SetCheckBox(row, cell, ticked);
            table.Cell(row, cell)->m_BoxColor = kCheckMarkColor;
        } else {
            cell =
                table.AddCell(row, QString(), kPlanViewWidthUnits, column.width,
                              PaletteColour(entry.CellColour(column.key)), foreground, true, false);
            table.SetCornerMarker(row, cell, kCornerMarkerSize, kCornerMarkerColor);
            if (column.key == PlanColumn::ExpiryDate) {
                table.SetFormat(row, cell, Qt::AlignHCenter | Qt::TextWordWrap);
            }
        }
        table.SetName(row, cell, Text(column.key));
        table.SetVisible(row, cell, !column.hidden);
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
        const int cell = AddTextCell(table, row, QString(), column.width, background, foreground);
        table.SetName(row, cell, Text(column.key));
        table.SetVisible(row, cell, !column.hidden);
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
        if (column.checkBox) {
            continue;
        }
        const int cell = static_cast<int>(i);
        table.SetText(row, cell, Text(PlanCellText(entry, column.key)));
        table.SetEditable(row, cell, IsPlanCellEditable(entry, column.key));
    }
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
