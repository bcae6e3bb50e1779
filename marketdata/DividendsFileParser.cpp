#include "marketdata/DividendsFileParser.h"

#include "marketdata/FieldScan.h"
#include "marketdata/LineReader.h"
#include "marketdata/OptionFileParser.h"
#include "storage/NumberText.h"

#include <array>
#include <cctype>
#include <chrono>
#include <memory>

namespace strikeline {

namespace {

constexpr std::size_t kFields = 6;

// Eight digits, YYYYMMDD; the day at 00:00. Anything past the eighth character is ignored.
bool ParseDividendDate(std::string_view field, FileTime& date) {
    if (field.size() < 8) {
        return false;
    }
    unsigned digits[8];
    for (std::size_t i = 0; i < 8; ++i) {
        if (!IsAsciiDigit(field[i])) {
            return false;
        }
        digits[i] = static_cast<unsigned>(field[i] - '0');
    }
    const int year =
        static_cast<int>(digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3]);
    const unsigned month = digits[4] * 10 + digits[5];
    const unsigned day = digits[6] * 10 + digits[7];
    using namespace std::chrono;
    const year_month_day calendar{std::chrono::year{year}, std::chrono::month{month},
                                  std::chrono::day{day}};
    if (year < 1601 || !calendar.ok()) {
        return false;
    }
    date = FileTimeFromUnix(sys_days{calendar}.time_since_epoch().count() * 86400);
    return true;
}

bool ParseDividendLine(std::string_view line, CDividend& entry) {
    std::array<std::string_view, kFields> fields;
    if (SplitCollapsingCommas(line, fields.data(), fields.size()) != kFields ||
        IsBlank(fields[0])) {
        return false;
    }
    const auto amount = ScanNumber(fields[3]);
    if (!amount || !ParseDividendDate(fields[1], entry.date)) {
        return false;
    }
    entry.code = std::string(fields[0]);
    entry.amount = amount->value;
    // The franking percentage is read for the analytics only: a missing or unreadable one
    // counts as unfranked rather than refusing the file.
    const auto franking = ScanNumber(fields[4]);
    entry.franking =
        franking && franking->value >= 0.0 && franking->value <= 100.0 ? franking->value : 0.0;
    return true;
}

} // namespace

bool ParseDividendsStream(std::vector<CDividend>& entries, std::FILE* file, std::string& error) {
    entries.clear();
    CLineReader reader(file);
    std::string_view line;
    while (reader.Next(line)) {
        if (reader.LineNumber() == 1 || IsBlank(line)) {
            continue; // line 1 is the header, whatever it holds
        }
        CDividend entry;
        if (!ParseDividendLine(line, entry)) {
            error = UnexpectedDataMessage(reader.LineNumber());
            return false;
        }
        entries.push_back(std::move(entry));
    }
    if (reader.Failed()) {
        error = kUnableToOpenFile;
        return false;
    }
    return true;
}

bool ParseDividendsFile(std::vector<CDividend>& entries, const std::string& path,
                        std::string& error) {
    entries.clear();
    const CFileHandle file = OpenDataFile(path);
    if (!file) {
        error = kUnableToOpenFile;
        return false;
    }
    return ParseDividendsStream(entries, file.get(), error);
}

} // namespace strikeline
