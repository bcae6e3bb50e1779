#pragma once

#include "gui/app/MainFrameHost.h"
#include "marketdata/DataSources.h"

#include <string>

namespace strikeline::test {

// A main window's surroundings that download nothing: windows are tested on data the
// test puts in place.
class CMainFrameTestHost : public CMainFrameHost {
public:
    std::string DownloaderStatus() const override { return {}; }
    void RequestFullDownload() override {}
    void StopDownloader() override {}
    CDataSources& DataSources() override { return m_Sources; }
    void DataSourcesChanged() override {}

private:
    CDataSources m_Sources;
};

} // namespace strikeline::test
