#include "storage/RegistryFile.h"

#include "storage/RegistryStorage.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace strikeline {
namespace {

using test::CTempFolder;
using test::ReadTextFile;
using test::WriteTextFile;

TEST(RegistryFile, WritesTheRegistryExportLayout) {
    CRegistryFile registry;
    CRegistryStorage key;
    ASSERT_TRUE(key.CreateRoot(registry.CurrentUser(), "Software\\Maker\\App"));
    key.WriteInt("Count", 42);
    key.WriteString("Path", "C:\\data \"new\"");
    const std::uint8_t bytes[] = {1, 2, 0xff};
    key.WriteBinary("Blob", bytes);
    key.CreateChild("Child");

    EXPECT_EQ(registry.ToText(), "Windows Registry Editor Version 5.00\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\Software]\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\Software\\Maker]\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\Software\\Maker\\App]\n"
                                 "\"Count\"=dword:0000002a\n"
                                 "\"Path\"=\"C:\\\\data \\\"new\\\"\"\n"
                                 "\"Blob\"=hex:01,02,ff\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\Software\\Maker\\App\\Child]\n"
                                 "\n");
}

// Every value must come back byte for byte through the text, including strings that hold
// line breaks (the enciphered addresses do), long binary values that wrap over lines,
// and value types the program never writes itself.
TEST(RegistryFile, EveryValueRoundTripsThroughTheText) {
    CRegistryFile registry;
    const auto key = registry.CurrentUser()->Create("Software\\A");
    ASSERT_TRUE(key);
    std::vector<std::uint8_t> longBinary(100);
    for (std::size_t i = 0; i < longBinary.size(); ++i) {
        longBinary[i] = static_cast<std::uint8_t>(i * 7);
    }
    const std::vector<std::pair<std::string, CRegistryValue>> values = {
        {"Plain", {1, {'a', 'b', 0}}},
        {"WithBreaks", {1, {'a', '\r', '\n', 'b', 0}}},
        {"Accented", {1, {'M', 0xc3, 0xa4, 'r', 'z', 0}}},
        {"Empty", {1, {0}}},
        {"", {1, {'d', 'e', 'f', 0}}},
        {"Dword", {4, {0x78, 0x56, 0x34, 0x12}}},
        {"ShortDword", {4, {1, 2}}},
        {"Binary", {3, longBinary}},
        {"EmptyBinary", {3, {}}},
        {"Multi", {7, {'x', 0, 0}}},
        {"Name with \"quotes\" and \\", {1, {'q', 0}}},
    };
    for (const auto& [name, value] : values) {
        key->SetValue(name, value);
    }

    CRegistryFile copy;
    std::string error;
    ASSERT_TRUE(copy.Parse(registry.ToText(), error)) << error;
    const auto read = copy.CurrentUser()->Find("Software\\A");
    ASSERT_TRUE(read);
    ASSERT_EQ(read->Values().size(), values.size());
    for (const auto& [name, value] : values) {
        SCOPED_TRACE(name);
        const CRegistryValue* found = read->FindValue(name);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->type, value.type);
        EXPECT_EQ(found->data, value.data);
    }
    EXPECT_EQ(copy.ToText(), registry.ToText());
}

