#include "journal/DiaryListing.h"

#include "support/ScopedEnvironment.h"
#include "support/TestTimes.h"

#include <gtest/gtest.h>
#include <vector>

namespace strikeline {
namespace {

using namespace std::chrono;
using test::Utc;

// Rows show local dates: Sydney's, ten hours ahead in the autumn of 2010.
class DiaryListing : public test::CSydneyTimeTest {
protected:
    // Opened at noon in Sydney, so the local day is the stored day.
    void Add(const std::string& contract, const std::string& openDay, double neProfit,
             double eProfit = UNSET_VALUE, FileTime closed = kNoDate) {
        CDiaryEntry entry;
        entry.m_StartDate = Utc(openDay + " 02:00:00");
        entry.m_CloseDate = closed;
        entry.m_ContractID = contract;
        entry.m_NEProfit = neProfit;
        entry.m_EProfit = eProfit;
        m_Diary.AddEntry(entry);
    }

    CDiaryListing Build(const CDiaryRangeChoice& choice) const {
        return BuildDiaryListing(m_Diary, choice, m_Now);
    }

    static std::vector<std::string> Codes(const CDiaryListing& listing) {
        std::vector<std::string> codes;
        for (const CDiaryRow& row : listing.rows) {
            codes.push_back(row.stockCode);
        }
        return codes;
    }

