#include "journal/DiaryDatabase.h"

#include "support/TempFolder.h"
#include "support/TestTimes.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

using test::Utc;

// An entry with every field given.
CDiaryEntry FullEntry() {
    CDiaryEntry entry;
    entry.m_StartDate = Utc("2010-04-13 05:30:00");
    entry.m_CloseDate = Utc("2010-05-20 06:00:00");
    entry.m_CompanyID = "BHP";
    entry.m_ContractID = "BHPZL9";
    entry.m_DateExpiry = Utc("2010-06-24");
    entry.m_Shares = 1000;
    entry.m_Contracts = 1;
    entry.m_SharePrice = 42.5;
    entry.m_Cost = 42500;
    entry.m_Brokerage = 29.95;
    entry.m_StrikePrice = 44;
    entry.m_Premium = 0.87;
    entry.m_NEBrokerage = 10;
    entry.m_NEProfit = 830.05;
    entry.m_NEReturn = 1.953;
    entry.m_EBrokerage = 12.5;
    entry.m_EProfit = 2317.55;
    entry.m_EReturn = -5.25;
    entry.m_DividendsValue = 0.47;
    entry.m_DividendsDate = Utc("2010-05-03");
    return entry;
}

// An entry with the required fields only.
CDiaryEntry BareEntry(const std::string& contract, FileTime start) {
    CDiaryEntry entry;
    entry.m_StartDate = start;
    entry.m_CompanyID = contract.substr(0, 3);
    entry.m_ContractID = contract;
    return entry;
}

std::string EntryXml(const std::string& fields) {
    return "<Entry>" + fields + "</Entry>";
}

const std::string kGoodFields = "<StartDate>2010-04-13 05:30:00</StartDate>"
                                "<CompanyID>BHP</CompanyID><ContractID>BHPZL9</ContractID>";

TEST(DiaryEntry, StartsWithNoDatesNoCodesAndUnsetFigures) {
    const CDiaryEntry entry;
    EXPECT_EQ(entry.m_StartDate, kNoDate);
    EXPECT_EQ(entry.m_CloseDate, kNoDate);
    EXPECT_EQ(entry.m_DateExpiry, kNoDate);
    EXPECT_EQ(entry.m_DividendsDate, kNoDate);
    EXPECT_TRUE(entry.m_CompanyID.empty());
    EXPECT_TRUE(entry.m_ContractID.empty());
    for (const CDiaryNumberField& field : kDiaryNumberFields) {
        EXPECT_EQ(entry.*field.member, UNSET_VALUE) << field.name;
    }
}

TEST(DiaryEntry, NetProfitIsNotExercisedThenExercisedThenNothing) {
    struct Case {
        double neProfit;
        double eProfit;
        double expected;
    };
    const Case cases[] = {
        {120.5, 250, 120.5},  {UNSET_VALUE, 250, 250},
        {NA_VALUE, -30, -30}, {UNSET_VALUE, NA_VALUE, 0},
        {0, 250, 0},
    };
    for (const Case& c : cases) {
        CDiaryEntry entry;
        entry.m_NEProfit = c.neProfit;
        entry.m_EProfit = c.eProfit;
        EXPECT_EQ(DiaryNetProfit(entry), c.expected) << c.neProfit << " " << c.eProfit;
    }
}

