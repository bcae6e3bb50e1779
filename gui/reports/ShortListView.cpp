#include "gui/reports/ShortListView.h"

#include "gui/app/CommandIds.h"
#include "gui/charts/PayoffWindow.h"
#include "gui/reports/AnalyticsCells.h"
#include "gui/reports/SessionPaperColors.h"
#include "gui/reports/ShortListBlockBuilder.h"
#include "gui/reports/ShortListBlockTable.h"
#include "marketdata/CompanyList.h"
#include "marketdata/CompanyNameTable.h"
#include "marketdata/Dividend.h"
#include "plan/TradingPlan.h"
#include "reports/ReportBuilder.h"
#include "reports/ReportFilter.h"
#include "reports/ReportSettings.h"
#include "reports/ShortListRules.h"
#include "reports/ShortListStore.h"
#include "session/ApplicationState.h"
#include "session/Session.h"
#include "storage/ColorScheme.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace strikeline {

CShortListView::CShortListView(CSession& session, QWidget* parent)
    : CMultiTableView(parent), m_Session(session), m_Clock(CurrentFileTime) {
    RebuildFromStore();
}

CShortListView::~CShortListView() {
    // The blocks hold the copies; their tables go with them before the base class ends.
    DeleteAllTables();
}

void CShortListView::SetClock(CClock clock) {
    m_Clock = clock ? std::move(clock) : CClock(CurrentFileTime);
}

CShortListBlockTable* CShortListView::Block(int index) const {
    return static_cast<CShortListBlockTable*>(MadeTable(index));
}

int CShortListView::FindCompany(std::string_view code, ReportKind kind) const {
    for (int i = 0; i < BlockCount(); ++i) {
        const CShortListBlockTable* block = Block(i);
        if (block->Kind() == kind && SameCode(block->Company().Code(), code)) {
            return i;
        }
    }
    return -1;
}

std::unique_ptr<CShortListBlockBuilder> CShortListView::MakeBlockBuilder() {
    const CColorScheme scheme = m_Session.ColorScheme();
    ApplyScheme(scheme);
    return std::make_unique<CShortListBlockBuilder>(scheme, RegularFont(), UnderlinedFont(),
                                                    BoldFont());
}

CShortListView::CMoment CShortListView::TakeMoment() const {
    const FileTime now = m_Clock();
    const std::shared_ptr<const CMarketSnapshot> market = m_Session.Market().Current();
    return {now, CReportFilter::HasLaterExpiryThisMonth(market->Calls(), now) ||
                     CReportFilter::HasLaterExpiryThisMonth(market->Puts(), now)};
}

void CShortListView::InsertBlock(const CCompanyInfo& company, ReportKind kind,
                                 const CMoment& moment) {
    if (!m_OrderKind) {
        m_OrderKind = kind;
    }
    const CReportSettings& orderSettings = m_Session.ReportSettings(*m_OrderKind);
    const CReportFilter orderFilter(orderSettings, moment.now, moment.laterExpiryThisMonth);
    const CReportFilter ownFilter(m_Session.ReportSettings(kind), moment.now,
                                  moment.laterExpiryThisMonth);

    CCompanyInfo copy = company;
    ComputeSortKeys(copy, orderFilter);
    int index = 0;
    while (index < BlockCount() && CompanyPrecedes(Block(index)->Company(), copy, orderSettings)) {
        ++index;
    }
    auto block = std::make_unique<CShortListBlockTable>(
        *this,
        MakeReportBlock(std::make_shared<const CCompanyInfo>(std::move(copy)), ownFilter, false),
        kind, viewport());
    block->hide();
    if (!m_BlockBuilder) {
        m_BlockBuilder = MakeBlockBuilder();
    }
    const std::shared_ptr<const CMarketSnapshot> market = m_Session.Market().Current();
    m_BlockBuilder->Build(*block, market->CompanyNames(),
                          market->FindDividend(block->Company().Code()),
                          m_Session.ShortList().TickedKeys());
    RefreshTable(*block);
    m_PendingFocus = block.get();
    InsertTable(index, std::move(block));
}

