#include "marketdata/OptionFileParser.h"

#include "support/TempFolder.h"
#include "support/TestTimes.h"
#include "tools/MarketGenerator.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace strikeline {
namespace {

constexpr const char* kShareHeader = "Code,Last,\"$ +/-\",bid,offer,open,high,low,volume,eps\n";
constexpr const char* kContractHeader =
    "code,contract size,expiry date,exercise,last,volume,open interest,lasttraded\n";
constexpr const char* kShareLine = "BHP,10,-0.25,9.99,10.01,10.1,10.2,9.9,1500000,0.5\n";
constexpr const char* kContractLine =
    "BHPZA9,100,26 Nov 2009,9.5,0.82,12,340,2009-11-02 10:00:00\n";

using test::Utc;

TEST(OptionFileParser, ReadsEveryFieldOfTheFixture) {
    std::vector<CCompanyInfo> companies;
    std::string error;
    ASSERT_TRUE(
        ParseOptionFile(companies, STRIKELINE_FIXTURE_DIR "/marketdata/call.csv", true, error))
        << error;
    ASSERT_EQ(companies.size(), 2u);

    const CCompanyInfo& bhp = companies[0];
    EXPECT_EQ(bhp.Code(), "BHP");
    EXPECT_TRUE(bhp.IsCall());
    EXPECT_EQ(bhp.Last(), 10.0);
    EXPECT_EQ(bhp.Change(), -0.25);
    EXPECT_EQ(bhp.Bid(), 9.99);
    EXPECT_EQ(bhp.Offer(), 10.01);
    EXPECT_EQ(bhp.Open(), 10.1);
    EXPECT_EQ(bhp.High(), 10.2);
    EXPECT_EQ(bhp.Low(), 9.9);
    EXPECT_EQ(bhp.Volume(), 1500000.0);
    EXPECT_EQ(bhp.PriceEarnings(), 20.0) << "last 10 over earnings 0.5";
    EXPECT_EQ(bhp.AtTheMoneyStrike(), UNSET_VALUE);
    ASSERT_EQ(bhp.Contracts().size(), 3u);

    const CContractInfo& first = bhp.Contracts()[0];
    EXPECT_EQ(first.Company(), &bhp);
    EXPECT_EQ(first.Code(), "BHPZA9");
    EXPECT_EQ(first.ContractSize(), 100.0);
    EXPECT_EQ(first.Expiry(), Utc("2009-11-26 00:00:00"));
    EXPECT_EQ(first.Exercise(), 9.5);
    EXPECT_EQ(first.Last(), 0.82);
    EXPECT_EQ(first.Volume(), 12.0);
    EXPECT_EQ(first.OpenInterest(), 340.0);
    EXPECT_EQ(first.LastTraded(), Utc("2009-11-01 23:00:00"))
        << "daylight saving: eleven hours ahead";

    const CContractInfo& untraded = bhp.Contracts()[1];
    EXPECT_EQ(untraded.Expiry(), Utc("2009-11-26 00:00:00")) << "month in lower case";
    EXPECT_EQ(untraded.Last(), UNSET_VALUE) << "empty last price";
    EXPECT_EQ(untraded.LastTraded(), kNoDate);
    EXPECT_EQ(bhp.Contracts()[2].LastTraded(), Utc("2009-06-02 00:00:00"))
        << "winter: ten hours ahead";

    const CCompanyInfo& nab = companies[1];
    EXPECT_EQ(nab.Code(), "nab") << "codes stay as the file has them";
    EXPECT_EQ(nab.PriceEarnings(), 0.0) << "earnings 0 stay 0";
    ASSERT_EQ(nab.Contracts().size(), 1u);
    EXPECT_EQ(nab.Contracts()[0].LastTraded(), Utc("2009-11-30 04:59:59"));

    std::vector<CCompanyInfo> puts;
    ASSERT_TRUE(ParseOptionFile(puts, STRIKELINE_FIXTURE_DIR "/marketdata/call.csv", false, error));
    EXPECT_FALSE(puts[0].IsCall());
}

struct BadFile {
    const char* name;
    std::string text;
    unsigned line;
    std::size_t companiesKept;
    std::size_t seriesKept;
};

TEST(OptionFileParser, StopsAtTheFirstBadLineAndKeepsWhatCameBefore) {
    const std::string good =
        std::string(kShareHeader) + kShareLine + kContractHeader + kContractLine + "\n";
    const std::vector<BadFile> cases = {
        {"two share headers", std::string(kShareHeader) + kShareHeader, 2, 0, 0},
        {"two contract headers",
         good + kShareHeader + kShareLine + kContractHeader + kContractHeader, 9, 2, 1},
        {"empty share field", good + kShareHeader + "RIO,10,,1,1,1,1,1,1,1\n", 7, 1, 1},
        {"eleven share fields", std::string(kShareHeader) + "RIO,1,1,1,1,1,1,1,1,1,1\n", 2, 0, 0},
        {"share number unreadable", std::string(kShareHeader) + "RIO,1,1,1,1,1,1,1,1,x\n", 2, 0, 0},
        {"blank share code", std::string(kShareHeader) + " ,1,1,1,1,1,1,1,1,1\n", 2, 0, 0},
        {"short share header",
         "Code,Last,\"$ +/-\",bid,offer,open,high,low,volume\n" + std::string(kShareLine), 1, 0, 0},
        {"contracts after a blank line without a header", good + kContractLine, 6, 1, 1},
        {"contract before any share", std::string(kContractHeader) + kContractLine, 2, 0, 0},
        {"line outside any block", "hello\n", 1, 0, 0},
        {"month in full",
         good + kShareHeader + kShareLine + kContractHeader +
             "X,100,26 June 2009,9.5,0.82,12,340,2009-11-02 10:00:00\n",
         9, 2, 1},
        {"seven contract fields",
         good + kShareHeader + kShareLine + kContractHeader + "X,100,26 Nov 2009,1,1,1,1\n", 9, 2,
         1},
        {"empty contract code",
         good + kShareHeader + kShareLine + kContractHeader +
             ",100,26 Nov 2009,9.5,0.82,12,340,2009-11-02 10:00:00\n",
         9, 2, 1},
        {"contract number unreadable",
         good + kShareHeader + kShareLine + kContractHeader +
             "X,100,26 Nov 2009,$9,0.82,12,340,2009-11-02 10:00:00\n",
         9, 2, 1},
        {"bad series after good ones",
         good + kShareHeader + kShareLine + kContractHeader + kContractLine +
             "X,100,26 Nov 2009,1,1,1,1,\n",
         10, 2, 2},
    };
    test::CTempFolder folder;
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.File("bad.csv");
        test::WriteTextFile(path, c.text);
        std::vector<CCompanyInfo> companies{CCompanyInfo()};
        std::string error;
        EXPECT_FALSE(ParseOptionFile(companies, path, true, error));
        EXPECT_EQ(error, "Unexpected data at line " + std::to_string(c.line));
        EXPECT_EQ(companies.size(), c.companiesKept);
        std::size_t series = 0;
        for (const CCompanyInfo& company : companies) {
            series += company.Contracts().size();
            for (const CContractInfo& contract : company.Contracts()) {
                EXPECT_EQ(contract.Company(), &company);
            }
        }
        EXPECT_EQ(series, c.seriesKept) << "the series read before the bad line stay";
    }
}

