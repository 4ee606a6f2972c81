// The single-instance mutex, and the platform's small services.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/instance_mutex.h"
#include "platform/win32/win32_platform.h"
#include "win32_test_support.h"

namespace qlp::test {
namespace {

TEST(Win32InstanceMutex, TheSecondHolderSeesTheFirstUntilItIsGone) {
    const std::wstring name = L"Local\\QuillopTest." + std::to_wstring(::GetCurrentProcessId());
    {
        win32::InstanceMutex first(name.c_str());
        EXPECT_FALSE(first.heldElsewhere());
        win32::InstanceMutex second(name.c_str());
        EXPECT_TRUE(second.heldElsewhere());
    }
    // Nothing is left behind by the ones that ended.
    win32::InstanceMutex again(name.c_str());
    EXPECT_FALSE(again.heldElsewhere());
}

TEST(Win32Services, DirKillAndCurDirWorkOnWideNames) {
    WinTempDir dir;
    win32::Win32Platform platform(dir.utf8());
    EXPECT_EQ(platform.GetWindowsDirectoryA(), dir.utf8());
    writeBytes(dir.at("Licn7"), "x");
    // The name as the file system spells it, compared by the caller without regard to case.
    EXPECT_EQ(platform.Dir(dir.file("licn7")), "Licn7");
    EXPECT_EQ(platform.Dir(dir.file("Licn8")), "");
    // A folder is not a normal file.
    EXPECT_EQ(platform.Dir(dir.utf8()), "");
    EXPECT_TRUE(platform.Kill(dir.file("Licn7")));
    EXPECT_FALSE(std::filesystem::exists(dir.at("Licn7")));
    EXPECT_FALSE(platform.Kill(dir.file("Licn7")));

    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const std::string cwd = platform.CurDir();
    std::filesystem::current_path(before);
    EXPECT_EQ(_wcsicmp(win32::widen(cwd).c_str(), dir.path().c_str()), 0) << cwd;

    const float t = platform.Timer();
    EXPECT_GE(t, 0.0f);
    EXPECT_LT(t, 86400.0f);
}

}  // namespace
}  // namespace qlp::test
