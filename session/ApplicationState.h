#pragma once

#include "marketdata/DownloadRecord.h"
#include "storage/ColorScheme.h"
#include "storage/StructuredStorage.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace strikeline {

// What the program remembers between runs about its downloads, the Short List choice, the
// kind of trend chart and the current colour scheme. Stored in the settings record "AppConfig".
//
// The downloader's worker reads and updates the download fields while the windows run:
// every such access, and the save at shutdown, happens between Lock() and Unlock() (or
// under a CApplicationStateLock). The lock may be taken again by the thread holding it.
class CApplicationState final : public CDownloadRecord {
public:
    CApplicationState() = default;
    CApplicationState(const CApplicationState&) = delete;
    CApplicationState& operator=(const CApplicationState&) = delete;

    void ResetDefaults();

    // Resets, then reads every stored value over the defaults; addresses that do not
    // decipher read as empty. The colour scheme is read from the child "ColorScheme" when
    // present. Always succeeds.
    bool Load(CStructuredStorage& record);
    void Save(CStructuredStorage& record) const;

    void Lock() override;
    void Unlock() override;
    int LockDepth() const { return m_LockCount; }

    // Seconds since 1970-01-01 UTC of the last successful check of each download.
    std::int32_t LastCheckTime(Download which) const override { return m_LastTimes[Index(which)]; }
    void SetLastCheckTime(Download which, std::int32_t seconds) override {
        m_LastTimes[Index(which)] = seconds;
    }
    // The address of the last file taken; kept for Call, Put and Dividends only.
    const std::string& LastUrl(Download which) const override;
    void SetLastUrl(Download which, std::string url) override;
    const std::string& LastDataDateStr() const { return m_LastDataDateStr; }
    void SetLastDataDateStr(std::string text) override { m_LastDataDateStr = std::move(text); }
    bool ClearShortListOnClose() const { return m_ClearShortListOnClose; }
    void SetClearShortListOnClose(bool value) { m_ClearShortListOnClose = value; }
    // View > Price History Charts: trend charts drawn from the stored price history rather
    // than the site's page.
    bool PriceHistoryCharts() const { return m_PriceHistoryCharts; }
    void SetPriceHistoryCharts(bool value) { m_PriceHistoryCharts = value; }
    const CColorScheme& ColorScheme() const { return m_ColorScheme; }
    void SetColorScheme(const CColorScheme& scheme) { m_ColorScheme = scheme; }

private:
    static constexpr std::size_t kDownloadCount = 5;
    static constexpr std::size_t kUrlCount = 3;
    // Room for the enciphered form of any address a user may configure.
    static constexpr std::size_t kMaxStoredUrlSize = 4096;
    static std::size_t Index(Download which) { return static_cast<std::size_t>(which); }

    std::array<std::int32_t, kDownloadCount> m_LastTimes{};
    std::array<std::string, kUrlCount> m_LastUrls;
    std::string m_LastDataDateStr;
    bool m_ClearShortListOnClose = false;
    bool m_PriceHistoryCharts = false;
    CColorScheme m_ColorScheme;

    std::recursive_mutex m_Mutex;
    int m_LockCount = 0;
};

// Holds the state's lock for a scope.
class CApplicationStateLock {
public:
    explicit CApplicationStateLock(CApplicationState& state) : m_State(state) { m_State.Lock(); }
    ~CApplicationStateLock() { m_State.Unlock(); }
    CApplicationStateLock(const CApplicationStateLock&) = delete;
    CApplicationStateLock& operator=(const CApplicationStateLock&) = delete;

private:
    CApplicationState& m_State;
};

} // namespace strikeline
