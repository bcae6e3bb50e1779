#include "storage/RegistryStorage.h"

#include "storage/CompanyList.h"
#include "storage/RegistryFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

class RegistryStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_Key.CreateRoot(m_Registry.CurrentUser(), "Software\\Test"));
    }

    // The same key in a registry read back from the file, as the next run sees it.
    CRegistryStorage Reopened() {
        std::string error;
        EXPECT_TRUE(m_Registry.Save(m_Folder.File("settings.reg"), error)) << error;
        EXPECT_TRUE(m_Next.Load(m_Folder.File("settings.reg"), error)) << error;
        CRegistryStorage key;
        EXPECT_TRUE(key.OpenRoot(m_Next.CurrentUser(), "Software\\Test"));
        return key;
    }

    test::CTempFolder m_Folder;
    CRegistryFile m_Registry;
    CRegistryFile m_Next;
    CRegistryStorage m_Key;
};

TEST_F(RegistryStorageTest, ValuesReadBackThroughTheFile) {
    m_Key.WriteBool("Bool", true);
    m_Key.WriteDword("Dword", 0xDEADBEEF);
    m_Key.WriteInt("Int", -5);
    m_Key.WriteUInt64("UInt64", 18446744073709551615ull);
    m_Key.WriteDouble("Double", 0.1234567);
    m_Key.WriteDouble("Negative", -2.5);
    m_Key.WriteString("String", std::string(255, 'x'));
    m_Key.WriteString("TooLong", std::string(256, 'y'));
    const std::uint8_t bytes[] = {9, 8, 7};
    m_Key.WriteBinary("Binary", bytes);

    CRegistryStorage key = Reopened();
    EXPECT_TRUE(key.ReadBool("Bool", false));
    EXPECT_EQ(key.ReadDword("Dword", 0), 0xDEADBEEFu);
    EXPECT_EQ(key.ReadInt("Int", 0), -5);
    EXPECT_EQ(key.ReadUInt64("UInt64", 0), 18446744073709551615ull);
    // Doubles keep six decimals.
    EXPECT_EQ(key.ReadDouble("Double", 0), 0.123457);
    EXPECT_EQ(key.ReadString("Double", ""), "0.123457");
    EXPECT_EQ(key.ReadDouble("Negative", 0), -2.5);
    EXPECT_EQ(key.ReadString("String", "default"), std::string(255, 'x'));
    EXPECT_EQ(key.ReadString("TooLong", "default"), "default"); // does not fit 256 bytes
    std::string whole;
    key.ReadString("TooLong", whole, 257, nullptr);
    EXPECT_EQ(whole, std::string(256, 'y'));
    std::uint8_t buffer[3] = {};
    EXPECT_EQ(key.ReadBinary("Binary", buffer), 3);
    EXPECT_EQ(buffer[2], 7);
    EXPECT_EQ(key.GetBinarySize("Binary"), 3);
    std::uint8_t small[2] = {};
    EXPECT_EQ(key.ReadBinary("Binary", small), -1);
}

// A value of the wrong type, or missing, gives the caller's default.
TEST_F(RegistryStorageTest, WrongTypeOrMissingReadsAsDefault) {
    m_Key.WriteString("Text", "12");
    m_Key.WriteDword("Number", 3);
    m_Key.WriteString("NotNumber", "abc");
    m_Registry.CurrentUser()->Find("Software\\Test")->SetValue("Wide", {4, {1, 2, 3, 4, 5}});

    EXPECT_EQ(m_Key.ReadDword("Text", 77), 77u);
    EXPECT_EQ(m_Key.ReadInt("Text", -1), -1);
    EXPECT_TRUE(m_Key.ReadBool("Text", true));
    EXPECT_EQ(m_Key.ReadDword("Wide", 5), 5u);
    EXPECT_EQ(m_Key.ReadString("Number", "d"), "d");
    EXPECT_EQ(m_Key.ReadDouble("Number", 1.5), 1.5);
    EXPECT_EQ(m_Key.ReadDouble("NotNumber", 1.5), 1.5);
    EXPECT_EQ(m_Key.ReadUInt64("NotNumber", 9), 9u);
    EXPECT_EQ(m_Key.GetBinarySize("Text"), -1);
    EXPECT_EQ(m_Key.ReadDword("Missing", 8), 8u);
    std::string text = "old";
    m_Key.ReadString("Missing", text, 256, nullptr);
    EXPECT_EQ(text, "");
    // "%lf" reads a number and ignores the rest.
    m_Key.WriteString("Trailing", "12.5abc");
    EXPECT_EQ(m_Key.ReadDouble("Trailing", 0), 12.5);
}

