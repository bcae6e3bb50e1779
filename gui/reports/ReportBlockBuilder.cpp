#include "gui/reports/ReportBlockBuilder.h"

#include "gui/reports/ReportBlockTable.h"
#include "gui/reports/SeriesTable.h"
#include "gui/widgets/ComplexTableWnd.h"
#include "reports/ReportBuilder.h"
#include "reports/ReportTexts.h"

#include <QCursor>
#include <memory>

namespace strikeline {

namespace {

constexpr int kSeriesColumns = CSeriesTable::kSeriesColumns;
// Series columns: code, last trade, expiry, strike, fair price, size, open interest, then
// the profit and % return not exercised and exercised, and BEP.
constexpr int kFairPriceColumn = 4;
constexpr int kNotExercisedReturnColumn = 8;
constexpr int kExercisedReturnColumn = 10;
// The outcome heading spans the four profit and return columns.
constexpr int kOutcomeSpan = 4;
constexpr int kLeveragedTextSpan = 7;
// The last-trade column is the only series text with a space: a date and a time.
constexpr int kLastTradeColumn = 1;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A row is as tall as its texts wrapped at their spaces to the cell width, so such texts
// are drawn wrapped too. Texts without a space are measured as one line; they are drawn
// on one line as well (wrapping would break them at their hyphens, below the row's height).
void SetWrapping(CComplexTableWnd& table, int row, int cell, bool wrap) {
    table.SetFormat(row, cell, wrap ? Qt::AlignHCenter | Qt::TextWordWrap : Qt::AlignHCenter);
}

bool MayWrap(const QString& text) {
    return text.contains(QLatin1Char(' ')) || text.contains(QLatin1Char('\n'));
}

int AddTextCell(CComplexTableWnd& table, int row, const QString& text, int divisions, int span,
                Color background, Color foreground, bool selectable) {
    const int cell =
        table.AddCell(row, text, divisions, span, background, foreground, selectable, false);
    SetWrapping(table, row, cell, MayWrap(text));
    return cell;
}

void FrameAll(CComplexTableWnd& table, int row, int column) {
    table.SetBorders(row, column, 1, 1, 1, 1, CReportBlockBuilder::kBorderColor);
}

void FrameRightBottom(CComplexTableWnd& table, int row, int column) {
    table.SetBorders(row, column, 0, 1, 0, 1, CReportBlockBuilder::kBorderColor);
}

} // namespace

CReportBlockBuilder::CReportBlockBuilder(const CColorScheme& scheme, const QFont& regular,
                                         const QFont& underlined, const QFont& bold)
    : m_Scheme(scheme), m_Regular(regular), m_Underlined(underlined), m_Bold(bold) {}

void CReportBlockBuilder::Build(CComplexTableWnd& table, const CReportBlock& block,
                                const CCompanyNameTable& names) const {
    table.setObjectName(Text(block.company->Code()));
    table.setFont(m_Regular);
    table.SetPrintedHeaderCount(kPrintedHeaderRows);
    AddCompanyHeader(table, block);
    AddCompanyValues(table, block, names);
    AddSeriesHeader(table);
    for (std::size_t i = 0; i < block.series.size(); ++i) {
        AddSeriesRow(table, block, i);
        if (block.leveraged && block.atTheMoney == i) {
            AddLeveragedRow(table, block);
        }
    }
}

void CReportBlockBuilder::AddCompanyHeader(CComplexTableWnd& table,
                                           const CReportBlock& block) const {
    const std::vector<std::string> texts = CompanyHeaderTexts(*block.company);
    const int count = static_cast<int>(texts.size());
    const int row = table.AddRow();
    table.ReserveCells(row, count);
    for (const std::string& text : texts) {
        const int cell =
            AddTextCell(table, row, Text(text), count, 1, Scheme(SchemeColor::CompanyHeaderBk),
                        Scheme(SchemeColor::CompanyHeaderFg), false);
        table.SetCellFont(row, cell, m_Bold);
        FrameAll(table, row, cell);
    }
    // The first title keeps clear of the check box in the corner.
    table.SetMargins(row, 0, QMargins(kCheckBoxSize + 2, 4, 4, 4));
}

void CReportBlockBuilder::AddCompanyValues(CComplexTableWnd& table, const CReportBlock& block,
                                           const CCompanyNameTable& names) const {
    const std::vector<std::string> texts = CompanyValueTexts(*block.company, names);
    const int count = static_cast<int>(texts.size());
    const int row = table.AddRow();
    table.ReserveCells(row, count);
    table.SetRowValue(row, CReportBlockTable::CompanyRowValue(*block.company));
    for (const std::string& text : texts) {
        const int cell =
            AddTextCell(table, row, Text(text), count, 1, Scheme(SchemeColor::ReportBk),
                        Scheme(SchemeColor::ReportFg), false);
        FrameAll(table, row, cell);
    }
    table.SetTextColor(row, 0, kLinkColor);
    table.SetCellFont(row, 0, m_Underlined);
    table.SetCellCursor(row, 0, QCursor(Qt::PointingHandCursor));
}

void CReportBlockBuilder::AddSeriesHeader(CComplexTableWnd& table) const {
    static const char* const kTitles[] = {"Company Code", "Last Trade",     "Expiry Month",
                                          "Strike Price", "ASX Fair Price", "Contract Size",
                                          "Open Interest"};
    const Color background = Scheme(SchemeColor::OptionsHeaderBk);
    const Color foreground = Scheme(SchemeColor::OptionsHeaderFg);
    const int divisions = SeriesDivisions();
    const int row = table.AddRow();
    table.ReserveCells(row, 9 + AnalyticsCells());
    const auto addTitle = [&](QString title, int span) {
        const int cell =
            AddTextCell(table, row, title, divisions, span, background, foreground, false);
        table.SetCellFont(row, cell, m_Bold);
        FrameAll(table, row, cell);
        return cell;
    };
    for (const char* title : kTitles) {
        addTitle(QString::fromLatin1(title), 1);
    }

    // "Not exercised" and "Exercised" over their profit and % return columns.
    auto outcome = std::make_unique<CComplexTableWnd>();
    outcome->setFocusPolicy(Qt::NoFocus);
    outcome->setFont(m_Regular);
    const int top = outcome->AddRow();
    const int bottom = outcome->AddRow();
    for (const char* title : {"Not exercised", "Exercised"}) {
        const int cell = AddTextCell(*outcome, top, QString::fromLatin1(title), kOutcomeSpan, 2,
                                     background, foreground, false);
        outcome->SetCellFont(top, cell, m_Bold);
        FrameAll(*outcome, top, cell);
    }
    for (const char* title : {"Profit", "% Return", "Profit", "% Return"}) {
        const int cell = AddTextCell(*outcome, bottom, QString::fromLatin1(title), kOutcomeSpan, 1,
                                     background, foreground, false);
        outcome->SetCellFont(bottom, cell, m_Bold);
        FrameAll(*outcome, bottom, cell);
    }
    const int host =
        AddTextCell(table, row, QString(), divisions, kOutcomeSpan, background, foreground, false);
    table.SetEmbeddedTable(row, host, std::move(outcome));
    addTitle(QStringLiteral("BEP"), 1);
    if (m_AnalyticsColumns) {
        for (const std::string_view heading : kAnalyticsHeadings) {
            const int cell = addTitle(
                QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size())), 1);
            if (!m_AnalyticsShown) {
                table.SetVisible(row, cell, false);
            }
        }
    }
}

