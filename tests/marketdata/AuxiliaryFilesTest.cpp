#include "marketdata/DividendsFileParser.h"
#include "marketdata/NameTableParser.h"
#include "support/TempFolder.h"
#include "support/TestTimes.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

constexpr auto Day = test::Utc;

TEST(DividendsFile, ReadsRecordsAfterTheHeader) {
    test::CTempFolder folder;
    const std::string path = folder.File("dividends.csv");
    test::WriteTextFile(path, "anything at all, even 1,2,3,4,5,6\r\n"
                              "BHP,20091103,x,0.47abc,y,z\r\n"
                              "\r\n"
                              "  \r\n"
                              "cba,,20100228extra,,a, 1.5,b,c\n"
                              "NAB,20100301,x,1e-1,y,z");
    std::vector<CDividend> entries;
    std::string error;
    ASSERT_TRUE(ParseDividendsFile(entries, path, error)) << error;
    const std::vector<CDividend> expected = {
        {"BHP", Day("2009-11-03"), 0.47},
        {"cba", Day("2010-02-28"), 1.5},
        {"NAB", Day("2010-03-01"), 0.1},
    };
    EXPECT_EQ(entries, expected);

    test::WriteTextFile(path, "Code,Date,Type,Amount,Franking,Currency\n");
    ASSERT_TRUE(ParseDividendsFile(entries, path, error));
    EXPECT_TRUE(entries.empty());
}

// The fifth field is the franking percentage; one that is not a number from 0 to 100
// counts as unfranked and never refuses the line.
TEST(DividendsFile, ReadsTheFrankingPercentage) {
    test::CTempFolder folder;
    const std::string path = folder.File("dividends.csv");
    test::WriteTextFile(path, "Code,ExDate,Type,Amount,Franking,PayDate\n"
                              "AAA,20100301,Final,0.5,100,20100320\n"
                              "BBB,20100301,Final,0.5,75.5,20100320\n"
                              "CCC,20100301,Final,0.5,0,20100320\n"
                              "DDD,20100301,Final,0.5,150,20100320\n"
                              "EEE,20100301,Final,0.5,-5,20100320\n"
                              "FFF,20100301,Final,0.5,full,20100320\n");
    std::vector<CDividend> entries;
    std::string error;
    ASSERT_TRUE(ParseDividendsFile(entries, path, error)) << error;
    const std::vector<double> expected = {100, 75.5, 0, 0, 0, 0};
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(entries[i].franking, expected[i]) << entries[i].code;
        EXPECT_EQ(entries[i].amount, 0.5);
    }
}

TEST(DividendsFile, StopsAtTheFirstBadLine) {
    struct Case {
        const char* line;
    };
    const Case cases[] = {
        {"BHP,20091103,x,,y,z"},      // the empty amount makes five fields
        {"BHP,20091103,x,0.5,y"},     // five
        {"BHP,20091103,x,0.5,y,z,w"}, // seven
        {"BHP,2009113,x,0.5,y,z"},    // seven digits
        {"BHP,20091131,x,0.5,y,z"},   // 31 November
        {"BHP,2009ab03,x,0.5,y,z"},   // not digits
        {"BHP,20091103,x,abc,y,z"},   // no number
        {" ,20091103,x,0.5,y,z"},     // blank code
    };
    test::CTempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string path = folder.File("dividends.csv");
        test::WriteTextFile(path, std::string("header\nRIO,20091103,x,1,y,z\n") + c.line +
                                      "\nNAB,20091103,x,1,y,z\n");
        std::vector<CDividend> entries;
        std::string error;
        EXPECT_FALSE(ParseDividendsFile(entries, path, error));
        EXPECT_EQ(error, "Unexpected data at line 3");
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].code, "RIO");
    }
    std::vector<CDividend> entries;
    std::string error;
    EXPECT_FALSE(ParseDividendsFile(entries, folder.File("none.csv"), error));
    EXPECT_EQ(error, "Unable to open file");
}

TEST(NameTable, ReadsPairsWithTheirTolerance) {
    test::CTempFolder folder;
    const std::string path = folder.File("companyname.txt");
    test::WriteTextFile(path, "'BHP'='BHP Group Limited'\r\n"
                              "\n"
                              "   ' cba '  =  ' Commonwealth Bank '   trailing text\n"
                              "'NAB' = 'National Australia Bank\n"
                              "'bhp' = 'Second name'\n"
                              "'X'='It''s'\n");
    CCompanyNameTable table;
    std::string error;
    ASSERT_TRUE(ParseNameTable(table, path, error)) << error;
    ASSERT_EQ(table.GetCount(), 5u);
    EXPECT_EQ(table.GetCodeAt(1), "CBA");
    EXPECT_EQ(table.GetNameAt(1), "Commonwealth Bank");
    EXPECT_EQ(table.GetName("cba"), "Commonwealth Bank");
    EXPECT_EQ(table.GetName("NAB"), "National Australia Bank")
        << "closing quote missing: up to the end";
    EXPECT_EQ(table.GetName("Bhp"), "BHP Group Limited") << "the first name for a code wins";
    EXPECT_EQ(table.GetCodeAt(3), "BHP");
    EXPECT_EQ(table.GetNameAt(3), "Second name") << "duplicates stay in the arrays";
    EXPECT_EQ(table.GetName("X"), "It");
    EXPECT_EQ(table.GetName("WBC"), "");
    EXPECT_EQ(table.GetCodeAt(99), "");
    EXPECT_EQ(table.GetNameAt(99), "");
}

TEST(NameTable, StopsAtTheFirstBadLine) {
    const char* cases[] = {
        "BHP = 'BHP Group'", // no opening quote of the code
        "'BHP = BHP Group",  // no closing quote of the code
        "'BHP' 'BHP Group'", // no equals sign
        "'BHP' = BHP Group", // no opening quote of the name
        "'BHP' =",           // nothing after the equals sign
    };
    test::CTempFolder folder;
    for (const char* line : cases) {
        SCOPED_TRACE(line);
        const std::string path = folder.File("top20.txt");
        test::WriteTextFile(path,
                            std::string("'RIO' = 'Rio Tinto'\n\n") + line + "\n'NAB' = 'NAB'\n");
        CCompanyNameTable table;
        table.Add("OLD", "old");
        std::string error;
        EXPECT_FALSE(ParseNameTable(table, path, error));
        EXPECT_EQ(error, "Unexpected data at line 3");
        ASSERT_EQ(table.GetCount(), 1u);
        EXPECT_EQ(table.GetName("RIO"), "Rio Tinto");
    }
}

} // namespace
} // namespace strikeline
