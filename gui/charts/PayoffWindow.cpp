#include "gui/charts/PayoffWindow.h"

#include "gui/app/ChildFrame.h"
#include "gui/app/MainFrame.h"
#include "gui/charts/ChartPanel.h"
#include "marketdata/CompanyList.h"
#include "plan/TradingPlan.h"
#include "session/Session.h"
#include "storage/NumberText.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>
#include <string_view>
#include <utility>

namespace strikeline {

namespace {

// The keys name the kind of position first.
constexpr std::string_view kRowKey = "row\n";
constexpr std::string_view kCompanyKey = "company\n";

std::string RowKey(const CTradingPlanEntry& row) {
    return std::string(kRowKey) + row.m_CompanyID + "\n" + row.m_ContractID + "\n" +
           std::to_string(row.m_SourceType) + "\n" + std::to_string(row.m_RecordDate);
}

QString Money(double value) {
    return QString::fromStdString(FormatMoney(value, 2));
}

} // namespace

CPayoffPosition PlanRowPosition(const CTradingPlanEntry& row) {
    return {RowKey(row), row.m_ContractID, {}, {row}};
}

CPayoffPosition CompanyRowsPosition(const CTradingPlan& plan, std::string_view company) {
    CPayoffPosition position{
        std::string(kCompanyKey) + std::string(company), std::string(company), {}, {}};
    // As the plan's group heading gathers them.
    for (const CTradingPlanEntry* row : plan.DisplayOrder()) {
        if (row->m_CompanyID == company) {
            position.rows.push_back(*row);
        }
    }
    return position;
}

CPayoffPosition SeriesPosition(const CTradingPlan& plan, const CPlanSeriesSource& series,
                               FileTime now) {
    const PlanFamily family = series.isCall ? PlanFamily::Call : PlanFamily::Put;
    std::vector<CTradingPlanEntry> held;
    for (const CTradingPlanEntry* row : plan.DisplayOrder()) {
        if (PlanFamilyOf(row->m_SourceType) == family &&
            SameCode(row->m_ContractID, series.contractCode)) {
            held.push_back(*row);
        }
    }
    const std::string kind = series.isCall ? "call" : "put";
    if (held.size() == 1) {
        return PlanRowPosition(held.front());
    }
    if (!held.empty()) {
        const std::string note = std::to_string(held.size()) + " rows";
        return {"series\n" + kind + "\n" + held.front().m_ContractID, held.front().m_ContractID,
                note, std::move(held)};
    }
    CTradingPlanEntry row = MakePlanEntry(series, now);
    row.m_Shares = row.m_ContractSize;
    return {"new\n" + kind + "\n" + series.contractCode,
            series.contractCode,
            "not in the plan",
            {std::move(row)}};
}

QString PayoffWindowTitle(const CPayoffPosition& position) {
    QString title = QStringLiteral("Payoff - %1").arg(QString::fromStdString(position.name));
    if (!position.note.empty()) {
        title += QStringLiteral(" (%1)").arg(QString::fromStdString(position.note));
    }
    return title;
}

CPayoffChartData PayoffChartData(const CPayoffChart& payoff, const QString& title) {
    CPayoffChartData data;
    data.title = title;
    data.priceTitle = QObject::tr("Share Price ($)");
    data.valueTitle = QObject::tr("Profit or Loss ($)");
    data.atExpiryName = QObject::tr("At expiry");
    data.todayName = QObject::tr("Today");
    data.priceName = QObject::tr("Share price");
    for (const CPayoffPoint& point : payoff.points) {
        data.atExpiry.push_back({point.price, point.atExpiry});
        if (payoff.hasToday && point.today) {
            data.today.push_back({point.price, *point.today});
        }
    }
    using Kind = CPayoffChartData::MarkKind;
    for (const double price : payoff.breakEvens) {
        data.marks.push_back(
            {Kind::BreakEven, price, QObject::tr("Break-even %1").arg(Money(price))});
    }
    for (const double price : payoff.strikes) {
        data.marks.push_back({Kind::Strike, price, QObject::tr("Strike %1").arg(Money(price))});
    }
    for (const double price : payoff.sharePrices) {
        data.marks.push_back(
            {Kind::SharePrice, price, QObject::tr("Share price %1").arg(Money(price))});
    }
    return data;
}

CPayoffView::CPayoffView(CPayoffPosition position, std::shared_ptr<const CMarketAnalytics> market,
                         const CChartColours& colours, QWidget* parent,
                         std::optional<std::vector<std::string>> chartModuleFolders)
    : QWidget(parent), m_Chart(new CChartPanel(this, std::move(chartModuleFolders))) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_Chart);
    m_Chart->SetColours(colours);
    ShowPosition(std::move(position), std::move(market));
}

