// The per-user settings folder and the one-time import of an earlier
// version's files from the Windows directory or its virtualised copy.
#include "platform/win32/settings_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "win32_test_support.h"

namespace qlp::test {
namespace {

using win32::importLegacySettings;

void fill(const std::filesystem::path& folder, const std::string& tag) {
    std::filesystem::create_directories(folder);
    writeBytes(folder / L"QLPconf.ini", "[DATA]\r\nTEXT0=" + tag + "\r\n");
    writeBytes(folder / L"Licn0", "picture 0 " + tag);
    writeBytes(folder / L"Licn119", "picture 119 " + tag);
    writeBytes(folder / L"notepad.exe", "not ours");
}

TEST(Win32SettingsFolder, ImportsOnceFromWhereTheEarlierVersionKeptItsFilesAndNeverMovesThem) {
    struct Case {
        const char* name;
        bool virtualStore;
        bool windows;
        bool alreadyThere;
        std::string expected;  // tag of the imported settings; "" = nothing imported
    };
    const std::vector<Case> cases = {
        {"only the Windows directory", false, true, false, "windows"},
        {"only its virtualised copy", true, false, false, "virtual"},
        // What the earlier version saw when both existed was its virtualised copy.
        {"both: the virtualised copy", true, true, false, "virtual"},
        {"neither", false, false, false, ""},
        {"settings already in the folder", true, true, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WinTempDir dir;
        const auto target = dir.at("Quillop");
        const auto virtualStore = dir.at("VirtualStore\\Windows");
        const auto windows = dir.at("Windows");
        std::filesystem::create_directories(target);
        std::filesystem::create_directories(windows);
        if (c.virtualStore) fill(virtualStore, "virtual");
        if (c.windows) fill(windows, "windows");
        if (c.alreadyThere) writeBytes(target / L"QLPconf.ini", "[DATA]\r\nTEXT0=mine\r\n");

        const bool imported = importLegacySettings(
            win32::narrow(target.wstring()), {win32::narrow(virtualStore.wstring()), win32::narrow(windows.wstring())});
        EXPECT_EQ(imported, !c.expected.empty());
        if (c.expected.empty()) {
            EXPECT_FALSE(std::filesystem::exists(target / L"Licn0"));
            if (c.alreadyThere) {
                EXPECT_EQ(readBytes(target / L"QLPconf.ini"), "[DATA]\r\nTEXT0=mine\r\n");
            }
            continue;
        }
        EXPECT_EQ(readBytes(target / L"QLPconf.ini"), "[DATA]\r\nTEXT0=" + c.expected + "\r\n");
        EXPECT_EQ(readBytes(target / L"Licn0"), "picture 0 " + c.expected);
        EXPECT_EQ(readBytes(target / L"Licn119"), "picture 119 " + c.expected);
        EXPECT_FALSE(std::filesystem::exists(target / L"notepad.exe"));
        EXPECT_FALSE(std::filesystem::exists(target / L"QLPconf.ini.tmp"));
        // A copy: the old files stay where they were.
        const auto source = c.expected == "virtual" ? virtualStore : windows;
        EXPECT_EQ(readBytes(source / L"QLPconf.ini"), "[DATA]\r\nTEXT0=" + c.expected + "\r\n");
        EXPECT_TRUE(std::filesystem::exists(source / L"Licn0"));
        // Done once: a second start finds its own settings and imports nothing.
        EXPECT_FALSE(importLegacySettings(win32::narrow(target.wstring()), {win32::narrow(windows.wstring())}));
    }
}

TEST(Win32SettingsFolder, LooksInTheVirtualisedCopyFirstThenTheWindowsDirectory) {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    const wchar_t* root = _wgetenv(L"SystemRoot");
    ASSERT_TRUE(local && root);
    const std::vector<std::string> folders = win32::legacyFolders();
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(_wcsicmp(win32::widen(folders[0]).c_str(), (std::wstring(local) + L"\\VirtualStore\\Windows").c_str()), 0)
        << folders[0];
    EXPECT_EQ(_wcsicmp(win32::widen(folders[1]).c_str(), root), 0) << folders[1];
}

TEST(Win32SettingsFolder, ThePerUserFolderIsQuillopInTheRoamingApplicationData) {
    const wchar_t* appData = _wgetenv(L"APPDATA");
    ASSERT_TRUE(appData);
    const std::string folder = win32::perUserFolder();
    EXPECT_EQ(_wcsicmp(win32::widen(folder).c_str(), (std::wstring(appData) + L"\\Quillop").c_str()), 0) << folder;
    EXPECT_TRUE(std::filesystem::is_directory(win32::widen(folder)));
}

}  // namespace
}  // namespace qlp::test