    CDiaryDatabase m_Diary;
    FileTime m_Now = Utc("2010-06-15 02:00:00");
};

CDiaryRangeChoice MonthOf(int y, unsigned m) {
    CDiaryRangeChoice choice;
    choice.mode = DiaryRangeMode::Month;
    choice.year = y;
    choice.month = m;
    return choice;
}

CDiaryRangeChoice YearOf(int y) {
    CDiaryRangeChoice choice;
    choice.mode = DiaryRangeMode::Year;
    choice.year = y;
    return choice;
}

CDiaryRangeChoice Period(year_month_day first, year_month_day last) {
    CDiaryRangeChoice choice;
    choice.mode = DiaryRangeMode::Period;
    choice.periodStart = first;
    choice.periodEnd = last;
    return choice;
}

CDiaryRangeChoice All() {
    CDiaryRangeChoice choice;
    choice.mode = DiaryRangeMode::All;
    return choice;
}

TEST_F(DiaryListing, AnEmptyDiaryShowsTheStartBalanceTwiceAndNoProfit) {
    const CDiaryListing listing = Build(MonthOf(2010, 4));
    EXPECT_TRUE(listing.rows.empty());
    EXPECT_EQ(listing.figures, (CDiaryFigureTexts{"$10000", "$10000", "$0", "0%"}));
}

TEST_F(DiaryListing, CaptionsNameTheRange) {
    struct Case {
        CDiaryRangeChoice choice;
        CDiaryFigureTexts captions;
    };
    const Case cases[] = {
        {MonthOf(2010, 4),
         {"Balance at Starting of Month:", "Balance at Ending of Month:",
          "Total Net Profit in Month:", "Total Net Profit % in Month:"}},
        {YearOf(2010),
         {"Balance at Starting of Year:", "Balance at Ending of Year:", "Total Net Profit in Year:",
          "Total Net Profit % in Year:"}},
        {Period(2010y / May / 10d, 2010y / May / 20d),
         {"Balance at Starting of Period:", "Balance at Ending of Period:",
          "Total Net Profit in Period:", "Total Net Profit % in Period:"}},
        {All(),
         {"Balance at Start:", "Balance at End:", "Total Net Profit:", "Total Net Profit %:"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Build(c.choice).captions, c.captions) << c.captions.startingBalance;
    }
}

TEST_F(DiaryListing, AMonthListsItsEntriesAndCountsEarlierOnesAndItsOwnChange) {
    Add("APRXK8", "2010-04-13", 100, UNSET_VALUE, Utc("2010-05-20 02:00:00"));
    Add("MARXK8", "2010-03-31", 40);
    Add("MAYXK8", "2010-05-01", 7);

    CDiaryListing listing = Build(MonthOf(2010, 4));
    ASSERT_EQ(listing.rows.size(), 1u);
    EXPECT_EQ(listing.rows[0].openDate, "13-Apr-2010");
    EXPECT_EQ(listing.rows[0].closeDate, "20-May-2010");
    EXPECT_EQ(listing.rows[0].stockCode, "APRXK8");
    EXPECT_EQ(listing.rows[0].netProfit, "100");
    EXPECT_EQ(listing.rows[0].entryIndex, 0u);
    EXPECT_EQ(listing.figures, (CDiaryFigureTexts{"$10040", "$10140", "$100", "0.99602%"}));

    m_Diary.SetMonthChange(MonthKey(2010, 4), 500);
    m_Diary.SetMonthChange(MonthKey(2010, 5), 500);
    listing = Build(MonthOf(2010, 4));
    EXPECT_EQ(listing.figures, (CDiaryFigureTexts{"$10540", "$10640", "$100", "0.94877%"}));
}

// The month-end balances are the ending balances the Diary shows month by month, from the
// first month with a trade or a change to now's month, a later month's change included
// only from that month on.
TEST_F(DiaryListing, MonthEndBalancesAreEachMonthsEndingBalance) {
    Add("MARXK8", "2010-03-31", 40);
    Add("APRXK8", "2010-04-13", 100);
    Add("JUNXK8", "2010-06-02", -30);
    m_Diary.SetMonthChange(MonthKey(2010, 5), 500);

    const std::vector<CDiaryMonthBalance> balances = DiaryMonthEndBalances(m_Diary, m_Now);
    const std::vector<std::pair<unsigned, double>> expected = {
        {3, 10040}, {4, 10140}, {5, 10640}, {6, 10610}};
    ASSERT_EQ(balances.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(balances[i].year, 2010);
        EXPECT_EQ(balances[i].month, expected[i].first);
        EXPECT_DOUBLE_EQ(balances[i].balance, expected[i].second);
        EXPECT_EQ(Build(MonthOf(2010, expected[i].first)).figures.endingBalance,
                  FormatMoney(expected[i].second, 2));
    }
}

TEST_F(DiaryListing, DecemberRunsToTheFirstOfJanuary) {
    Add("DECXK8", "2010-12-31", 10);
    Add("JANXK8", "2011-01-01", 20);
    Add("NOVXK8", "2010-11-30", 30);
    const CDiaryListing listing = Build(MonthOf(2010, 12));
    EXPECT_EQ(Codes(listing), std::vector<std::string>{"DECXK8"});
    EXPECT_EQ(listing.figures, (CDiaryFigureTexts{"$10030", "$10040", "$10", "0.0997%"}));
}

TEST_F(DiaryListing, AYearCountsOnlyTheChangesOfMonthsBeginningByItsFirstDay) {
    Add("JANXK8", "2010-01-01", 10);
    Add("DECXK8", "2010-12-31", 20);
    Add("OLDXK8", "2009-12-31", 5);
    Add("NEWXK8", "2011-01-01", 1000);
    m_Diary.SetMonthChange(MonthKey(2010, 3), 700);  // after the first of the year
    m_Diary.SetMonthChange(MonthKey(2010, 1), 100);  // that first month counts
    m_Diary.SetMonthChange(MonthKey(2009, 12), -25); // and every earlier one
    const CDiaryListing listing = Build(YearOf(2010));
    EXPECT_EQ(Codes(listing), (std::vector<std::string>{"JANXK8", "DECXK8"}));
    EXPECT_EQ(listing.figures, (CDiaryFigureTexts{"$10080", "$10110", "$30", "0.29762%"}));
}

TEST_F(DiaryListing, APeriodIncludesItsLastDayAndAReversedOneIsItsFirstDayAlone) {
    Add("D09XK8", "2010-05-09", 1);
    Add("D10XK8", "2010-05-10", 10);
    Add("D11XK8", "2010-05-11", 100);
    Add("D12XK8", "2010-05-12", 1000);

    CDiaryListing listing = Build(Period(2010y / May / 10d, 2010y / May / 11d));
    EXPECT_EQ(Codes(listing), (std::vector<std::string>{"D10XK8", "D11XK8"}));
    EXPECT_EQ(listing.figures.startingBalance, "$10001");
    EXPECT_EQ(listing.figures.totalNetProfit, "$110");

    listing = Build(Period(2010y / May / 10d, 2010y / May / 9d));
    EXPECT_EQ(Codes(listing), std::vector<std::string>{"D10XK8"});
    EXPECT_EQ(listing.figures.startingBalance, "$10001");
    EXPECT_EQ(listing.figures.endingBalance, "$10011");

    // A day that does not exist leaves its boundary unset: here the end, which then
    // falls back to the start.
    listing = Build(Period(2010y / May / 10d, 2010y / February / 30d));
    EXPECT_EQ(Codes(listing), std::vector<std::string>{"D10XK8"});
}

TEST_F(DiaryListing, AllListsEverythingFrom2000ButNothingFrom2100On) {
    Add("Y99XK8", "1999-12-31", 1);
    Add("Y00XK8", "2000-01-01", 10);
    Add("END XK8", "2099-12-31", 100);
    Add("Z00XK8", "2100-01-01", 1000);
    Add("Z50XK8", "2150-06-01", 1000);
    const CDiaryListing listing = Build(All());
    EXPECT_EQ(Codes(listing), (std::vector<std::string>{"Y00XK8", "END XK8"}));
    EXPECT_EQ(listing.figures, (CDiaryFigureTexts{"$10001", "$10111", "$110", "1.09989%"}));
}

TEST_F(DiaryListing, RowsRunOldestFirstWithTheirPlaceInTheDiary) {
    Add("CCCXK8", "2010-04-20", 0, 0);
    Add("AAAXK8", "2010-04-02", UNSET_VALUE, 250);
    Add("BBBXK8", "2010-04-13", NA_VALUE, -12.125);
    Add("DDDXK8", "2010-04-28", UNSET_VALUE, UNSET_VALUE);

    const CDiaryListing listing = Build(MonthOf(2010, 4));
    ASSERT_EQ(listing.rows.size(), 4u);
    const std::vector<std::string> codes = {"AAAXK8", "BBBXK8", "CCCXK8", "DDDXK8"};
    const std::vector<std::size_t> places = {1, 2, 0, 3};
    const std::vector<std::string> profits = {"250", "-12.125", "", ""};
    for (std::size_t i = 0; i < listing.rows.size(); ++i) {
        EXPECT_EQ(listing.rows[i].stockCode, codes[i]);
        EXPECT_EQ(listing.rows[i].entryIndex, places[i]);
        EXPECT_EQ(listing.rows[i].netProfit, profits[i]);
        EXPECT_EQ(listing.rows[i].closeDate, "-");
    }
    EXPECT_EQ(listing.figures, (CDiaryFigureTexts{"$10000", "$10237.88", "$237.88", "2.37875%"}));
}

TEST_F(DiaryListing, ANegativeTotalAndAZeroStartBalance) {
    Add("LOSXK8", "2010-04-13", -12.5);
    m_Diary.SetStartBalance(0);
    const CDiaryListing listing = Build(MonthOf(2010, 4));
    EXPECT_EQ(listing.figures, (CDiaryFigureTexts{"$0", "$-12.5", "$-12.5", ""}));
}

TEST_F(DiaryListing, MonthChangesCountUpToTheYearAfterNow) {
    // Years after 2019 are as good as any other.
    m_Now = Utc("2025-06-15 02:00:00");
    m_Diary.SetMonthChange(MonthKey(2024, 5), 300);
    m_Diary.SetMonthChange(MonthKey(2026, 1), 50);
    Add("NOWXK8", "2025-06-15", 10);

    CDiaryListing listing = Build(MonthOf(2025, 6));
    EXPECT_EQ(Codes(listing), std::vector<std::string>{"NOWXK8"});
    EXPECT_EQ(listing.figures.startingBalance, "$10300");

    listing = Build(MonthOf(2026, 1));
    EXPECT_EQ(listing.figures.startingBalance, "$10360");
}

TEST(DiarySelectors, YearsRunFrom2007ToTheYearAfterNow) {
    test::CScopedEnv zone("TZ", "Australia/Sydney");
    std::vector<int> expected;
    for (int y = 2007; y <= 2026; ++y) {
        expected.push_back(y);
    }
    EXPECT_EQ(DiaryYears(Utc("2025-06-15")), expected);
    // New Year's Eve in universal time is already the next year in Sydney.
    expected.push_back(2027);
    EXPECT_EQ(DiaryYears(Utc("2025-12-31 14:00:00")), expected);
    EXPECT_EQ(DiaryYears(Utc("2001-03-01")), std::vector<int>{2007});
}

TEST(DiarySelectors, FirstShowTheLocalMonthAndYear) {
    test::CScopedEnv zone("TZ", "Australia/Sydney");
    struct Case {
        const char* now;
        CDiaryMonth expected;
    };
    const Case cases[] = {
        {"2010-04-13 05:00:00", {4, 2010}},
        {"2010-12-31 14:00:00", {1, 2011}}, // already 2011 in Sydney
        {"2030-07-01", {7, 2030}},
        {"2005-03-10", {3, 2007}}, // a year the selector does not offer
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InitialDiaryMonth(Utc(c.now)), c.expected) << c.now;
    }
}

} // namespace
} // namespace strikeline