TEST(DiaryDatabase, WritesEveryFieldInOrderAndReadsItBack) {
    test::CTempFolder folder;
    const std::string path = folder.File("diary.xml");
    CDiaryDatabase diary;
    diary.AddEntry(FullEntry());
    diary.AddEntry(BareEntry("NABXK8", Utc("2010-01-02 03:04:05")));
    std::string error;
    ASSERT_TRUE(diary.Save(path, &error)) << error;

    EXPECT_EQ(test::ReadTextFile(path),
              "<Entries>\n"
              "    <Entry>\n"
              "        <StartDate>2010-04-13 05:30:00</StartDate>\n"
              "        <CloseDate>2010-05-20 06:00:00</CloseDate>\n"
              "        <CompanyID>BHP</CompanyID>\n"
              "        <ContractID>BHPZL9</ContractID>\n"
              "        <DateExpiry>2010-06-24 00:00:00</DateExpiry>\n"
              "        <Shares>1000.000000</Shares>\n"
              "        <Contracts>1.000000</Contracts>\n"
              "        <SharePrice>42.500000</SharePrice>\n"
              "        <Cost>42500.000000</Cost>\n"
              "        <Brokerage>29.950000</Brokerage>\n"
              "        <StrikePrice>44.000000</StrikePrice>\n"
              "        <Premium>0.870000</Premium>\n"
              "        <NEBrokerage>10.000000</NEBrokerage>\n"
              "        <NEProfit>830.050000</NEProfit>\n"
              "        <NEReturn>1.953000</NEReturn>\n"
              "        <EBrokerage>12.500000</EBrokerage>\n"
              "        <EProfit>2317.550000</EProfit>\n"
              "        <EReturn>-5.250000</EReturn>\n"
              "        <DividendsValue>0.470000</DividendsValue>\n"
              "        <DividendsDate>2010-05-03 00:00:00</DividendsDate>\n"
              "    </Entry>\n"
              "    <Entry>\n"
              "        <StartDate>2010-01-02 03:04:05</StartDate>\n"
              "        <CompanyID>NAB</CompanyID>\n"
              "        <ContractID>NABXK8</ContractID>\n"
              "    </Entry>\n"
              "</Entries>\n");

    CDiaryDatabase loaded;
    ASSERT_TRUE(loaded.Load(path, error)) << error;
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(loaded.Entries(), diary.Entries());
}

TEST(DiaryDatabase, MarkersAreNeverWrittenAndReadBackUnset) {
    test::CTempFolder folder;
    const std::string path = folder.File("diary.xml");
    CDiaryDatabase diary;
    CDiaryEntry entry = BareEntry("BHPZL9", Utc("2010-04-13"));
    entry.m_NEProfit = 50;
    entry.m_NEReturn = NA_VALUE;
    entry.m_EProfit = NA_VALUE;
    entry.m_EReturn = UNSET_VALUE;
    diary.AddEntry(entry);
    ASSERT_TRUE(diary.Save(path));

    const std::string text = test::ReadTextFile(path);
    EXPECT_NE(text.find("<NEProfit>50.000000</NEProfit>"), std::string::npos) << text;
    EXPECT_EQ(text.find("<NEReturn>"), std::string::npos) << text;
    EXPECT_EQ(text.find("<EProfit>"), std::string::npos) << text;
    EXPECT_EQ(text.find("<EReturn>"), std::string::npos) << text;

    std::string error;
    ASSERT_TRUE(diary.Load(path, error)) << error;
    ASSERT_EQ(diary.Entries().size(), 1u);
    EXPECT_EQ(diary.Entries()[0].m_NEProfit, 50);
    EXPECT_EQ(diary.Entries()[0].m_NEReturn, UNSET_VALUE);
    EXPECT_EQ(diary.Entries()[0].m_EProfit, UNSET_VALUE);
}

TEST(DiaryDatabase, LeavesOutFiguresItsReaderWouldRefuse) {
    // A figure outside the file's range would make every later entry unreadable.
    test::CTempFolder folder;
    const std::string path = folder.File("diary.xml");
    CDiaryDatabase diary;
    CDiaryEntry first = BareEntry("BHPZL9", Utc("2010-04-13"));
    first.m_Cost = 5e9;
    first.m_Shares = -1000000000.0 - 0.5;
    first.m_Premium = 1000000000.0;
    diary.AddEntry(first);
    diary.AddEntry(BareEntry("NABXK8", Utc("2010-04-14")));
    ASSERT_TRUE(diary.Save(path));

    CDiaryDatabase loaded;
    std::string error;
    ASSERT_TRUE(loaded.Load(path, error)) << error;
    ASSERT_EQ(loaded.Entries().size(), 2u);
    EXPECT_EQ(loaded.Entries()[0].m_Cost, UNSET_VALUE);
    EXPECT_EQ(loaded.Entries()[0].m_Shares, UNSET_VALUE);
    EXPECT_EQ(loaded.Entries()[0].m_Premium, 1000000000.0);
}

TEST(DiaryDatabase, ReadsAnEmptyDiaryAndOptionalFieldsAsInitialValues) {
    test::CTempFolder folder;
    const std::string path = folder.File("diary.xml");
    CDiaryDatabase diary;
    std::string error;

    test::WriteTextFile(path, "<Entries/>");
    ASSERT_TRUE(diary.Load(path, error)) << error;
    EXPECT_TRUE(diary.Entries().empty());

    test::WriteTextFile(path, "<Entries>" + EntryXml(kGoodFields) + "<Other/></Entries>");
    ASSERT_TRUE(diary.Load(path, error)) << error;
    ASSERT_EQ(diary.Entries().size(), 1u);
    CDiaryEntry expected = BareEntry("BHPZL9", Utc("2010-04-13 05:30:00"));
    EXPECT_EQ(diary.Entries()[0], expected);
}

