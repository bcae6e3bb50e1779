#pragma once

#include <cstdint>
#include <string>

namespace strikeline {

// What the downloader remembers of its downloads between passes and between runs, so that
// an unchanged file is not fetched twice. The settings keep it; the downloader's worker and
// the windows both use it, so every access happens between Lock() and Unlock() (or under a
// CDownloadRecordLock). The lock may be taken again by the thread holding it.
class CDownloadRecord {
public:
    // Which download a check time or address belongs to.
    enum class Download { Call, Put, Dividends, CompanyNames, Top20 };

    virtual ~CDownloadRecord() = default;

    virtual void Lock() = 0;
    virtual void Unlock() = 0;

    // Seconds since 1970-01-01 UTC of the last successful check of each download.
    virtual std::int32_t LastCheckTime(Download which) const = 0;
    virtual void SetLastCheckTime(Download which, std::int32_t seconds) = 0;
    // The address of the last file taken; kept for Call, Put and Dividends only.
    virtual const std::string& LastUrl(Download which) const = 0;
    virtual void SetLastUrl(Download which, std::string url) = 0;
    // The data date of the last option file taken ("24-Jun-2010 10:00").
    virtual void SetLastDataDateStr(std::string text) = 0;
};

// Holds a download record's lock for a scope.
class CDownloadRecordLock {
public:
    explicit CDownloadRecordLock(CDownloadRecord& record) : m_Record(record) { m_Record.Lock(); }
    ~CDownloadRecordLock() { m_Record.Unlock(); }
    CDownloadRecordLock(const CDownloadRecordLock&) = delete;
    CDownloadRecordLock& operator=(const CDownloadRecordLock&) = delete;

private:
    CDownloadRecord& m_Record;
};

} // namespace strikeline
