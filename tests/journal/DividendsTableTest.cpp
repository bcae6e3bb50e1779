#include "journal/DividendsTable.h"

#include "storage/NumberText.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/TestTimes.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

using test::Utc;

// Dates show in Sydney's local time.
class DividendsTable : public test::CSydneyTimeTest {};

std::vector<std::string> Codes(const CDividendsTable& table) {
    std::vector<std::string> codes;
    for (const CDividendRow& row : table.rows) {
        codes.push_back(row.code);
    }
    return codes;
}

TEST_F(DividendsTable, RowsAreSortedByCodeIgnoringCaseWithTheirTexts) {
    const std::vector<CDividend> dividends = {
        {"nab", Utc("2010-05-05"), 0.73},
        {"BHP", Utc("2010-03-01"), 0.47},
        {"ANZ", Utc("2011-12-24"), 0.5},
        {"bhp", Utc("2010-09-01"), 1.255},
    };
    CAverageTradesDatabase averages;
    averages.Set("NAB", 12);
    averages.Set("bhp", 0.123456);
    averages.Set("ANZ", UNSET_VALUE);
    const CDividendsTable table =
        BuildDividendsTable(dividends, DividendsMonthFilter::All, Utc("2010-04-15"), averages);
    EXPECT_FALSE(table.noDividends);
    const std::vector<CDividendRow> expected = {
        {"ANZ", "24-Dec-2011", "$0.5", ""},
        {"BHP", "01-Mar-2010", "$0.47", "0.12346"},
        {"bhp", "01-Sep-2010", "$1.25", "0.12346"},
        {"nab", "05-May-2010", "$0.73", "12"},
    };
    EXPECT_EQ(table.rows, expected);

    const CDividendsTable none = BuildDividendsTable(
        {{"XYZ", Utc("2010-05-05"), 1}}, DividendsMonthFilter::All, Utc("2010-04-15"), averages);
    ASSERT_EQ(none.rows.size(), 1u);
    EXPECT_EQ(none.rows[0].averageTrades, "");
}

TEST_F(DividendsTable, FiltersByMonthWhateverTheYear) {
    const std::vector<CDividend> dividends = {
        {"MAR", Utc("2010-03-31"), 1}, {"APR", Utc("2010-04-01"), 1}, {"APX", Utc("2008-04-20"), 1},
        {"MAY", Utc("2011-05-31"), 1}, {"JUN", Utc("2010-06-01"), 1},
    };
    struct Case {
        DividendsMonthFilter filter;
        std::vector<std::string> codes;
    };
    const Case cases[] = {
        {DividendsMonthFilter::CurrentMonth, {"APR", "APX"}},
        {DividendsMonthFilter::CurrentAndNextMonth, {"APR", "APX", "MAY"}},
        {DividendsMonthFilter::NextMonth, {"MAY"}},
        {DividendsMonthFilter::All, {"APR", "APX", "JUN", "MAR", "MAY"}},
    };
    const CAverageTradesDatabase averages;
    // Already 1 May in Sydney, but the month is taken in universal time.
    const FileTime now = Utc("2010-04-30 20:00:00");
    for (const Case& c : cases) {
        EXPECT_EQ(Codes(BuildDividendsTable(dividends, c.filter, now, averages)), c.codes)
            << static_cast<int>(c.filter);
    }
}

TEST_F(DividendsTable, NextMonthInDecemberIsJanuaryOfAnyYear) {
    const std::vector<CDividend> dividends = {
        {"DEC", Utc("2010-12-20"), 1},
        {"J09", Utc("2009-01-15"), 1},
        {"J11", Utc("2011-01-31"), 1},
        {"FEB", Utc("2011-02-01"), 1},
    };
    const CAverageTradesDatabase averages;
    const FileTime now = Utc("2010-12-15");
    EXPECT_EQ(Codes(BuildDividendsTable(dividends, DividendsMonthFilter::NextMonth, now, averages)),
              (std::vector<std::string>{"J09", "J11"}));
    EXPECT_EQ(Codes(BuildDividendsTable(dividends, DividendsMonthFilter::CurrentAndNextMonth, now,
                                        averages)),
              (std::vector<std::string>{"DEC", "J09", "J11"}));
}