TEST(OptionFileParser, ExpiryAndTradeTimesMustBeRealDates) {
    struct Case {
        const char* expiry;
        const char* lastTraded;
        bool ok;
    };
    const Case cases[] = {
        {"26 Nov 2009", "2009-11-02 10:00:00", true},
        {" 26   NOV   2009 trailing", "2009-11-02 10:00:00 trailing", true},
        {"31 Nov 2009", "2009-11-02 10:00:00", false},
        {"29 Feb 2009", "2009-11-02 10:00:00", false},
        {"29 Feb 2012", "2009-11-02 10:00:00", true},
        {"0 Nov 2009", "2009-11-02 10:00:00", false},
        {"32 Nov 2009", "2009-11-02 10:00:00", false},
        {"26 Nov 1999", "2009-11-02 10:00:00", false},
        {"26 Nov 3001", "2009-11-02 10:00:00", false},
        {"26 Nov", "2009-11-02 10:00:00", false},
        {"", "2009-11-02 10:00:00", false},
        {"26 Nov 2009", "", false},
        {"26 Nov 2009", "2009-13-02 10:00:00", false},
        {"26 Nov 2009", "2009-11-02 24:00:00", false},
        {"26 Nov 2009", "2009-02-30 10:00:00", false},
        {"26 Nov 2009", "2009-11-02 10:00", false},
        {"26 Nov 2009", "2009/11/02 10:00:00", false},
        {"26 Nov 2009", "2009--11-02 10:00:00", false},
        {"26 Nov 2009", " 2009-11-02    10:00:00", true},
    };
    test::CTempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.expiry) + " / " + c.lastTraded);
        const std::string path = folder.File("dates.csv");
        test::WriteTextFile(path, std::string(kShareHeader) + kShareLine + kContractHeader +
                                      "X,100," + c.expiry + ",1,1,1,1," + c.lastTraded + "\n");
        std::vector<CCompanyInfo> companies;
        std::string error;
        EXPECT_EQ(ParseOptionFile(companies, path, true, error), c.ok) << error;
    }
}