void CShortListView::AddCompany(const CCompanyInfo& company, ReportKind kind) {
    if (FindCompany(company.Code(), kind) >= 0) {
        return;
    }
    m_Session.ShortList().Add(company.Code(), kind);
    InsertBlock(company, kind, TakeMoment());
}

bool CShortListView::RemoveCompany(std::string_view code, ReportKind kind) {
    const int index = FindCompany(code, kind);
    m_Session.ShortList().Remove(code, kind);
    if (index < 0) {
        return false;
    }
    RemoveTable(index);
    if (BlockCount() == 0) {
        m_OrderKind.reset();
    }
    return true;
}

void CShortListView::PostRemoveCompany(const std::string& code, ReportKind kind) {
    QMetaObject::invokeMethod(
        this,
        [this, code, kind] {
            if (RemoveCompany(code, kind) && m_CompanyRemovedHook) {
                m_CompanyRemovedHook(kind, code);
            }
        },
        Qt::QueuedConnection);
}

void CShortListView::UntickSeries(std::string_view companyCode, std::string_view seriesCode,
                                  ReportKind kind) {
    m_Session.ShortList().UntickSeries(seriesCode, kind);
    if (CShortListBlockTable* block = Block(FindCompany(companyCode, kind))) {
        block->SetPlanTicked(block->FindSeriesRow(seriesCode), false);
    }
}

void CShortListView::TickSeries(std::string_view companyCode, std::string_view seriesCode,
                                ReportKind kind) {
    CShortListBlockTable* block = Block(FindCompany(companyCode, kind));
    const int row = block == nullptr ? -1 : block->FindSeriesRow(seriesCode);
    if (row >= 0) {
        m_Session.ShortList().SetTicked(seriesCode, kind, true);
        block->SetPlanTicked(row, true);
    }
}

void CShortListView::UntickAll() {
    m_Session.ShortList().UntickAll();
    for (int i = 0; i < BlockCount(); ++i) {
        Block(i)->UntickAll();
    }
}

void CShortListView::Clear() {
    RemoveAllTables();
    m_OrderKind.reset();
    m_Session.ShortList().Clear();
}

void CShortListView::SaveToStore() const {
    std::vector<CShortListEntry> entries;
    std::vector<std::string> keys;
    for (int i = 0; i < BlockCount(); ++i) {
        const CShortListBlockTable* block = Block(i);
        entries.push_back({block->Company().Code(), block->Kind()});
        for (std::string& key : block->TickedKeys()) {
            keys.push_back(std::move(key));
        }
    }
    m_Session.ShortList().Replace(std::move(entries), keys);
}

void CShortListView::RebuildFromStore() {
    RemoveAllTables();
    m_OrderKind.reset();
    m_BlockBuilder = MakeBlockBuilder();
    m_Analytics = m_Session.Analytics();
    // A copy: the store is rewritten below from what could be rebuilt.
    const std::vector<CShortListEntry> entries = m_Session.ShortList().Entries();
    const CMoment moment = TakeMoment();
    const std::shared_ptr<const CMarketSnapshot> market = m_Session.Market().Current();
    for (const CShortListEntry& entry : entries) {
        if (FindCompany(entry.code, entry.kind) >= 0) {
            continue;
        }
        const std::vector<CCompanyInfo>& list = market->Companies(entry.kind == ReportKind::Call);
        const int found = FindCompanyIndex(list, entry.code);
        // A company gone from the data leaves the list quietly.
        if (found >= 0) {
            InsertBlock(list[static_cast<std::size_t>(found)], entry.kind, moment);
        }
    }
    m_PendingFocus.clear();
    SaveToStore();
}

void CShortListView::RefreshView() {
    SaveToStore();
    RebuildFromStore();
}

void CShortListView::UpdateAnalyticsColumns() {
    m_Analytics = m_Session.Analytics();
    RefreshTables();
}