TEST_F(RegistryStorageTest, NamesIgnoreLetterCaseAndKeepTheirOwn) {
    m_Key.WriteDword("SortMode", 2);
    m_Key.WriteDword("SORTMODE", 3);
    EXPECT_EQ(m_Key.ReadDword("sortmode", 0), 3u);
    std::string name;
    ASSERT_TRUE(m_Key.GetFirstValueName(name));
    EXPECT_EQ(name, "SortMode");
    EXPECT_FALSE(m_Key.GetNextValueName(name));
    ASSERT_TRUE(m_Key.Create("Sub"));
    EXPECT_TRUE(m_Key.OpenRoot(m_Registry.CurrentUser(), "software\\TEST\\sub"));
}

TEST_F(RegistryStorageTest, EnumeratesChildrenAndValues) {
    m_Key.CreateChild("b");
    m_Key.CreateChild("A");
    m_Key.CreateChild(std::string(128, 'z'));
    m_Key.WriteDword("second", 0);
    m_Key.WriteDword("first", 0);

    std::vector<std::string> children;
    std::string name;
    for (bool more = m_Key.GetFirstChildName(name); more; more = m_Key.GetNextChildName(name)) {
        children.push_back(name);
    }
    // Key names come in name order; a name too long for the buffer ends the enumeration.
    EXPECT_EQ(children, (std::vector<std::string>{"A", "b"}));
    std::vector<std::string> values;
    for (bool more = m_Key.GetFirstValueName(name); more; more = m_Key.GetNextValueName(name)) {
        values.push_back(name);
    }
    EXPECT_EQ(values, (std::vector<std::string>{"second", "first"}));
    ASSERT_TRUE(m_Key.GetFirstChildName(name));
    EXPECT_EQ(name, "A");
}

TEST_F(RegistryStorageTest, OpenCreateAndChildren) {
    EXPECT_FALSE(m_Key.Open("Missing"));
    EXPECT_TRUE(m_Key.IsOpen()) << "a failed Open leaves the storage where it was";
    EXPECT_EQ(m_Key.OpenChild("Missing"), nullptr);
    auto child = m_Key.CreateChild("Level1\\Level2");
    ASSERT_NE(child, nullptr);
    child->WriteDword("Deep", 1);
    EXPECT_EQ(m_Key.CreateChild(std::string(256, 'k')), nullptr);
    // A line break in a name would break the settings file.
    EXPECT_EQ(m_Key.CreateChild("two\nlines"), nullptr);
    EXPECT_FALSE(m_Key.WriteDword("two\nlines", 1));

    // A child lives on when its parent storage closes.
    m_Key.Close();
    EXPECT_FALSE(m_Key.IsOpen());
    EXPECT_FALSE(m_Key.WriteDword("x", 1));
    EXPECT_TRUE(child->WriteDword("Deep", 2));
    ASSERT_TRUE(m_Key.OpenRoot(m_Registry.CurrentUser(), "Software\\Test"));
    ASSERT_TRUE(m_Key.Open("Level1\\Level2"));
    EXPECT_EQ(m_Key.ReadDword("Deep", 0), 2u);
}

TEST_F(RegistryStorageTest, DeletingKeysAndValues) {
    auto tree = m_Key.CreateChild("Tree\\A\\B");
    m_Key.CreateChild("Tree\\C");
    m_Key.CreateChild("Other");
    m_Key.WriteDword("Value", 1);

    EXPECT_FALSE(m_Key.DeleteChild(""));
    EXPECT_FALSE(m_Key.DeleteChild("Missing"));
    EXPECT_TRUE(m_Key.DeleteChild("Tree"));
    EXPECT_EQ(m_Key.OpenChild("Tree"), nullptr);
    EXPECT_NE(m_Key.OpenChild("Other"), nullptr);
    // A storage still positioned inside a deleted tree fails from then on.
    EXPECT_FALSE(tree->WriteDword("x", 1));
    EXPECT_EQ(tree->CreateChild("y"), nullptr);

    EXPECT_TRUE(m_Key.DeleteValue("Value"));
    EXPECT_FALSE(m_Key.DeleteValue("Value"));
    m_Key.CreateChild("More\\Deep");
    EXPECT_TRUE(m_Key.DeleteAllChildren());
    std::string name;
    EXPECT_FALSE(m_Key.GetFirstChildName(name));
}

