#include "marketdata/OptionFileParser.h"

#include "marketdata/ExchangeTime.h"
#include "marketdata/FieldScan.h"
#include "marketdata/LineReader.h"
#include "storage/NumberText.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <utility>

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

// A series line's figures, as both readers of the line give them.
void SetSeries(CContractInfo& contract, std::string code, double size, FileTime expiry,
               double exercise, double last, double volume, double openInterest,
               FileTime lastTraded) {
    contract.SetCode(std::move(code));
    contract.SetContractSize(size);
    contract.SetExpiry(expiry);
    contract.SetExercise(exercise);
    contract.SetLast(last);
    contract.SetVolume(volume);
    contract.SetOpenInterest(openInterest);
    contract.SetLastTraded(lastTraded);
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
    SetSeries(contract, std::string(fields[0]), size, expiry, exercise, last, volume, openInterest,
              lastTraded);
    return true;
}

constexpr bool IsCodeCharacter(char c) {
    return IsAsciiDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The series line in the one form the feed writes it, read in a single pass over its
// characters: "AWYC0S,100,18 Mar 2027,28,0.059,0,38,2026-12-07 12:30:52", a code of letters
// and digits, figures of digits and at most one point (or none at all), the expiry as
// "D Mon YYYY" and the last trade as "YYYY-MM-DD HH:MM:SS". It gives the series
// ParseContractLine gives for such a line; any other line, a line it would refuse included,
// is left to ParseContractLine, which reads everything the files have always held.
class CFeedLine {
public:
    // What the lines of one file share: a company's series a few expiry days, the file's
    // trades a few days of the exchange's clock.
    struct CDays {
        // The last expiry read ("D Mon YYYY" or "DD Mon YYYY"), its first eight characters
        // and its last seven with the comma after it.
        std::size_t expirySize = 0;
        std::uint64_t expiryHead = 0;
        std::uint64_t expiryTail = 0;
        FileTime expiry = kNoDate;
        // Days of trades without a change of daylight saving, by their day of the month:
        // year * 10000 + month * 100 + day (0 for none), and the universal time of 00:00.
        struct CTradeDay {
            unsigned key = 0;
            FileTime midnight = 0;
        };
        std::array<CTradeDay, 8> tradeDays{};
    };

    CFeedLine(std::string_view line, CDays& days)
        : m_At(line.data()), m_End(line.data() + line.size()), m_Days(days) {}

    bool Read(CContractInfo& contract) {
        const char* const code = m_At;
        while (m_At != m_End && IsCodeCharacter(*m_At)) {
            ++m_At;
        }
        const auto codeLength = static_cast<std::size_t>(m_At - code);
        double size = 0, exercise = 0, last = 0, volume = 0, openInterest = 0;
        FileTime expiry = kNoDate;
        FileTime lastTraded = kNoDate;
        if (codeLength == 0 || !Comma() || !Figure(size) || !Expiry(expiry) || !Figure(exercise) ||
            !Figure(last) || !Figure(volume) || !Figure(openInterest) || !LastTraded(lastTraded)) {
            return false;
        }
        SetSeries(contract, std::string(code, codeLength), size, expiry, exercise, last, volume,
                  openInterest, lastTraded);
        return true;
    }

private:
    static std::uint64_t Word(const char* at) {
        std::uint64_t word = 0;
        std::memcpy(&word, at, sizeof word);
        return word;
    }

    bool Comma() {
        if (m_At == m_End || *m_At != ',') {
            return false;
        }
        ++m_At;
        return true;
    }

    // A figure and its comma, as ReadOptionalNumber reads it: up to 15 digits divided by a
    // power of ten, as the number scanner converts plain decimals; empty gives no value.
    bool Figure(double& value) {
        CPlainDecimal decimal;
        m_At = decimal.Scan(m_At, m_End);
        // Anything but the comma after the digits is not a figure of this form.
        if (!Comma() || decimal.digits > CPlainDecimal::kMostDigits ||
            (decimal.digits == 0 && decimal.point)) {
            return false;
        }
        value = decimal.digits == 0 ? UNSET_VALUE : decimal.Value();
        return true;
    }

    // `count` digits as a number.
    bool Digits(std::size_t count, unsigned& value) {
        if (static_cast<std::size_t>(m_End - m_At) < count) {
            return false;
        }
        value = 0;
        for (std::size_t i = 0; i < count; ++i, ++m_At) {
            if (!IsAsciiDigit(*m_At)) {
                return false;
            }
            value = value * 10 + static_cast<unsigned>(*m_At - '0');
        }
        return true;
    }

    bool Literal(char c) {
        if (m_At == m_End || *m_At != c) {
            return false;
        }
        ++m_At;
        return true;
    }

    // "D Mon YYYY" or "DD Mon YYYY" and its comma, checked as ParseExpiry checks it.
    bool Expiry(FileTime& expiry) {
        const char* const start = m_At;
        // The field and its comma, 11 or 12 characters, as two overlapping words.
        const std::size_t known = m_Days.expirySize;
        if (known != 0 && static_cast<std::size_t>(m_End - m_At) > known &&
            Word(m_At) == m_Days.expiryHead && Word(m_At + known + 1 - 8) == m_Days.expiryTail) {
            m_At += known + 1;
            expiry = m_Days.expiry;
            return true;
        }
        unsigned day = 0;
        unsigned year = 0;
        const std::size_t dayDigits =
            m_End - m_At > 1 && IsAsciiDigit(m_At[0]) && IsAsciiDigit(m_At[1]) ? 2 : 1;
        if (!Digits(dayDigits, day) || !Literal(' ') || m_End - m_At < 4) {
            return false;
        }
        const std::string_view word(m_At, 3);
        m_At += 3;
        if (!Literal(' ') || !Digits(4, year)) {
            return false;
        }
        const char* const end = m_At;
        if (!Comma()) {
            return false;
        }
        const unsigned month = MonthFromAbbreviation(word);
        const std::chrono::year_month_day date{std::chrono::year{static_cast<int>(year)},
                                               std::chrono::month{month}, std::chrono::day{day}};
        if (month == 0 || day < 1 || day > 31 || year < 2000 || year > 3000 || !date.ok()) {
            return false;
        }
        expiry = FileTimeFromUnix(std::chrono::sys_days{date}.time_since_epoch().count() * 86400);
        m_Days.expirySize = static_cast<std::size_t>(end - start);
        m_Days.expiryHead = Word(start);
        m_Days.expiryTail = Word(end + 1 - 8);
        m_Days.expiry = expiry;
        return true;
    }

    // "YYYY-MM-DD HH:MM:SS" to the end of the line, as ParseLastTraded reads it.
    bool LastTraded(FileTime& lastTraded) {
        // The whole rest of the line, each character at its place.
        static constexpr std::string_view kShape = "0000-00-00 00:00:00";
        if (static_cast<std::size_t>(m_End - m_At) != kShape.size()) {
            return false;
        }
        const char* const t = m_At;
        const auto digit = [t](std::size_t i) {
            return static_cast<unsigned>(t[i] - '0');
        };
        unsigned notDigit = 0;
        for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18}) {
            notDigit |= digit(i) > 9 ? 1u : 0u;
        }
        if (notDigit != 0 || t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':' ||
            t[16] != ':') {
            return false;
        }
        m_At = m_End;
        CExchangeMoment m;
        m.year = digit(0) * 1000 + digit(1) * 100 + digit(2) * 10 + digit(3);
        m.month = digit(5) * 10 + digit(6);
        m.day = digit(8) * 10 + digit(9);
        m.hour = digit(11) * 10 + digit(12);
        m.minute = digit(14) * 10 + digit(15);
        m.second = digit(17) * 10 + digit(18);
        if ((m.year | m.month | m.day | m.hour | m.minute | m.second) == 0) {
            lastTraded = kNoDate;
            return true;
        }
        // A day the clocks do not change on is 00:00 of that day plus the time of day.
        // Daylight saving starts or ends at most once a day, so a day whose first and last
        // seconds are the same hours ahead is one.
        const unsigned key = m.year * 10000 + m.month * 100 + m.day;
        CDays::CTradeDay& known = m_Days.tradeDays[m.day % m_Days.tradeDays.size()];
        if (key != 0 && known.key == key && m.hour <= 23 && m.minute <= 59 && m.second <= 59) {
            lastTraded =
                known.midnight + static_cast<FileTime>(m.hour * 3600 + m.minute * 60 + m.second) *
                                     kFileTimeTicksPerSecond;
            return true;
        }
        if (!ExchangeTimeToUniversal(m, lastTraded)) {
            return false;
        }
        FileTime first = 0;
        FileTime last = 0;
        if (ExchangeTimeToUniversal({m.year, m.month, m.day, 0, 0, 0}, first) &&
            ExchangeTimeToUniversal({m.year, m.month, m.day, 23, 59, 59}, last) &&
            last - first == FileTime{86399} * kFileTimeTicksPerSecond) {
            known = {key, first};
        }
        return true;
    }

    const char* m_At;
    const char* const m_End;
    CDays& m_Days;
};

