#include "plan/PlanColumns.h"
#include "plan/PlanTestData.h"
#include "plan/TradingPlan.h"
#include "support/TempFolder.h"
#include "support/TestTimes.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

namespace C = PlanColumn;

// An <Entry> with only what a plan file must hold, and `extra` elements inside it.
std::string Entry(const std::string& extra = {}) {
    return "<Entry><CompanyID>BHP</CompanyID><ContractID>BHPXY9</ContractID>"
           "<AddToDiary1>false</AddToDiary1><AddToDiary2>false</AddToDiary2>"
           "<AddToDiary3>false</AddToDiary3><AddToDiary4>false</AddToDiary4>" +
           extra + "</Entry>";
}

class TradingPlanFile : public ::testing::Test {
protected:
    // Loads `entries` wrapped in <Entries>; returns the error text ("" on success).
    std::string Load(const std::string& entries) {
        test::WriteTextFile(m_Path, "<Entries>" + entries + "</Entries>");
        std::string error;
        const bool loaded = m_Plan.Load(m_Path, error);
        EXPECT_EQ(loaded, error.empty()) << error;
        return error;
    }

    test::CTempFolder m_Folder;
    std::string m_Path = m_Folder.File("tradingplan.xml");
    CTradingPlan m_Plan;
};

TEST_F(TradingPlanFile, EveryFieldRoundTrips) {
    CTradingPlanEntry full = test::SoldCall();
    full.m_RecordDate = test::Utc("2010-04-13 05:30:00");
    full.m_StartDate = test::Utc("2010-04-12 23:00:00");
    full.m_DateExpiry = test::Utc("2010-06-24");
    full.m_SharePrice = 10.123456;
    full.m_DividendsValue = 0.85;
    full.m_DividendsDate = test::Utc("2010-05-04 14:00:00");
    full.m_Trades = 12;
    full.m_AddToDiary = {true, false, true, false};
    full.SetCellColour(C::NEReturn, 3);
    full.SetCellColour("AddToDiary2", 1);
    CTradingPlanEntry empty; // shares and everything else never entered
    empty.m_CompanyID = "A&B <co>";
    empty.m_ContractID = "ABCQ1";
    empty.SetCellColour(C::FairPrice, 0);
    m_Plan.Append(full);
    m_Plan.Append(empty);
    std::string error;
    ASSERT_TRUE(m_Plan.Save(m_Path, &error)) << error;

    const std::string text = test::ReadTextFile(m_Path);
    EXPECT_EQ(text.find("<?xml"), std::string::npos);
    EXPECT_NE(text.find("<SharePrice>10.123456</SharePrice>"), std::string::npos);
    EXPECT_NE(text.find("<RecordDate>2010-04-13 05:30:00</RecordDate>"), std::string::npos);
    EXPECT_NE(text.find("<CellColorADXFairPrice>4</CellColorADXFairPrice>"), std::string::npos);
    EXPECT_NE(text.find("<CellColorNEReturn>3</CellColorNEReturn>"), std::string::npos);

    CTradingPlan loaded;
    ASSERT_TRUE(loaded.Load(m_Path, error)) << error;
    ASSERT_EQ(loaded.Count(), 2u);
    EXPECT_EQ(loaded.At(0), full);
    const CTradingPlanEntry& back = loaded.At(1);
    EXPECT_EQ(back.m_CompanyID, "A&B <co>");
    EXPECT_EQ(back.m_Shares, UNSET_VALUE);
    EXPECT_EQ(back.m_RecordDate, kNoDate);
    // A premium cell set back to no colour is not written, so it is cyan again.
    EXPECT_EQ(back.CellColour(C::FairPrice), 4);
}

TEST_F(TradingPlanFile, ColoursFromOlderFilesAndNamedColoursWin) {
    EXPECT_EQ(Load(Entry("<CellColor9>2</CellColor9><CellColor0>1</CellColor0>") +
                   Entry("<CellColor9>2</CellColor9><CellColorADXFairPrice>3"
                         "</CellColorADXFairPrice><CellColor22>7</CellColor22>")),
              "");
    ASSERT_EQ(m_Plan.Count(), 2u);
    EXPECT_EQ(m_Plan.At(0).CellColour(C::FairPrice), 2);
    EXPECT_EQ(m_Plan.At(0).CellColour(C::Company), 1);
    EXPECT_EQ(m_Plan.At(1).CellColour(C::FairPrice), 3);
    // Kept as read, shown as no highlight.
    EXPECT_EQ(m_Plan.At(1).CellColour(C::CloseAll), 7);
}

