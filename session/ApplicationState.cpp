#include "session/ApplicationState.h"

#include "session/UrlCipher.h"

#include <array>

namespace strikeline {

namespace {

constexpr std::array<std::string_view, 5> kTimeNames = {
    "LastCallTime", "LastPutTime", "LastDividsndsTime", "LastCompanyNamesTime", "LastTop20Time"};
constexpr std::array<std::string_view, 3> kUrlNames = {"LastCallURL", "LastPutURL",
                                                       "LastDividsndsURL"};
constexpr std::string_view kLastDataDateStr = "LastDataDateStr";
constexpr std::string_view kClearShortListOnClose = "ClearShortListOnClose";
constexpr std::string_view kPriceHistoryCharts = "PriceHistoryCharts";
constexpr std::string_view kColorScheme = "ColorScheme";

const std::string& NoUrl() {
    static const std::string empty;
    return empty;
}

} // namespace

void CApplicationState::ResetDefaults() {
    m_LastTimes.fill(0);
    for (auto& url : m_LastUrls) {
        url.clear();
    }
    m_LastDataDateStr.clear();
    m_ClearShortListOnClose = false;
    m_PriceHistoryCharts = false;
    m_ColorScheme.SetDefaults();
}

bool CApplicationState::Load(CStructuredStorage& record) {
    ResetDefaults();
    for (std::size_t i = 0; i < kTimeNames.size(); ++i) {
        m_LastTimes[i] = record.ReadInt(kTimeNames[i], m_LastTimes[i]);
    }
    for (std::size_t i = 0; i < kUrlNames.size(); ++i) {
        // The whole stored text: an enciphered address is longer than the 255 characters
        // that ReadString(name, default) allows once the address passes 140 or so.
        std::string stored;
        record.ReadString(kUrlNames[i], stored, kMaxStoredUrlSize, m_LastUrls[i].c_str());
        m_LastUrls[i] = Decipher(kUrlKeyText, stored);
    }
    m_LastDataDateStr = record.ReadString(kLastDataDateStr, m_LastDataDateStr);
    m_ClearShortListOnClose = record.ReadBool(kClearShortListOnClose, m_ClearShortListOnClose);
    m_PriceHistoryCharts = record.ReadBool(kPriceHistoryCharts, m_PriceHistoryCharts);
    if (const auto scheme = record.OpenChild(kColorScheme)) {
        m_ColorScheme.LoadFromSettings(*scheme);
    }
    return true;
}

void CApplicationState::Save(CStructuredStorage& record) const {
    for (std::size_t i = 0; i < kTimeNames.size(); ++i) {
        record.WriteInt(kTimeNames[i], m_LastTimes[i]);
    }
    for (std::size_t i = 0; i < kUrlNames.size(); ++i) {
        record.WriteString(kUrlNames[i], Encipher(kUrlKeyText, m_LastUrls[i]));
    }
    record.WriteString(kLastDataDateStr, m_LastDataDateStr);
    record.WriteBool(kClearShortListOnClose, m_ClearShortListOnClose);
    record.WriteBool(kPriceHistoryCharts, m_PriceHistoryCharts);
    if (const auto scheme = record.CreateChild(kColorScheme)) {
        m_ColorScheme.SaveToSettings(*scheme);
    }
}

void CApplicationState::Lock() {
    m_Mutex.lock();
    ++m_LockCount;
}

void CApplicationState::Unlock() {
    --m_LockCount;
    m_Mutex.unlock();
}

const std::string& CApplicationState::LastUrl(Download which) const {
    return Index(which) < kUrlCount ? m_LastUrls[Index(which)] : NoUrl();
}

void CApplicationState::SetLastUrl(Download which, std::string url) {
    if (Index(which) < kUrlCount) {
        m_LastUrls[Index(which)] = std::move(url);
    }
}

} // namespace strikeline
