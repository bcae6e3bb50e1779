#include "marketdata/PriceHistory.h"

#include "tests/support/TempFolder.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>

namespace strikeline {
namespace {

using namespace std::chrono;
using test::CTempFolder;
using test::ReadTextFile;
using test::WriteTextFile;

constexpr year_month_day kMonday{year(2010), June, day(21)};
constexpr year_month_day kTuesday{year(2010), June, day(22)};
constexpr year_month_day kWednesday{year(2010), June, day(23)};

std::vector<CPriceHistoryDay> Read(const CTempFolder& folder, std::string_view code,
                                   year_month_day from = year_month_day{year(2000), January,
                                                                        day(1)}) {
    std::vector<CPriceHistoryDay> days;
    std::string error;
    EXPECT_TRUE(ReadPriceHistory(folder.Path().string(), code, from, days, error)) << error;
    return days;
}

void Record(const CTempFolder& folder, year_month_day date,
            const std::vector<CPriceHistoryShare>& shares) {
    std::string error;
    ASSERT_TRUE(RecordPriceHistory(folder.Path().string(), date, shares, error)) << error;
}

TEST(PriceHistory, KeepsEveryDayInDateOrderAndTheLaterListOfADayWins) {
    CTempFolder folder;
    EXPECT_TRUE(Read(folder, "BHP").empty()); // no file yet
    // Days recorded out of order, and a second list of Tuesday: its shares replace theirs,
    // a share only the first list had stays.
    Record(folder, kWednesday, {{"BHP", 41.5, 3000}});
    Record(folder, kMonday, {{"BHP", 40.25, 1000}, {"NAB", 22.1, 500}});
    Record(folder, kTuesday, {{"BHP", 40.75, 2000}, {"NAB", 22.3, 700}});
    Record(folder, kTuesday, {{"bhp", 40.8, 2100}, {"CBA", 51.0, 900}});

    const std::vector<CPriceHistoryDay> bhp = Read(folder, "Bhp");
    ASSERT_EQ(bhp.size(), 3u);
    EXPECT_EQ(bhp[0].date, kMonday);
    EXPECT_EQ(bhp[0].last, 40.25);
    EXPECT_EQ(bhp[0].volume, 1000);
    EXPECT_EQ(bhp[1].date, kTuesday);
    EXPECT_EQ(bhp[1].last, 40.8);
    EXPECT_EQ(bhp[1].volume, 2100);
    EXPECT_EQ(bhp[2].date, kWednesday);
    EXPECT_EQ(bhp[2].last, 41.5);
    const std::vector<CPriceHistoryDay> nab = Read(folder, "NAB");
    ASSERT_EQ(nab.size(), 2u);
    EXPECT_EQ(nab[1].last, 22.3);
    EXPECT_EQ(Read(folder, "CBA").size(), 1u);
    // From a date on.
    EXPECT_EQ(Read(folder, "BHP", kTuesday).size(), 2u);
    // Prices come back exactly as they went in.
    Record(folder, kWednesday, {{"ODD", 0.1 + 0.2, 1e15}});
    EXPECT_EQ(Read(folder, "ODD")[0].last, 0.1 + 0.2);
    EXPECT_EQ(Read(folder, "ODD")[0].volume, 1e15);
}

TEST(PriceHistory, LeavesOutSharesWithoutASaleAndCodesTheFileCannotHold) {
    CTempFolder folder;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Record(folder, kMonday,
           {{"NIL", 0, 100},
            {"NEG", -1, 100},
            {"NAN", nan, 100},
            {"A,B", 1, 1},
            {"=X", 1, 1},
            {"LINE\nBREAK", 1, 1},
            {"", 1, 1},
            {"VOL", 2, nan}});
    for (const char* code : {"NIL", "NEG", "NAN", "A", "=X", "LINE", ""}) {
        EXPECT_TRUE(Read(folder, code).empty()) << code;
    }
    const std::vector<CPriceHistoryDay> volume = Read(folder, "VOL");
    ASSERT_EQ(volume.size(), 1u);
    EXPECT_EQ(volume[0].volume, 0); // an unknown volume counts as none
}

TEST(PriceHistory, AFileThatIsNotAHistoryIsKeptAsideAndNeverOverwritten) {
    CTempFolder folder;
    const std::string path = PriceHistoryPath(folder.Path().string());
    WriteTextFile(path, "Code,Last\nBHP,40\n");
    std::vector<CPriceHistoryDay> days;
    std::string error;
    EXPECT_FALSE(ReadPriceHistory(folder.Path().string(), "BHP", kMonday, days, error));
    EXPECT_NE(error.find(path), std::string::npos);

    Record(folder, kMonday, {{"BHP", 40.25, 1000}});
    EXPECT_EQ(ReadTextFile(path + ".damaged"), "Code,Last\nBHP,40\n");
    EXPECT_EQ(Read(folder, "BHP").size(), 1u);
}

TEST(PriceHistory, DamagedLinesAndDaysAreSkippedAndTheRestIsRead) {
    CTempFolder folder;
    const std::string path = PriceHistoryPath(folder.Path().string());
    WriteTextFile(path, "Strikeline price history 1\n"
                        "BHP,1,1\n" // before any day
                        "=2010-06-21\n"
                        "BHP,40.25,1000\n"
                        "=2010-02-30\n" // no such day
                        "BHP,99,1\n"
                        "=2010-06-22\n"
                        "BHP,abc,1\n" // not a price
                        "=2010-06-23\n"
                        "BHP,41.5,-3\n" // negative volume
                        "=2010-06-24\n"
                        "BHP,42,10"); // no final line break
    const std::vector<CPriceHistoryDay> days = Read(folder, "BHP");
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].last, 40.25);
    EXPECT_EQ(days[1].last, 42);

    // Recording keeps what was there, mended into lines of their own.
    Record(folder, kWednesday, {{"NAB", 22, 1}});
    EXPECT_EQ(Read(folder, "BHP").size(), 2u);
    EXPECT_EQ(Read(folder, "NAB").size(), 1u);
}

} // namespace
} // namespace strikeline
