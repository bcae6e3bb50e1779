#include "gui/reports/ShortListViews.h"

#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/app/RefreshKind.h"
#include "gui/charts/PayoffWindow.h"
#include "gui/reports/ReportView.h"
#include "gui/reports/ShortListView.h"
#include "plan/TradingPlan.h"
#include "reports/ShortListRules.h"
#include "reports/ShortListStore.h"
#include "session/Session.h"

namespace strikeline {

namespace {

CShortListView* OpenShortList(CMainFrame& frame, bool create) {
    return dynamic_cast<CShortListView*>(frame.GetView(ViewKind::ShortList, create, false));
}

CReportView* OpenReport(CMainFrame& frame, ReportKind kind) {
    return dynamic_cast<CReportView*>(frame.GetView(
        kind == ReportKind::Call ? ViewKind::CallReport : ViewKind::PutReport, false, false));
}

} // namespace

void RegisterShortListView(CMainFrame& frame,
                           std::function<void(const std::string& code)> openTrendChart) {
    frame.RegisterView(
        ViewKind::ShortList,
        {QStringLiteral("Short List"), true, true, {}, [&frame, openTrendChart] {
             auto* view = new CShortListView(frame.Session());
             view->SetTrendChartHook(openTrendChart);
             view->SetPayoffHook(
                 [&frame](const CPayoffPosition& position) { OpenPayoffWindow(frame, position); });
             view->SetCompanyRemovedHook([&frame](ReportKind kind, const std::string& code) {
                 if (CReportView* report = OpenReport(frame, kind)) {
                     report->SetCompanyChecked(code, false);
                 }
             });
             view->SetPlanChangedHook([&frame] {
                 frame.GetView(ViewKind::TradingPlan, true, false);
                 frame.RefreshView(RefreshKind::TradingPlan);
             });
             return view;
         }});
    frame.RegisterCommand(ID_SHORT_LIST_CLEAR, [&frame] { ClearShortList(frame); });
    QObject::connect(&frame, &CMainFrame::TradingPlanCleared, &frame, [&frame] {
        if (CShortListView* view = OpenShortList(frame, false)) {
            view->UntickAll();
        } else {
            frame.Session().ShortList().UntickAll();
        }
    });
}

void ConnectReportToShortList(CMainFrame& frame, CReportView& report) {
    QObject::connect(&report, &CReportView::BuildFinished, &report, [&frame, &report] {
        for (const CShortListEntry& entry : frame.Session().ShortList().Entries()) {
            if (entry.kind == report.Kind()) {
                report.SetCompanyChecked(entry.code, true);
            }
        }
    });
    // Ticking opens the Short List behind the report; clearing takes the company off
    // without asking, whatever the Trading Plan holds.
    report.SetShortListHook([&frame](ReportKind kind, const CCompanyInfo& company, bool ticked) {
        if (ticked) {
            if (CShortListView* view = OpenShortList(frame, true)) {
                view->AddCompany(company, kind);
            } else {
                frame.Session().ShortList().Add(company.Code(), kind);
            }
        } else if (CShortListView* view = OpenShortList(frame, false)) {
            view->RemoveCompany(company.Code(), kind);
        } else {
            frame.Session().ShortList().Remove(company.Code(), kind);
        }
    });
}

bool ClearShortList(CMainFrame& frame) {
    CShortListView* view = OpenShortList(frame, false);
    if (view != nullptr) {
        view->SaveToStore();
    }
    CSession& session = frame.Session();
    if (ClearNeedsQuestion(session.ShortList(), &session.TradingPlan()) &&
        !session.Messages().Ask(kClearShortListQuestion)) {
        return false;
    }
    if (view != nullptr) {
        view->Clear();
    } else {
        frame.Session().ShortList().Clear();
    }
    for (const ReportKind kind : {ReportKind::Call, ReportKind::Put}) {
        if (CReportView* report = OpenReport(frame, kind)) {
            report->ClearAllChecks();
        }
    }
    return true;
}

void UntickShortListSeries(CMainFrame& frame, std::string_view companyCode,
                           std::string_view seriesCode, ReportKind kind) {
    if (CShortListView* view = OpenShortList(frame, false)) {
        view->UntickSeries(companyCode, seriesCode, kind);
    } else {
        frame.Session().ShortList().UntickSeries(seriesCode, kind);
    }
}

void TickShortListSeries(CMainFrame& frame, std::string_view companyCode,
                         std::string_view seriesCode, ReportKind kind) {
    if (CShortListView* view = OpenShortList(frame, false)) {
        view->TickSeries(companyCode, seriesCode, kind);
    } else if (frame.Session().ShortList().Find(companyCode, kind)) {
        frame.Session().ShortList().SetTicked(seriesCode, kind, true);
    }
}

} // namespace strikeline