TEST_F(TradingPlanFile, AFaultyRowIsNamedAndLeftOutAndEveryOtherRowIsKept) {
    const std::string lead = "1 of the file's 3 rows could not be read and is left out of the "
                             "plan:\nRow 2";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<Entry><CompanyID>X</CompanyID><ContractID>Y</ContractID></Entry>",
         " (X Y): <AddToDiary1> tag not found"},
        {Entry("<SourceType>6</SourceType>"),
         " (BHP BHPXY9): Value \"6\" of element <SourceType> is out of range: should be [0..5]"},
        {"<Entry><ContractID>Y</ContractID></Entry>", " (Y): <CompanyID> tag not found"},
        {"<Entry/>", ": <CompanyID> tag not found"},
        {Entry("<Shares>2000000000.000000</Shares>"),
         " (BHP BHPXY9): Value \"2000000000.000000\" of element <Shares> is out of range: "
         "should be [-1000000000.000000..1000000000.000000]"},
        {Entry("<CellColorBEP>-1</CellColorBEP>"),
         " (BHP BHPXY9): Value \"-1\" of element <CellColorBEP> is out of range: should be "
         "[0..1000000000]"},
    };
    for (const auto& [bad, message] : cases) {
        EXPECT_EQ(Load(Entry("<Shares>1000</Shares>") + bad + Entry("<Shares>3</Shares>")),
                  lead + message);
        ASSERT_EQ(m_Plan.Count(), 2u) << message;
        EXPECT_EQ(m_Plan.At(0).m_Shares, 1000);
        EXPECT_EQ(m_Plan.At(1).m_Shares, 3);
    }
}

TEST_F(TradingPlanFile, EveryFaultyRowIsNamedInFileOrder) {
    EXPECT_EQ(Load("<Entry/>" + Entry() + Entry("<Trades>x</Trades>") + Entry()),
              "2 of the file's 4 rows could not be read and are left out of the plan:\n"
              "Row 1: <CompanyID> tag not found\n"
              "Row 3 (BHP BHPXY9): Unable to convert value \"x\" of element <Trades> to double");
    EXPECT_EQ(m_Plan.Count(), 2u);
    EXPECT_EQ(Load("<Entry/>"),
              "1 of the file's 1 row could not be read and is left out of the plan:\n"
              "Row 1: <CompanyID> tag not found");
    EXPECT_EQ(m_Plan.Count(), 0u);
}

// The reader refuses a figure outside its range; one that got into the plan some other
// way is left out of the file rather than make its row unreadable.
TEST_F(TradingPlanFile, AFigureTheReaderWouldRefuseIsNotWritten) {
    CTradingPlanEntry entry = test::SoldCall();
    entry.m_Shares = 2000000000;
    entry.m_DividendsValue = -1000000000.5;
    entry.m_SharePrice = 1000000000;
    m_Plan.Append(entry);
    std::string error;
    ASSERT_TRUE(m_Plan.Save(m_Path, &error)) << error;
    CTradingPlan loaded;
    ASSERT_TRUE(loaded.Load(m_Path, error)) << error;
    ASSERT_EQ(loaded.Count(), 1u);
    entry.m_Shares = UNSET_VALUE;
    entry.m_DividendsValue = UNSET_VALUE;
    EXPECT_EQ(loaded.At(0), entry);
}

TEST_F(TradingPlanFile, WholeFileFailures) {
    std::string error;
    EXPECT_FALSE(m_Plan.Load(m_Folder.File("missing.xml"), error));
    EXPECT_EQ(error, "File " + m_Folder.File("missing.xml") + " does not exist");

    test::WriteTextFile(m_Path, "<Plan/>");
    EXPECT_FALSE(m_Plan.Load(m_Path, error));
    EXPECT_EQ(error, "<Entries> tag not found");

    EXPECT_EQ(Load(""), "");
    EXPECT_EQ(m_Plan.Count(), 0u);
}

TEST_F(TradingPlanFile, SaveReplacesTheFileOnlyWhenItCan) {
    m_Plan.Append(test::SoldCall());
    std::string error;
    EXPECT_FALSE(m_Plan.Save(m_Folder.File("no/such/folder/tradingplan.xml"), &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace strikeline
