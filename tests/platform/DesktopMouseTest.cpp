#include "platform/DesktopMouse.h"

#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace strikeline {
namespace {

using test::CScopedEnv;

struct CPlasmaCase {
    const char* name;
    const char* kcminputrc;
    std::optional<bool> leftHanded;
};

TEST(DesktopMouse, PlasmaSettingsFileSaysWhichHand) {
    const CPlasmaCase cases[] = {
        {"X11 left", "[Mouse]\nXLbInptLeftHanded=true\n", true},
        {"X11 right", "[Mouse]\nXLbInptLeftHanded=false\n", false},
        {"older X11 mapping", "[Mouse]\nMouseButtonMapping=LeftHanded\n", true},
        {"older X11 right", "[Mouse]\nMouseButtonMapping=RightHanded\n", false},
        {"Wayland device", "[Libinput][1133][49271][Logitech USB Optical Mouse]\nLeftHanded=true\n",
         true},
        {"one of two devices",
         "[Libinput][1][2][Touchpad]\nLeftHanded=false\n\n[Libinput][3][4][Mouse]\n"
         "LeftHanded=true\n",
         true},
        {"spaces and flags", "  [Mouse]  \n XLbInptLeftHanded[$e] = true \n", true},
        {"other group", "[Keyboard]\nXLbInptLeftHanded=true\nLeftHanded=true\n", std::nullopt},
        {"other key", "[Mouse]\nXLbInptAccelProfileFlat=true\n", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const CPlasmaCase& item : cases) {
        EXPECT_EQ(PlasmaLeftHanded(item.kcminputrc), item.leftHanded) << item.name;
    }
}

TEST(DesktopMouse, AnySourceSayingLeftHandedSwapsTheButtons) {
    test::CTempFolder folder;
    const std::string left = folder.File("left");
    const std::string right = folder.File("right");
    test::WriteTextFile(left, "[Mouse]\nXLbInptLeftHanded=true\n");
    test::WriteTextFile(right, "[Mouse]\nXLbInptLeftHanded=false\n");
    const auto gnome = [](std::optional<bool> answer) {
        return [answer] {
            return answer;
        };
    };
    EXPECT_FALSE(MouseButtonsSwapped({gnome(std::nullopt), folder.File("missing")}));
    EXPECT_FALSE(MouseButtonsSwapped({gnome(false), right}));
    EXPECT_FALSE(MouseButtonsSwapped({nullptr, ""}));
    EXPECT_TRUE(MouseButtonsSwapped({gnome(true), right}));
    EXPECT_TRUE(MouseButtonsSwapped({gnome(false), left}));
    EXPECT_TRUE(MouseButtonsSwapped({gnome(std::nullopt), left}));
}

TEST(DesktopMouse, UserSourcesAreGnomeAndTheUsersPlasmaFile) {
    test::CTempFolder folder;
    const CScopedEnv config("XDG_CONFIG_HOME", folder.Path().c_str());
    const CDesktopMouseSources sources = UserDesktopMouseSources();
    EXPECT_EQ(sources.plasmaConfigFile, folder.File("kcminputrc"));
    using Reader = std::optional<bool> (*)();
    const Reader* gnome = sources.gnome.target<Reader>();
    ASSERT_NE(gnome, nullptr);
    EXPECT_EQ(*gnome, &GnomeLeftHanded);
}

// Without a session bus there is no GNOME session, and asking would make the settings
// library start a bus of its own.
TEST(DesktopMouse, WithoutASessionBusGnomeIsNotAsked) {
    test::CTempFolder runtime; // holds no bus
    const CScopedEnv backend("GSETTINGS_BACKEND", nullptr);
    const CScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", nullptr);
    const CScopedEnv folder("XDG_RUNTIME_DIR", runtime.Path().c_str());
    EXPECT_EQ(GnomeLeftHanded(), std::nullopt);
}

// GNOME's settings in a file of the test's own, through the library's file backend.
TEST(DesktopMouse, GnomeSettingReadsTheUsersChoice) {
    test::CTempFolder folder;
    const CScopedEnv config("XDG_CONFIG_HOME", folder.Path().c_str());
    const CScopedEnv backend("GSETTINGS_BACKEND", "keyfile");
    std::filesystem::create_directories(folder.Path() / "glib-2.0/settings");
    test::WriteTextFile(folder.File("glib-2.0/settings/keyfile"),
                        "[org/gnome/desktop/peripherals/mouse]\nleft-handed=true\n");
    const std::optional<bool> leftHanded = GnomeLeftHanded();
    if (!leftHanded.has_value()) {
        GTEST_SKIP() << "GNOME's settings library or its mouse settings are not installed";
    }
    EXPECT_TRUE(*leftHanded);
    EXPECT_TRUE(MouseButtonsSwapped({GnomeLeftHanded, folder.File("no-kcminputrc")}));
}

} // namespace
} // namespace strikeline
