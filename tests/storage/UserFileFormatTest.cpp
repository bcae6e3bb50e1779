// The user's own files, byte for byte: what each writer lays down is compared with files
// made by earlier versions of the program, and reading keeps the white-space rules those
// versions had, so a file written or hand-edited before still reads the same.

#include "journal/AverageTradesDatabase.h"
#include "journal/DiaryDatabase.h"
#include "plan/PlanColumns.h"
#include "plan/TradingPlan.h"
#include "storage/ColorScheme.h"
#include "storage/RecordListFile.h"
#include "storage/XmlRecords.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

const std::string kFixtures = STRIKELINE_FIXTURE_DIR "/userfiles/";

// Text with every character the writer has to escape, a line break and a tab among them,
// and letters outside ASCII.
const std::string kAwkwardText = "R&D <Co> \"A\" 'B'\tx\ny Soci\xC3\xA9t\xC3\xA9";

CTradingPlan SamplePlan() {
    CTradingPlan plan;
    CTradingPlanEntry first;
    first.m_SourceType = TYPE_SELL_CALL;
    first.m_RecordDate = FileTimeFromUnix(1257206400);
    first.m_StartDate = FileTimeFromUnix(1257210000);
    first.m_CompanyID = "BHP";
    first.m_ContractID = "BHPXY9";
    first.m_DateExpiry = FileTimeFromUnix(1261612800);
    first.m_Shares = 1000;
    first.m_ContractSize = 1000;
    first.m_SharePrice = 10.25;
    first.m_Brokerage = 50;
    first.m_StrikePrice = 11;
    first.m_Premium = 0.125;
    first.m_EBrokerage = 60;
    first.m_DividendsValue = -0.5;
    first.m_DividendsDate = FileTimeFromUnix(1258000000);
    first.m_Trades = 12;
    first.m_AddToDiary = {true, false, true, false};
    first.SetCellColour(PlanColumn::Company, 3);
    first.SetCellColour(PlanColumn::BEP, 2);
    plan.Append(first);
    CTradingPlanEntry second;
    second.m_CompanyID = kAwkwardText;
    plan.Append(second);
    plan.Append(CTradingPlanEntry());
    return plan;
}

void FillDiary(CDiaryDatabase& diary) {
    CDiaryEntry closed;
    closed.m_StartDate = FileTimeFromUnix(1257206400);
    closed.m_CloseDate = FileTimeFromUnix(1261612800);
    closed.m_CompanyID = "BHP";
    closed.m_ContractID = "BHPXY9";
    closed.m_DateExpiry = FileTimeFromUnix(1261612800);
    closed.m_Shares = 1000;
    closed.m_Premium = 0.5;
    closed.m_NEProfit = 450;
    closed.m_NEReturn = 4.5;
    closed.m_DividendsValue = 0.25;
    closed.m_DividendsDate = FileTimeFromUnix(1258000000);
    diary.AddEntry(closed);
    CDiaryEntry open;
    open.m_StartDate = FileTimeFromUnix(1262304000);
    open.m_CompanyID = kAwkwardText;
    diary.AddEntry(open);
}

void FillAverageTrades(CAverageTradesDatabase& trades) {
    trades.Set("bhp", 12.5);
    trades.Set("NAB", 0);
    trades.Set("R&D", 1000000);
}

CColorScheme SampleScheme() {
    CColorScheme scheme;
    scheme.SetFontStyle("Courier & Sons");
    scheme.SetFontSize(10);
    scheme.Set(SchemeColor::StrikePriceBk, Rgb(1, 2, 3));
    return scheme;
}

struct CSavedFile {
    const char* fixture;
    bool (*save)(const std::string& path);
};

const CSavedFile kSavedFiles[] = {
    {"tradingplan.xml",
     [](const std::string& path) {
         return SamplePlan().Save(path);
     }},
    {"diary.xml",
     [](const std::string& path) {
         CDiaryDatabase diary;
         FillDiary(diary);
         return diary.Save(path);
     }},
    {"averagetrades.xml",
     [](const std::string& path) {
         CAverageTradesDatabase trades;
         FillAverageTrades(trades);
         return trades.Save(path);
     }},
    {"scheme.slclr",
     [](const std::string& path) {
         return SampleScheme().SaveToFile(path);
     }},
};

TEST(UserFileFormat, EveryWriterLaysDownTheFileAsBefore) {
    test::CTempFolder folder;
    for (const CSavedFile& file : kSavedFiles) {
        SCOPED_TRACE(file.fixture);
        const std::string path = folder.File(file.fixture);
        ASSERT_TRUE(file.save(path));
        EXPECT_EQ(test::ReadTextFile(path), test::ReadTextFile(kFixtures + file.fixture));
    }
}

