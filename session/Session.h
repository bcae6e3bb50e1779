#pragma once

#include "marketdata/MarketSnapshot.h"
#include "reports/ReportKind.h"

#include <memory>
#include <string>

namespace strikeline {

class CApplicationState;
class CAverageTradesDatabase;
class CColorScheme;
class CDiaryDatabase;
class CMailAttachments;
class CReportSettings;
class CShortListStore;
class CTradingPlan;

// What one user's day is made of: the settings (report settings of both kinds, the
// application state with its colour scheme), the Short List, the Trading Plan, the Diary,
// the Average Trades, the mail attachments awaiting clean-up, and the current market.
// Start-up creates one and hands it to the main window, which hands it to each view; the
// headless command creates its own. Every part lives as long as the session.
class CSession {
public:
    explicit CSession(std::string dataFolder);
    ~CSession();
    CSession(const CSession&) = delete;
    CSession& operator=(const CSession&) = delete;

    // Where the market files and the user's own files are kept.
    const std::string& DataFolder() const { return m_DataFolder; }

    CMarketData& Market() { return m_Market; }
    const CMarketData& Market() const { return m_Market; }
    CApplicationState& State();
    // The colours and font the windows draw with, taken under the state's lock.
    CColorScheme ColorScheme();
    CReportSettings& ReportSettings(ReportKind kind);
    CShortListStore& ShortList();
    CTradingPlan& TradingPlan();
    CDiaryDatabase& Diary();
    CAverageTradesDatabase& AverageTrades();
    CMailAttachments& MailAttachments();

private:
    std::string m_DataFolder;
    CMarketData m_Market;
};

} // namespace strikeline
