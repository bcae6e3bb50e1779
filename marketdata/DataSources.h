#pragma once

#include "marketdata/TransferLimits.h"
#include "storage/StructuredStorage.h"

#include <cstdint>
#include <string>

namespace strikeline {

// Where the market data comes from: the feed server (option and dividend files) and the
// maker's web site (company names, Top 20, trend charts), and how long and how large one
// file's download may be. Kept in the settings record "DataSources" (FeedURL, SiteURL,
// TimeLimit in seconds, SizeLimit in megabytes); STRIKELINE_FEED_URL and
// STRIKELINE_SITE_URL override the addresses for one run.
class CDataSources {
public:
    static constexpr const char* kDefaultUrl = "http://127.0.0.1:8642";
    static constexpr std::uint32_t kDefaultTimeLimitSeconds = 120;
    static constexpr std::uint32_t kMinTimeLimitSeconds = 5;
    static constexpr std::uint32_t kMaxTimeLimitSeconds = 3600;
    static constexpr std::uint32_t kDefaultSizeLimitMegabytes = 64;
    static constexpr std::uint32_t kMinSizeLimitMegabytes = 1;
    static constexpr std::uint32_t kMaxSizeLimitMegabytes = 1024;

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

    // The limits of one file's download; a value outside the allowed range (a hand-edited
    // settings file) is brought to the nearest bound.
    std::uint32_t TimeLimitSeconds() const { return m_TimeLimitSeconds; }
    std::uint32_t SizeLimitMegabytes() const { return m_SizeLimitMegabytes; }
    void SetTimeLimitSeconds(std::uint32_t seconds);
    void SetSizeLimitMegabytes(std::uint32_t megabytes);
    CTransferLimits Limits() const;

private:
    std::string m_FeedUrl = kDefaultUrl;
    std::string m_SiteUrl = kDefaultUrl;
    std::uint32_t m_TimeLimitSeconds = kDefaultTimeLimitSeconds;
    std::uint32_t m_SizeLimitMegabytes = kDefaultSizeLimitMegabytes;
};

} // namespace strikeline