TEST(UserFileFormat, EveryFileReadsBackWhatWasSaved) {
    std::string error;
    CTradingPlan plan;
    ASSERT_TRUE(plan.Load(kFixtures + "tradingplan.xml", error)) << error;
    const CTradingPlan expectedPlan = SamplePlan();
    ASSERT_EQ(plan.Count(), expectedPlan.Count());
    for (std::size_t i = 0; i < plan.Count(); ++i) {
        EXPECT_EQ(plan.At(i), expectedPlan.At(i)) << "row " << i;
    }

    CDiaryDatabase diary;
    ASSERT_TRUE(diary.Load(kFixtures + "diary.xml", error)) << error;
    CDiaryDatabase expectedDiary;
    FillDiary(expectedDiary);
    EXPECT_EQ(diary.Entries(), expectedDiary.Entries());

    CAverageTradesDatabase trades;
    ASSERT_TRUE(trades.Load(kFixtures + "averagetrades.xml", error)) << error;
    EXPECT_EQ(trades.Lookup("BHP"), 12.5);
    EXPECT_EQ(trades.Lookup("nab"), 0.0);
    EXPECT_EQ(trades.Lookup("r&d"), 1000000.0);

    CColorScheme scheme;
    ASSERT_TRUE(scheme.LoadFromFile(kFixtures + "scheme.slclr", error)) << error;
    const CColorScheme expectedScheme = SampleScheme();
    EXPECT_EQ(scheme.FontStyle(), expectedScheme.FontStyle());
    EXPECT_EQ(scheme.FontSize(), expectedScheme.FontSize());
    for (std::size_t i = 0; i < kSchemeColorCount; ++i) {
        const auto which = static_cast<SchemeColor>(i);
        EXPECT_EQ(scheme.Get(which), expectedScheme.Get(which)) << CColorScheme::NameOf(which);
    }
}

// Text read from an element has its white space condensed (trimmed, each run one space),
// while characters given as references, CDATA sections and attributes are taken as they
// stand.
TEST(UserFileFormat, TextIsReadWithTheWhiteSpaceRulesOfOlderVersions) {
    struct Case {
        const char* name;
        std::string file;
        std::string text;
    };
    const auto entry = [](const std::string& inside) {
        return "<Entries>\n    <Entry>" + inside + "</Entry>\n</Entries>\n";
    };
    const std::vector<Case> cases = {
        {"condensed", entry("<Code>  a  b\n\tc \r\n </Code>"), "a b c"},
        {"line ends", "<Entries>\r\n<Entry>\r\n<Code>a\r\nb</Code>\r\n</Entry>\r\n</Entries>\r\n",
         "a b"},
        {"references kept", entry("<Code>a&#x0A;&#x09;b&#32;&#65;</Code>"), "a\n\tb A"},
        {"named entities", entry("<Code> &amp;&lt;&gt;&quot;&apos; </Code>"), "&<>\"'"},
        {"unknown entity", entry("<Code>a&nbsp;b</Code>"), "a&nbsp;b"},
        {"cdata", entry("<Code><![CDATA[  a  <b> ]]></Code>"), "  a  <b> "},
        {"blank", entry("<Code>   \n  </Code>"), ""},
        {"empty", entry("<Code/>"), ""},
        {"attribute", "<Entries><Entry Code=\" a  &amp; b \"/></Entries>", " a  & b "},
        {"attribute wins", "<Entries><Entry Code=\"attr\"><Code>child</Code></Entry></Entries>",
         "attr"},
        {"byte order mark", "\xEF\xBB\xBF" + entry("<Code>x</Code>"), "x"},
        {"declaration", "<?xml version=\"1.0\" ?>\n" + entry("<Code>x</Code>"), "x"},
        {"comments outside", "<!-- a -->" + entry("<!-- b --><Code>x</Code>"), "x"},
        {"utf-8", entry("<Code>Soci\xC3\xA9t\xC3\xA9</Code>"), "Soci\xC3\xA9t\xC3\xA9"},
    };
    test::CTempFolder folder;
    const std::string path = folder.File("entries.xml");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteTextFile(path, c.file);
        std::vector<std::string> texts;
        std::string error;
        ASSERT_TRUE(LoadRecordListFile(
            path,
            [&texts](const auto& element, std::string& fault) {
                std::string text;
                if (!GetText(element, "Code", text, &fault)) {
                    return false;
                }
                texts.push_back(text);
                return true;
            },
            error))
            << error;
        EXPECT_EQ(texts, std::vector<std::string>{c.text});
    }
}

// Text that looks like a character reference is written escaped like any other, so it
// reads back as typed rather than as the character it names.
TEST(UserFileFormat, TextThatLooksLikeAReferenceReadsBackAsTyped) {
    test::CTempFolder folder;
    const std::string path = folder.File("entries.xml");
    const std::string code = "&#x41;&#65;&amp;";
    ASSERT_TRUE(SaveRecordListFile(path, 1, [&code](pugi::xml_node entry, std::size_t) {
        AddTextElement(entry, "Code", code);
    }));
    EXPECT_EQ(test::ReadTextFile(path), "<Entries>\n"
                                        "    <Entry>\n"
                                        "        <Code>&amp;#x41;&amp;#65;&amp;amp;</Code>\n"
                                        "    </Entry>\n"
                                        "</Entries>\n");
    std::string text;
    std::string error;
    ASSERT_TRUE(LoadRecordListFile(
        path,
        [&text](pugi::xml_node entry, std::string& fault) {
            return GetText(entry, "Code", text, &fault);
        },
        error))
        << error;
    EXPECT_EQ(text, code);
}

TEST(UserFileFormat, ElementsAroundTheTextAreRefusedAsBefore) {
    struct Case {
        const char* inside;
        const char* error;
    };
    const Case cases[] = {
        {"<Code>a<b/></Code>", "<Code> element should contain only text"},
        {"<Code><!-- note -->a</Code>", "<Code> element should contain only text"},
        {"<Code><b/></Code>", "<Code> element contains no text"},
    };
    test::CTempFolder folder;
    const std::string path = folder.File("entries.xml");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inside);
        test::WriteTextFile(path,
                            std::string("<Entries><Entry>") + c.inside + "</Entry></Entries>");
        std::string error;
        EXPECT_FALSE(LoadRecordListFile(
            path,
            [](const auto& element, std::string& fault) {
                std::string text;
                return GetText(element, "Code", text, &fault);
            },
            error));
        EXPECT_EQ(error, c.error);
    }
}

} // namespace
} // namespace strikeline