void CPayoffView::ShowPosition(CPayoffPosition position,
                               std::shared_ptr<const CMarketAnalytics> market) {
    m_Position = std::move(position);
    std::vector<const CTradingPlanEntry*> rows;
    for (const CTradingPlanEntry& row : m_Position.rows) {
        rows.push_back(&row);
    }
    m_Payoff = BuildPayoffChart(rows, market.get());
    if (m_Payoff.points.empty()) {
        m_Chart->ShowMessage(tr("There is nothing to draw: no row of %1 has shares, a strike and "
                                "a premium.")
                                 .arg(QString::fromStdString(m_Position.name)));
        return;
    }
    const CPayoffChartData figures = PayoffChartData(m_Payoff, PayoffWindowTitle(m_Position));
    m_Chart->ShowChart(
        [figures](CChartFactory& factory, const CChartColours& colours, QWidget* parent) {
            return factory.MakePayoffChart(figures, colours, parent);
        });
}

QSize CPayoffView::sizeHint() const {
    return {780, 520};
}

CPayoffView* OpenPayoffWindow(CMainFrame& frame, CPayoffPosition position) {
    const std::shared_ptr<const CMarketAnalytics> market = frame.Session().Analytics();
    for (QMdiSubWindow* window : frame.MdiArea()->subWindowList()) {
        auto* open = qobject_cast<CPayoffView*>(window->widget());
        if (open != nullptr && open->Position().key == position.key) {
            open->ShowPosition(std::move(position), market);
            frame.MdiArea()->setActiveSubWindow(window);
            return open;
        }
    }
    auto* childFrame = new CChildFrame(PayoffWindowTitle(position), true, true);
    auto* view = new CPayoffView(std::move(position), market,
                                 ChartColoursOf(frame.Session().ColorScheme(), frame.palette()));
    childFrame->SetView(view);
    frame.MdiArea()->addSubWindow(childFrame);
    childFrame->OnAddedToArea();
    childFrame->resize(view->sizeHint());
    childFrame->show();
    frame.MdiArea()->setActiveSubWindow(childFrame);
    return view;
}

void RefreshPayoffWindows(CMainFrame& frame) {
    const CTradingPlan& plan = std::as_const(frame.Session().TradingPlan());
    for (QMdiSubWindow* window : frame.MdiArea()->subWindowList()) {
        auto* view = qobject_cast<CPayoffView*>(window->widget());
        if (view == nullptr) {
            continue;
        }
        const CPayoffPosition& shown = view->Position();
        std::optional<CPayoffPosition> now;
        if (shown.key.starts_with(kCompanyKey)) {
            now = CompanyRowsPosition(plan, shown.name);
        } else if (shown.key.starts_with(kRowKey)) {
            for (const CTradingPlanEntry* row : plan.DisplayOrder()) {
                if (RowKey(*row) == shown.key) {
                    now = PlanRowPosition(*row);
                    break;
                }
            }
        }
        if (now && now->rows != shown.rows) {
            view->ShowPosition(std::move(*now), frame.Session().Analytics());
        }
    }
}

} // namespace strikeline
