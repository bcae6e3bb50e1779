#include "marketdata/OptionFileParser.h"

#include "marketdata/ExchangeTime.h"
#include "marketdata/FieldScan.h"
#include "marketdata/LineReader.h"
#include "storage/NumberText.h"

#include <array>
#include <chrono>
#include <memory>

namespace strikeline {

namespace {

constexpr std::string_view kShareHeader = "Code,Last,\"$ +/-\",bid,offer,open,high,low,volume,eps";
constexpr std::string_view kContractHeader =
    "code,contract size,expiry date,exercise,last,volume,open interest,lasttraded";
constexpr std::size_t kShareFields = 10;
constexpr std::size_t kContractFields = 8;
constexpr std::size_t kMaxMonthWord = 63;

// A number field: the "%lf" reading.
bool ReadNumber(std::string_view field, double& value) {
    const auto scanned = ScanNumber(field);
    if (!scanned) {
        return false;
    }
    value = scanned->value;
    return true;
}

// A contract number field: empty gives no value.
bool ReadOptionalNumber(std::string_view field, double& value) {
    if (field.empty()) {
        value = UNSET_VALUE;
        return true;
    }
    return ReadNumber(field, value);
}

// The fields of one line, kept across lines: clearing a fresh array for every line
// costs more than reading the fields.
using LineFields = std::array<std::string_view, kShareFields>;

bool ParseShareLine(std::string_view line, bool isCall, LineFields& fields, CCompanyInfo& company) {
    if (SplitCollapsingCommas(line, fields.data(), fields.size()) != kShareFields ||
        IsBlank(fields[0])) {
        return false;
    }
    std::array<double, kShareFields - 1> numbers{};
    for (std::size_t i = 1; i < kShareFields; ++i) {
        if (!ReadNumber(fields[i], numbers[i - 1])) {
            return false;
        }
    }
    company.SetCode(std::string(fields[0]));
    company.SetIsCall(isCall);
    company.SetLast(numbers[0]);
    company.SetChange(numbers[1]);
    company.SetBid(numbers[2]);
    company.SetOffer(numbers[3]);
    company.SetOpen(numbers[4]);
    company.SetHigh(numbers[5]);
    company.SetLow(numbers[6]);
    company.SetVolume(numbers[7]);
    const double earnings = numbers[8];
    company.SetPriceEarnings(earnings != 0.0 ? numbers[0] / earnings : earnings);
    return true;
}

// "%u %s %u": day, month abbreviation, year; the day at 00:00.
bool ParseExpiry(std::string_view field, FileTime& expiry) {
    unsigned day = 0;
    unsigned year = 0;
    if (!ScanUnsigned(field, day)) {
        return false;
    }
    SkipSpace(field);
    std::size_t wordLength = 0;
    while (wordLength < field.size() && !IsAsciiSpace(field[wordLength])) {
        ++wordLength;
    }
    const std::string_view word = field.substr(0, wordLength);
    field.remove_prefix(wordLength);
    if (word.empty() || word.size() > kMaxMonthWord || !ScanUnsigned(field, year)) {
        return false;
    }
    const unsigned month = MonthFromAbbreviation(word);
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{static_cast<int>(year)}, std::chrono::month{month},
                              std::chrono::day{day}};
    if (month == 0 || day < 1 || day > 31 || year < 2000 || year > 3000 || !date.ok()) {
        return false;
    }
    expiry = FileTimeFromUnix(sys_days{date}.time_since_epoch().count() * 86400);
    return true;
}

// Matches one literal character of a scan pattern; a space matches any white space.
bool Expect(std::string_view& text, char literal) {
    if (literal == ' ') {
        SkipSpace(text);
        return true;
    }
    if (text.empty() || text.front() != literal) {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

// "%u-%u-%u %u:%u:%u" in exchange time; all zero means never traded.
// The text the feed writes, "YYYY-MM-DD HH:MM:SS" and nothing else, read digit by digit:
// the scan below gives the same parts, only slower.
bool ReadCanonicalMoment(std::string_view field, std::array<unsigned, 6>& parts) {
    static constexpr std::string_view kShape = "0000-00-00 00:00:00";
    if (field.size() != kShape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        if (kShape[i] == '0' ? !IsAsciiDigit(field[i]) : field[i] != kShape[i]) {
            return false;
        }
    }
    const auto number = [&](std::size_t at, std::size_t length) {
        unsigned value = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            value = value * 10 + static_cast<unsigned>(field[i] - '0');
        }
        return value;
    };
    parts = {number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2)};
    return true;
}

bool ParseLastTraded(std::string_view field, FileTime& lastTraded) {
    std::array<unsigned, 6> parts{};
    if (!ReadCanonicalMoment(field, parts)) {
        constexpr std::array<char, 5> kSeparators = {'-', '-', ' ', ':', ':'};
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if ((i > 0 && !Expect(field, kSeparators[i - 1])) || !ScanUnsigned(field, parts[i])) {
                return false;
            }
        }
    }
    if (parts == std::array<unsigned, 6>{}) {
        lastTraded = kNoDate;
        return true;
    }
    return ExchangeTimeToUniversal({parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]},
                                   lastTraded);
}

