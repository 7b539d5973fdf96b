#include "platform/folderlock.h"
#include "scratchfolder.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;
using inkvale::platform::FolderLock;
using inkvale::platform::isAbandonedFolder;
using inkvale::test::ScratchFolder;

void age(const fs::path &folder, std::chrono::seconds by)
{
#ifdef _WIN32
    // The C runtime that std::filesystem sets times through cannot open a folder.
    const HANDLE handle =
        CreateFileW(folder.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time;
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    // In units of 100 ns.
    time.QuadPart -= static_cast<ULONGLONG>(by.count()) * 10'000'000;
    const FILETIME then{time.LowPart, time.HighPart};
    const bool set = SetFileTime(handle, nullptr, nullptr, &then) != 0;
    CloseHandle(handle);
    ASSERT_TRUE(set);
#else
    fs::last_write_time(folder, fs::file_time_type::clock::now() - by);
#endif
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
