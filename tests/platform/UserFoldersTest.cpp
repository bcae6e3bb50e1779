#include "platform/UserFolders.h"

#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace strikeline {
namespace {

using test::CScopedEnv;

TEST(UserFolders, FollowTheXdgVariablesAndCreateTheFolders) {
    test::CTempFolder folder;
    const std::string home = folder.File("home");
    const CScopedEnv homeEnv("HOME", home.c_str());
    {
        const CScopedEnv data("XDG_DATA_HOME", folder.File("data").c_str());
        const CScopedEnv config("XDG_CONFIG_HOME", folder.File("config").c_str());
        EXPECT_EQ(DataFolder(), folder.File("data/Strikeline"));
        EXPECT_TRUE(std::filesystem::is_directory(folder.File("data/Strikeline")));
        EXPECT_EQ(SettingsFilePath(), folder.File("config/Strikeline/settings.reg"));
        EXPECT_TRUE(std::filesystem::is_directory(folder.File("config/Strikeline")));
    }
    // Unset or relative values fall back to the home folder, as the XDG rules say.
    const CScopedEnv data("XDG_DATA_HOME", "relative/data");
    const CScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(DataFolder(), home + "/.local/share/Strikeline");
    EXPECT_TRUE(std::filesystem::is_directory(home + "/.local/share/Strikeline"));
    EXPECT_EQ(SettingsFilePath(), home + "/.config/Strikeline/settings.reg");
}

TEST(UserFolders, PathInFolder) {
    EXPECT_EQ(PathInFolder("/a/b", "diary.xml"), "/a/b/diary.xml");
    EXPECT_EQ(PathInFolder("/a/b/", "diary.xml"), "/a/b/diary.xml");
    EXPECT_EQ(PathInFolder("", "diary.xml"), "diary.xml") << "never the root folder";
}

} // namespace
} // namespace strikeline