bool ParseContractLine(std::string_view line, LineFields& fields, CContractInfo& contract) {
    if (SplitEveryComma(line, fields.data(), kContractFields) != kContractFields ||
        IsBlank(fields[0]) || fields[2].empty() || fields[7].empty()) {
        return false;
    }
    double size = 0, exercise = 0, last = 0, volume = 0, openInterest = 0;
    FileTime expiry = kNoDate;
    FileTime lastTraded = kNoDate;
    if (!ReadOptionalNumber(fields[1], size) || !ParseExpiry(fields[2], expiry) ||
        !ReadOptionalNumber(fields[3], exercise) || !ReadOptionalNumber(fields[4], last) ||
        !ReadOptionalNumber(fields[5], volume) || !ReadOptionalNumber(fields[6], openInterest) ||
        !ParseLastTraded(fields[7], lastTraded)) {
        return false;
    }
    contract.SetCode(std::string(fields[0]));
    contract.SetContractSize(size);
    contract.SetExpiry(expiry);
    contract.SetExercise(exercise);
    contract.SetLast(last);
    contract.SetVolume(volume);
    contract.SetOpenInterest(openInterest);
    contract.SetLastTraded(lastTraded);
    return true;
}

} // namespace

std::string UnexpectedDataMessage(unsigned line) {
    return "Unexpected data at line " + std::to_string(line);
}

bool ParseOptionStream(std::vector<CCompanyInfo>& companies, std::FILE* file, bool isCall,
                       std::string& error) {
    companies.clear();
    CLineReader reader(file);
    bool shareAnnounced = false;
    bool contractsAnnounced = false;
    LineFields fields;
    // The current company's series gather here and move to it once its block is over, so
    // each company's list is allocated once at its size.
    std::vector<CContractInfo> pending;
    const auto settle = [&] {
        if (!pending.empty()) {
            companies.back().AddContracts(pending);
            pending.clear();
        }
    };
    std::string_view line;
    while (reader.Next(line)) {
        bool ok = true;
        if (IsBlank(line)) {
            shareAnnounced = contractsAnnounced = false;
        } else if (EqualsIgnoringCase(line, "CALL OPTIONS") ||
                   EqualsIgnoringCase(line, "PUT OPTIONS")) {
            // a title, in either file
        } else if (EqualsIgnoringCase(line, kShareHeader)) {
            ok = !shareAnnounced;
            shareAnnounced = true;
        } else if (EqualsIgnoringCase(line, kContractHeader)) {
            ok = !contractsAnnounced;
            contractsAnnounced = true;
        } else if (shareAnnounced) {
            CCompanyInfo company;
            ok = ParseShareLine(line, isCall, fields, company);
            if (ok) {
                settle();
                companies.push_back(std::move(company));
                shareAnnounced = false;
            }
        } else if (contractsAnnounced) {
            CContractInfo contract;
            ok = ParseContractLine(line, fields, contract) && !companies.empty();
            if (ok) {
                pending.push_back(std::move(contract));
            }
        } else {
            ok = false;
        }
        if (!ok) {
            settle();
            error = UnexpectedDataMessage(reader.LineNumber());
            return false;
        }
    }
    settle();
    // A file that opens but cannot be read (a folder, a failing disk) is no empty market.
    if (reader.Failed()) {
        error = kUnableToOpenFile;
        return false;
    }
    return true;
}

bool ParseOptionFile(std::vector<CCompanyInfo>& companies, const std::string& path, bool isCall,
                     std::string& error) {
    companies.clear();
    const CFileHandle file = OpenDataFile(path);
    if (!file) {
        error = kUnableToOpenFile;
        return false;
    }
    return ParseOptionStream(companies, file.get(), isCall, error);
}

} // namespace strikeline