TEST(RegistryFile, ReadsHandWrittenExports) {
    const std::string text = "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
                             "\r\n"
                             "; a comment\r\n"
                             "[HKEY_CURRENT_USER\\Software\\A\\B]\r\n"
                             "@=\"default\"\r\n"
                             "\"Size\"=dword:A\r\n"
                             "\"Long\"=hex:01,02,\\\r\n"
                             "  03,04\r\n"
                             "\"Typed\"=hex(b):00,01\r\n"
                             "\"Gone\"=\"x\"\r\n"
                             "\"Gone\"=-\r\n"
                             "[hkey_current_user\\software\\a\\C]\r\n"
                             "[-HKEY_CURRENT_USER\\Software\\A\\C]\r\n"
                             "[HKEY_CURRENT_USER]\r\n"
                             "\"Top\"=dword:1\r\n";
    CRegistryFile registry;
    std::string error;
    ASSERT_TRUE(registry.Parse(text, error)) << error;
    CRegistryStorage key;
    ASSERT_TRUE(key.OpenRoot(registry.CurrentUser(), "SOFTWARE\\a\\b"));
    EXPECT_EQ(key.ReadString("", ""), "default");
    EXPECT_EQ(key.ReadDword("size", 0), 10u);
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(key.ReadBinary("Long", buffer), 4);
    EXPECT_EQ(buffer[3], 4);
    EXPECT_EQ(key.ReadDword("Gone", 7), 7u);
    EXPECT_TRUE(registry.CurrentUser()->Find("Software\\A"));
    EXPECT_FALSE(registry.CurrentUser()->Find("Software\\A\\C"));

    // Values of HKEY_CURRENT_USER itself survive the next save.
    CRegistryFile copy;
    ASSERT_TRUE(copy.Parse(registry.ToText(), error)) << error;
    ASSERT_NE(copy.CurrentUser()->FindValue("Top"), nullptr);
    EXPECT_EQ(copy.ToText(), registry.ToText());
}

TEST(RegistryFile, RejectsDamagedTextWithTheLine) {
    struct Case {
        const char* text;
        const char* fault;
    };
    const Case cases[] = {
        {"", "line 0: the file is empty"},
        {"REGEDIT5\n", "line 1: not a registry file"},
        {"Windows Registry Editor Version 5.00\n\"A\"=dword:1\n",
         "line 2: a value stands outside any key"},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n",
         "line 2: only keys under"},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X\n",
         "line 2: a key line should end"},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"A\"=dword:123456789\n",
         "line 3: the data of value \"A\""},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"A\"=hex:1,zz\n",
         "line 3:"},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"A\"=\"unterminated\n",
         "line 3:"},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"A\"=\"a\\nb\"\n",
         "line 3:"},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\nA=1\n",
         "line 3: a value line should"},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"A\" 1\n",
         "line 3: '=' expected"},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X\\\\Y]\n",
         "line 2: invalid key name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CRegistryFile registry;
        registry.CurrentUser()->Create("Software\\Old");
        std::string error;
        EXPECT_FALSE(registry.Parse(c.text, error));
        EXPECT_EQ(error.rfind(c.fault, 0), 0u) << error;
        EXPECT_TRUE(registry.CurrentUser()->Children().empty())
            << "a failed parse leaves nothing behind";
    }
}

TEST(RegistryFile, MissingFileIsAnEmptyRegistry) {
    CTempFolder folder;
    CRegistryFile registry;
    std::string error;
    EXPECT_TRUE(registry.Load(folder.File("settings.reg"), error));
    EXPECT_TRUE(registry.CurrentUser()->Children().empty());
    EXPECT_TRUE(error.empty());
}

