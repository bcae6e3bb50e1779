#include "storage/RecordListFile.h"

#include "storage/XmlRecords.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

struct Trade {
    std::string code;
    std::int32_t shares = 0;
    FileTime closed = kNoDate;
    bool operator==(const Trade&) const = default;
};

bool ReadTrade(pugi::xml_node entry, std::vector<Trade>& trades, std::string& error) {
    Trade trade;
    if (!GetText(entry, "Code", trade.code, &error) ||
        !GetInt(entry, "Shares", 0, 1000000, trade.shares, &error) ||
        !GetDateTime(entry, "CloseTime", kNoDate, trade.closed, &error)) {
        return false;
    }
    trades.push_back(trade);
    return true;
}

bool Load(const std::string& path, std::vector<Trade>& trades, std::string& error) {
    trades.clear();
    return LoadRecordListFile(
        path,
        [&](pugi::xml_node entry, std::string& fault) { return ReadTrade(entry, trades, fault); },
        error);
}

TEST(RecordListFile, RecordsRoundTripInOrderWithUnsetDates) {
    test::CTempFolder folder;
    const std::string path = folder.File("trades.xml");
    const std::vector<Trade> trades = {
        {"BHP", 1000, FileTimeFromUnix(1257206400)},
        {"R&D <Co>", 5, kNoDate},
    };
    ASSERT_TRUE(SaveRecordListFile(path, trades.size(), [&](pugi::xml_node entry, std::size_t i) {
        AddTextElement(entry, "Code", trades[i].code);
        AddInt(entry, "Shares", trades[i].shares);
        AddDateTime(entry, "CloseTime", trades[i].closed);
    }));
    EXPECT_EQ(test::ReadTextFile(path), "<Entries>\n"
                                        "    <Entry>\n"
                                        "        <Code>BHP</Code>\n"
                                        "        <Shares>1000</Shares>\n"
                                        "        <CloseTime>2009-11-03 00:00:00</CloseTime>\n"
                                        "    </Entry>\n"
                                        "    <Entry>\n"
                                        "        <Code>R&amp;D &lt;Co&gt;</Code>\n"
                                        "        <Shares>5</Shares>\n"
                                        "        <CloseTime>0000-01-00 00:00:00</CloseTime>\n"
                                        "    </Entry>\n"
                                        "</Entries>\n");
    std::vector<Trade> read;
    std::string error;
    ASSERT_TRUE(Load(path, read, error)) << error;
    EXPECT_EQ(read, trades);
}

TEST(RecordListFile, FailuresNameTheirCause) {
    test::CTempFolder folder;
    struct Case {
        const char* name;
        const char* text;
        std::string error;
        std::size_t kept;
    };
    const Case cases[] = {
        {"noEntries", "<Records/>", "<Entries> tag not found", 0},
        {"badField",
         "<Entries><Entry><Code>A</Code><Shares>1</Shares></Entry><Note/>"
         "<Entry><Code>B</Code><Shares>1.5</Shares></Entry><Entry><Code>C</Code><Shares>1</"
         "Shares></Entry></Entries>",
         "Unable to convert value \"1.5\" of element <Shares> to integer", 1},
        {"missingField", "<Entries><Entry><Shares>1</Shares></Entry></Entries>",
         "<Code> tag not found", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.File(c.name);
        test::WriteTextFile(path, c.text);
        std::vector<Trade> read;
        std::string error;
        EXPECT_FALSE(Load(path, read, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(read.size(), c.kept);
    }
    std::vector<Trade> read;
    std::string error;
    EXPECT_FALSE(Load(folder.File("absent.xml"), read, error));
    EXPECT_EQ(error, "File " + folder.File("absent.xml") + " does not exist");
}

TEST(RecordListFile, OnlyTheFirstEntriesElementCounts) {
    test::CTempFolder folder;
    const std::string path = folder.File("two.xml");
    test::WriteTextFile(
        path, "<!-- note --><Entries><Entry><Code>A</Code><Shares>2</Shares></Entry></Entries>"
              "<Entries><Entry><Code>B</Code><Shares>3</Shares></Entry></Entries>");
    std::vector<Trade> read;
    std::string error;
    ASSERT_TRUE(Load(path, read, error)) << error;
    EXPECT_EQ(read, (std::vector<Trade>{{"A", 2, kNoDate}}));
}

} // namespace
} // namespace strikeline
