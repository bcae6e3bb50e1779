#include "marketdata/PriceHistory.h"

#include "platform/AtomicFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

namespace strikeline {

namespace {

constexpr std::string_view kHeader = "Strikeline price history 1";
constexpr char kDayMark = '=';

using Date = std::chrono::year_month_day;

// One day's section of the file: its date line's text and the share lines below it.
struct CSection {
    std::string_view date;
    std::string_view body;
};

std::string DateText(Date date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

template <typename Number> bool ParseNumber(std::string_view text, Number& value) {
    const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), value);
    return failed == std::errc() && end == text.data() + text.size();
}

std::optional<Date> ParseDate(std::string_view text) {
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        !ParseNumber(text.substr(0, 4), year) || !ParseNumber(text.substr(5, 2), month) ||
        !ParseNumber(text.substr(8, 2), day)) {
        return std::nullopt;
    }
    const Date date{std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)};
    return date.ok() ? std::optional<Date>(date) : std::nullopt;
}

// Splits the text after the header into its day sections; lines before the first day are
// dropped. False when the text does not start with the header.
bool SplitSections(std::string_view contents, std::vector<CSection>& sections) {
    if (!contents.starts_with(kHeader) ||
        (contents.size() > kHeader.size() && contents[kHeader.size()] != '\n')) {
        return false;
    }
    std::size_t at = std::min(contents.size(), kHeader.size() + 1);
    while (at < contents.size()) {
        std::size_t end = contents.find('\n', at);
        end = end == std::string_view::npos ? contents.size() : end;
        const std::string_view line = contents.substr(at, end - at);
        const std::size_t next = std::min(contents.size(), end + 1);
        if (!line.empty() && line.front() == kDayMark) {
            sections.push_back({line.substr(1), contents.substr(next, 0)});
        } else if (!sections.empty()) {
            CSection& last = sections.back();
            last.body = std::string_view(last.body.data(), last.body.size() + (next - at));
        }
        at = next;
    }
    return true;
}

std::string UpperCode(std::string_view code) {
    std::string upper(code);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    });
    return upper;
}

// A code the file can hold: one field on one line, not taken for a day's line.
bool IsStorableCode(std::string_view code) {
    return !code.empty() && code.front() != kDayMark &&
           code.find_first_of(",\r\n") == std::string_view::npos;
}

std::string NumberText(double value) {
    char text[32];
    const auto [end, failed] = std::to_chars(text, text + sizeof text, value);
    return failed == std::errc() ? std::string(text, end) : std::string("0");
}

// The share lines of a day keyed by upper-case code; `replacing` goes over `kept`.
std::string MergeDay(std::string_view kept, std::span<const CPriceHistoryShare> replacing) {
    std::map<std::string, std::string> lines;
    std::size_t at = 0;
    while (at < kept.size()) {
        std::size_t end = kept.find('\n', at);
        end = end == std::string_view::npos ? kept.size() : end;
        const std::string_view line = kept.substr(at, end - at);
        if (const std::size_t comma = line.find(','); comma != std::string_view::npos) {
            lines[UpperCode(line.substr(0, comma))] = std::string(line);
        }
        at = end + 1;
    }
    for (const CPriceHistoryShare& share : replacing) {
        if (!IsStorableCode(share.code) || !std::isfinite(share.last) || share.last <= 0) {
            continue;
        }
        const double volume = std::isfinite(share.volume) ? std::max(share.volume, 0.0) : 0.0;
        lines[UpperCode(share.code)] =
            share.code + ',' + NumberText(share.last) + ',' + NumberText(volume);
    }
    std::string body;
    for (const auto& entry : lines) {
        body += entry.second;
        body += '\n';
    }
    return body;
}

} // namespace

std::string PriceHistoryPath(const std::string& folder) {
    return folder + '/' + std::string(kPriceHistoryFileName);
}

bool RecordPriceHistory(const std::string& folder, Date day,
                        std::span<const CPriceHistoryShare> shares, std::string& error) {
    const CPriceHistoryList list{day, {shares.begin(), shares.end()}};
    return RecordPriceHistory(folder, std::span<const CPriceHistoryList>(&list, 1), error);
}

bool RecordPriceHistory(const std::string& folder, std::span<const CPriceHistoryList> lists,
                        std::string& error) {
    for (const CPriceHistoryList& list : lists) {
        if (!list.date.ok()) {
            error = "The price list has no valid date.";
            return false;
        }
    }
    const std::string path = PriceHistoryPath(folder);
    std::string contents;
    if (PathExists(path) && !ReadWholeFile(path, contents, error)) {
        return false;
    }
    std::vector<CSection> sections;
    if (!contents.empty() && !SplitSections(contents, sections)) {
        if (MoveAside(path, "damaged").empty()) {
            error = "The price history " + path + " could not be read or kept aside.";
            return false;
        }
        sections.clear();
    }
    // Days by their text, which for an ISO date sorts as the date does.
    std::map<std::string, std::string> days;
    for (const CSection& section : sections) {
        std::string& body = days[std::string(section.date)];
        body += section.body;
        if (!body.empty() && body.back() != '\n') {
            body += '\n';
        }
    }
    for (const CPriceHistoryList& list : lists) {
        std::string& body = days[DateText(list.date)];
        body = MergeDay(body, list.shares);
    }
    std::string written(kHeader);
    written += '\n';
    for (const auto& [date, body] : days) {
        written += kDayMark;
        written += date;
        written += '\n';
        written += body;
    }
    return WriteFileAtomically(path, written, error);
}

bool ReadPriceHistory(const std::string& folder, std::string_view code, Date from,
                      std::vector<CPriceHistoryDay>& days, std::string& error) {
    days.clear();
    const std::string path = PriceHistoryPath(folder);
    if (!PathExists(path)) {
        return true;
    }
    std::string contents;
    if (!ReadWholeFile(path, contents, error)) {
        return false;
    }
    std::vector<CSection> sections;
    if (!contents.empty() && !SplitSections(contents, sections)) {
        error = "The price history " + path + " is not in the expected format.";
        return false;
    }
    const std::string wanted = UpperCode(code);
    for (const CSection& section : sections) {
        const std::optional<Date> date = ParseDate(section.date);
        if (!date || *date < from) {
            continue;
        }
        std::size_t at = 0;
        while (at < section.body.size()) {
            std::size_t end = section.body.find('\n', at);
            end = end == std::string_view::npos ? section.body.size() : end;
            const std::string_view line = section.body.substr(at, end - at);
            at = end + 1;
            const std::size_t first = line.find(',');
            const std::size_t second =
                first == std::string_view::npos ? first : line.find(',', first + 1);
            if (second == std::string_view::npos || first != wanted.size() ||
                UpperCode(line.substr(0, first)) != wanted) {
                continue;
            }
            CPriceHistoryDay point{*date, 0, 0};
            if (ParseNumber(line.substr(first + 1, second - first - 1), point.last) &&
                ParseNumber(line.substr(second + 1), point.volume) && std::isfinite(point.last) &&
                point.last > 0 && std::isfinite(point.volume) && point.volume >= 0) {
                days.push_back(point);
            }
            break; // one line per share and day
        }
    }
    std::sort(days.begin(), days.end(),
              [](const CPriceHistoryDay& a, const CPriceHistoryDay& b) { return a.date < b.date; });
    return true;
}

} // namespace strikeline
