#include "platform/ModuleLoader.h"

#include "marketdata/HttpTransfer.h"
#include "plan/PlanOfficeModule.h"
#include "session/UrlCipher.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace strikeline {
namespace {

namespace fs = std::filesystem;

// A program in the build tree finds every module where the build put it, with its entries.
TEST(ModuleLoader, FindsTheModulesOfTheBuildTree) {
    const struct {
        const char* module;
        const char* entry;
    } entries[] = {{kHttpModule, kHttpDownloadEntry},
                   {kOfficeModule, kWritePlanXlsxEntry},
                   {kOfficeModule, kWritePlanDocxEntry},
                   {kCipherModule, kEncipherEntry},
                   {kCipherModule, kDecipherEntry}};
    for (const auto& [module, entry] : entries) {
        std::string error;
        EXPECT_NE(FindModuleEntry(module, entry, error), nullptr) << module << ": " << error;
        EXPECT_EQ(error, "") << module;
    }
}

// The private library folder beside the program comes first; the build tree's folder only
// follows for a program inside the build tree.
TEST(ModuleLoader, LooksBesideTheProgramFirst) {
    const std::vector<std::string> folders = ModuleFolders();
    ASSERT_EQ(folders.size(), 2u);
    const fs::path program = fs::canonical("/proc/self/exe");
    // <program folder>/../lib[/<multiarch>]/strikeline
    const fs::path beside =
        fs::path(folders[0]).lexically_relative(program.parent_path().parent_path());
    EXPECT_EQ(*beside.begin(), "lib") << folders[0];
    EXPECT_EQ(beside.filename(), "strikeline") << folders[0];
    EXPECT_TRUE(fs::exists(fs::path(folders[1]) / (std::string(kHttpModule) + ".so")));
}

// What is wrong is said, and nothing is found.
TEST(ModuleLoader, SaysWhyAModuleIsNotThere) {
    test::CTempFolder empty;
    test::CTempFolder damaged;
    test::WriteTextFile(damaged.File("strikeline-http.so"), "not a shared object");
    std::string error;
    const std::vector<std::string> buildTree = {ModuleFolders().back()};
    const struct {
        std::vector<std::string> folders;
        const char* entry;
        std::string said;
    } cases[] = {
        {{}, kHttpDownloadEntry, "the program's module strikeline-http.so was not found"},
        {{empty.Path().string()},
         kHttpDownloadEntry,
         "the program's module strikeline-http.so was not found in " + empty.Path().string()},
        {{damaged.Path().string()},
         kHttpDownloadEntry,
         "the program's module " + damaged.File("strikeline-http.so") + " could not be loaded: "},
        {buildTree, "NoSuchEntry",
         "the program's module " + buildTree.front() + "/strikeline-http.so has no NoSuchEntry"},
    };
    for (const auto& [folders, entry, said] : cases) {
        error.clear();
        EXPECT_EQ(FindModuleEntry(kHttpModule, entry, folders, error), nullptr) << said;
        EXPECT_EQ(error.substr(0, said.size()), said);
    }
}

} // namespace
} // namespace strikeline