// Whole-line comparisons with a title or heading, the length first: nearly every line is a
// series, of another length than most of them.
bool IsLine(std::string_view line, std::string_view text) {
    return line.size() == text.size() && FoldAsciiCase(line[0]) == FoldAsciiCase(text[0]) &&
           EqualsIgnoringCase(line, text);
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
    // The current company's series are read into the first `used` places of this list, kept
    // from block to block so that its places are reused, and move to a list of the
    // company's own once its block is over: each company's list is allocated once at its size.
    std::vector<CContractInfo> pending;
    std::size_t used = 0;
    // Each company's list, handed over once every company is read: the list of companies
    // grows by moving them, and a company without series moves without touching any.
    std::vector<std::vector<CContractInfo>> lists;
    const auto settle = [&] {
        if (used != 0) {
            lists.resize(companies.size());
            const auto first = pending.begin();
            lists.back().assign(std::make_move_iterator(first),
                                std::make_move_iterator(first + static_cast<std::ptrdiff_t>(used)));
            used = 0;
        }
    };
    const auto handOver = [&] {
        settle();
        for (std::size_t i = 0; i < lists.size(); ++i) {
            if (!lists[i].empty()) {
                companies[i].TakeContracts(std::move(lists[i]));
            }
        }
    };
    CFeedLine::CDays days;
    std::string_view line;
    while (reader.Next(line)) {
        bool ok = true;
        if ((line.empty() || !IsCodeCharacter(line.front())) && IsBlank(line)) {
            shareAnnounced = contractsAnnounced = false;
        } else if (IsLine(line, "CALL OPTIONS") || IsLine(line, "PUT OPTIONS")) {
            // a title, in either file
        } else if (IsLine(line, kShareHeader)) {
            ok = !shareAnnounced;
            shareAnnounced = true;
        } else if (IsLine(line, kContractHeader)) {
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
            // Read in place; either reading sets every field of a series it accepts.
            if (used == pending.size()) {
                pending.emplace_back();
            }
            CContractInfo& contract = pending[used];
            ok = (CFeedLine(line, days).Read(contract) ||
                  ParseContractLine(line, fields, contract)) &&
                 !companies.empty();
            used += ok ? 1 : 0;
        } else {
            ok = false;
        }
        if (!ok) {
            handOver();
            error = UnexpectedDataMessage(reader.LineNumber());
            return false;
        }
    }
    handOver();
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