TEST_F(RegistryStorageTest, CompanyListReadsUpToTheFirstGap) {
    struct Case {
        const char* missingOrBlank;
        bool blank;
    };
    for (const Case c : {Case{"2", false}, Case{"2", true}}) {
        SCOPED_TRACE(c.blank ? "blank entry" : "missing entry");
        WriteCompanyList(m_Key, {"BHP", "RIO", "NAB", "ANZ", "WBC"});
        auto list = m_Key.OpenChild("CompanyList");
        ASSERT_NE(list, nullptr);
        if (c.blank) {
            list->OpenChild(c.missingOrBlank)->WriteString(c.missingOrBlank, "  ");
        } else {
            ASSERT_TRUE(list->DeleteChild(c.missingOrBlank));
        }
        CRegistryStorage key = Reopened();
        EXPECT_EQ(ReadCompanyList(key), (std::vector<std::string>{"BHP", "RIO"}));
    }
}

TEST_F(RegistryStorageTest, CompanyListIsRewrittenWhole) {
    WriteCompanyList(m_Key, {"BHP", "RIO", "NAB", "ANZ", "WBC"});
    WriteCompanyList(m_Key, {"CBA", "TLS"});
    CRegistryStorage key = Reopened();
    EXPECT_EQ(ReadCompanyList(key), (std::vector<std::string>{"CBA", "TLS"}));
    auto list = key.OpenChild("CompanyList");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->OpenChild("2"), nullptr);
    EXPECT_EQ(list->OpenChild("1")->ReadString("1", ""), "TLS");
    EXPECT_TRUE(ReadCompanyList(*key.CreateChild("NoList")).empty());
}

// Far more codes than anyone keeps: the list reads back whole after the file round trip,
// and a shorter list written over it leaves nothing of it behind.
TEST_F(RegistryStorageTest, CompanyListOfAHundredThousandCodes) {
    std::vector<std::string> codes;
    for (int i = 0; i < 100000; ++i) {
        codes.push_back("C" + std::to_string(i));
    }
    WriteCompanyList(m_Key, codes);
    CRegistryStorage key = Reopened();
    EXPECT_EQ(ReadCompanyList(key), codes);

    WriteCompanyList(key, {"BHP", "RIO"});
    auto list = key.OpenChild("CompanyList");
    ASSERT_NE(list, nullptr);
    std::vector<std::string> children;
    std::string name;
    for (bool more = list->GetFirstChildName(name); more; more = list->GetNextChildName(name)) {
        children.push_back(name);
    }
    EXPECT_EQ(children, (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(ReadCompanyList(key), (std::vector<std::string>{"BHP", "RIO"}));
}

// Looking names up by index must follow every deletion and addition.
TEST_F(RegistryStorageTest, EnumerationFollowsChangesToTheKey) {
    for (const char* value : {"a", "b", "c"}) {
        m_Key.WriteDword(value, 1);
        m_Key.CreateChild(value);
    }
    std::string name;
    ASSERT_TRUE(m_Key.GetFirstChildName(name));
    ASSERT_TRUE(m_Key.GetNextChildName(name));
    EXPECT_EQ(name, "b");
    m_Key.CreateChild("0");
    ASSERT_TRUE(m_Key.GetNextChildName(name));
    EXPECT_EQ(name, "b") << "index 2 names the third key of the changed order";
    ASSERT_TRUE(m_Key.DeleteChild("0"));
    ASSERT_TRUE(m_Key.DeleteChild("a"));
    EXPECT_FALSE(m_Key.GetNextChildName(name));
    ASSERT_TRUE(m_Key.GetFirstChildName(name));
    EXPECT_EQ(name, "b");

    m_Key.WriteDword("c", 3);
    EXPECT_TRUE(m_Key.DeleteValue("B"));
    m_Key.WriteDword("b", 2);
    std::vector<std::string> values;
    for (bool more = m_Key.GetFirstValueName(name); more; more = m_Key.GetNextValueName(name)) {
        values.push_back(name);
    }
    EXPECT_EQ(values, (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(m_Key.ReadDword("C", 0), 3u);
    EXPECT_EQ(m_Key.ReadDword("b", 0), 2u);
}

} // namespace
} // namespace strikeline
