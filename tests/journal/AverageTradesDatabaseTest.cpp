#include "journal/AverageTradesDatabase.h"

#include "storage/NumberText.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

std::string Item(const std::string& code, const std::string& value) {
    return "<Entry><CompanyID>" + code + "</CompanyID><Value>" + value + "</Value></Entry>";
}

TEST(AverageTradesDatabase, LooksUpAndSetsByUpperCasedCode) {
    CAverageTradesDatabase averages;
    EXPECT_FALSE(averages.Lookup("bhp").has_value());
    averages.Set("bhp", 12);
    EXPECT_EQ(averages.Lookup("BHP"), 12.0);
    EXPECT_EQ(averages.Lookup("Bhp"), 12.0);
    averages.Set("BHP", 3.5);
    EXPECT_EQ(averages.Lookup("bhp"), 3.5);
    EXPECT_EQ(averages.Items().size(), 1u);
    EXPECT_EQ(averages.Items().begin()->first, "BHP");
    averages.Clear();
    EXPECT_TRUE(averages.Items().empty());
}

TEST(AverageTradesDatabase, WritesInCodeOrderWithoutClearedFiguresAndReadsBack) {
    test::CTempFolder folder;
    const std::string path = folder.File("averagetrades.xml");
    CAverageTradesDatabase averages;
    averages.Set("nab", 0);
    averages.Set("BHP", 12.5);
    averages.Set("cba", UNSET_VALUE); // a cleared cell
    averages.Set("RIO", 1000000000);
    std::string error;
    ASSERT_TRUE(averages.Save(path, &error)) << error;
    EXPECT_EQ(test::ReadTextFile(path), "<Entries>\n"
                                        "    <Entry>\n"
                                        "        <CompanyID>BHP</CompanyID>\n"
                                        "        <Value>12.500000</Value>\n"
                                        "    </Entry>\n"
                                        "    <Entry>\n"
                                        "        <CompanyID>NAB</CompanyID>\n"
                                        "        <Value>0.000000</Value>\n"
                                        "    </Entry>\n"
                                        "    <Entry>\n"
                                        "        <CompanyID>RIO</CompanyID>\n"
                                        "        <Value>1000000000.000000</Value>\n"
                                        "    </Entry>\n"
                                        "</Entries>\n");

    CAverageTradesDatabase loaded;
    ASSERT_TRUE(loaded.Load(path, error)) << error;
    const std::map<std::string, double> expected = {
        {"BHP", 12.5}, {"NAB", 0.0}, {"RIO", 1000000000.0}};
    EXPECT_EQ(loaded.Items(), expected);
}

TEST(AverageTradesDatabase, LeavesOutFiguresItsReaderWouldRefuse) {
    test::CTempFolder folder;
    const std::string path = folder.File("averagetrades.xml");
    CAverageTradesDatabase averages;
    averages.Set("AAA", -1);
    averages.Set("BBB", 2e9);
    averages.Set("CCC", NA_VALUE);
    averages.Set("DDD", 7);
    ASSERT_TRUE(averages.Save(path));
    CAverageTradesDatabase loaded;
    std::string error;
    ASSERT_TRUE(loaded.Load(path, error)) << error;
    EXPECT_EQ(loaded.Items(), (std::map<std::string, double>{{"DDD", 7.0}}));
}

TEST(AverageTradesDatabase, ALaterItemOfTheSameCodeWins) {
    test::CTempFolder folder;
    const std::string path = folder.File("averagetrades.xml");
    test::WriteTextFile(path, "<Entries>" + Item("abc", "1") + Item("XYZ", "2") + Item("ABC", "3") +
                                  "</Entries>");
    CAverageTradesDatabase averages;
    std::string error;
    ASSERT_TRUE(averages.Load(path, error)) << error;
    EXPECT_EQ(averages.Items(), (std::map<std::string, double>{{"ABC", 3.0}, {"XYZ", 2.0}}));
}

TEST(AverageTradesDatabase, StopsAtTheFirstBadItemAndKeepsTheOnesBefore) {
    struct Case {
        std::string item;
        std::string error;
    };
    const Case cases[] = {
        {Item("BAD", "-1"), "Value \"-1\" of element <Value> is out of range: should be "
                            "[0.000000..1000000000.000000]"},
        {Item("BAD", "1000000001"), "Value \"1000000001\" of element <Value> is out of range: "
                                    "should be [0.000000..1000000000.000000]"},
        {Item("BAD", "abc"), "Unable to convert value \"abc\" of element <Value> to double"},
        {Item("", "5"), "<CompanyID> element holds no company code"},
        {Item("  ", "5"), "<CompanyID> element holds no company code"},
        {"<Entry><Value>5</Value></Entry>", "<CompanyID> tag not found"},
        {"<Entry><CompanyID>BAD</CompanyID></Entry>", "<Value> tag not found"},
    };
    test::CTempFolder folder;
    const std::string path = folder.File("averagetrades.xml");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        test::WriteTextFile(path, "<Entries>" + Item("bhp", "0") + c.item + Item("NAB", "4") +
                                      "</Entries>");
        CAverageTradesDatabase averages;
        averages.Set("OLD", 1);
        std::string error = "not cleared";
        EXPECT_FALSE(averages.Load(path, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(averages.Items(), (std::map<std::string, double>{{"BHP", 0.0}}));
    }
}

TEST(AverageTradesDatabase, FailsOnAMissingFileAndAWrongRoot) {
    test::CTempFolder folder;
    const std::string path = folder.File("averagetrades.xml");
    CAverageTradesDatabase averages;
    averages.Set("OLD", 1);
    std::string error;
    EXPECT_FALSE(averages.Load(path, error));
    EXPECT_EQ(error, "File " + path + " does not exist");
    EXPECT_TRUE(averages.Items().empty());

    test::WriteTextFile(path, "<Averages>" + Item("BHP", "1") + "</Averages>");
    EXPECT_FALSE(averages.Load(path, error));
    EXPECT_EQ(error, "<Entries> tag not found");

    test::WriteTextFile(path, "<Entries/>");
    EXPECT_TRUE(averages.Load(path, error)) << error;
    EXPECT_TRUE(averages.Items().empty());
}

} // namespace
} // namespace strikeline