TEST(DiaryDatabase, AcceptsTheFullRangeOfFiguresAndTheOtherDateForms) {
    test::CTempFolder folder;
    const std::string path = folder.File("diary.xml");
    test::WriteTextFile(path, "<Entries>" +
                                  EntryXml(kGoodFields + "<DateExpiry>24-Jun-2010</DateExpiry>"
                                                         "<Shares>-1000000000</Shares>"
                                                         "<Cost>1e9</Cost>") +
                                  "</Entries>");
    CDiaryDatabase diary;
    std::string error;
    ASSERT_TRUE(diary.Load(path, error)) << error;
    ASSERT_EQ(diary.Entries().size(), 1u);
    EXPECT_EQ(diary.Entries()[0].m_DateExpiry, Utc("2010-06-24"));
    EXPECT_EQ(diary.Entries()[0].m_Shares, -1000000000.0);
    EXPECT_EQ(diary.Entries()[0].m_Cost, 1000000000.0);
}

TEST(DiaryDatabase, StopsAtTheFirstBadEntryAndKeepsTheOnesBefore) {
    const std::string range = "-1000000000.000000..1000000000.000000";
    struct Case {
        std::string badEntry;
        std::string error;
    };
    const Case cases[] = {
        {EntryXml("<CompanyID>BHP</CompanyID><ContractID>BHPZL9</ContractID>"),
         "<StartDate> tag not found"},
        {EntryXml("<StartDate>2010-04-13 05:30:00</StartDate><ContractID>X</ContractID>"),
         "<CompanyID> tag not found"},
        {EntryXml("<StartDate>2010-04-13 05:30:00</StartDate><CompanyID>X</CompanyID>"),
         "<ContractID> tag not found"},
        {EntryXml(kGoodFields + "<Shares>-1000000001</Shares>"),
         "Value \"-1000000001\" of element <Shares> is out of range: should be [" + range + "]"},
        {EntryXml(kGoodFields + "<Cost>1e10</Cost>"),
         "Value \"1e10\" of element <Cost> is out of range: should be [" + range + "]"},
        {EntryXml(kGoodFields + "<Premium>abc</Premium>"),
         "Unable to convert value \"abc\" of element <Premium> to double"},
        {EntryXml(kGoodFields + "<DividendsValue></DividendsValue>"),
         "Unable to convert value \"\" of element <DividendsValue> to double"},
        {EntryXml(kGoodFields + "<CloseDate>13-April-2010</CloseDate>"),
         "Unexpected value \"13-April-2010\" of <CloseDate> element: should be "
         "month/day/year hour:minute:second"},
        {EntryXml(kGoodFields + "<DividendsDate>2010-02-30</DividendsDate>"),
         "Unexpected value \"2010-02-30\" of <DividendsDate> element: should be "
         "month/day/year hour:minute:second"},
    };
    test::CTempFolder folder;
    const std::string path = folder.File("diary.xml");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.badEntry);
        test::WriteTextFile(path, "<Entries>" + EntryXml(kGoodFields) + c.badEntry +
                                      EntryXml(kGoodFields) + "</Entries>");
        CDiaryDatabase diary;
        diary.SetStartBalance(5);
        std::string error;
        EXPECT_FALSE(diary.Load(path, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(diary.Entries().size(), 1u);
        EXPECT_EQ(diary.StartBalance(), CDiaryDatabase::kDefaultStartBalance);
    }
}

TEST(DiaryDatabase, FailsOnAMissingFileAWrongRootAndBrokenXml) {
    test::CTempFolder folder;
    const std::string path = folder.File("diary.xml");
    CDiaryDatabase diary;
    diary.AddEntry(BareEntry("BHPZL9", Utc("2010-04-13")));
    std::string error;

    EXPECT_FALSE(diary.Load(path, error));
    EXPECT_EQ(error, "File " + path + " does not exist");
    EXPECT_TRUE(diary.Entries().empty());

    test::WriteTextFile(path, "<Diary>" + EntryXml(kGoodFields) + "</Diary>");
    EXPECT_FALSE(diary.Load(path, error));
    EXPECT_EQ(error, "<Entries> tag not found");
    EXPECT_TRUE(diary.Entries().empty());

    test::WriteTextFile(path, "<Entries><Entry></Entries>");
    error.clear();
    EXPECT_FALSE(diary.Load(path, error));
    EXPECT_FALSE(error.empty());
}