TEST(OptionFileParser, OddButHarmlessFiles) {
    test::CTempFolder folder;
    std::vector<CCompanyInfo> companies;
    std::string error;

    test::WriteTextFile(folder.File("titles.csv"), "CALL OPTIONS\n\n  \t\nput options\n\n");
    EXPECT_TRUE(ParseOptionFile(companies, folder.File("titles.csv"), true, error));
    EXPECT_TRUE(companies.empty());

    // Only the first 1023 characters of a line count: the overflow is not an eleventh field.
    const std::string longLine =
        "BHP,10,1,1,1,1,1,1,1,2" + std::string(1023 - 22, ' ') + ",overflow,more\n";
    test::WriteTextFile(folder.File("long.csv"),
                        std::string(kShareHeader) + longLine + kContractHeader + kContractLine);
    ASSERT_TRUE(ParseOptionFile(companies, folder.File("long.csv"), true, error)) << error;
    ASSERT_EQ(companies.size(), 1u);
    EXPECT_EQ(companies[0].PriceEarnings(), 5.0);

    EXPECT_FALSE(ParseOptionFile(companies, folder.File("missing.csv"), true, error));
    EXPECT_EQ(error, "Unable to open file");
    EXPECT_FALSE(ParseOptionFile(companies, folder.Path().string(), true, error))
        << "a folder is no file";
    EXPECT_EQ(error, "Unable to open file");

    test::WriteTextFile(folder.File("binary.csv"),
                        std::string("\x7f\x45\x4c\x46\x02\x01\x01\x00\xff\xfe", 10));
    EXPECT_FALSE(ParseOptionFile(companies, folder.File("binary.csv"), true, error));
    EXPECT_EQ(error, "Unexpected data at line 1");
}

// The series lines of a file with a space after every comma but the first and those before
// an empty field: the figures, days and times read the same, but no longer in the form the
// feed writes them.
std::string Spaced(const std::string& file) {
    std::istringstream lines(file);
    std::string result;
    std::string line;
    while (std::getline(lines, line)) {
        const bool series = std::count(line.begin(), line.end(), ',') == 7 &&
                            !line.starts_with("code,") && !line.starts_with("CODE,");
        for (std::size_t i = 0; i < line.size(); ++i) {
            result += line[i];
            if (series && line[i] == ',' && line.find(',') != i && i + 1 < line.size() &&
                line[i + 1] != ',') {
                result += ' ';
            }
        }
        result += '\n';
    }
    return result;
}

struct CReading {
    bool ok = false;
    std::string error;
    std::vector<CCompanyInfo> companies;
};

CReading Read(const test::CTempFolder& folder, const std::string& text) {
    const std::string path = folder.File("read.csv");
    test::WriteTextFile(path, text);
    CReading reading;
    reading.ok = ParseOptionFile(reading.companies, path, true, reading.error);
    return reading;
}

// Both readings hold the same companies and series, field for field.
void ExpectSameReading(const CReading& feed, const CReading& spaced) {
    EXPECT_EQ(feed.ok, spaced.ok);
    EXPECT_EQ(feed.error, spaced.error);
    ASSERT_EQ(feed.companies.size(), spaced.companies.size());
    for (std::size_t i = 0; i < feed.companies.size(); ++i) {
        const auto& a = feed.companies[i].Contracts();
        const auto& b = spaced.companies[i].Contracts();
        ASSERT_EQ(a.size(), b.size()) << feed.companies[i].Code();
        for (std::size_t j = 0; j < a.size(); ++j) {
            SCOPED_TRACE(a[j].Code());
            EXPECT_EQ(a[j].Company(), &feed.companies[i]);
            EXPECT_EQ(a[j].Code(), b[j].Code());
            EXPECT_EQ(a[j].ContractSize(), b[j].ContractSize());
            EXPECT_EQ(a[j].Expiry(), b[j].Expiry());
            EXPECT_EQ(a[j].Exercise(), b[j].Exercise());
            EXPECT_EQ(a[j].Last(), b[j].Last());
            EXPECT_EQ(a[j].Volume(), b[j].Volume());
            EXPECT_EQ(a[j].OpenInterest(), b[j].OpenInterest());
            EXPECT_EQ(a[j].LastTraded(), b[j].LastTraded());
        }
    }
}

