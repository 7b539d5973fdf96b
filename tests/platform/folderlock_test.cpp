#include "platform/folderlock.h"
#include "scratchfolder.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace fs = std::filesystem;
using inkvale::platform::FolderLock;
using inkvale::platform::isAbandonedFolder;
using inkvale::test::ScratchFolder;

void age(const fs::path &folder, std::chrono::seconds by)
{
    fs::last_write_time(folder, fs::file_time_type::clock::now() - by);
}

// A held lock is seen as live, also by the process that holds it; once released (as when
// its owner ends), the folder is abandoned at once, whatever its age.
TEST(FolderLock, TellsLiveFromAbandoned)
{
    const ScratchFolder folder;
    auto lock = std::make_unique<FolderLock>(folder.path());
    ASSERT_TRUE(lock->isHeld());
    age(folder.path(), std::chrono::hours(24));
    EXPECT_FALSE(isAbandonedFolder(folder.path()));
    lock.reset();
    EXPECT_TRUE(isAbandonedFolder(folder.path()));
}

// A folder without a lock may be one whose owner is about to make it: abandoned only once
// it has been left alone for a while.
TEST(FolderLock, UnlockedFolderIsAbandonedOnlyWhenOld)
{
    const ScratchFolder folder;
    const fs::path unlocked = folder.path() / "unlocked";
    fs::create_directory(unlocked);
    EXPECT_FALSE(isAbandonedFolder(unlocked));
    age(unlocked, std::chrono::minutes(2));
    EXPECT_TRUE(isAbandonedFolder(unlocked));
}

TEST(FolderLock, MissingFolderIsNotLocked)
{
    const ScratchFolder folder;
    EXPECT_FALSE(FolderLock(folder.path() / "missing").isHeld());
    EXPECT_FALSE(isAbandonedFolder(folder.path() / "missing"));
}

} // namespace
