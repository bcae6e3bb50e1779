#include "marketdata/FetchProblems.h"

#include "marketdata/MarketDataLoaders.h"

#include <algorithm>
#include <iterator>

namespace strikeline {

namespace {

constexpr std::string_view kSearchOrder[] = {kCallFileName, kPutFileName, kDividendsFileName,
                                             kCompanyNamesFileName, kTop20FileName};

std::size_t SearchRank(const std::string& fileName) {
    return static_cast<std::size_t>(
        std::distance(std::begin(kSearchOrder),
                      std::find(std::begin(kSearchOrder), std::end(kSearchOrder), fileName)));
}

} // namespace

void CFetchProblems::OnFetchOutcome(const CFetchOutcome& outcome) {
    const std::lock_guard lock(m_Mutex);
    std::erase_if(m_Problems,
                  [&](const auto& problem) { return problem.first == outcome.fileName; });
    if (outcome.result != FetchResult::Failed) {
        return;
    }
    const auto place = std::find_if(m_Problems.begin(), m_Problems.end(), [&](const auto& problem) {
        return SearchRank(problem.first) > SearchRank(outcome.fileName);
    });
    m_Problems.emplace(place, outcome.fileName, outcome.reason);
}

std::string CFetchProblems::Text() const {
    const std::lock_guard lock(m_Mutex);
    return m_Problems.empty() ? std::string()
                              : m_Problems.front().second + "; trying again in a minute";
}

} // namespace strikeline
