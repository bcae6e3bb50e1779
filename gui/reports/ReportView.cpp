#include "gui/reports/ReportView.h"

#include "gui/app/CommandIds.h"
#include "gui/charts/PayoffWindow.h"
#include "gui/reports/AnalyticsCells.h"
#include "gui/reports/ReportBlockBuilder.h"
#include "gui/reports/ReportBlockTable.h"
#include "gui/reports/SessionPaperColors.h"
#include "marketdata/CompanyList.h"
#include "marketdata/CompanyNameTable.h"
#include "reports/ReportSettings.h"
#include "reports/ShortListRules.h"
#include "reports/ShortListTexts.h"
#include "session/ApplicationState.h"
#include "session/Session.h"
#include "storage/ColorScheme.h"

#include <QApplication>
#include <QCheckBox>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace strikeline {

namespace {

// The busy text stands out: the application font half as large again, bold.
constexpr double kBusyFontScale = 1.5;

} // namespace

CReportView::CReportView(CSession& session, ReportKind kind, QWidget* parent)
    : CMultiTableView(parent), m_Kind(kind), m_Clock(CurrentFileTime), m_Session(session) {
    m_BusyFont = QApplication::font();
    if (m_BusyFont.pointSizeF() > 0) {
        m_BusyFont.setPointSizeF(m_BusyFont.pointSizeF() * kBusyFontScale);
    } else {
        m_BusyFont.setPixelSize(static_cast<int>(m_BusyFont.pixelSize() * kBusyFontScale + 0.5));
    }
    m_BusyFont.setBold(true);
    m_Report.kind = kind;
    RefreshView();
}

CReportView::~CReportView() {
    // The blocks show the snapshot, which goes before the base class frees them.
    DeleteAllTables();
}

QString CReportView::BusyText() const {
    return QStringLiteral("Generating %1 Report...\n\nPlease wait...")
        .arg(m_Kind == ReportKind::Call ? QStringLiteral("Call") : QStringLiteral("Put"));
}

void CReportView::SetClock(CClock clock) {
    m_Clock = clock ? std::move(clock) : CClock(CurrentFileTime);
}

void CReportView::RefreshView() {
    m_Busy = true;
    // The blocks point into the snapshot: they go first.
    RemoveAllTables();
    m_CheckBoxes.clear();
    m_Checked.clear();
    m_EstimateWidth = -1;
    m_Report = CReport{};
    m_Report.kind = m_Kind;
    m_Market.reset();
    m_SnapshotPending = true;
    const CColorScheme scheme = m_Session.ColorScheme();
    ApplyScheme(scheme);
    m_BlockBuilder =
        std::make_unique<CReportBlockBuilder>(scheme, RegularFont(), UnderlinedFont(), BoldFont());
    if (viewport()->isVisible()) {
        // The busy text shows before the first slice of work.
        viewport()->repaint();
    }
    StartBuilding();
}

bool CReportView::BuildNextStep() {
    if (!m_SnapshotPending) {
        return false;
    }
    TakeSnapshot();
    AddPendingTables(static_cast<int>(m_Report.blocks.size()));
    return true;
}

void CReportView::TakeSnapshot() {
    m_SnapshotPending = false;
    m_Market = m_Session.Market().Current();
    m_Analytics = m_Session.Analytics();
    m_Report = BuildReport(m_Kind, m_Session.ReportSettings(m_Kind), *m_Market, m_Clock());
    m_CheckBoxes.assign(m_Report.blocks.size(), nullptr);
    m_Checked.assign(m_Report.blocks.size(), false);
}

std::unique_ptr<CStackedTable> CReportView::MakeTable(int block) {
    const auto index = static_cast<std::size_t>(block);
    auto table = std::make_unique<CReportBlockTable>(*this, viewport());
    table->hide();
    // Built with the columns as the setting has them now; figures only when there are any.
    m_BlockBuilder->SetAnalyticsColumns(true, m_Session.AnalyticsSettings().ShowColumns());
    m_BlockBuilder->Build(*table, m_Report.blocks[index], m_Market->CompanyNames());
    if (m_Analytics) {
        RefreshTable(*table);
    }
    auto* box = new QCheckBox(table.get());
    box->setGeometry(0, 0, CReportBlockBuilder::kCheckBoxSize, CReportBlockBuilder::kCheckBoxSize);
    box->setChecked(m_Checked[index]);
    // Clicking the box leaves the focus, and so the selection, where it was.
    box->setFocusPolicy(Qt::TabFocus);
    connect(box, &QCheckBox::clicked, this,
            [this, index](bool checked) { OnCheckBoxClicked(index, checked); });
    m_CheckBoxes[index] = box;
    return table;
}

void CReportView::LearnRowHeights(int width) {
    m_EstimateWidth = width;
    CReportBlockTable& first = *Block(0);
    first.TotalHeight(width);
    m_HeaderHeight = 0;
    for (int row = 0; row < CReportBlockBuilder::kPrintedHeaderRows; ++row) {
        m_HeaderHeight += first.RowHeight(row);
    }
    int seriesRows = 0;
    int seriesHeight = 0;
    m_LeveragedRowHeight = 0;
    for (int row = CReportBlockBuilder::kPrintedHeaderRows; row < first.RowCount(); ++row) {
        // Series rows hold their series; the leveraged line holds none.
        if (first.RowValue(row) != 0) {
            ++seriesRows;
            seriesHeight += first.RowHeight(row);
        } else {
            m_LeveragedRowHeight = first.RowHeight(row);
        }
    }
    m_SeriesRowHeight = seriesRows > 0 ? static_cast<double>(seriesHeight) / seriesRows : 0;
    if (m_LeveragedRowHeight == 0) {
        m_LeveragedRowHeight = static_cast<int>(std::lround(m_SeriesRowHeight));
    }
}

