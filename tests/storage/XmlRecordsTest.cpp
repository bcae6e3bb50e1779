#include "storage/XmlRecords.h"

#include "storage/NumberText.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

#include <clocale>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace strikeline {
namespace {

using test::CTempFolder;
using test::ReadTextFile;
using test::WriteTextFile;

constexpr FileTime k20100413At1000 = FileTimeFromUnix(1271152800); // 2010-04-13 10:00:00 UTC

// A record parsed from text; the field under test is always named "n".
class Record {
public:
    explicit Record(const std::string& xml) {
        std::string error;
        EXPECT_TRUE(ParseXmlText(m_Document, xml, &error)) << error << " in " << xml;
    }
    pugi::xml_node Entry() const { return m_Document.document_element(); }

private:
    pugi::xml_document m_Document;
};

// A record with field "n" holding exactly that text (white space included, which parsing
// would condense), or without the field when there is none.
void FieldRecord(pugi::xml_document& document, const std::optional<std::string>& text) {
    pugi::xml_node entry = document.append_child("Entry");
    entry.append_child("other");
    if (text) {
        entry.append_child("n").append_child(pugi::node_pcdata).set_value(text->c_str());
    }
}

// What each typed reader case expects: a value, or the message it fails with.
template <typename T> struct ReadCase {
    std::optional<std::string> text;
    bool required;
    std::optional<T> value;
    std::string error;
};

template <typename T, typename Read>
void CheckReads(const std::vector<ReadCase<T>>& cases, Read read) {
    for (const ReadCase<T>& c : cases) {
        SCOPED_TRACE(c.text ? "text \"" + *c.text + "\"" : std::string("absent"));
        SCOPED_TRACE(c.required ? "required" : "with default");
        pugi::xml_document document;
        FieldRecord(document, c.text);
        const pugi::xml_node entry = document.document_element();
        T value{};
        std::string error;
        const bool ok = read(entry, c.required, value, error);
        EXPECT_EQ(ok, c.value.has_value()) << error;
        if (ok && c.value) {
            EXPECT_EQ(value, *c.value);
        } else {
            EXPECT_EQ(error, c.error);
        }
    }
}

TEST(XmlRecords, ElementTextTellsFoundMalformedAndAbsentApart) {
    const Record record("<Entry a=\"from attribute\">"
                        "<a>from child</a><b>text</b><b>second</b><c/><d><x>1</x></d>"
                        "<e>text<x/></e><f><!-- note --></f><g>&lt;&amp;&gt;</g>"
                        "</Entry>");
    struct Case {
        const char* name;
        ElementText result;
        const char* text;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"a", ElementText::Found, "from attribute", ""},
        {"b", ElementText::Found, "text", ""}, // the first of that name
        {"c", ElementText::Found, "", ""},
        {"g", ElementText::Found, "<&>", ""},
        {"d", ElementText::Malformed, nullptr, "<d> element contains no text"},
        {"f", ElementText::Malformed, nullptr, "<f> element contains no text"},
        {"e", ElementText::Malformed, nullptr, "<e> element should contain only text"},
        {"h", ElementText::Absent, nullptr, "<h> tag not found"},
        {"B", ElementText::Absent, nullptr, "<B> tag not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = "before";
        std::string error;
        EXPECT_EQ(GetElementText(record.Entry(), c.name, text, &error), c.result);
        EXPECT_EQ(GetText(record.Entry(), c.name, text), c.result == ElementText::Found);
        if (c.result == ElementText::Found) {
            EXPECT_EQ(text, c.text);
        } else {
            EXPECT_EQ(error, c.error);
        }
    }
}

TEST(XmlRecords, FindChildElementLooksOnlyAtDirectChildren) {
    const Record record("<Entry><a><b>deep</b></a><b>near</b></Entry>");
    std::string error;
    const pugi::xml_node found = FindChildElement(record.Entry(), "b", &error);
    ASSERT_TRUE(found);
    EXPECT_STREQ(found.text().get(), "near");
    EXPECT_FALSE(FindChildElement(record.Entry().child("a").child("b"), "a", &error));
    EXPECT_EQ(error, "<a> tag not found");
}

TEST(XmlRecords, IntegersConvertWholeAndWithinInclusiveBounds) {
    const std::vector<ReadCase<std::int32_t>> cases = {
        {"9", true, 9, ""},
        {" 7", true, 7, ""},
        {"+7", true, 7, ""},
        {"-10", true, -10, ""},
        {"10", true, 10, ""},
        {"1.5", true, {}, "Unable to convert value \"1.5\" of element <n> to integer"},
        {"", true, {}, "Unable to convert value \"\" of element <n> to integer"},
        {"-", true, {}, "Unable to convert value \"-\" of element <n> to integer"},
        {"abc", true, {}, "Unable to convert value \"abc\" of element <n> to integer"},
        {"0x10", true, {}, "Unable to convert value \"0x10\" of element <n> to integer"},
        {"11", true, {}, "Value \"11\" of element <n> is out of range: should be [-10..10]"},
        {"-11", true, {}, "Value \"-11\" of element <n> is out of range: should be [-10..10]"},
        {"99999999999999999999",
         true,
         {},
         "Value \"99999999999999999999\" of element <n> is out of range: should be [-10..10]"},
        {std::nullopt, false, 3, ""},
        {std::nullopt, true, {}, "<n> tag not found"},
        {"12 ", true, {}, "Unable to convert value \"12 \" of element <n> to integer"},
        // A field that is present but wrong never falls back to the default.
        {"x", false, {}, "Unable to convert value \"x\" of element <n> to integer"},
    };
    CheckReads<std::int32_t>(
        cases, [](pugi::xml_node parent, bool required, std::int32_t& value, std::string& error) {
            return required ? GetInt(parent, "n", -10, 10, value, &error)
                            : GetInt(parent, "n", 3, -10, 10, value, &error);
        });

    const std::vector<ReadCase<std::int32_t>> limits = {
        {"-2147483648", true, std::numeric_limits<std::int32_t>::min(), ""},
        {"2147483647", true, std::numeric_limits<std::int32_t>::max(), ""},
        {"2147483648",
         true,
         {},
         "Value \"2147483648\" of element <n> is out of range: should be "
         "[-2147483648..2147483647]"},
    };
    CheckReads<std::int32_t>(
        limits, [](pugi::xml_node parent, bool, std::int32_t& value, std::string& error) {
            return GetInt(parent, "n", std::numeric_limits<std::int32_t>::min(),
                          std::numeric_limits<std::int32_t>::max(), value, &error);
        });
}

TEST(XmlRecords, UnsignedIntegersRejectSignsAndOverflow) {
    const std::vector<ReadCase<std::uint32_t>> cases = {
        {"0", true, 0u, ""},
        {"4294967295", true, 4294967295u, ""},
        {"4294967296",
         true,
         {},
         "Value \"4294967296\" of element <n> is out of range: should be [0..4294967295]"},
        {"-1", true, {}, "Value \"-1\" of element <n> is out of range: should be [0..4294967295]"},
        {"1.5", true, {}, "Unable to convert value \"1.5\" of element <n> to positive integer"},
        {"\t8", true, 8u, ""},
        {"", true, {}, "Unable to convert value \"\" of element <n> to positive integer"},
        {std::nullopt, false, 77u, ""},
        {std::nullopt, true, {}, "<n> tag not found"},
    };
    CheckReads<std::uint32_t>(
        cases, [](pugi::xml_node parent, bool required, std::uint32_t& value, std::string& error) {
            return required ? GetUInt(parent, "n", 0u, 4294967295u, value, &error)
                            : GetUInt(parent, "n", 77u, 0u, 4294967295u, value, &error);
        });

    const std::vector<ReadCase<std::uint32_t>> bounded = {
        {"5", true, 5u, ""},
        {"9", true, 9u, ""},
        {"4", true, {}, "Value \"4\" of element <n> is out of range: should be [5..9]"},
        {"10", true, {}, "Value \"10\" of element <n> is out of range: should be [5..9]"},
    };
    CheckReads<std::uint32_t>(
        bounded, [](pugi::xml_node parent, bool, std::uint32_t& value, std::string& error) {
            return GetUInt(parent, "n", 5u, 9u, value, &error);
        });
}

TEST(XmlRecords, DoublesConvertWholeAndShowBoundsWithSixDecimals) {
    const std::vector<ReadCase<double>> cases = {
        {"1.5", true, 1.5, ""},
        {"1e2", true, 100.0, ""},
        {" 2", true, 2.0, ""},
        {"-0.25", true, -0.25, ""},
        {"0", true, 0.0, ""},
        {"1000.000000", true, 1000.0, ""},
        {"2 ", true, {}, "Unable to convert value \"2 \" of element <n> to double"},
        {"1.5x", true, {}, "Unable to convert value \"1.5x\" of element <n> to double"},
        {"", true, {}, "Unable to convert value \"\" of element <n> to double"},
        {"inf", true, {}, "Unable to convert value \"inf\" of element <n> to double"},
        {"nan", true, {}, "Unable to convert value \"nan\" of element <n> to double"},
        {"1000.5",
         true,
         {},
         "Value \"1000.5\" of element <n> is out of range: should be [-0.500000..1000.000000]"},
        {"-1",
         true,
         {},
         "Value \"-1\" of element <n> is out of range: should be [-0.500000..1000.000000]"},
        {std::nullopt, false, 9.75, ""},
        {std::nullopt, true, {}, "<n> tag not found"},
    };
    CheckReads<double>(
        cases, [](pugi::xml_node parent, bool required, double& value, std::string& error) {
            return required ? GetDouble(parent, "n", -0.5, 1000.0, value, &error)
                            : GetDouble(parent, "n", 9.75, -0.5, 1000.0, value, &error);
        });
}

TEST(XmlRecords, BooleansAreTrueOrFalseInAnyCase) {
    const std::string wrong = "\" of <n> element: should be either \"true\" or \"false\"";
    const std::vector<ReadCase<bool>> cases = {
        {"true", true, true, ""},
        {"TRUE", true, true, ""},
        {"False", true, false, ""},
        {"yes", true, {}, "Unexpected value \"yes" + wrong},
        {"1", true, {}, "Unexpected value \"1" + wrong},
        {"", true, {}, "Unexpected value \"" + wrong},
        {std::nullopt, false, true, ""},
        {std::nullopt, true, {}, "<n> tag not found"},
    };
    CheckReads<bool>(cases,
                     [](pugi::xml_node parent, bool required, bool& value, std::string& error) {
                         return required ? GetBool(parent, "n", value, &error)
                                         : GetBool(parent, "n", true, value, &error);
                     });
}

TEST(XmlRecords, DatesReadAsUniversalTimeAndAnUnsetDateReadsBack) {
    const std::string wrong = "\" of <n> element: should be month/day/year hour:minute:second";
    const std::vector<ReadCase<FileTime>> cases = {
        {"2010-04-13 10:00:00", true, k20100413At1000, ""},
        {"2010/4/13 10:00", true, k20100413At1000, ""},
        {"13-Apr-2010", true, FileTimeFromUnix(1271116800), ""},
        {"0000-01-00 00:00:00", true, kNoDate, ""},
        {"13-April-2010", true, {}, "Unexpected value \"13-April-2010" + wrong},
        {"0000-01-00", true, {}, "Unexpected value \"0000-01-00" + wrong},
        {"", true, {}, "Unexpected value \"" + wrong},
        {std::nullopt, false, k20100413At1000, ""},
        {std::nullopt, true, {}, "<n> tag not found"},
    };
    CheckReads<FileTime>(
        cases, [](pugi::xml_node parent, bool required, FileTime& value, std::string& error) {
            return required ? GetDateTime(parent, "n", value, &error)
                            : GetDateTime(parent, "n", k20100413At1000, value, &error);
        });
}

TEST(XmlRecords, ColoursAreRedGreenBlue) {
    const std::string wrong = "\" of element <n>: should be RGB value";
    const std::vector<ReadCase<Color>> cases = {
        {"255,0,0", true, Color{0x0000FF}, ""},
        {"0,0,255", true, Color{0xFF0000}, ""},
        {"1, 2, 3", true, Rgb(1, 2, 3), ""},
        {"1,2", true, {}, "Unexpected value \"1,2" + wrong},
        {"red", true, {}, "Unexpected value \"red" + wrong},
        {"1;2;3", true, {}, "Unexpected value \"1;2;3" + wrong},
        {std::nullopt, false, Rgb(9, 8, 7), ""},
        {std::nullopt, true, {}, "<n> tag not found"},
    };
    CheckReads<Color>(cases,
                      [](pugi::xml_node parent, bool required, Color& value, std::string& error) {
                          return required ? GetColor(parent, "n", value, &error)
                                          : GetColor(parent, "n", Rgb(9, 8, 7), value, &error);
                      });
}

TEST(XmlRecords, AnAttributeOfTheRecordWinsOverTheChildElement) {
    const Record record("<Entry n=\"5\" flag=\"TRUE\"><n>6</n><flag>false</flag></Entry>");
    std::int32_t number = 0;
    ASSERT_TRUE(GetInt(record.Entry(), "n", 0, 10, number));
    EXPECT_EQ(number, 5);
    bool flag = false;
    ASSERT_TRUE(GetBool(record.Entry(), "flag", flag));
    EXPECT_TRUE(flag);
}

// A field that is present but malformed is an error, never a reason to take the default.
TEST(XmlRecords, MalformedFieldFailsEvenWithADefault) {
    const Record record("<Entry><n><x>1</x></n><m>1<x/></m></Entry>");
    struct Case {
        const char* type;
        bool (*read)(pugi::xml_node, std::string_view, std::string&);
    };
    const std::vector<Case> cases = {
        {"text",
         [](pugi::xml_node p, std::string_view name, std::string& error) {
             std::string value;
             return GetText(p, name, value, &error);
         }},
        {"int",
         [](pugi::xml_node p, std::string_view name, std::string& error) {
             std::int32_t value = 0;
             return GetInt(p, name, 1, 0, 10, value, &error);
         }},
        {"uint",
         [](pugi::xml_node p, std::string_view name, std::string& error) {
             std::uint32_t value = 0;
             return GetUInt(p, name, 1u, 0u, 10u, value, &error);
         }},
        {"double",
         [](pugi::xml_node p, std::string_view name, std::string& error) {
             double value = 0.0;
             return GetDouble(p, name, 1.0, 0.0, 10.0, value, &error);
         }},
        {"bool",
         [](pugi::xml_node p, std::string_view name, std::string& error) {
             bool value = false;
             return GetBool(p, name, true, value, &error);
         }},
        {"date",
         [](pugi::xml_node p, std::string_view name, std::string& error) {
             FileTime value = 0;
             return GetDateTime(p, name, k20100413At1000, value, &error);
         }},
        {"colour",
         [](pugi::xml_node p, std::string_view name, std::string& error) {
             Color value = 0;
             return GetColor(p, name, Rgb(1, 2, 3), value, &error);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        std::string error;
        EXPECT_FALSE(c.read(record.Entry(), "n", error));
        EXPECT_EQ(error, "<n> element contains no text");
        EXPECT_FALSE(c.read(record.Entry(), "m", error));
        EXPECT_EQ(error, "<m> element should contain only text");
    }
}

TEST(XmlRecords, WritersSpellEachTypeAndAppendAfterExistingChildren) {
    struct Case {
        const char* name;
        bool (*write)(pugi::xml_node);
        const char* text;
    };
    const std::vector<Case> cases = {
        {"int", [](pugi::xml_node e) { return AddInt(e, "int", -42); }, "-42"},
        {"intMin",
         [](pugi::xml_node e) {
             return AddInt(e, "intMin", std::numeric_limits<std::int32_t>::min());
         },
         "-2147483648"},
        {"uint", [](pugi::xml_node e) { return AddUInt(e, "uint", 4294967295u); }, "4294967295"},
        {"double", [](pugi::xml_node e) { return AddDouble(e, "double", 1234.5678901); },
         "1234.567890"},
        {"rounded", [](pugi::xml_node e) { return AddDouble(e, "rounded", 0.1234567); },
         "0.123457"},
        {"negative", [](pugi::xml_node e) { return AddDouble(e, "negative", -0.5); }, "-0.500000"},
        {"yes", [](pugi::xml_node e) { return AddBool(e, "yes", true); }, "true"},
        {"no", [](pugi::xml_node e) { return AddBool(e, "no", false); }, "false"},
        {"date", [](pugi::xml_node e) { return AddDateTime(e, "date", k20100413At1000); },
         "2010-04-13 10:00:00"},
        {"unset", [](pugi::xml_node e) { return AddDateTime(e, "unset", kNoDate); },
         "0000-01-00 00:00:00"},
        {"colour", [](pugi::xml_node e) { return AddColor(e, "colour", Rgb(10, 20, 30)); },
         "10,20,30"},
        {"text", [](pugi::xml_node e) { return AddTextElement(e, "text", "left & \"right\""); },
         "left & \"right\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pugi::xml_document document;
        pugi::xml_node entry = document.append_child("Entry");
        entry.append_child("first");
        ASSERT_TRUE(c.write(entry));
        const pugi::xml_node first = entry.first_child();
        ASSERT_TRUE(first);
        EXPECT_STREQ(first.name(), "first");
        const pugi::xml_node added = first.next_sibling();
        ASSERT_TRUE(added);
        EXPECT_STREQ(added.name(), c.name);
        EXPECT_FALSE(added.next_sibling());
        std::string text;
        ASSERT_TRUE(GetText(entry, c.name, text));
        EXPECT_EQ(text, c.text);
    }
}

TEST(XmlRecords, EveryTypeRoundTripsThroughItsText) {
    pugi::xml_document document;
    pugi::xml_node entry = document.append_child("Entry");
    ASSERT_TRUE(AddTextElement(entry, "empty", ""));
    ASSERT_TRUE(AddInt(entry, "int", -2147483647));
    ASSERT_TRUE(AddUInt(entry, "uint", 4000000000u));
    ASSERT_TRUE(AddDouble(entry, "double", 0.1234567));
    ASSERT_TRUE(AddDouble(entry, "unset", UNSET_VALUE));
    ASSERT_TRUE(AddBool(entry, "bool", false));
    ASSERT_TRUE(AddDateTime(entry, "date", k20100413At1000));
    ASSERT_TRUE(AddDateTime(entry, "noDate", kNoDate));
    ASSERT_TRUE(AddColor(entry, "colour", Rgb(255, 128, 0)));

    std::string text = "before";
    ASSERT_TRUE(GetText(entry, "empty", text));
    EXPECT_EQ(text, "");
    std::int32_t number = 0;
    ASSERT_TRUE(GetInt(entry, "int", std::numeric_limits<std::int32_t>::min(), 0, number));
    EXPECT_EQ(number, -2147483647);
    std::uint32_t unsignedNumber = 0;
    ASSERT_TRUE(GetUInt(entry, "uint", 0u, 4294967295u, unsignedNumber));
    EXPECT_EQ(unsignedNumber, 4000000000u);
    double value = 0.0;
    ASSERT_TRUE(GetDouble(entry, "double", 0.0, 1.0, value));
    EXPECT_EQ(value, 0.123457); // six decimals are kept, no more
    ASSERT_TRUE(GetDouble(entry, "unset", UNSET_VALUE, 0.0, value));
    EXPECT_EQ(value, UNSET_VALUE);
    bool flag = true;
    ASSERT_TRUE(GetBool(entry, "bool", flag));
    EXPECT_FALSE(flag);
    FileTime date = 0;
    ASSERT_TRUE(GetDateTime(entry, "date", date));
    EXPECT_EQ(date, k20100413At1000);
    ASSERT_TRUE(GetDateTime(entry, "noDate", date));
    EXPECT_EQ(date, kNoDate);
    Color colour = 0;
    ASSERT_TRUE(GetColor(entry, "colour", colour));
    EXPECT_EQ(colour, Rgb(255, 128, 0));
}

using XmlRecordsInGermanLocale = test::CGermanLocaleTest;

TEST_F(XmlRecordsInGermanLocale, FilesKeepTheDecimalPoint) {
    pugi::xml_document document;
    pugi::xml_node entry = document.append_child("Entry");
    ASSERT_TRUE(AddDouble(entry, "n", 2.5));
    std::string text;
    ASSERT_TRUE(GetText(entry, "n", text));
    EXPECT_EQ(text, "2.500000");

    const Record record("<Entry><n>2.75</n><m>2,75</m></Entry>");
    double value = 0.0;
    std::string error;
    ASSERT_TRUE(GetDouble(record.Entry(), "n", 0.0, 10.0, value, &error)) << error;
    EXPECT_EQ(value, 2.75);
    EXPECT_FALSE(GetDouble(record.Entry(), "m", 0.0, 10.0, value, &error));
    EXPECT_EQ(error, "Unable to convert value \"2,75\" of element <m> to double");
}

TEST(XmlRecords, SavedFileLoadsBackWithTheSameRecords) {
    const CTempFolder folder;
    const std::string path = folder.File("plan.xml");

    pugi::xml_document document;
    pugi::xml_node entries = document.append_child("Entries");
    for (int i = 0; i < 2; ++i) {
        pugi::xml_node entry = entries.append_child("Entry");
        ASSERT_TRUE(AddTextElement(entry, "Code", i == 0 ? "ABC <&> \"x\"" : "XYZ"));
        ASSERT_TRUE(AddDouble(entry, "Price", 12.5 + i));
        ASSERT_TRUE(AddDateTime(entry, "Expiry", i == 0 ? k20100413At1000 : kNoDate));
    }
    std::string error;
    ASSERT_TRUE(SaveXmlFile(document, path, &error)) << error;

    // Four spaces a level, one element a line, no declaration, special characters escaped.
    EXPECT_EQ(ReadTextFile(path), "<Entries>\n"
                                  "    <Entry>\n"
                                  "        <Code>ABC &lt;&amp;&gt; &quot;x&quot;</Code>\n"
                                  "        <Price>12.500000</Price>\n"
                                  "        <Expiry>2010-04-13 10:00:00</Expiry>\n"
                                  "    </Entry>\n"
                                  "    <Entry>\n"
                                  "        <Code>XYZ</Code>\n"
                                  "        <Price>13.500000</Price>\n"
                                  "        <Expiry>0000-01-00 00:00:00</Expiry>\n"
                                  "    </Entry>\n"
                                  "</Entries>\n");

    pugi::xml_document loaded;
    ASSERT_TRUE(LoadXmlFile(loaded, path, &error)) << error;
    const pugi::xml_node list = FindChildElement(loaded, "Entries", &error);
    ASSERT_TRUE(list) << error;
    std::vector<std::string> codes;
    for (pugi::xml_node entry = list.child("Entry"); entry; entry = entry.next_sibling("Entry")) {
        std::string code;
        double price = 0.0;
        FileTime expiry = 12345;
        ASSERT_TRUE(GetText(entry, "Code", code, &error)) << error;
        ASSERT_TRUE(GetDouble(entry, "Price", 0.0, 100.0, price, &error)) << error;
        ASSERT_TRUE(GetDateTime(entry, "Expiry", expiry, &error)) << error;
        EXPECT_EQ(price, codes.empty() ? 12.5 : 13.5);
        EXPECT_EQ(expiry, codes.empty() ? k20100413At1000 : kNoDate);
        codes.push_back(code);
    }
    EXPECT_EQ(codes, (std::vector<std::string>{"ABC <&> \"x\"", "XYZ"}));

    // Saving again replaces the file rather than adding to it.
    pugi::xml_document empty;
    empty.append_child("Entries");
    ASSERT_TRUE(SaveXmlFile(empty, path, &error)) << error;
    EXPECT_EQ(ReadTextFile(path), "<Entries />\n");
}

TEST(XmlRecords, SaveFailsWithAReasonWhenTheFolderIsMissing) {
    const CTempFolder folder;
    pugi::xml_document document;
    document.append_child("Entries");
    std::string error;
    EXPECT_FALSE(SaveXmlFile(document, folder.File("missing/plan.xml"), &error));
    EXPECT_FALSE(error.empty());
}

TEST(XmlRecords, LoadErrorNamesTheFaultAndWhereItIs) {
    const CTempFolder folder;
    const std::string path = folder.File("broken.xml");
    WriteTextFile(path, "<Entries>\n"
                        "    <Entry>\n"
                        "        <Code>ABC</Kode>\n"
                        "    </Entry>\n"
                        "</Entries>\n");
    pugi::xml_document document;
    std::string error;
    ASSERT_FALSE(LoadXmlFile(document, path, &error));
    // Line and column count from 1: the column is the name of the wrong end tag.
    EXPECT_EQ(error, "Start-end tags mismatch (line 3, column 20)");
}

// The program keeps documents around and loads into them again; each load must stand on
// its own, whatever an earlier one left behind.
TEST(XmlRecords, LoadIntoAUsedDocumentReportsOnlyTheNewOutcome) {
    const CTempFolder folder;
    const std::string good = folder.File("good.xml");
    const std::string broken = folder.File("broken.xml");
    WriteTextFile(good, "<Entries>\n    <Entry />\n</Entries>\n");
    WriteTextFile(broken, "<Entries>\n<Entry>\n");

    pugi::xml_document document;
    std::string error;
    ASSERT_TRUE(LoadXmlFile(document, good, &error)) << error;
    ASSERT_TRUE(document.document_element());

    // A missing file: no position, and nothing left of the earlier content.
    ASSERT_FALSE(LoadXmlFile(document, folder.File("absent.xml"), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find("(line"), std::string::npos) << error;
    EXPECT_FALSE(document.document_element());

    ASSERT_FALSE(LoadXmlFile(document, broken, &error));
    const std::string brokenError = error;
    EXPECT_NE(brokenError.find("(line "), std::string::npos) << brokenError;

    // After a failure, a missing file still reports itself rather than the earlier fault.
    ASSERT_FALSE(LoadXmlFile(document, folder.File("absent.xml"), &error));
    EXPECT_NE(error, brokenError);
    EXPECT_EQ(error.find("(line"), std::string::npos) << error;

    ASSERT_TRUE(LoadXmlFile(document, good, &error)) << error;
    std::string text;
    EXPECT_TRUE(GetText(document.document_element(), "Entry", text));
}

} // namespace
} // namespace strikeline