void CReportBlockBuilder::AddAnalyticsCell(CComplexTableWnd& table, int row, Color background,
                                           Color foreground, bool selectable) const {
    const int cell = AddTextCell(table, row, QString(), SeriesDivisions(), 1, background,
                                 foreground, selectable);
    if (!m_AnalyticsShown) {
        table.SetVisible(row, cell, false);
    }
    FrameRightBottom(table, row, cell);
}

void CReportBlockBuilder::AddSeriesRow(CComplexTableWnd& table, const CReportBlock& block,
                                       std::size_t index) const {
    const CContractInfo& series = block.Series(index);
    const bool atTheMoney = block.atTheMoney == index;
    const Color background =
        Scheme(atTheMoney ? SchemeColor::StrikePriceBk : SchemeColor::ReportBk);
    const Color foreground =
        Scheme(atTheMoney ? SchemeColor::StrikePriceFg : SchemeColor::ReportFg);
    const int divisions = SeriesDivisions();
    const int row = table.AddRow();
    table.ReserveCells(row, kSeriesColumns + AnalyticsCells());
    table.SetRowValue(row, CSeriesTable::SeriesRowValue(series));
    for (int column = 0; column < kSeriesColumns; ++column) {
        Color cellBackground = background;
        Color cellForeground = foreground;
        if (column == kFairPriceColumn) {
            cellBackground = Scheme(SchemeColor::ASXFairPriceBk);
            cellForeground = Scheme(SchemeColor::ASXFairPriceFg);
        } else if (atTheMoney &&
                   (column == kNotExercisedReturnColumn || column == kExercisedReturnColumn)) {
            cellBackground = Scheme(SchemeColor::ReturnPercentsBk);
            cellForeground = Scheme(SchemeColor::ReturnPercentsFg);
        }
        // The series code is kept in the cell; every other text is worked out when shown.
        const QString text = column == 0 ? Text(series.Code()) : QString();
        const int cell =
            AddTextCell(table, row, text, divisions, 1, cellBackground, cellForeground, true);
        if (column > 0) {
            table.SetTextFromHook(row, cell, true);
            SetWrapping(table, row, cell, column == kLastTradeColumn);
        }
        table.SetBorders(row, cell, column == 0 ? 1 : 0, 1, 0, 1, kBorderColor);
    }
    // The analytics keep their texts in the cells: the view fills them in when ready.
    for (int column = 0; column < AnalyticsCells(); ++column) {
        AddAnalyticsCell(table, row, background, foreground, true);
    }
}

void CReportBlockBuilder::AddLeveragedRow(CComplexTableWnd& table,
                                          const CReportBlock& block) const {
    const std::array<std::string, 6> texts =
        LeveragedRowTexts(*block.company, block.Series(*block.atTheMoney), block.costOfLeverage);
    const Color background = Scheme(SchemeColor::LeverageCostBk);
    const Color foreground = Scheme(SchemeColor::LeverageCostFg);
    const int divisions = SeriesDivisions();
    const int row = table.AddRow();
    table.ReserveCells(row, static_cast<int>(texts.size()) + AnalyticsCells());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const int cell =
            AddTextCell(table, row, Text(texts[i]), divisions, i == 0 ? kLeveragedTextSpan : 1,
                        background, foreground, false);
        FrameRightBottom(table, row, cell);
    }
    // Under the analytics columns the line has nothing to say.
    for (int i = 0; i < AnalyticsCells(); ++i) {
        AddAnalyticsCell(table, row, background, foreground, false);
    }
}

} // namespace strikeline
