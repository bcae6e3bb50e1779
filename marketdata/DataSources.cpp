#include "marketdata/DataSources.h"

#include <cstdlib>

namespace strikeline {

namespace {

std::string Resolve(const char* variable, const std::string& stored) {
    const char* value = std::getenv(variable);
    std::string url = value != nullptr && value[0] != '\0' ? value : stored;
    while (!url.empty() && url.back() == '/') {
        url.pop_back();
    }
    return url;
}

} // namespace

void CDataSources::Load(CStructuredStorage& record) {
    *this = CDataSources();
    // Addresses may be long; read the whole text.
    const std::string fallback = kDefaultUrl;
    record.ReadString("FeedURL", m_FeedUrl, 4096, fallback.c_str());
    record.ReadString("SiteURL", m_SiteUrl, 4096, fallback.c_str());
}

void CDataSources::Save(CStructuredStorage& record) const {
    record.WriteString("FeedURL", m_FeedUrl);
    record.WriteString("SiteURL", m_SiteUrl);
}

std::string CDataSources::FeedUrl() const {
    return Resolve("STRIKELINE_FEED_URL", m_FeedUrl);
}

std::string CDataSources::SiteUrl() const {
    return Resolve("STRIKELINE_SITE_URL", m_SiteUrl);
}

} // namespace strikeline
