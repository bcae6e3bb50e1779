#include "storage/ColorScheme.h"

#include "storage/RegistryFile.h"
#include "storage/RegistryStorage.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

using test::CTempFolder;
using test::WriteTextFile;

std::string SchemeFile(const std::string& children) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n<Settings>\n" +
           children + "</Settings>\n";
}

TEST(ColorScheme, Defaults) {
    const CColorScheme scheme;
    EXPECT_EQ(scheme.FontStyle(), "Times New Roman");
    EXPECT_EQ(scheme.FontSize(), 8u);
    EXPECT_EQ(scheme.Get(SchemeColor::ReportBk), 0xFFFFFFu);
    EXPECT_EQ(scheme.Get(SchemeColor::CompanyHeaderBk), Rgb(170, 170, 170));
    EXPECT_EQ(scheme.Get(SchemeColor::ASXFairPriceBk),
              0xAD1427u); // RGB(39, 20, 173): red in the low byte
    EXPECT_EQ(scheme.Get(SchemeColor::LeverageCostFg), 0xFFFFFFu);
    EXPECT_EQ(CColorScheme::NameOf(SchemeColor::ReturnPercentsBk), "ReturnPercentsBk");
}

TEST(ColorScheme, SavedFileHasTheFixedLayoutAndReadsBack) {
    CTempFolder folder;
    CColorScheme scheme;
    scheme.SetFontStyle("Arial & Co");
    scheme.SetFontSize(12);
    scheme.Set(SchemeColor::StrikePriceBk, Rgb(1, 2, 3));
    const std::string path = folder.File("mine.slclr");
    ASSERT_TRUE(scheme.SaveToFile(path));

    const std::string text = test::ReadTextFile(path);
    EXPECT_EQ(
        text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n<Settings>\n"
                   "    <FontStyle>Arial &amp; Co</FontStyle>\n    <FontSize>12</FontSize>\n"
                   "    <ReportBk>255,255,255</ReportBk>\n    <ReportFg>0,0,0</ReportFg>\n",
                   0),
        0u)
        << text;
    EXPECT_NE(text.find("<StrikePriceBk>1,2,3</StrikePriceBk>"), std::string::npos);
    EXPECT_NE(text.find("<LeverageCostFg>255,255,255</LeverageCostFg>\n</Settings>"),
              std::string::npos);

    CColorScheme read;
    std::string error;
    ASSERT_TRUE(read.LoadFromFile(path, error)) << error;
    EXPECT_EQ(read, scheme);
}

TEST(ColorScheme, MissingFieldsKeepTheirDefaults) {
    CTempFolder folder;
    const std::string path = folder.File("blue.slclr");
    WriteTextFile(
        path, SchemeFile("<ReportBk>0,0,255</ReportBk>\n<FontStyle>No Such Face</FontStyle>\n"));
    CColorScheme scheme;
    scheme.SetFontSize(15);
    std::string error;
    ASSERT_TRUE(scheme.LoadFromFile(path, error)) << error;
    CColorScheme expected;
    expected.Set(SchemeColor::ReportBk, 0xFF0000u); // blue
    expected.SetFontStyle("No Such Face");
    EXPECT_EQ(scheme, expected);
}