TEST_F(DividendsTable, AnEmptyListSaysSoForEverySelection) {
    const CAverageTradesDatabase averages;
    for (const DividendsMonthFilter filter :
         {DividendsMonthFilter::CurrentMonth, DividendsMonthFilter::CurrentAndNextMonth,
          DividendsMonthFilter::NextMonth, DividendsMonthFilter::All}) {
        const CDividendsTable table = BuildDividendsTable({}, filter, Utc("2010-04-15"), averages);
        EXPECT_TRUE(table.noDividends);
        EXPECT_TRUE(table.rows.empty());
    }
    EXPECT_EQ(kNoDividendsText, "No dividends found");

    // A list the filter empties is not an empty list.
    const CDividendsTable filtered =
        BuildDividendsTable({{"JUN", Utc("2010-06-01"), 1}}, DividendsMonthFilter::CurrentMonth,
                            Utc("2010-04-15"), averages);
    EXPECT_FALSE(filtered.noDividends);
    EXPECT_TRUE(filtered.rows.empty());
}

TEST(AverageTradesCell, TakesTrimmedNumbersAndKeepsTheOldTextOtherwise) {
    struct Case {
        const char* typed;
        bool taken;
        const char* shown;
        double stored;
    };
    const Case cases[] = {
        {"12", true, "12", 12},
        {"  12 trades ", true, "12 trades", 12},
        {"1,234", true, "1,234", 1234},
        // Read up to the comma these would be 1 and 12.
        {"1,23", false, "old", 5},
        {"12,5", false, "old", 5},
        {"0", true, "0", 0},
        {"1e9", true, "1e9", 1000000000},
        {"", true, "", UNSET_VALUE},
        {" \t ", true, "", UNSET_VALUE},
        {"abc", false, "old", 5},
        {"N/A", false, "old", 5},
        {"-1", false, "old", 5},
        {"1000000000.5", false, "old", 5},
        {"-1000000000", false, "old", 5},
    };
    for (const Case& c : cases) {
        CAverageTradesDatabase averages;
        averages.Set("BHP", 5);
        std::string shown = "old";
        EXPECT_EQ(TakeAverageTradesText(averages, "bhp", c.typed, shown), c.taken) << c.typed;
        EXPECT_EQ(shown, c.shown) << c.typed;
        EXPECT_EQ(averages.Lookup("BHP"), c.stored) << c.typed;
    }
}

TEST(AverageTradesCell, ARefusalSaysWhy) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {" abc ", "\"abc\" is not a number."},
        {"1,23", "\"1,23\" is not a number."},
        {"-1", "The average trades can hold figures between 0 and 1000000000."},
        {"2e9", "The average trades can hold figures between 0 and 1000000000."},
    };
    for (const auto& [typed, reason] : cases) {
        CAverageTradesDatabase averages;
        std::string shown = "old";
        std::string refusal;
        EXPECT_FALSE(TakeAverageTradesText(averages, "BHP", typed, shown, &refusal)) << typed;
        EXPECT_EQ(refusal, "Invalid average trades\n\n" + reason);
        EXPECT_EQ(shown, "old");
    }
    CAverageTradesDatabase averages;
    std::string shown;
    std::string refusal;
    EXPECT_TRUE(TakeAverageTradesText(averages, "BHP", "12", shown, &refusal));
    EXPECT_EQ(refusal, "");
}

TEST(AverageTradesCell, AClearedCellIsLeftOutOfTheFile) {
    test::CTempFolder folder;
    const std::string path = folder.File("averagetrades.xml");
    CAverageTradesDatabase averages;
    std::string shown;
    ASSERT_TRUE(TakeAverageTradesText(averages, "BHP", "12", shown));
    ASSERT_TRUE(TakeAverageTradesText(averages, "NAB", "3", shown));
    ASSERT_TRUE(averages.Save(path));
    ASSERT_TRUE(TakeAverageTradesText(averages, "bhp", "", shown));
    ASSERT_TRUE(averages.Save(path));

    CAverageTradesDatabase loaded;
    std::string error;
    ASSERT_TRUE(loaded.Load(path, error)) << error;
    EXPECT_EQ(loaded.Items(), (std::map<std::string, double>{{"NAB", 3.0}}));
}

} // namespace
} // namespace strikeline
