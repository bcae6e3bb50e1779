#pragma once

#include "marketdata/FetchOutcome.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace strikeline {

// The status bar's account of the downloads between searches: why the last search of a
// file failed, until a later search of that file succeeds or finds nothing newer.
// Outcomes arrive on the downloader's thread and the text is read on the windows' thread,
// so both go through a lock.
class CFetchProblems final : public CFetchObserver {
public:
    void OnFetchOutcome(const CFetchOutcome& outcome) override;
    // The first problem in the order the files are searched (call, put, dividends, company
    // names, Top 20), with "; trying again in a minute"; "" when there is none.
    std::string Text() const;

private:
    mutable std::mutex m_Mutex;
    // (file name, reason) in search order.
    std::vector<std::pair<std::string, std::string>> m_Problems;
};

} // namespace strikeline