TEST(ColorScheme, BadFilesFailWithTheirMessage) {
    struct Case {
        std::string name;
        std::string text;
        std::string message;
    };
    CTempFolder folder;
    const std::vector<Case> cases = {
        {"size21", SchemeFile("<FontSize>21</FontSize>"),
         "Value \"21\" of element <FontSize> is out of range: should be [6..20]"},
        {"size5", SchemeFile("<FontSize>5</FontSize>"),
         "Value \"5\" of element <FontSize> is out of range: should be [6..20]"},
        {"sizeText", SchemeFile("<FontSize>big</FontSize>"),
         "Unable to convert value \"big\" of element <FontSize> to positive integer"},
        {"twoNumbers", SchemeFile("<ReportFg>255,255</ReportFg>"),
         "Unexpected value \"255,255\" of element <ReportFg>: should be RGB value"},
        {"faceWithElement", SchemeFile("<FontStyle><b/></FontStyle>"),
         "<FontStyle> element contains no text"},
        {"noRoot", "<Scheme><FontSize>8</FontSize></Scheme>", "<Settings> tag not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.File(c.name + ".slclr");
        WriteTextFile(path, c.text);
        CColorScheme scheme;
        std::string error;
        EXPECT_FALSE(scheme.LoadFromFile(path, error));
        EXPECT_EQ(error, c.message);
    }
    CColorScheme scheme;
    std::string error;
    const std::string missing = folder.File("missing.slclr");
    EXPECT_FALSE(scheme.LoadFromFile(missing, error));
    EXPECT_EQ(error, "File " + missing + " does not exist");
    WriteTextFile(folder.File("broken.slclr"), "<Settings><FontSize>8</Settings>");
    EXPECT_FALSE(scheme.LoadFromFile(folder.File("broken.slclr"), error));
    EXPECT_NE(error.find("(line 1, column"), std::string::npos) << error;
}

// A scheme file nested or crowded past anything the program writes is refused with its
// reason; the defaults stay.
TEST(ColorScheme, HostileFilesAreRefusedWithAReason) {
    std::string nested = "<Settings>";
    std::string crowded = "<Settings";
    for (int i = 0; i < 40000; ++i) {
        nested += "<a>";
    }
    for (int i = 0; i < 40000; ++i) {
        nested += "</a>";
    }
    nested += "</Settings>";
    for (int i = 0; i < 200000; ++i) {
        crowded += " a" + std::to_string(i) + "=\"1\"";
    }
    const std::vector<std::pair<std::string, std::string>> cases = {
        {nested, "Elements are nested more than 256 levels deep (line 1, column 776)"},
        {crowded + "/>", "An element has more than 1000 attributes (line 1, column 1)"},
    };
    CTempFolder folder;
    const std::string path = folder.File("hostile.slclr");
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(message);
        WriteTextFile(path, text + std::string(40000, ' '));
        CColorScheme scheme;
        scheme.SetFontSize(12);
        std::string error;
        EXPECT_FALSE(scheme.LoadFromFile(path, error));
        EXPECT_EQ(error, message);
        EXPECT_EQ(scheme.FontSize(), CColorScheme().FontSize());
    }
}

TEST(ColorScheme, SizesAtTheLimitsAndLargeNumbersLoad) {
    CTempFolder folder;
    for (const char* size : {"6", "20"}) {
        SCOPED_TRACE(size);
        const std::string path = folder.File(std::string(size) + ".slclr");
        WriteTextFile(path, SchemeFile(std::string("<FontSize>") + size +
                                       "</FontSize><ReportFg>256,0,0</ReportFg>"));
        CColorScheme scheme;
        std::string error;
        ASSERT_TRUE(scheme.LoadFromFile(path, error)) << error;
        EXPECT_EQ(scheme.FontSize(), static_cast<std::uint32_t>(std::stoul(size)));
        EXPECT_EQ(scheme.Get(SchemeColor::ReportFg), 256u) << "numbers above 255 are not refused";
    }
}

TEST(ColorScheme, SettingsRecordRoundTripsAndFillsGapsWithDefaults) {
    CRegistryFile registry;
    CRegistryStorage record;
    ASSERT_TRUE(record.CreateRoot(registry.CurrentUser(), "ColorScheme"));
    CColorScheme scheme;
    scheme.SetFontStyle("Courier");
    scheme.SetFontSize(14);
    scheme.Set(SchemeColor::OptionsHeaderFg, Rgb(9, 9, 9));
    scheme.SaveToSettings(record);
    EXPECT_EQ(record.ReadDword("OptionsHeaderFg", 0), Rgb(9, 9, 9));
    EXPECT_EQ(record.ReadInt("FontSize", 0), 14);

    CColorScheme read;
    read.LoadFromSettings(record);
    EXPECT_EQ(read, scheme);

    record.DeleteValue("FontStyle");
    record.DeleteValue("OptionsHeaderFg");
    read.LoadFromSettings(record);
    EXPECT_EQ(read.FontStyle(), "Times New Roman");
    EXPECT_EQ(read.Get(SchemeColor::OptionsHeaderFg),
              CColorScheme().Get(SchemeColor::OptionsHeaderFg));
    EXPECT_EQ(read.FontSize(), 14u);
}

} // namespace
} // namespace strikeline
