#include "plan/PlanOfficeLayout.h"

#include <algorithm>
#include <numeric>

namespace strikeline {

namespace {

// Advance widths of the printable ASCII characters from the blank to the tilde.
constexpr std::array<short, 95> kRegularWidths = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, // ' '-'/'
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, // '0'-'?'
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778, // '@'-'O'
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556, // 'P'-'_'
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556, // '`'-'o'
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};     // 'p'-'~'
constexpr std::array<short, 95> kBoldWidths = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278, // ' '-'/'
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611, // '0'-'?'
    975, 722, 722, 722, 722, 667, 611, 778, 722, 278, 556, 722, 611, 833, 722, 778, // '@'-'O'
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 333, 278, 333, 584, 556, // 'P'-'_'
    333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556, 278, 889, 611, 611, // '`'-'o'
    611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584};     // 'p'-'~'
// A character outside ASCII (an accented letter, a replacement mark): as wide as a wide
// capital, so that such a word is never given too little room.
constexpr int kOtherWidth = 778;

int CharacterWidth(unsigned char c, bool bold) {
    if (c >= 0x20 && c <= 0x7E) {
        return (bold ? kBoldWidths : kRegularWidths)[c - 0x20];
    }
    if (c == '\t') {
        return 4 * kRegularWidths[0];
    }
    // A UTF-8 sequence counts once, at its lead byte; control characters are not shown.
    return c >= 0xC0 ? kOtherWidth : 0;
}

bool EndsWord(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// Calls `take` with each line of `text`.
template <typename Take> void ForEachLine(std::string_view text, Take take) {
    std::size_t start = 0;
    while (true) {
        const std::size_t stop = text.find('\n', start);
        take(text.substr(start, stop == std::string_view::npos ? text.npos : stop - start));
        if (stop == std::string_view::npos) {
            return;
        }
        start = stop + 1;
    }
}

// Calls `take` with the width of each word of one line.
template <typename Take> void ForEachWord(std::string_view line, bool bold, Take take) {
    int width = 0;
    bool inWord = false;
    for (const char c : line) {
        if (EndsWord(c)) {
            if (inWord) {
                take(width);
            }
            width = 0;
            inWord = false;
        } else {
            width += CharacterWidth(static_cast<unsigned char>(c), bold);
            inWord = true;
        }
    }
    if (inWord) {
        take(width);
    }
}

} // namespace

int PlanTextWidth(std::string_view text, bool bold) {
    int width = 0;
    for (const char c : text) {
        width += CharacterWidth(static_cast<unsigned char>(c), bold);
    }
    return width;
}

CPlanTextNeed PlanTextNeed(std::string_view text, bool bold) {
    CPlanTextNeed need;
    ForEachLine(text, [&](std::string_view line) {
        need.line = std::max(need.line, PlanTextWidth(line, bold));
        ForEachWord(line, bold, [&](int word) { need.word = std::max(need.word, word); });
    });
    return need;
}

CPlanTextNeed Widest(CPlanTextNeed a, CPlanTextNeed b) {
    return {std::max(a.word, b.word), std::max(a.line, b.line)};
}

int PlanWrappedLines(std::string_view text, bool bold, int width) {
    width = std::max(width, 1);
    const int blank = CharacterWidth(' ', bold);
    int lines = 0;
    ForEachLine(text, [&](std::string_view line) {
        int used = 0; // the width taken on the current line, 0 before its first word
        ++lines;
        ForEachWord(line, bold, [&](int word) {
            if (used != 0 && used + blank + word <= width) {
                used += blank + word;
                return;
            }
            if (used != 0) {
                ++lines;
            }
            // A word too wide for a line of its own runs on over further lines.
            lines += (word - 1) / width;
            used = word - (word - 1) / width * width;
        });
    });
    return lines;
}

std::array<CPlanTextNeed, kPlanExportColumnLimit> PlanCellNeeds(const CPlanExport& content) {
    std::array<CPlanTextNeed, kPlanExportColumnLimit> needs{};
    const std::size_t columns = content.ColumnCount();
    for (const CPlanExportRow& row : content.rows) {
        if (row.isCompany) {
            continue;
        }
        for (std::size_t column = 0; column < columns; ++column) {
            needs[column] = Widest(needs[column], PlanTextNeed(row.texts[column], false));
        }
    }
    for (std::size_t column = 0; column < columns; ++column) {
        needs[column] = Widest(needs[column], PlanTextNeed(content.totals[column], false));
    }
    return needs;
}

std::vector<int> SharePlanWidth(std::span<const int> least, std::span<const int> wanted,
                                int total) {
    const std::size_t count = least.size();
    std::vector<int> widths(count, 0);
    if (count == 0) {
        return widths;
    }
    // Shares of `amount` in proportion to `weights`, rounded down.
    const auto share = [&](long long amount, const std::vector<long long>& weights) {
        const long long sum = std::accumulate(weights.begin(), weights.end(), 0LL);
        for (std::size_t i = 0; i < count && sum > 0; ++i) {
            widths[i] += static_cast<int>(amount * weights[i] / sum);
        }
    };
    std::vector<long long> lows(count);
    std::vector<long long> highs(count);
    for (std::size_t i = 0; i < count; ++i) {
        lows[i] = std::max(least[i], 0);
        highs[i] = std::max<long long>(i < wanted.size() ? wanted[i] : 0, lows[i]);
    }
    const long long lowSum = std::accumulate(lows.begin(), lows.end(), 0LL);
    const long long highSum = std::accumulate(highs.begin(), highs.end(), 0LL);
    if (lowSum >= total) {
        share(total, lows);
    } else if (highSum <= total) {
        std::copy(highs.begin(), highs.end(), widths.begin());
        share(total - highSum, highs);
    } else {
        std::copy(lows.begin(), lows.end(), widths.begin());
        std::vector<long long> shortfalls(count);
        for (std::size_t i = 0; i < count; ++i) {
            shortfalls[i] = highs[i] - lows[i];
        }
        share(total - lowSum, shortfalls);
    }
    // What rounding down left over goes one unit each to the first columns.
    long long left = total - std::accumulate(widths.begin(), widths.end(), 0LL);
    for (std::size_t i = 0; left > 0; i = (i + 1) % count, --left) {
        ++widths[i];
    }
    return widths;
}

} // namespace strikeline
