#include "marketdata/DataSources.h"

#include <algorithm>
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
    SetTimeLimitSeconds(record.ReadDword("TimeLimit", kDefaultTimeLimitSeconds));
    SetSizeLimitMegabytes(record.ReadDword("SizeLimit", kDefaultSizeLimitMegabytes));
}

void CDataSources::Save(CStructuredStorage& record) const {
    record.WriteString("FeedURL", m_FeedUrl);
    record.WriteString("SiteURL", m_SiteUrl);
    record.WriteDword("TimeLimit", m_TimeLimitSeconds);
    record.WriteDword("SizeLimit", m_SizeLimitMegabytes);
}

void CDataSources::SetTimeLimitSeconds(std::uint32_t seconds) {
    m_TimeLimitSeconds = std::clamp(seconds, kMinTimeLimitSeconds, kMaxTimeLimitSeconds);
}

void CDataSources::SetSizeLimitMegabytes(std::uint32_t megabytes) {
    m_SizeLimitMegabytes = std::clamp(megabytes, kMinSizeLimitMegabytes, kMaxSizeLimitMegabytes);
}

CTransferLimits CDataSources::Limits() const {
    CTransferLimits limits;
    limits.timeLimit = std::chrono::seconds(m_TimeLimitSeconds);
    limits.sizeLimit = std::uint64_t{m_SizeLimitMegabytes} << 20;
    return limits;
}

std::string CDataSources::FeedUrl() const {
    return Resolve("STRIKELINE_FEED_URL", m_FeedUrl);
}

std::string CDataSources::SiteUrl() const {
    return Resolve("STRIKELINE_SITE_URL", m_SiteUrl);
}

} // namespace strikeline
