#include "session/Session.h"

#include "journal/AverageTradesDatabase.h"
#include "journal/DiaryDatabase.h"
#include "plan/PlanMail.h"
#include "plan/TradingPlan.h"
#include "reports/ReportSettings.h"
#include "reports/ShortListStore.h"
#include "session/ApplicationState.h"

namespace strikeline {

CSession::CSession(std::string dataFolder) : m_DataFolder(std::move(dataFolder)) {}

CSession::~CSession() = default;

CApplicationState& CSession::State() {
    if (GetApplicationState() == nullptr) {
        SetApplicationState(std::make_unique<CApplicationState>());
    }
    return *GetApplicationState();
}

CColorScheme CSession::ColorScheme() {
    CApplicationState& state = State();
    const CApplicationStateLock lock(state);
    return state.ColorScheme();
}

CReportSettings& CSession::ReportSettings(ReportKind kind) {
    return GetReportSettings(kind);
}

CShortListStore& CSession::ShortList() {
    return GetShortListStore();
}

CTradingPlan& CSession::TradingPlan() {
    if (GetTradingPlan() == nullptr) {
        SetTradingPlan(std::make_unique<CTradingPlan>());
    }
    return *GetTradingPlan();
}

CDiaryDatabase& CSession::Diary() {
    if (GetDiaryDatabase() == nullptr) {
        SetDiaryDatabase(std::make_unique<CDiaryDatabase>());
    }
    return *GetDiaryDatabase();
}

CAverageTradesDatabase& CSession::AverageTrades() {
    if (GetAverageTradesDatabase() == nullptr) {
        SetAverageTradesDatabase(std::make_unique<CAverageTradesDatabase>());
    }
    return *GetAverageTradesDatabase();
}

CMailAttachments& CSession::MailAttachments() {
    return GetMailAttachments();
}

} // namespace strikeline