// Series lines in the feed's own form are read on a shorter road; they give what the same
// lines give spaced out, generated markets whole and lines of every kind, the days the
// clocks change on among them.
TEST(OptionFileParser, TheFeedsOwnFormReadsAsAnyOther) {
    test::CTempFolder folder;
    for (const auto& [year, month, day] :
         {std::tuple{2010, 6u, 24u}, std::tuple{2026, 10u, 6u}, std::tuple{2027, 4u, 6u}}) {
        CMarketGeneratorSettings settings;
        settings.m_Year = year;
        settings.m_Month = month;
        settings.m_Day = day;
        const std::string file = CMarketGenerator(settings).Generate().m_CallFile;
        SCOPED_TRACE(file.substr(0, 200));
        const CReading feed = Read(folder, file);
        ASSERT_TRUE(feed.ok) << feed.error;
        ASSERT_GT(feed.companies.size(), 10u);
        ExpectSameReading(feed, Read(folder, Spaced(file)));
        // A CR and whatever follows it on its line are cut off, on every line or on some.
        std::string crlf;
        std::string someCut;
        std::size_t lineNumber = 0;
        for (const char c : file) {
            if (c == '\n') {
                crlf += '\r';
                someCut += ++lineNumber % 3 == 0 ? "\r,1,2 junk" : "";
            }
            crlf += c;
            someCut += c;
        }
        ExpectSameReading(feed, Read(folder, crlf));
        ExpectSameReading(feed, Read(folder, someCut));
    }

    const std::string head = std::string(kShareHeader) + kShareLine + kContractHeader;
    const std::vector<std::string> lines = {
        "A1,100,1 Jan 2027,28,0.059,0,38,2026-12-07 12:30:52",
        "A2,100,01 Jan 2027,28,,0,0,0000-00-00 00:00:00",
        "A3,,26 nov 2009,.5,5.,1234567890.12345,999999999999999,2009-11-02 10:00:00",
        "A4,1000,26 NOV 2009,0.000000000000001,0,0,0,2009-11-02 23:59:59",
        // The first Sundays of October and April since 2008, and the last ones before.
        "D1,100,1 Jan 2027,1,1,1,1,2026-10-04 01:59:59",
        "D2,100,1 Jan 2027,1,1,1,1,2026-10-04 02:00:01",
        "D3,100,1 Jan 2027,1,1,1,1,2026-10-04 23:00:00",
        "D4,100,1 Jan 2027,1,1,1,1,2026-04-05 01:30:00",
        "D5,100,1 Jan 2027,1,1,1,1,2026-04-05 02:30:00",
        "D6,100,1 Jan 2027,1,1,1,1,2026-04-05 00:00:00",
        "D7,100,1 Jan 2027,1,1,1,1,2007-10-28 03:00:00",
        "D8,100,1 Jan 2027,1,1,1,1,2007-03-25 01:00:00",
        "D9,100,1 Jan 2027,1,1,1,1,2026-10-03 23:59:59",
        "D0,100,1 Jan 2027,1,1,1,1,2026-10-05 00:00:00",
        // Days of the month that share a place among the days kept.
        "E1,100,1 Jan 2027,1,1,1,1,2026-12-01 10:00:00",
        "E2,100,1 Jan 2027,1,1,1,1,2026-12-09 10:00:00",
        "E3,100,1 Jan 2027,1,1,1,1,2026-11-01 10:00:00",
        "E4,100,1 Jan 2027,1,1,1,1,2026-12-01 10:00:01",
        // Figures beyond the short road, read the long way.
        "F1,100,1 Jan 2027,1234567890123456,1.2.3,1e2,0x10,2026-12-01 10:00:00",
        "F2,100,1 Jan 2027,-1,+1,1 ,1,2026-12-01 10:00:00",
    };
    std::string all = head;
    for (const std::string& line : lines) {
        all += line + "\n";
    }
    ExpectSameReading(Read(folder, all), Read(folder, Spaced(all)));

    // Lines after a day and an expiry were kept, that still fail as they always did.
    const std::string kept =
        head + lines[0] + "\n" + "K1,100,1 Jan 2027,1,1,1,1,2026-12-10 10:00:00\n";
    for (const std::string bad : {"B1,100,1 Jan 2027,1,1,1,1,2026-12-10 24:00:00",
                                  "B2,100,1 Jan 2027,1,1,1,1,2026-12-10 23:60:00",
                                  "B3,100,1 Jan 2027,1,1,1,1,2026-12-10 23:59:60",
                                  "B4,100,1 Jan 2027,1,1,1,1,0000-00-00 01:00:00",
                                  "B5,100,1 Jan 2027,1,1,1,1,2026-02-30 10:00:00",
                                  "B6,100,1 Jan 20270,1,1,1,1,2026-12-10 10:00:00",
                                  "B7,100,1 Jan 2027x,1,1,1,1,2026-12-10 10:00:00",
                                  "B8,100,1 Jan 2027,.,1,1,1,2026-12-10 10:00:00",
                                  "B9,100,1 Jan 2027,1,1,1,1,2026-12-10 10:00:00,",
                                  "B0,100,31 Feb 2027,1,1,1,1,2026-12-10 10:00:00"}) {
        SCOPED_TRACE(bad);
        const CReading feed = Read(folder, kept + bad + "\n");
        const CReading spaced = Read(folder, Spaced(kept + bad + "\n"));
        ExpectSameReading(feed, spaced);
    }
}

} // namespace
} // namespace strikeline
