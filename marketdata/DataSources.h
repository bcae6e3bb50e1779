#pragma once

#include "storage/StructuredStorage.h"

#include <string>

namespace strikeline {

// Where the market data comes from: the feed server (option and dividend files) and the
// maker's web site (company names, Top 20, trend charts). Kept in the settings record
// "DataSources"; STRIKELINE_FEED_URL and STRIKELINE_SITE_URL override them for one run.
class CDataSources {
public:
    static constexpr const char* kDefaultUrl = "http://127.0.0.1:8642";

    CDataSources() = default;

    // Resets, then reads the stored addresses over the defaults.
    void Load(CStructuredStorage& record);
    void Save(CStructuredStorage& record) const;

    // The stored address (no trailing '/'), or the environment's override.
    std::string FeedUrl() const;
    std::string SiteUrl() const;
    // The stored addresses themselves, whatever the environment says for this run.
    const std::string& StoredFeedUrl() const { return m_FeedUrl; }
    const std::string& StoredSiteUrl() const { return m_SiteUrl; }
    void SetFeedUrl(std::string url) { m_FeedUrl = std::move(url); }
    void SetSiteUrl(std::string url) { m_SiteUrl = std::move(url); }

private:
    std::string m_FeedUrl = kDefaultUrl;
    std::string m_SiteUrl = kDefaultUrl;
};

} // namespace strikeline
