#pragma once

#include "gui/app/AnalyticsWorker.h"
#include "gui/app/DesktopNotifier.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MainFrameHost.h"
#include "gui/app/QtDownloaderObserver.h"
#include "gui/app/SingleInstance.h"
#include "gui/app/UserMessages.h"
#include "marketdata/DataSources.h"
#include "marketdata/DownloaderClock.h"
#include "marketdata/MarketPart.h"
#include "session/DesktopNotices.h"
#include "session/Session.h"
#include "storage/RegistryFile.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace strikeline {

class CDownloader;

// Where the program keeps its files, and how it shows itself: the defaults are the user's
// folders; tests give their own.
struct CStartOptions {
    std::string dataFolder;
    std::string settingsPath;
    QString instanceName;
    bool showMaximized = true;
    // Where messages go instead of message boxes (a test's log); must outlive the program.
    CUserMessenger* messenger = nullptr;
    // What the start asks for beyond the main window (the menu entry's actions); handed to
    // the copy that runs, if one does.
    StartRequest startRequest = StartRequest::None;

    static CStartOptions Defaults();
};

// The application: brings the shared objects up (settings, the user's databases, the main
// window, the downloader) and down again in the same order every time, and keeps the
// status bar current while the program runs. Messages met on the way are shown and the
// program goes on, except when another copy runs or the downloader cannot start.
class CApplication : public QObject, public CMainFrameHost {
    Q_OBJECT

public:
    explicit CApplication(CStartOptions options = CStartOptions::Defaults());
    ~CApplication() override;

    // Start-up. False when the program should end at once.
    bool InitInstance();
    // Start-up ended because another copy runs; that copy has come to the front instead.
    bool RaisedOtherCopy() const { return m_RaisedOtherCopy; }
    // Shutdown, after the main window has closed: writes the databases and the settings
    // and frees the shared objects. Returns `exitCode`.
    int ExitInstance(int exitCode);

    CMainFrame* MainFrame() const { return m_MainFrame; }
    CQtDownloaderObserver& DownloaderObserver() { return m_DownloaderObserver; }
    CUserMessages& Messages() { return m_Messages; }

    CSession& Session() override { return m_Session; }

    std::string DownloaderStatus() const override;
    void RequestFullDownload() override;
    void StopDownloader() override;
    CDataSources& DataSources() override { return m_DataSources; }
    CAnalyticsWorker& AnalyticsWorker() override { return m_AnalyticsWorker; }
    void DataSourcesChanged() override;

    // Writes the settings now (the colour scheme dialog's OK does, as exit does).
    void SaveSettings();

    CNotificationSettings& NotificationSettings() { return m_NotificationSettings; }
    // Made with the main window; the bus is reached only with the first notice.
    CDesktopNotifier* Notifier() const { return m_Notifier.get(); }
    // Opens the window or starts the fetch that a start asked for.
    void DoStartRequest(StartRequest request);

private:
    // `paintMeanwhile`: start-up's, where the main window paints while the data files are
    // read.
    bool StartDownloader(bool paintMeanwhile = false);
    // After new prices or dividends; held while the downloader starts.
    void RecomputeAnalytics();
    // Data files that another process (the scheduled fetch) puts into the data folder are
    // read and published as if the downloader had fetched them: a moment after the folder
    // last changed, so that a fetch of five files refreshes each window once.
    void WatchDataFolder();
    void LoadChangedDataFiles();
    // The data file of `part` as it is now is the one the market holds: what the
    // downloader installed or read is not read again.
    void NoteDataFile(MarketPart part);

    CStartOptions m_Options;
    CUserMessages m_Messages;
    CSession m_Session;
    CRegistryFile m_Registry;
    CDataSources m_DataSources;
    CQtDownloaderObserver m_DownloaderObserver;
    CAnalyticsWorker m_AnalyticsWorker;
    CSystemClock m_Clock;
    std::unique_ptr<CSingleInstance> m_SingleInstance;
    std::unique_ptr<CDownloader> m_Downloader;
    QPointer<CMainFrame> m_MainFrame;
    QTimer m_StatusTimer;
    QFileSystemWatcher m_DataFolderWatcher;
    QTimer m_DataFolderQuiet;
    // Size, modification time (ns) and inode of each data file the market holds.
    std::map<MarketPart, std::tuple<std::int64_t, std::int64_t, std::uint64_t>> m_DataFiles;
    CNotificationSettings m_NotificationSettings;
    std::unique_ptr<CDesktopNotifier> m_Notifier;
    // The plan's coming dates are looked at a moment after start-up, then every hour.
    QTimer m_PlanNoticeTimer;
    bool m_RaisedOtherCopy = false;
    bool m_HoldAnalytics = false;
    bool m_AnalyticsDue = false;
};

} // namespace strikeline
