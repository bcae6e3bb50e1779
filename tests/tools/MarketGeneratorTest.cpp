#include "tools/MarketGenerator.h"

#include "support/TempFolder.h"
#include "tools/MarketFiles.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace strikeline {
namespace {

using namespace std::chrono;

// An independent reader of the option files, kept deliberately simple: it knows the line
// shapes the program's parser accepts and the facts a realistic market must show, and
// collects what it finds wrong.
struct CCheckedSeries {
    sys_days m_Expiry{};
    double m_Strike = 0.0;
    bool m_HasLast = false;
    double m_Last = 0.0;
};

struct CCheckedCompany {
    std::string m_Code;
    double m_Last = 0.0;
    std::vector<CCheckedSeries> m_Series;
};

struct COptionFileCheck {
    std::vector<CCheckedCompany> m_Companies;
    std::size_t m_SeriesCount = 0;
    std::vector<std::string> m_Problems;

    void Problem(std::size_t line, const std::string& what) {
        if (m_Problems.size() < 20) {
            m_Problems.push_back("line " + std::to_string(line + 1) + ": " + what);
        }
    }
};

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
        if (comma == std::string::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

bool ReadNumber(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

bool ReadExpiry(const std::string& text, sys_days& result) {
    static const std::array<std::string, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::istringstream in(text);
    unsigned d = 0;
    std::string monthWord;
    int y = 0;
    if (!(in >> d >> monthWord >> y) || !in.eof()) {
        return false;
    }
    for (unsigned m = 0; m < 12; ++m) {
        if (kMonths[m] == monthWord) {
            const year_month_day date{year{y}, month{m + 1}, day{d}};
            result = sys_days{date};
            return date.ok() &&
                   text == std::to_string(d) + " " + monthWord + " " + std::to_string(y);
        }
    }
    return false;
}

COptionFileCheck CheckOptionFile(const std::string& text, const std::string& title,
                                 sys_days tradingDay, bool calls) {
    static const std::string kShareHeader =
        "Code,Last,\"$ +/-\",bid,offer,open,high,low,volume,eps";
    static const std::string kContractHeader =
        "code,contract size,expiry date,exercise,last,volume,open interest,lasttraded";
    COptionFileCheck check;
    const std::vector<std::string> lines = SplitLines(text);
    if (text.find('\r') != std::string::npos) {
        check.Problem(0, "carriage return in the file");
    }
    if (lines.size() < 2 || lines[0] != title || !lines[1].empty()) {
        check.Problem(0, "the file must start with its title and a blank line");
        return check;
    }
    std::set<std::string> seriesCodes;
    std::size_t i = 2;
    while (i < lines.size()) {
        if (lines[i] != kShareHeader) {
            check.Problem(i, "share header expected: " + lines[i]);
            return check;
        }
        ++i;
        const std::vector<std::string> share =
            i < lines.size() ? SplitFields(lines[i]) : std::vector<std::string>{};
        CCheckedCompany company;
        if (share.size() != 10) {
            check.Problem(i, "share line must have ten fields");
            return check;
        }
        company.m_Code = share[0];
        std::array<double, 9> numbers{};
        for (std::size_t f = 1; f < 10; ++f) {
            if (!ReadNumber(share[f], numbers[f - 1])) {
                check.Problem(i, "share field " + std::to_string(f + 1) + " is not a number");
            }
        }
        company.m_Last = numbers[0];
        const double bid = numbers[2], offer = numbers[3], high = numbers[5], low = numbers[6];
        if (company.m_Last <= 0 || bid > offer || low > high || company.m_Last < low ||
            company.m_Last > high || numbers[7] < 0) {
            check.Problem(i, "share prices are not consistent: " + lines[i]);
        }
        ++i;
        if (i >= lines.size() || lines[i] != kContractHeader) {
            check.Problem(i, "contract header expected");
            return check;
        }
        ++i;
        for (; i < lines.size() && !lines[i].empty(); ++i) {
            const std::vector<std::string> fields = SplitFields(lines[i]);
            if (fields.size() != 8) {
                check.Problem(i, "contract line must have eight fields: " + lines[i]);
                continue;
            }
            CCheckedSeries series;
            const std::string& code = fields[0];
            if (code.size() != 6 || code.compare(0, company.m_Code.size(), company.m_Code) != 0 ||
                !seriesCodes.insert(code).second) {
                check.Problem(i,
                              "series code must be six characters, unique, after the share code");
            }
            double size = 0, volume = 0, interest = 0;
            if (!ReadNumber(fields[1], size) || (size != 100 && size != 1000)) {
                check.Problem(i, "contract size");
            }
            if (!ReadExpiry(fields[2], series.m_Expiry)) {
                check.Problem(i, "expiry date: " + fields[2]);
            } else if (weekday{series.m_Expiry} != Thursday || series.m_Expiry <= tradingDay) {
                check.Problem(i, "expiry must be a Thursday after the trading day: " + fields[2]);
            } else if (const unsigned day =
                           static_cast<unsigned>(year_month_day{series.m_Expiry}.day());
                       day < 15 || day > 21) {
                check.Problem(i, "expiry is not the third Thursday of its month: " + fields[2]);
            }
            if (!ReadNumber(fields[3], series.m_Strike) || series.m_Strike <= 0) {
                check.Problem(i, "exercise price");
            }
            series.m_HasLast = !fields[4].empty();
            if (series.m_HasLast && (!ReadNumber(fields[4], series.m_Last) || series.m_Last < 0)) {
                check.Problem(i, "last price must be a number not below zero");
            }
            if (!ReadNumber(fields[5], volume) || !ReadNumber(fields[6], interest) || volume < 0 ||
                interest < 0) {
                check.Problem(i, "volume and open interest");
            }
            const std::string& traded = fields[7];
            if (traded == "0000-00-00 00:00:00") {
                if (series.m_HasLast || volume != 0 || interest != 0) {
                    check.Problem(i, "a series never traded has no price, volume or interest");
                }
            } else {
                int y = 0;
                unsigned mo = 0, d = 0, h = 0, mi = 0, s = 0;
                char tail = 0;
                const int read = std::sscanf(traded.c_str(), "%4d-%2u-%2u %2u:%2u:%2u%c", &y, &mo,
                                             &d, &h, &mi, &s, &tail);
                const year_month_day date{year{y}, month{mo}, day{d}};
                const unsigned secondOfDay = h * 3600 + mi * 60 + s;
                if (read != 6 || traded.size() != 19 || !date.ok() || sys_days{date} > tradingDay ||
                    sys_days{date} < tradingDay - days{14} || secondOfDay < 10 * 3600 ||
                    secondOfDay > 16 * 3600 + 20 * 60 || !series.m_HasLast) {
                    check.Problem(i, "last traded must be a trading moment of the last days: " +
                                         traded);
                }
                if (volume > 0 && sys_days{date} != tradingDay) {
                    check.Problem(i, "volume belongs to a trade on the day itself");
                }
            }
            company.m_Series.push_back(series);
            ++check.m_SeriesCount;
        }
        ++i; // the blank line ending the block
        // Strikes lie around the price, on both sides of it.
        bool below = false, above = false;
        std::map<sys_days, std::vector<const CCheckedSeries*>> byExpiry;
        for (const CCheckedSeries& series : company.m_Series) {
            below = below || series.m_Strike < company.m_Last;
            above = above || series.m_Strike > company.m_Last;
            if (series.m_Strike < 0.4 * company.m_Last || series.m_Strike > 2.0 * company.m_Last) {
                check.Problem(i, company.m_Code + " strike far from the price");
            }
            byExpiry[series.m_Expiry].push_back(&series);
        }
        if (!below || !above) {
            check.Problem(i, company.m_Code + " lists no strikes on one side of the price");
        }
        // For one expiry a call costs more the lower its strike; a put the higher.
        for (auto& [expiry, list] : byExpiry) {
            std::sort(list.begin(), list.end(),
                      [](const CCheckedSeries* a, const CCheckedSeries* b) {
                          return a->m_Strike < b->m_Strike;
                      });
            const CCheckedSeries* previous = nullptr;
            for (const CCheckedSeries* series : list) {
                if (!series->m_HasLast) {
                    continue;
                }
                if (previous != nullptr && previous->m_Strike < series->m_Strike &&
                    (calls ? previous->m_Last < series->m_Last
                           : previous->m_Last > series->m_Last)) {
                    check.Problem(i, company.m_Code + " premiums out of order across strikes");
                }
                previous = series;
            }
        }
        check.m_Companies.push_back(std::move(company));
    }
    return check;
}

CMarketGeneratorSettings Settings(std::uint64_t seed, int y, unsigned m, unsigned d,
                                  int scale = 1) {
    CMarketGeneratorSettings settings;
    settings.m_Seed = seed;
    settings.m_Year = y;
    settings.m_Month = m;
    settings.m_Day = d;
    settings.m_Scale = scale;
    return settings;
}

std::string Describe(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems) {
        text += problem + "\n";
    }
    return text;
}

TEST(MarketGenerator, SameSeedAndDayGiveIdenticalFilesAndAnotherSeedDoesNot) {
    const CGeneratedMarket first = CMarketGenerator(Settings(7, 2010, 6, 24)).Generate();
    const CGeneratedMarket again = CMarketGenerator(Settings(7, 2010, 6, 24)).Generate();
    const CGeneratedMarket other = CMarketGenerator(Settings(8, 2010, 6, 24)).Generate();
    EXPECT_EQ(first.m_CallFile, again.m_CallFile);
    EXPECT_EQ(first.m_PutFile, again.m_PutFile);
    EXPECT_EQ(first.m_DividendsFile, again.m_DividendsFile);
    EXPECT_EQ(first.m_CompanyNames, again.m_CompanyNames);
    EXPECT_NE(first.m_CallFile, other.m_CallFile);
    EXPECT_NE(first.m_PutFile, other.m_PutFile);
    EXPECT_NE(first.m_DividendsFile, other.m_DividendsFile);
}

TEST(MarketGenerator, OptionFilesHaveTheBlockStructureAndARealisticMarket) {
    // 17 June 2010 is itself an expiry day, so its series are already gone from the list.
    for (const auto& [y, m, d] :
         {std::array<unsigned, 3>{2010, 6, 17}, {2010, 6, 24}, {2010, 9, 10}}) {
        const CGeneratedMarket market =
            CMarketGenerator(Settings(1, static_cast<int>(y), m, d)).Generate();
        const sys_days day = sys_days{year{static_cast<int>(y)} / month{m} / std::chrono::day{d}};
        const COptionFileCheck calls =
            CheckOptionFile(market.m_CallFile, "CALL OPTIONS", day, true);
        const COptionFileCheck puts = CheckOptionFile(market.m_PutFile, "PUT OPTIONS", day, false);
        EXPECT_TRUE(calls.m_Problems.empty()) << Describe(calls.m_Problems);
        EXPECT_TRUE(puts.m_Problems.empty()) << Describe(puts.m_Problems);
        EXPECT_GE(calls.m_Companies.size(), 90u);
        EXPECT_GE(calls.m_SeriesCount, 3000u);
        EXPECT_LE(calls.m_SeriesCount, 6000u);
        EXPECT_EQ(calls.m_SeriesCount, market.m_CallSeries);
        EXPECT_EQ(puts.m_SeriesCount, market.m_PutSeries);

        std::size_t neverTraded = 0;
        for (const CCheckedCompany& company : calls.m_Companies) {
            for (const CCheckedSeries& series : company.m_Series) {
                neverTraded += series.m_HasLast ? 0 : 1;
            }
        }
        EXPECT_GT(neverTraded, 0u);
        EXPECT_LT(neverTraded, calls.m_SeriesCount / 2);
    }
}

TEST(MarketGenerator, HistoryCoversTheYearOfTradingDaysAndEndsAtTheDaysLastSale) {
    const CMarketGenerator generator(Settings(1, 2010, 6, 24));
    const std::vector<CPriceHistoryList> lists = generator.GenerateHistory();
    test::CTempFolder folder;
    std::string error;
    ASSERT_TRUE(RecordPriceHistory(folder.Path().string(), lists, error)) << error;

    // Every trading day after 24 June 2009 up to the day: no weekend, no Christmas.
    ASSERT_GT(lists.size(), 245u);
    ASSERT_LT(lists.size(), 260u);
    EXPECT_EQ(sys_days{lists.front().date}, sys_days{2009y / 6 / 25});
    EXPECT_EQ(sys_days{lists.back().date}, sys_days{2010y / 6 / 24});
    for (const CPriceHistoryList& list : lists) {
        const weekday day{sys_days{list.date}};
        EXPECT_TRUE(day != Saturday && day != Sunday);
        EXPECT_NE(list.date, 2009y / 12 / 25);
    }
    // The last point of every share is the last sale its line in the day's call list shows.
    const COptionFileCheck calls = CheckOptionFile(generator.Generate().m_CallFile, "CALL OPTIONS",
                                                   sys_days{2010y / 6 / 24}, true);
    ASSERT_FALSE(calls.m_Companies.empty());
    for (const CCheckedCompany& company : calls.m_Companies) {
        std::vector<CPriceHistoryDay> days;
        ASSERT_TRUE(ReadPriceHistory(folder.Path().string(), company.m_Code, {}, days, error))
            << error;
        ASSERT_EQ(days.size(), lists.size()) << company.m_Code;
        EXPECT_EQ(days.back().date, 2010y / 6 / 24);
        EXPECT_EQ(days.back().last, company.m_Last) << company.m_Code;
    }
}

TEST(MarketGenerator, NameAndDividendFilesCoverTheMarket) {
    const CGeneratedMarket market = CMarketGenerator(Settings(1, 2010, 6, 24)).Generate();
    const COptionFileCheck calls =
        CheckOptionFile(market.m_CallFile, "CALL OPTIONS", sys_days{2010y / 6 / 24}, true);
    std::map<std::string, double> prices;
    for (const CCheckedCompany& company : calls.m_Companies) {
        prices[company.m_Code] = company.m_Last;
    }

    std::set<std::string> named;
    for (const std::string& line : SplitLines(market.m_CompanyNames)) {
        const std::size_t equals = line.find("' = '");
        ASSERT_TRUE(line.size() > 8 && line.front() == '\'' && line.back() == '\'' &&
                    equals != std::string::npos)
            << line;
        named.insert(line.substr(1, equals - 1));
    }
    for (const auto& [code, price] : prices) {
        EXPECT_TRUE(named.count(code)) << code;
    }
    EXPECT_NE(market.m_CompanyNames.find("'BHP' = 'BHP Group Limited'\n"), std::string::npos);
    EXPECT_EQ(SplitLines(market.m_Top20).size(), 20u);
    EXPECT_NE(market.m_Top20.find("'CBA' = 'Commonwealth Bank of Australia'\n"), std::string::npos);

    const std::vector<std::string> dividends = SplitLines(market.m_DividendsFile);
    ASSERT_FALSE(dividends.empty());
    std::size_t payers = 0;
    for (std::size_t i = 1; i < dividends.size(); ++i) {
        const std::vector<std::string> fields = SplitFields(dividends[i]);
        ASSERT_EQ(fields.size(), 6u) << dividends[i];
        for (const std::string& field : fields) {
            EXPECT_FALSE(field.empty()) << dividends[i];
        }
        ASSERT_TRUE(prices.count(fields[0])) << dividends[i];
        const int date = std::atoi(fields[1].c_str());
        EXPECT_EQ(fields[1].size(), 8u);
        EXPECT_GT(date, 20100624);
        EXPECT_LT(date, 20101231);
        double amount = 0;
        ASSERT_TRUE(ReadNumber(fields[3], amount)) << dividends[i];
        // Half a year's dividend: more than nothing, less than a tenth of the price.
        EXPECT_GT(amount, 0.0);
        EXPECT_LT(amount, prices[fields[0]] * 0.1) << dividends[i];
        ++payers;
    }
    EXPECT_GE(payers, prices.size() / 3);
}

TEST(MarketGenerator, ScaleTenListsAboutTenTimesTheSeries) {
    const CGeneratedMarket small = CMarketGenerator(Settings(3, 2010, 9, 10, 1)).Generate();
    const CGeneratedMarket large = CMarketGenerator(Settings(3, 2010, 9, 10, 10)).Generate();
    const COptionFileCheck smallCalls =
        CheckOptionFile(small.m_CallFile, "CALL OPTIONS", sys_days{2010y / 9 / 10}, true);
    const COptionFileCheck largePuts =
        CheckOptionFile(large.m_PutFile, "PUT OPTIONS", sys_days{2010y / 9 / 10}, false);
    EXPECT_TRUE(largePuts.m_Problems.empty()) << Describe(largePuts.m_Problems);
    const double ratio = static_cast<double>(largePuts.m_SeriesCount) /
                         static_cast<double>(smallCalls.m_SeriesCount);
    EXPECT_GT(ratio, 8.0);
    EXPECT_LT(ratio, 12.0);
    // The real companies come out the same whatever the scale.
    const std::string bhpBlock = small.m_CallFile.substr(small.m_CallFile.find("\nBHP,"), 200);
    EXPECT_NE(large.m_CallFile.find(bhpBlock), std::string::npos);
}

TEST(MarketGenerator, FeedLayoutHoldsThePublishedFiles) {
    const test::CTempFolder folder;
    std::string error;
    // Thursday 9 September 2010 at 13:00: the 10:00 and 12:00 files are out, the final not yet.
    ASSERT_TRUE(WriteFeedFolder(folder.Path().string(), Settings(1, 2010, 9, 9), 13 * 60, error))
        << error;
    const std::filesystem::path root = folder.Path();
    for (const char* path :
         {"datafeed/velomir/velomir.asx.20100909.1000.csv",
          "datafeed/velomir/velomir.asx.20100909.1200.csv",
          "datafeed/velomir/put/velomir.asx.put.20100909.1000.csv",
          "datafeed/velomir/put/velomir.asx.put.20100909.1200.csv",
          "datafeed/velomir/velomir.asx.20100908.final.csv",
          "datafeed/velomir/put/velomir.asx.put.20100908.final.csv",
          "datafeed/velomirdiv/velomir.asxdividend.20100909.csv", "compcodes.txt", "t20.txt"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(root / path)) << path;
    }
    for (const char* path : {"datafeed/velomir/velomir.asx.20100909.final.csv",
                             "datafeed/velomir/velomir.asx.20100909.1400.csv"}) {
        EXPECT_FALSE(std::filesystem::exists(root / path)) << path;
    }
    const std::string noon = test::ReadTextFile(
        (root / "datafeed/velomir/put/velomir.asx.put.20100909.1200.csv").string());
    const COptionFileCheck check =
        CheckOptionFile(noon, "PUT OPTIONS", sys_days{2010y / 9 / 9}, false);
    EXPECT_TRUE(check.m_Problems.empty()) << Describe(check.m_Problems);

    // A Sunday stands for the Friday before; a day that is over has its final files.
    const test::CTempFolder weekend;
    ASSERT_TRUE(WriteFeedFolder(weekend.Path().string(), Settings(1, 2010, 9, 12), 24 * 60, error))
        << error;
    for (const char* path : {"datafeed/velomir/velomir.asx.20100910.final.csv",
                             "datafeed/velomir/velomir.asx.20100910.1600.csv",
                             "datafeed/velomir/velomir.asx.20100909.final.csv"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(weekend.Path() / path)) << path;
    }
}

TEST(MarketGenerator, HourlyFilesShowTheDayUpToTheirHour) {
    // The share volume only grows during the day, and the final file shows the close.
    std::vector<double> volumes;
    for (const int minute : {10 * 60, 12 * 60, 16 * 60, 16 * 60 + 20}) {
        CMarketGeneratorSettings settings = Settings(1, 2010, 9, 9);
        settings.m_SnapshotMinute = minute;
        const CGeneratedMarket market = CMarketGenerator(settings).Generate();
        const COptionFileCheck check =
            CheckOptionFile(market.m_CallFile, "CALL OPTIONS", sys_days{2010y / 9 / 9}, true);
        ASSERT_FALSE(check.m_Companies.empty());
        const std::vector<std::string> lines = SplitLines(market.m_CallFile);
        double volume = 0;
        for (const std::string& line : lines) {
            if (line.rfind("BHP,", 0) == 0) {
                ASSERT_TRUE(ReadNumber(SplitFields(line)[8], volume));
            }
        }
        volumes.push_back(volume);
    }
    for (std::size_t i = 1; i < volumes.size(); ++i) {
        EXPECT_GE(volumes[i], volumes[i - 1]);
    }
    EXPECT_LT(volumes.front(), volumes.back());
}

} // namespace
} // namespace strikeline
