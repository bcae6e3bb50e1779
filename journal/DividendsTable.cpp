#include "journal/DividendsTable.h"

#include "journal/JournalCalendar.h"
#include "marketdata/FieldScan.h"
#include "storage/NumberText.h"

#include <algorithm>

namespace strikeline {

namespace {

constexpr int kValueDecimals = 2;
constexpr int kAverageDecimals = 5;

unsigned MonthOf(FileTime value) {
    return static_cast<unsigned>(UniversalDate(value).month());
}

bool Passes(DividendsMonthFilter filter, unsigned month, unsigned current, unsigned next) {
    switch (filter) {
    case DividendsMonthFilter::CurrentMonth:
        return month == current;
    case DividendsMonthFilter::CurrentAndNextMonth:
        return month == current || month == next;
    case DividendsMonthFilter::NextMonth:
        return month == next;
    case DividendsMonthFilter::All:
        break;
    }
    return true;
}

bool CodeLess(const CDividend& a, const CDividend& b) {
    return std::lexicographical_compare(
        a.code.begin(), a.code.end(), b.code.begin(), b.code.end(),
        [](char x, char y) { return FoldAsciiCase(x) < FoldAsciiCase(y); });
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsAsciiSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsAsciiSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

CDividendsTable BuildDividendsTable(std::vector<CDividend> dividends, DividendsMonthFilter filter,
                                    FileTime now, const CAverageTradesDatabase& averages) {
    CDividendsTable table;
    if (dividends.empty()) {
        table.noDividends = true;
        return table;
    }
    const unsigned current = MonthOf(now);
    const unsigned next = current % 12 + 1;
    std::stable_sort(dividends.begin(), dividends.end(), CodeLess);
    for (const CDividend& dividend : dividends) {
        if (!Passes(filter, MonthOf(dividend.date), current, next)) {
            continue;
        }
        const std::optional<double> average = averages.Lookup(dividend.code);
        table.rows.push_back(
            {dividend.code,
             FormatFileTime(dividend.date, TimeZoneMode::Local, FileTimeStyle::DayMonthYear),
             FormatMoney(dividend.amount, kValueDecimals),
             average ? FormatNumber(*average, kAverageDecimals) : std::string()});
    }
    return table;
}

bool TakeAverageTradesText(CAverageTradesDatabase& averages, std::string_view code,
                           std::string_view text, std::string& shown, std::string* refusal) {
    const std::string_view trimmed = Trimmed(text);
    if (trimmed.empty()) {
        averages.Set(code, UNSET_VALUE);
        shown.clear();
        return true;
    }
    double value = 0.0;
    std::string reason;
    if (!ParseTypedNumber(trimmed, value, TypedNumberEnd::WordsMayFollow)) {
        reason = "\"" + std::string(trimmed) + "\" is not a number.";
    } else if (value < CAverageTradesDatabase::kMinimum ||
               value > CAverageTradesDatabase::kMaximum) {
        // A figure the file cannot hold would be written and then refused when the program
        // next starts, losing every figure after it; so it is refused here.
        reason = "The average trades can hold figures between " +
                 FormatNumber(CAverageTradesDatabase::kMinimum, 0) + " and " +
                 FormatNumber(CAverageTradesDatabase::kMaximum, 0) + ".";
    }
    if (!reason.empty()) {
        if (refusal != nullptr) {
            *refusal = "Invalid average trades\n\n" + reason;
        }
        return false;
    }
    averages.Set(code, value);
    shown = std::string(trimmed);
    return true;
}

} // namespace strikeline