TEST(DiaryDatabase, SaveReportsAFolderThatDoesNotExist) {
    test::CTempFolder folder;
    CDiaryDatabase diary;
    std::string error;
    EXPECT_FALSE(diary.Save(folder.File("missing/diary.xml"), &error));
    EXPECT_FALSE(error.empty());
}

TEST(DiaryDatabase, FindsAnEntryByContractIgnoringCaseAndExactStartTime) {
    CDiaryDatabase diary;
    const FileTime start = Utc("2010-04-13 05:30:00");
    diary.AddEntry(BareEntry("NABXK8", start));
    diary.AddEntry(BareEntry("ABCXYZ", start));
    diary.AddEntry(BareEntry("abcxyz", start)); // a later duplicate is never the one found

    EXPECT_EQ(diary.FindEntry("abcxyz", start), 1);
    EXPECT_EQ(diary.FindEntry("ABCXYZ", start), 1);
    EXPECT_EQ(diary.FindEntry("abcxyz", start + 1), -1);
    EXPECT_EQ(diary.FindEntry("abcxyz", start - 1), -1);
    EXPECT_EQ(diary.FindEntry("ABCXY", start), -1);
    EXPECT_EQ(diary.FindEntry("nabxk8", start), 0);
}

TEST(DiaryDatabase, RemovesAndChangesEntriesInPlace) {
    CDiaryDatabase diary;
    diary.AddEntry(BareEntry("AAAXK8", Utc("2010-04-13")));
    diary.AddEntry(BareEntry("BBBXK8", Utc("2010-04-14")));
    diary.AddEntry(BareEntry("CCCXK8", Utc("2010-04-15")));

    ASSERT_NE(diary.EntryAt(2), nullptr);
    diary.EntryAt(2)->m_CloseDate = Utc("2010-05-01");
    EXPECT_EQ(diary.Entries()[2].m_CloseDate, Utc("2010-05-01"));
    EXPECT_EQ(diary.EntryAt(3), nullptr);

    EXPECT_TRUE(diary.RemoveEntry(1));
    ASSERT_EQ(diary.Entries().size(), 2u);
    EXPECT_EQ(diary.Entries()[0].m_ContractID, "AAAXK8");
    EXPECT_EQ(diary.Entries()[1].m_ContractID, "CCCXK8");
    EXPECT_FALSE(diary.RemoveEntry(2));
    EXPECT_EQ(diary.Entries().size(), 2u);
}

TEST(DiaryDatabase, BalancesStartAt10000AndClearKeepsTheMonthChanges) {
    CDiaryDatabase diary;
    EXPECT_EQ(diary.StartBalance(), 10000.0);
    EXPECT_FALSE(diary.MonthChange(MonthKey(2010, 4)).has_value());

    diary.SetStartBalance(2500);
    diary.SetMonthChange(MonthKey(2010, 4), 500);
    diary.SetMonthChange(MonthKey(2010, 4), -75.5); // replaces
    diary.SetMonthChange(MonthKey(2010, 11), 0);
    diary.AddEntry(BareEntry("BHPZL9", Utc("2010-04-13")));
    EXPECT_EQ(diary.StartBalance(), 2500.0);
    EXPECT_EQ(diary.MonthChange("20104"), -75.5);
    EXPECT_EQ(diary.MonthChange("201011"), 0.0);

    diary.Clear();
    EXPECT_EQ(diary.StartBalance(), 10000.0);
    EXPECT_TRUE(diary.Entries().empty());
    EXPECT_EQ(diary.MonthChange("20104"), -75.5);
    EXPECT_EQ(diary.MonthChanges().size(), 2u);
}

TEST(DiaryDatabase, MonthKeysHaveNoLeadingZeros) {
    EXPECT_EQ(MonthKey(2010, 1), "20101");
    EXPECT_EQ(MonthKey(2010, 11), "201011");
    EXPECT_EQ(MonthKey(2007, 12), "200712");
}

} // namespace
} // namespace strikeline
