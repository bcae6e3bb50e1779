#include "platform/AtomicFileWriter.h"

#include "platform/AtomicFile.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace strikeline {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFileWriter, CommitReplacesTheFileAndKeepsItsPermissions) {
    test::CTempFolder folder;
    const std::string path = folder.File("plan.csv");
    test::WriteTextFile(path, "old");
    ::chmod(path.c_str(), 0640);
    {
        CAtomicFileWriter file(path);
        std::string error;
        ASSERT_TRUE(file.Open(error)) << error;
        ASSERT_TRUE(file.Write("new contents", error)) << error;
        EXPECT_EQ(test::ReadTextFile(path), "old"); // nothing changes before the commit
        ASSERT_TRUE(file.Commit(error)) << error;
    }
    EXPECT_EQ(test::ReadTextFile(path), "new contents");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

TEST(AtomicFileWriter, AFileWrittenByALibraryIsCommittedAndAnAbandonedOneRemoved) {
    test::CTempFolder folder;
    const std::string path = folder.File("plan.xlsx");
    std::string error;
    {
        CAtomicFileWriter file(path);
        ASSERT_TRUE(file.Open(error)) << error;
        // A library that replaces the file at the path it is given.
        fs::remove(file.TemporaryPath());
        std::ofstream(file.TemporaryPath()) << "written by another";
        ASSERT_TRUE(file.Commit(error)) << error;
    }
    EXPECT_EQ(test::ReadTextFile(path), "written by another");
    {
        CAtomicFileWriter file(path);
        ASSERT_TRUE(file.Open(error)) << error;
        ASSERT_TRUE(file.Write("half", error));
    }
    EXPECT_EQ(test::ReadTextFile(path), "written by another");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

TEST(AtomicFileWriter, OpenInAMissingFolderGivesTheSystemReason) {
    test::CTempFolder folder;
    CAtomicFileWriter file(folder.File("missing/plan.csv"));
    std::string error;
    EXPECT_FALSE(file.Open(error));
    EXPECT_EQ(error, "No such file or directory");
}

TEST(CopyAside, NeverOverwritesAnEarlierCopy) {
    test::CTempFolder folder;
    const std::string path = folder.File("diary.xml");
    test::WriteTextFile(path, "first");
    EXPECT_EQ(CopyAside(path, "damaged"), path + ".damaged");
    test::WriteTextFile(path, "second");
    EXPECT_EQ(CopyAside(path, "damaged"), path + ".damaged.1");
    EXPECT_EQ(test::ReadTextFile(path + ".damaged"), "first");
    EXPECT_EQ(test::ReadTextFile(path + ".damaged.1"), "second");
    EXPECT_EQ(test::ReadTextFile(path), "second");
    EXPECT_EQ(CopyAside(folder.File("missing.xml"), "damaged"), "");
}

} // namespace
} // namespace strikeline
