#pragma once

#include "analytics/AnalyticsSettings.h"
#include "analytics/MarketAnalytics.h"
#include "journal/AverageTradesDatabase.h"
#include "journal/DiaryDatabase.h"
#include "marketdata/MarketSnapshot.h"
#include "plan/PlanMail.h"
#include "plan/TradingPlan.h"
#include "reports/ReportKind.h"
#include "reports/ReportSettings.h"
#include "reports/ShortListStore.h"
#include "session/ApplicationState.h"
#include "session/UserDatabases.h"
#include "session/UserMessenger.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace strikeline {

// What one user's day is made of: the settings (report settings of both kinds, the
// application state with its colour scheme), the Short List, the Trading Plan, the Diary,
// the Average Trades, the mail attachments awaiting clean-up, and the current market.
// Start-up creates one and hands it to the main window, which hands it to each view; the
// headless command creates its own, and each test its own. Every part lives as long as the
// session, so a view may keep a reference to it.
class CSession {
public:
    // `dataFolder`: where the market files and the user's own files are kept. Messages go
    // to `messenger`, which must outlive the session; without one, to standard error.
    explicit CSession(std::string dataFolder, CUserMessenger* messenger = nullptr);
    CSession(const CSession&) = delete;
    CSession& operator=(const CSession&) = delete;

    const std::string& DataFolder() const { return m_DataFolder; }
    CUserMessenger& Messages() { return *m_Messenger; }

    CMarketData& Market() { return m_Market; }
    const CMarketData& Market() const { return m_Market; }
    // The downloader's worker shares it: take its lock as its header says.
    CApplicationState& State() { return m_State; }
    // The colours and font the windows draw with, taken under the state's lock: the stored
    // scheme, or the dark default in its place while the desktop is dark and the stored one
    // is the built-in default.
    CColorScheme ColorScheme();
    // The scheme the user keeps, whatever the desktop: what files written for others (the
    // plan's exports) are coloured with.
    CColorScheme StoredColorScheme();
    // Whether the desktop shows dark colours; the settings keep the stored scheme either way.
    bool DarkDesktop() const { return m_DarkDesktop; }
    void SetDarkDesktop(bool dark) { m_DarkDesktop = dark; }
    CReportSettings& ReportSettings(ReportKind kind) {
        return m_ReportSettings[static_cast<std::size_t>(kind)];
    }
    CAnalyticsSettings& AnalyticsSettings() { return m_AnalyticsSettings; }
    // The analytics of the current market once worked out, for any thread; null before, and
    // null again from new prices or dividends until their own are published, so that no
    // window takes an older market's figures (or their absence) for today's. New company
    // names or a new Top 20 change nothing here.
    std::shared_ptr<const CMarketAnalytics> Analytics() const;
    // `analytics` were worked out from `market`.
    void PublishAnalytics(std::shared_ptr<const CMarketAnalytics> analytics,
                          const std::shared_ptr<const CMarketSnapshot>& market);
    CShortListStore& ShortList() { return m_ShortList; }
    CTradingPlan& TradingPlan() { return m_TradingPlan; }
    CDiaryDatabase& Diary() { return m_Diary; }
    CAverageTradesDatabase& AverageTrades() { return m_AverageTrades; }
    CMailAttachments& MailAttachments() { return m_MailAttachments; }

    // The user's files that failed to load at start-up, guarded until they are saved (see
    // LoadUserDatabases).
    std::vector<CUserFileGuard>& UserFileGuards() { return m_UserFileGuards; }

private:
    std::string m_DataFolder;
    CStreamMessenger m_ErrorStream;
    CUserMessenger* m_Messenger;
    CMarketData m_Market;
    CApplicationState m_State;
    std::atomic<bool> m_DarkDesktop = false;
    std::array<CReportSettings, 2> m_ReportSettings;
    CAnalyticsSettings m_AnalyticsSettings;
    mutable std::mutex m_AnalyticsMutex;
    std::shared_ptr<const CMarketAnalytics> m_Analytics;
    // The market they were worked out from, held until the next are published.
    std::shared_ptr<const CMarketSnapshot> m_AnalyticsMarket;
    CShortListStore m_ShortList;
    CTradingPlan m_TradingPlan;
    CDiaryDatabase m_Diary;
    CAverageTradesDatabase m_AverageTrades;
    CMailAttachments m_MailAttachments;
    std::vector<CUserFileGuard> m_UserFileGuards;
};

} // namespace strikeline