TEST(RegistryFile, DamagedFileIsKeptAsideAndNeverOverwritten) {
    CTempFolder folder;
    const std::string path = folder.File("settings.reg");
    WriteTextFile(path, "garbage one");
    WriteTextFile(path + ".damaged", "garbage kept earlier");

    CRegistryFile registry;
    std::string error;
    EXPECT_FALSE(registry.Load(path, error));
    EXPECT_NE(error.find("damaged.1"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(ReadTextFile(path + ".damaged"), "garbage kept earlier");
    EXPECT_EQ(ReadTextFile(path + ".damaged.1"), "garbage one");

    // The program goes on with defaults and writes a good file at exit.
    registry.CurrentUser()->Create("Software\\New");
    ASSERT_TRUE(registry.Save(path, error)) << error;
    CRegistryFile next;
    ASSERT_TRUE(next.Load(path, error)) << error;
    EXPECT_TRUE(next.CurrentUser()->Find("Software\\New"));
}

std::string KeyPath(std::size_t depth, const std::string& name = "k") {
    std::string path = "HKEY_CURRENT_USER";
    for (std::size_t i = 0; i < depth; ++i) {
        path += "\\" + name;
    }
    return path;
}

// A key nested past what a registry holds, or a name longer than it allows, made every quit
// crash (a key 100,000 levels deep) or grew the file a thousandfold when written back.
TEST(RegistryFile, KeysTooDeepOrNamesTooLongAreKeptAsideAndTold) {
    struct Case {
        std::string text;
        std::string fault;
    };
    const std::string header = "Windows Registry Editor Version 5.00\n\n";
    const Case cases[] = {
        {header + "[" + KeyPath(100000) + "]\n",
         "line 3: keys are nested more than 35 levels deep"},
        {header + "[" + KeyPath(36) + "]\n", "line 3: keys are nested more than 35 levels deep"},
        {header + "[-" + KeyPath(100000) + "]\n",
         "line 3: keys are nested more than 35 levels deep"},
        {header + "[" + KeyPath(1, std::string(256, 'n')) + "]\n",
         "line 3: a key name is longer than 255 characters"},
        {header + "[HKEY_CURRENT_USER\\A]\n\"" + std::string(16384, 'v') + "\"=dword:1\n",
         "line 4: a value name is longer than 16383 characters"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        CTempFolder folder;
        const std::string path = folder.File("settings.reg");
        WriteTextFile(path, c.text);

        CRegistryFile registry;
        std::string error;
        EXPECT_FALSE(registry.Load(path, error));
        EXPECT_EQ(error, "The settings file " + path + " cannot be read (" + c.fault +
                             "). It was kept as " + path +
                             ".damaged and the default settings "
                             "are used.");
        // (Compared as a flag: the texts run to hundreds of kilobytes.)
        EXPECT_TRUE(ReadTextFile(path + ".damaged") == c.text) << "kept as it was";
        EXPECT_TRUE(registry.CurrentUser()->Children().empty());

        // The quit that follows writes the settings.
        registry.CurrentUser()->Create("Software\\New");
        ASSERT_TRUE(registry.Save(path, error)) << error;
        EXPECT_EQ(ReadTextFile(path), registry.ToText());
    }
}

TEST(RegistryFile, KeysAtTheBoundsReadAndWriteBack) {
    const std::string name(255, 'n');
    const std::string text = "Windows Registry Editor Version 5.00\n\n[" + KeyPath(35, name) +
                             "]\n\"" + std::string(16383, 'v') + "\"=dword:00000001\n\n";
    CRegistryFile registry;
    std::string error;
    ASSERT_TRUE(registry.Parse(text, error)) << error;
    std::string relative = name;
    for (int i = 1; i < 35; ++i) {
        relative += "\\" + name;
    }
    const auto deepest = registry.CurrentUser()->Find(relative);
    ASSERT_TRUE(deepest);
    EXPECT_NE(deepest->FindValue(std::string(16383, 'v')), nullptr);
    CRegistryFile copy;
    ASSERT_TRUE(copy.Parse(registry.ToText(), error)) << error;
    EXPECT_EQ(copy.ToText(), registry.ToText());
}

TEST(RegistryFile, SaveReplacesAtomicallyAndKeepsPermissions) {
    CTempFolder folder;
    const std::string path = folder.File("settings.reg");
    WriteTextFile(path, "Windows Registry Editor Version 5.00\n");
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);

    CRegistryFile registry;
    registry.CurrentUser()->Create("Software\\X");
    std::string error;
    ASSERT_TRUE(registry.Save(path, error)) << error;
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadTextFile(path), registry.ToText());
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);

    EXPECT_FALSE(registry.Save(folder.File("missing/settings.reg"), error));
    EXPECT_NE(error.find("missing/settings.reg"), std::string::npos) << error;
}

} // namespace
} // namespace strikeline
