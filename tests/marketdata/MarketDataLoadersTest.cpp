#include "marketdata/MarketDataLoaders.h"

#include "marketdata/LineReader.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <memory>

namespace strikeline {
namespace {

// Keeps what the loaders tell the windows.
class CRecordingNotifier : public CNotifier {
public:
    void RequestRefresh(RefreshKind kind) override { refreshes.push_back(kind); }
    void StatusChanged() override { ++statusChanges; }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        messages.push_back(text);
        icons.push_back(icon);
    }

    std::vector<RefreshKind> refreshes;
    std::vector<std::string> messages;
    std::vector<MessageIcon> icons;
    int statusChanges = 0;
};

TEST(MarketDataLoaders, AbsentFilesChangeNothing) {
    test::CTempFolder folder;
    CRecordingNotifier notifier;
    CCompanyList calls;
    calls.Replace({CCompanyInfo()});
    CDividendList dividends;
    CSharedNameTable names;
    EXPECT_TRUE(LoadOptionFile(true, folder.Path().string(), calls, notifier));
    EXPECT_TRUE(LoadDividendsFile(folder.Path().string(), dividends, notifier));
    EXPECT_TRUE(LoadCompanyNamesFile(folder.Path().string(), names, notifier));
    EXPECT_TRUE(LoadTop20File(folder.Path().string(), names, notifier));
    EXPECT_EQ(calls.Copy().size(), 1u);
    EXPECT_TRUE(notifier.refreshes.empty());
    EXPECT_TRUE(notifier.messages.empty());
}

TEST(MarketDataLoaders, GoodFilesReplaceTheListsAndAskForRefreshes) {
    test::CTempFolder folder;
    const std::string dir = folder.Path().string();
    test::WriteTextFile(folder.File("put.csv"),
                        "Code,Last,\"$ +/-\",bid,offer,open,high,low,volume,eps\n"
                        "BHP,10,0,0,0,0,0,0,0,0\n");
    test::WriteTextFile(folder.File("dividends.csv"), "h\nBHP,20091103,x,0.5,y,z\n");
    test::WriteTextFile(folder.File("companyname.txt"), "'BHP' = 'BHP Group'\n");
    test::WriteTextFile(folder.File("top20.txt"), "'CBA' = 'Commonwealth Bank'\n");
    CRecordingNotifier notifier;
    CCompanyList puts;
    CDividendList dividends;
    CSharedNameTable names;
    CSharedNameTable top20;
    EXPECT_TRUE(LoadOptionFile(false, dir, puts, notifier));
    EXPECT_TRUE(LoadDividendsFile(dir, dividends, notifier));
    EXPECT_TRUE(LoadCompanyNamesFile(dir, names, notifier));
    EXPECT_TRUE(LoadTop20File(dir, top20, notifier));
    ASSERT_EQ(puts.Copy().size(), 1u);
    EXPECT_FALSE(puts.Copy()[0].IsCall());
    EXPECT_EQ(dividends.Copy().size(), 1u);
    EXPECT_EQ(names.Get()->GetName("bhp"), "BHP Group");
    EXPECT_EQ(top20.Get()->GetName("CBA"), "Commonwealth Bank");
    EXPECT_EQ(notifier.refreshes,
              (std::vector<RefreshKind>{RefreshKind::PutReport, RefreshKind::Dividends}));
    EXPECT_TRUE(notifier.messages.empty());
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
    CRecordingNotifier notifier;
    CCompanyList calls;
    CDividendList dividends;
    dividends.Replace({{"OLD", 0, 1}});
    CSharedNameTable names;
    CSharedNameTable top20;
    EXPECT_FALSE(LoadOptionFile(true, dir, calls, notifier));
    EXPECT_FALSE(LoadDividendsFile(dir, dividends, notifier));
    EXPECT_FALSE(LoadCompanyNamesFile(dir, names, notifier));
    EXPECT_FALSE(LoadTop20File(dir, top20, notifier));

    EXPECT_EQ(calls.Copy().size(), 1u) << "the company before the bad line stays";
    EXPECT_TRUE(dividends.Copy().empty()) << "the old list is gone";
    EXPECT_EQ(names.Get()->GetCount(), 1u);
    const std::vector<std::string> expected = {
        "Error when parsing .csv file " + folder.File("call.csv") +
            ".\n\nUnexpected data at line 3",
        "Error when parsing .csv file " + folder.File("dividends.csv") +
            ".\n\nUnexpected data at line 2",
        "Error when parsing .csv file " + folder.File("companyname.txt") +
            ".\n\nUnexpected data at line 2",
        "Error when parsing file " + folder.File("top20.txt") + ".\n\nUnexpected data at line 1",
    };
    EXPECT_EQ(notifier.messages, expected);
    EXPECT_EQ(notifier.icons, std::vector<MessageIcon>(4, MessageIcon::Exclamation));
    EXPECT_EQ(notifier.refreshes,
              (std::vector<RefreshKind>{RefreshKind::CallReport, RefreshKind::Dividends}))
        << "a refresh whether or not the parse succeeded";
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
