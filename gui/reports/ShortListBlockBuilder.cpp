#include "gui/reports/ShortListBlockBuilder.h"

#include "gui/reports/ReportBlockBuilder.h"
#include "gui/reports/ShortListBlockTable.h"
#include "gui/reports/ShortListCompanyTable.h"
#include "reports/ShortListStore.h"
#include "reports/ShortListTexts.h"

#include <QCursor>
#include <memory>

namespace strikeline {

namespace {

// The kind's label, the fifteen Short List columns and the analytics share every row's
// width equally.
constexpr int kDivisions = CShortListBlockBuilder::kAnalyticsDivisions;
constexpr Color kBorder = CReportBlockBuilder::kBorderColor;
constexpr int kBoxSize = 12;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// Texts with a space or a line break wrap at the cell's width; the others stay on one line.
int AddTextCell(CComplexTableWnd& table, int row, const QString& text, int divisions, int span,
                Color background, Color foreground, bool selectable) {
    const int cell =
        table.AddCell(row, text, divisions, span, background, foreground, selectable, false);
    const bool wrap = text.contains(QLatin1Char(' ')) || text.contains(QLatin1Char('\n'));
    table.SetFormat(row, cell, wrap ? Qt::AlignHCenter | Qt::TextWordWrap : Qt::AlignHCenter);
    table.SetBorders(row, cell, 1, 1, 1, 1, kBorder);
    return cell;
}

void MakeBox(CComplexTableWnd& table, int row, int cell, bool ticked) {
    table.SetCheckBox(row, cell, ticked);
    if (CComplexTableWnd::CCell* box = table.Cell(row, cell)) {
        box->m_BoxSize = kBoxSize;
        box->m_BoxColor = kBorder;
    }
}

} // namespace

CShortListBlockBuilder::CShortListBlockBuilder(const CColorScheme& scheme, const QFont& regular,
                                               const QFont& underlined, const QFont& bold)
    : m_Scheme(scheme), m_Regular(regular), m_Underlined(underlined), m_Bold(bold) {}

void CShortListBlockBuilder::Build(CShortListBlockTable& table, const CCompanyNameTable& names,
                                   const std::optional<CDividend>& dividend,
                                   const std::set<std::string>& tickedKeys) const {
    table.setObjectName(Text(table.Company().Code()));
    table.setFont(m_Regular);
    table.SetPrintedHeaderCount(kPrintedHeaderRows);
    AddCompanyTable(table, names);
    AddSeriesHeader(table);
    for (std::size_t i = 0; i < table.Block().series.size(); ++i) {
        AddSeriesRow(table, i, dividend, tickedKeys);
    }
}

void CShortListBlockBuilder::AddCompanyTable(CShortListBlockTable& table,
                                             const CCompanyNameTable& names) const {
    const CCompanyInfo& company = table.Company();
    auto header = std::make_unique<CShortListCompanyTable>(table);
    header->setFocusPolicy(Qt::NoFocus);
    header->setFont(m_Regular);

    const std::vector<std::string> titles = ShortListCompanyHeaderTexts(company);
    const int count = static_cast<int>(titles.size());
    const int titleRow = header->AddRow();
    header->ReserveCells(titleRow, count);
    for (const std::string& title : titles) {
        const int cell = AddTextCell(*header, titleRow, Text(title), count, 1,
                                     Scheme(SchemeColor::CompanyHeaderBk),
                                     Scheme(SchemeColor::CompanyHeaderFg), false);
        header->SetCellFont(titleRow, cell, m_Bold);
    }

    const std::vector<std::string> values = ShortListCompanyValueTexts(company, names);
    const int valueRow = header->AddRow();
    header->ReserveCells(valueRow, count);
    header->SetRowValue(valueRow, reinterpret_cast<std::uintptr_t>(&company));
    for (const std::string& value : values) {
        AddTextCell(*header, valueRow, Text(value), count, 1, Scheme(SchemeColor::ReportBk),
                    Scheme(SchemeColor::ReportFg), false);
    }
    const int name = CShortListCompanyTable::kNameColumn;
    header->SetTextColor(valueRow, name, CReportBlockBuilder::kLinkColor);
    header->SetCellFont(valueRow, name, m_Underlined);
    header->SetCellCursor(valueRow, name, QCursor(Qt::PointingHandCursor));
    MakeBox(*header, valueRow, header->CloseColumn(), false);

    const int row = table.AddRow();
    const int host = table.AddCell(row, QString(), 1, 1, Scheme(SchemeColor::ReportBk),
                                   Scheme(SchemeColor::ReportFg), false, false);
    table.SetEmbeddedTable(row, host, std::move(header));
}

void CShortListBlockBuilder::AddSeriesHeader(CShortListBlockTable& table) const {
    const Color background = Scheme(SchemeColor::OptionsHeaderBk);
    const Color foreground = Scheme(SchemeColor::OptionsHeaderFg);
    const int row = table.AddRow();
    AddTextCell(table, row,
                table.Kind() == ReportKind::Call ? QStringLiteral("CALL\noptions")
                                                 : QStringLiteral("PUT\noptions"),
                kDivisions, 1, Scheme(SchemeColor::ReportBk), Scheme(SchemeColor::ReportFg), false);
    const auto addTitle = [&](const char* title) {
        const int cell = AddTextCell(table, row, QString::fromLatin1(title), kDivisions, 1,
                                     background, foreground, false);
        table.SetCellFont(row, cell, m_Bold);
    };
    for (const char* title : {"Trading Plan", "Company Code", "Last Trade", "Expiry Month",
                              "Strike Price", "ASX Fair Price", "Contract Size", "Open Interest"}) {
        addTitle(title);
    }

    // Each group title stands over its two columns.
    constexpr int kGroups = 3;
    auto groups = std::make_unique<CComplexTableWnd>();
    groups->setFocusPolicy(Qt::NoFocus);
    groups->setFont(m_Regular);
    const int top = groups->AddRow();
    const int bottom = groups->AddRow();
    for (const char* title : {"Not exercised", "Exercised", "Dividends"}) {
        const int cell = AddTextCell(*groups, top, QString::fromLatin1(title), kGroups * 2, 2,
                                     background, foreground, false);
        groups->SetCellFont(top, cell, m_Bold);
    }
    for (const char* title : {"Profit", "% Return", "Profit", "% Return", "Value", "Date"}) {
        const int cell = AddTextCell(*groups, bottom, QString::fromLatin1(title), kGroups * 2, 1,
                                     background, foreground, false);
        groups->SetCellFont(bottom, cell, m_Bold);
    }
    const int host = table.AddCell(row, QString(), kDivisions, kGroups * 2, background, foreground,
                                   false, false);
    table.SetEmbeddedTable(row, host, std::move(groups));
    addTitle("BEP");
    for (const std::string_view heading : kAnalyticsHeadings) {
        addTitle(std::string(heading).c_str());
    }
}

void CShortListBlockBuilder::AddSeriesRow(CShortListBlockTable& table, std::size_t index,
                                          const std::optional<CDividend>& dividend,
                                          const std::set<std::string>& tickedKeys) const {
    const CReportBlock& block = table.Block();
    const CContractInfo& series = block.Series(index);
    const std::array<std::string, kShortListColumns> texts =
        ShortListSeriesTexts(*block.company, series, dividend);
    const bool atTheMoney = block.atTheMoney == index;
    const Color background =
        Scheme(atTheMoney ? SchemeColor::StrikePriceBk : SchemeColor::ReportBk);
    const Color foreground =
        Scheme(atTheMoney ? SchemeColor::StrikePriceFg : SchemeColor::ReportFg);

    const int row = table.AddRow();
    table.ReserveCells(row, kDivisions);
    // Under the kind's label.
    table.AddCell(row, QString(), kDivisions, 1, Scheme(SchemeColor::ReportBk),
                  Scheme(SchemeColor::ReportFg), false, false);
    for (int column = 0; column < static_cast<int>(kShortListColumns); ++column) {
        Color cellBackground = background;
        Color cellForeground = foreground;
        if (column == kShortListPriceColumn) {
            cellBackground = kOptionPriceBackground;
        } else if (atTheMoney && (column == kShortListNotExercisedReturnColumn ||
                                  column == kShortListExercisedReturnColumn)) {
            cellBackground = Scheme(SchemeColor::ReturnPercentsBk);
            cellForeground = Scheme(SchemeColor::ReturnPercentsFg);
        }
        const bool box = column == kShortListPlanColumn;
        // The box can be current too, so that Space on it, and only on it, ticks it.
        const int cell = AddTextCell(table, row, Text(texts[static_cast<std::size_t>(column)]),
                                     kDivisions, 1, cellBackground, cellForeground, true);
        if (box) {
            MakeBox(table, row, cell,
                    tickedKeys.contains(CShortListStore::SeriesKey(series.Code(), table.Kind())));
        } else if (column == kShortListDividendValueColumn ||
                   column == kShortListDividendDateColumn) {
            table.SetEditable(row, cell, true);
            // Typed texts may have spaces; the row is measured for them as they come.
            table.SetFormat(row, cell, Qt::AlignHCenter | Qt::TextWordWrap);
        }
    }
    // The analytics: the view fills them in when ready.
    for (std::size_t column = 0; column < kAnalyticsColumnCount; ++column) {
        AddTextCell(table, row, QString(), kDivisions, 1, background, foreground, true);
    }
}

} // namespace strikeline