int CReportView::EstimateTableHeight(int index, int width) {
    if (width != m_EstimateWidth) {
        LearnRowHeights(width);
    }
    const CReportBlock& block = m_Report.blocks[static_cast<std::size_t>(index)];
    const bool leveraged = block.leveraged && block.atTheMoney.has_value();
    return m_HeaderHeight +
           static_cast<int>(
               std::lround(m_SeriesRowHeight * static_cast<double>(block.series.size()))) +
           (leveraged ? m_LeveragedRowHeight : 0);
}

void CReportView::UpdateAnalyticsColumns() {
    m_Analytics = m_Session.Analytics();
    // Shown or hidden columns change the rows' heights.
    m_EstimateWidth = -1;
    RefreshTables();
}

void CReportView::RefreshTable(CStackedTable& table) {
    const bool shown = m_Session.AnalyticsSettings().ShowColumns();
    const bool isCall = m_Kind == ReportKind::Call;
    constexpr int kBepColumn = CSeriesTable::kSeriesColumns - 1;
    // From the series header down; series rows hold their series, the leveraged line none.
    for (int row = CReportBlockBuilder::kPrintedHeaderRows - 1; row < table.RowCount(); ++row) {
        if (const auto* series = reinterpret_cast<const CContractInfo*>(table.RowValue(row));
            series != nullptr && row >= CReportBlockBuilder::kPrintedHeaderRows) {
            FillAnalyticsCells(table, row, m_Analytics.get(), isCall, series->Code(),
                               table.Cell(row, kBepColumn)->m_TextColor);
        }
        ShowAnalyticsCells(table, row, CReportBlockBuilder::kAnalyticsDivisions, shown);
    }
}

void CReportView::OnWorkFinished() {
    if (m_Busy) {
        m_Busy = false;
        viewport()->update();
        emit BuildFinished();
    }
}

void CReportView::paintEvent(QPaintEvent* event) {
    if (!m_Busy) {
        CMultiTableView::paintEvent(event);
        return;
    }
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::white);
    painter.setFont(m_BusyFont);
    painter.setPen(Qt::black);
    painter.drawText(viewport()->rect(), Qt::AlignCenter, BusyText());
}

CReportBlockTable* CReportView::Block(int index) {
    return static_cast<CReportBlockTable*>(Table(index));
}

CReportBlockTable* CReportView::MadeBlock(int index) const {
    return static_cast<CReportBlockTable*>(MadeTable(index));
}

QCheckBox* CReportView::CompanyCheckBox(int index) {
    if (index < 0 || index >= static_cast<int>(m_CheckBoxes.size())) {
        return nullptr;
    }
    Block(index);
    return m_CheckBoxes[static_cast<std::size_t>(index)].data();
}

int CReportView::FindBlock(std::string_view code) const {
    const int count = std::min(BlockCount(), static_cast<int>(m_Report.blocks.size()));
    for (int i = 0; i < count; ++i) {
        if (SameCode(m_Report.blocks[static_cast<std::size_t>(i)].company->Code(), code)) {
            return i;
        }
    }
    return -1;
}

void CReportView::SetCompanyChecked(std::string_view code, bool checked) {
    const int index = FindBlock(code);
    if (index < 0) {
        return;
    }
    m_Checked[static_cast<std::size_t>(index)] = checked;
    // Only a click tells the Short List; setting the state does not.
    if (QCheckBox* box = m_CheckBoxes[static_cast<std::size_t>(index)]) {
        box->setChecked(checked);
    }
}

void CReportView::ClearAllChecks() {
    std::fill(m_Checked.begin(), m_Checked.end(), false);
    for (const QPointer<QCheckBox>& box : m_CheckBoxes) {
        if (box) {
            box->setChecked(false);
        }
    }
}

void CReportView::OnCheckBoxClicked(std::size_t index, bool checked) {
    if (index < m_Checked.size()) {
        m_Checked[index] = checked;
    }
    if (!m_ShortListHook || index >= m_Report.blocks.size()) {
        return;
    }
    // The hook may rebuild this view; it gets a company that outlives the rebuild.
    const CShortListHook hook = m_ShortListHook;
    const CCompanyInfo company = *m_Report.blocks[index].company;
    hook(m_Kind, company, checked);
}

void CReportView::OpenTrendChart(const std::string& code) {
    if (m_TrendChartHook) {
        const CTrendChartHook hook = m_TrendChartHook;
        hook(code);
    }
}

void CReportView::OpenPayoff(const CCompanyInfo& company, const CContractInfo& series) {
    if (!m_PayoffHook) {
        return;
    }
    // The dividend the Short List would show for the series.
    const std::array<std::string, kShortListColumns> texts = ShortListSeriesTexts(
        company, series,
        m_Market ? m_Market->FindDividend(company.Code()) : std::optional<CDividend>());
    const CPayoffPosition position = SeriesPosition(
        m_Session.TradingPlan(),
        MakeSeriesSource(company, series, m_Kind, texts[kShortListDividendValueColumn],
                         texts[kShortListDividendDateColumn]),
        m_Clock());
    const CPayoffHook hook = m_PayoffHook;
    hook(position);
}

bool CReportView::HandlesCommand(int command) const {
    return command == ID_FILE_PRINT && (HasTables() || IsBusy());
}

void CReportView::OnCommand(int command) {
    if (command == ID_FILE_PRINT) {
        PrintWithPreview();
    }
}

CPaperColors CReportView::ColorsOnPaper() const {
    return PaperColorsOf(m_Session);
}

} // namespace strikeline
