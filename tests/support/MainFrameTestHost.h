#pragma once

#include "gui/app/AnalyticsWorker.h"
#include "gui/app/MainFrameHost.h"
#include "marketdata/DataSources.h"
#include "session/Session.h"
#include "support/UserMessageLog.h"

#include <string>

namespace strikeline::test {

// A main window's surroundings that download nothing: windows are tested on data the
// test puts in place, in a session of their own whose messages the log keeps.
class CMainFrameTestHost : public CMainFrameHost {
public:
    explicit CMainFrameTestHost(std::string dataFolder = {})
        : session(std::move(dataFolder), &messages), analytics(session) {}

    CSession& Session() override { return session; }
    std::string DownloaderStatus() const override { return {}; }
    void RequestFullDownload() override {}
    void StopDownloader() override {}
    CDataSources& DataSources() override { return m_Sources; }
    void DataSourcesChanged() override {}
    CAnalyticsWorker& AnalyticsWorker() override { return analytics; }

    CUserMessageLog messages;
    CSession session;
    CAnalyticsWorker analytics;

private:
    CDataSources m_Sources;
};

} // namespace strikeline::test