void CShortListView::RefreshTable(CStackedTable& table) {
    auto& block = static_cast<CShortListBlockTable&>(table);
    const bool shown = m_Session.AnalyticsSettings().ShowColumns();
    const bool isCall = block.Kind() == ReportKind::Call;
    const int bep = CShortListBlockTable::CellOf(static_cast<int>(kShortListColumns) - 1);
    for (int row = CShortListBlockTable::kSeriesHeaderRow; row < block.RowCount(); ++row) {
        if (const CContractInfo* series = block.SeriesAt(row)) {
            FillAnalyticsCells(block, row, m_Analytics.get(), isCall, series->Code(),
                               block.Cell(row, bep)->m_TextColor);
        }
        ShowAnalyticsCells(block, row, CShortListBlockBuilder::kAnalyticsDivisions, shown);
    }
}

void CShortListView::OpenTrendChart(const std::string& code) {
    if (m_TrendChartHook) {
        const CTrendChartHook hook = m_TrendChartHook;
        hook(code);
    }
}

void CShortListView::SendSeriesToPlan(CShortListBlockTable& block, int row) {
    const CContractInfo* series = block.SeriesAt(row);
    if (series == nullptr) {
        return;
    }
    AppendSeriesToPlan(&m_Session.TradingPlan(),
                       MakeSeriesSource(block.Company(), *series, block.Kind(),
                                        block.DividendValueText(row).toStdString(),
                                        block.DividendDateText(row).toStdString()),
                       m_Clock());
    if (m_PlanChangedHook) {
        const CPlanChangedHook hook = m_PlanChangedHook;
        hook();
    }
}

void CShortListView::OpenPayoff(CShortListBlockTable& block, int row) {
    const CContractInfo* series = block.SeriesAt(row);
    if (series == nullptr || !m_PayoffHook) {
        return;
    }
    const CPayoffPosition position =
        SeriesPosition(m_Session.TradingPlan(),
                       MakeSeriesSource(block.Company(), *series, block.Kind(),
                                        block.DividendValueText(row).toStdString(),
                                        block.DividendDateText(row).toStdString()),
                       m_Clock());
    const CPayoffHook hook = m_PayoffHook;
    hook(position);
}

bool CShortListView::IsInActiveFrame() const {
    for (QWidget* widget = parentWidget(); widget != nullptr; widget = widget->parentWidget()) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(widget)) {
            return frame->mdiArea() == nullptr || frame->mdiArea()->activeSubWindow() == frame;
        }
    }
    return true;
}

void CShortListView::OnWorkFinished() {
    CShortListBlockTable* block = m_PendingFocus.data();
    m_PendingFocus.clear();
    const int index = IndexOf(block);
    if (index < 0) {
        return;
    }
    // The new block shows; a window opened behind another does not take the focus.
    ScrollTo(TableTop(index) - kMargin);
    SetActiveTable(block);
    if (IsInActiveFrame() && !block->isHidden()) {
        block->setFocus(Qt::OtherFocusReason);
    }
}

void CShortListView::closeEvent(QCloseEvent* event) {
    bool clear = false;
    {
        CApplicationState& state = m_Session.State();
        const CApplicationStateLock lock(state);
        clear = state.ClearShortListOnClose();
    }
    if (clear) {
        m_Session.ShortList().Clear();
    } else {
        SaveToStore();
    }
    // The report boxes stay as they are either way.
    RemoveAllTables();
    m_OrderKind.reset();
    CMultiTableView::closeEvent(event);
}

bool CShortListView::HandlesCommand(int command) const {
    return command == ID_FILE_PRINT && HasTables();
}

void CShortListView::OnCommand(int command) {
    if (command == ID_FILE_PRINT) {
        PrintWithPreview();
    }
}

CPaperColors CShortListView::ColorsOnPaper() const {
    return PaperColorsOf(m_Session);
}

} // namespace strikeline
