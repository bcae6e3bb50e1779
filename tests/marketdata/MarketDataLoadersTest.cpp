#include "marketdata/MarketDataLoaders.h"

#include "marketdata/LineReader.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace strikeline {
namespace {

TEST(MarketDataLoaders, AbsentFilesChangeNothing) {
    test::CTempFolder folder;
    const std::string dir = folder.Path().string();
    CMarketData market;
    market.PublishCalls({CCompanyInfo()});
    const auto before = market.Current();
    for (const CMarketFileLoad& load :
         {LoadOptionFile(true, dir, market), LoadDividendsFile(dir, market),
          LoadCompanyNamesFile(dir, market), LoadTop20File(dir, market)}) {
        EXPECT_FALSE(load.published);
        EXPECT_FALSE(load.problem);
    }
    EXPECT_EQ(market.Current(), before) << "no new market was published";
    EXPECT_EQ(market.Current()->Calls().size(), 1u);
}

TEST(MarketDataLoaders, GoodFilesArePublishedAsTheirParts) {
    test::CTempFolder folder;
    const std::string dir = folder.Path().string();
    test::WriteTextFile(folder.File("put.csv"),
                        "Code,Last,\"$ +/-\",bid,offer,open,high,low,volume,eps\n"
                        "BHP,10,0,0,0,0,0,0,0,0\n");
    test::WriteTextFile(folder.File("dividends.csv"), "h\nBHP,20091103,x,0.5,y,z\n");
    test::WriteTextFile(folder.File("companyname.txt"), "'BHP' = 'BHP Group'\n");
    test::WriteTextFile(folder.File("top20.txt"), "'CBA' = 'Commonwealth Bank'\n");
    CMarketData market;
    for (const CMarketFileLoad& load :
         {LoadOptionFile(false, dir, market), LoadDividendsFile(dir, market),
          LoadCompanyNamesFile(dir, market), LoadTop20File(dir, market)}) {
        EXPECT_TRUE(load.published);
        EXPECT_FALSE(load.problem);
    }
    const auto snapshot = market.Current();
    ASSERT_EQ(snapshot->Puts().size(), 1u);
    EXPECT_FALSE(snapshot->Puts()[0].IsCall());
    EXPECT_TRUE(snapshot->Calls().empty());
    EXPECT_EQ(snapshot->Dividends().size(), 1u);
    EXPECT_EQ(snapshot->CompanyNames().GetName("bhp"), "BHP Group");
    EXPECT_EQ(snapshot->Top20().GetName("CBA"), "Commonwealth Bank");
}

TEST(MarketDataLoaders, BadFilesKeepWhatWasReadAndSayWhere) {
    test::CTempFolder folder;
    const std::string dir = folder.Path().string();
    test::WriteTextFile(folder.File("call.csv"),
                        "Code,Last,\"$ +/-\",bid,offer,open,high,low,volume,eps\n"
                        "BHP,10,0,0,0,0,0,0,0,0\n"
                        "garbage\n");
    test::WriteTextFile(folder.File("dividends.csv"), "h\nBHP,2009,x,0.5,y,z\n");
    test::WriteTextFile(folder.File("companyname.txt"), "'A' = 'a'\nbroken\n");
    test::WriteTextFile(folder.File("top20.txt"), "broken\n");
    CMarketData market;
    market.PublishDividends({{"OLD", 0, 1}});
    std::vector<std::string> problems;
    for (const CMarketFileLoad& load :
         {LoadOptionFile(true, dir, market), LoadDividendsFile(dir, market),
          LoadCompanyNamesFile(dir, market), LoadTop20File(dir, market)}) {
        EXPECT_TRUE(load.published) << "what was read before the fault is published";
        ASSERT_TRUE(load.problem);
        problems.push_back(*load.problem);
    }

    const auto snapshot = market.Current();
    EXPECT_EQ(snapshot->Calls().size(), 1u) << "the company before the bad line stays";
    EXPECT_TRUE(snapshot->Dividends().empty()) << "the old list is gone";
    EXPECT_EQ(snapshot->CompanyNames().GetCount(), 1u);
    const std::vector<std::string> expected = {
        "Error when parsing .csv file " + folder.File("call.csv") +
            ".\n\nUnexpected data at line 3",
        "Error when parsing .csv file " + folder.File("dividends.csv") +
            ".\n\nUnexpected data at line 2",
        "Error when parsing .csv file " + folder.File("companyname.txt") +
            ".\n\nUnexpected data at line 2",
        "Error when parsing file " + folder.File("top20.txt") + ".\n\nUnexpected data at line 1",
    };
    EXPECT_EQ(problems, expected);
}

TEST(LineReader, CutsLinesAndKeepsMemoryBounded) {
    test::CTempFolder folder;
    const std::string path = folder.File("lines.txt");
    // A line far longer than the read buffer, one with a CR in the middle, an empty
    // line, and a last line without its LF.
    test::WriteTextFile(path, std::string(3'000'000, 'x') + "\nab\rcd\n\nend");
    const CFileHandle file(std::fopen(path.c_str(), "rb"));
    ASSERT_TRUE(file);
    CLineReader reader(file.get());
    std::string_view line;
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, std::string(1023, 'x'));
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "ab");
    EXPECT_EQ(reader.LineNumber(), 2u);
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "end");
    EXPECT_EQ(reader.LineNumber(), 4u);
    EXPECT_FALSE(reader.Next(line));
    EXPECT_FALSE(reader.Failed());
}

} // namespace
} // namespace strikeline
