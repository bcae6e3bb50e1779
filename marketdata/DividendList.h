#pragma once

#include "storage/FileTime.h"

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// One announced dividend: the share code, the day (at 00:00) and dollars per share.
struct CDailyOptionTradesEntry {
    std::string code;
    FileTime date = kNoDate;
    double amount = 0.0;

    bool operator==(const CDailyOptionTradesEntry&) const = default;
};

// The dividends of the dividends file, in file order, shared as a company list is: hold
// Lock() while reading Entries(); a new list is swapped in whole under the lock.
class CDividendList {
public:
    [[nodiscard]] std::unique_lock<std::recursive_mutex> Lock() const {
        return std::unique_lock<std::recursive_mutex>(m_Mutex);
    }

    // Only while the lock is held.
    const std::vector<CDailyOptionTradesEntry>& Entries() const { return m_Entries; }
    // The first dividend of the share `code` (letter case ignored), taken under the lock.
    std::optional<CDailyOptionTradesEntry> Find(std::string_view code) const;

    std::vector<CDailyOptionTradesEntry> Copy() const;
    void Replace(std::vector<CDailyOptionTradesEntry> entries);

private:
    mutable std::recursive_mutex m_Mutex;
    std::vector<CDailyOptionTradesEntry> m_Entries;
};

// The process-wide dividends list.
CDividendList& GetDividends();

} // namespace strikeline
