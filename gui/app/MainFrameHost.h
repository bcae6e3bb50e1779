#pragma once

#include <string>

namespace strikeline {

class CAnalyticsWorker;
class CDataSources;
class CSession;

// What the main window asks of the application around it: the session, the downloader and
// the data sources live there, not in a window.
class CMainFrameHost {
public:
    virtual ~CMainFrameHost() = default;

    // The user's day the windows show and change.
    virtual CSession& Session() = 0;

    // The downloader's status text ("" when idle).
    virtual std::string DownloaderStatus() const = 0;
    // "Download Call/Put Data": every file is fetched again at once.
    virtual void RequestFullDownload() = 0;
    // The main window is closing: the downloader stops before anything is written.
    virtual void StopDownloader() = 0;
    virtual CDataSources& DataSources() = 0;
    // Works out the market's analytics in the background; Ready tells the windows.
    virtual CAnalyticsWorker& AnalyticsWorker() = 0;
    // The user changed the data sources: the downloader takes them from now on.
    virtual void DataSourcesChanged() = 0;
};

} // namespace strikeline
