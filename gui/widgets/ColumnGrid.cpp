#include "gui/widgets/ColumnGrid.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <numeric>

namespace strikeline {

std::vector<int> MinimumUnitWidths(const std::vector<bool>& live,
                                   std::span<const CGridNeed> needs) {
    const int units = static_cast<int>(live.size());
    std::vector<int> minimum(live.size(), 0);
    std::vector<CGridNeed> ordered(needs.begin(), needs.end());
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const CGridNeed& a, const CGridNeed& b) { return a.span < b.span; });
    std::vector<int> mine;
    for (const CGridNeed& need : ordered) {
        mine.clear();
        std::int64_t have = 0;
        const int last = std::min(need.first + need.span, units);
        for (int u = std::max(need.first, 0); u < last; ++u) {
            if (live[static_cast<std::size_t>(u)]) {
                mine.push_back(u);
                have += minimum[static_cast<std::size_t>(u)];
            }
        }
        const std::int64_t lack = need.need - have;
        if (mine.empty() || lack <= 0) {
            continue;
        }
        const auto count = static_cast<std::int64_t>(mine.size());
        for (std::size_t i = 0; i < mine.size(); ++i) {
            const std::int64_t share =
                lack / count + (static_cast<std::int64_t>(i) < lack % count ? 1 : 0);
            minimum[static_cast<std::size_t>(mine[i])] += static_cast<int>(share);
        }
    }
    return minimum;
}

std::vector<int> FitUnitWidths(const std::vector<bool>& live, const std::vector<int>& minimum,
                               int width) {
    std::vector<int> widths(live.size(), 0);
    std::vector<int> sorted;
    std::int64_t needed = 0;
    for (std::size_t u = 0; u < live.size(); ++u) {
        if (live[u]) {
            sorted.push_back(minimum[u]);
            needed += minimum[u];
        }
    }
    if (sorted.empty()) {
        return widths;
    }
    if (width <= needed) {
        for (std::size_t u = 0; u < live.size(); ++u) {
            widths[u] = live[u] ? minimum[u] : 0;
        }
        return widths;
    }
    // The widest minimums are held while they stand above the equal share of what is left.
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    const auto liveCount = static_cast<std::int64_t>(sorted.size());
    std::int64_t rest = width;
    std::int64_t held = 0;
    while (held < liveCount &&
           std::int64_t{sorted[static_cast<std::size_t>(held)]} * (liveCount - held) > rest) {
        rest -= sorted[static_cast<std::size_t>(held)];
        ++held;
    }
    const std::int64_t shared = liveCount - held;
    const std::int64_t level = rest / shared;
    std::int64_t spare = rest % shared;
    for (std::size_t u = 0; u < live.size(); ++u) {
        if (!live[u]) {
            continue;
        }
        if (std::int64_t{minimum[u]} * shared > rest) {
            widths[u] = minimum[u];
        } else {
            widths[u] = static_cast<int>(level + (spare > 0 ? 1 : 0));
            spare = std::max<std::int64_t>(spare - 1, 0);
        }
    }
    return widths;
}

} // namespace strikeline
