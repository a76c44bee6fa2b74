// The interpreter's deletion of a file, in-process on a scratch file held the
// way a running program holds its own file.
#include <gtest/gtest.h>

#include "test_fs.h"
#include "ui_driver.h"
#include "uninstall/self_delete.h"

namespace {
// StartSelfDeletion raises the caller's priority, as the uninstaller wants for itself.
struct PriorityGuard {
    ~PriorityGuard() {
        ::SetPriorityClass(::GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
        WaitProcessesEnded("cmd.exe");
    }
};
}  // namespace

TEST(SelfDeletion, FileStillInUseGoesOnceItIsReleased) {
    PriorityGuard priority;
    ScratchDir dir("self delete");
    std::string file = dir / "Uninstall copy.exe";
    ASSERT_TRUE(WriteFileText(file, "copy"));
    ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE held = ::CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    EXPECT_EQ(StartSelfDeletion(file.c_str()), 0u);
    EXPECT_EQ(::GetPriorityClass(::GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
    EXPECT_FALSE(WaitFileGone(file, 1500));
    ::CloseHandle(held);
    EXPECT_TRUE(WaitFileGone(file, 10000));
}

TEST(SelfDeletion, TheSystemInterpreterRunsWhateverComspecSays) {
    PriorityGuard priority;
    ScratchDir dir("self delete");
    std::string file = dir / "Uninstall.exe";
    ASSERT_TRUE(WriteFileText(file, "copy"));
    std::string planted = dir / "planted.cmd";
    ASSERT_TRUE(WriteFileText(planted, "@echo planted> \"" + dir / "ran.txt" + "\"\r\n"));
    for (const char* value : {static_cast<const char*>(nullptr), planted.c_str()}) {
        ASSERT_TRUE(WriteFileText(file, "copy"));
        ScopedEnvironmentVariable comspec("COMSPEC", value);
        EXPECT_EQ(StartSelfDeletion(file.c_str()), 0u);
        EXPECT_TRUE(WaitFileGone(file, 10000));
    }
    EXPECT_FALSE(FileExists(dir / "ran.txt"));
}
