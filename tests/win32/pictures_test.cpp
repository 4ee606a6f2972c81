// Slot pictures as bitmap files, and the icons of files as Explorer shows them.
#include <gtest/gtest.h>
#include <windows.h>
// The headers that build on windows.h:
#include <psapi.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/launcher.h"
#include "platform/bmp/bmp_codec.h"
#include "platform/win32/win32_platform.h"
#include "settings/settings_io.h"
#include "win32_test_support.h"

namespace qlp::test {
namespace {

Bitmap pattern(int w, int h) {
    Bitmap b;
    b.width = w;
    b.height = h;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            b.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(x * 9 << 16 | y * 7 << 8 | (x ^ y)));
    }
    return b;
}

std::string encoded(const Bitmap& b) {
    const std::vector<unsigned char> bytes = bmp::encodeBmp(b);
    return {bytes.begin(), bytes.end()};
}

// A day long past: a file rewritten now gets today's time instead.
constexpr std::uint64_t kLongAgo = 126227808000000000ull;  // 2001-01-01 in FILETIME units

void dateBack(const std::filesystem::path& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    FILETIME time{static_cast<DWORD>(kLongAgo), static_cast<DWORD>(kLongAgo >> 32)};
    EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &time));
    ::CloseHandle(file);
}

std::uint64_t lastWrite(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

std::set<std::wstring> namesIn(const std::filesystem::path& dir) {
    std::set<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.insert(entry.path().filename());
    return names;
}

std::string licn(int slot) { return "Licn" + std::to_string(slot); }

TEST(Win32Pictures, APictureSavedLoadsBackTheSame) {
    WinTempDir dir;
    win32::Win32Platform platform(dir.utf8());
    // Odd widths need row padding.
    for (const Bitmap& b : {pattern(32, 32), pattern(7, 3), pattern(1, 1)}) {
        ASSERT_TRUE(platform.SavePicture(b, dir.file("Licn0")));
        const auto loaded = platform.LoadPicture(dir.file("Licn0"));
        ASSERT_TRUE(loaded);
        EXPECT_EQ(*loaded, b);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.at("Licn0.tmp")));
    EXPECT_FALSE(platform.SavePicture(Bitmap{}, dir.file("Licn1")));
    EXPECT_FALSE(std::filesystem::exists(dir.at("Licn1")));
}

TEST(Win32Pictures, ASaveReplacesExactlyTheChangedPicturesWhenItEnds) {
    struct Case {
        const char* name;
        std::map<int, Bitmap> saved;  // slot -> the picture the save gives it
    };
    // Slots 0 to 3 hold pictures of width 4 + slot before the save.
    const std::vector<Case> cases = {
        {"nothing changed", {{0, pattern(4, 4)}, {1, pattern(5, 4)}, {2, pattern(6, 4)}, {3, pattern(7, 4)}}},
        {"two changed, one new, one left out",
         {{0, pattern(4, 4)}, {1, pattern(9, 9)}, {3, pattern(2, 2)}, {6, pattern(3, 5)}}},
        {"every one changed, many new",
         {{0, pattern(1, 1)},
          {1, pattern(2, 1)},
          {2, pattern(3, 1)},
          {3, pattern(4, 1)},
          {4, pattern(5, 1)},
          {5, pattern(6, 1)},
          {6, pattern(7, 1)},
          {7, pattern(8, 1)},
          {8, pattern(9, 1)},
          {9, pattern(10, 1)},
          {10, pattern(11, 1)},
          {11, pattern(12, 1)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WinTempDir dir;
        win32::Win32Platform platform(dir.utf8());
        std::map<int, std::string> before;
        for (int slot = 0; slot < 4; ++slot) {
            ASSERT_TRUE(platform.SavePicture(pattern(4 + slot, 4), dir.file(licn(slot))));
            dateBack(dir.at(licn(slot)));
            before[slot] = readBytes(dir.at(licn(slot)));
        }
        platform.BeginProfileBatch(dir.file("QLPconf.ini"));
        // A picture given twice in one save gets the later one.
        ASSERT_TRUE(platform.SavePicture(pattern(13, 13), dir.file(licn(1))));
        for (const auto& [slot, picture] : c.saved) ASSERT_TRUE(platform.SavePicture(picture, dir.file(licn(slot))));
        // Nothing reaches the folder before the save ends.
        std::set<std::wstring> names = {L"Licn0", L"Licn1", L"Licn2", L"Licn3"};
        EXPECT_EQ(namesIn(dir.path()), names);
        for (int slot = 0; slot < 4; ++slot) EXPECT_EQ(readBytes(dir.at(licn(slot))), before[slot]) << slot;
        EXPECT_TRUE(platform.EndProfileBatch());

        for (const auto& [slot, picture] : c.saved) names.insert(win32::widen(licn(slot)));
        EXPECT_EQ(namesIn(dir.path()), names);  // nothing beside them
        for (int slot = 0; slot < 12; ++slot) {
            SCOPED_TRACE(slot);
            const auto given = c.saved.find(slot);
            if (given == c.saved.end()) {
                if (slot < 4) {
                    EXPECT_EQ(readBytes(dir.at(licn(slot))), before[slot]);
                }
                continue;
            }
            const std::string expected = encoded(given->second);
            EXPECT_EQ(readBytes(dir.at(licn(slot))), expected);
            // A file that held the picture already is not written at all.
            const bool unchanged = before.count(slot) && before[slot] == expected;
            EXPECT_EQ(lastWrite(dir.at(licn(slot))) == kLongAgo, unchanged);
        }
    }
}

TEST(Win32Pictures, ASettingsSaveRewritesOnlyThePicturesThatChanged) {
    WinTempDir dir;
    win32::Win32Platform platform(dir.utf8());
    Launcher app(platform);
    app.form1.winDir = dir.utf8();
    for (int slot : {0, 5, 13}) {
        app.form1.slotPath[slot] = "C:\\tools\\tool" + std::to_string(slot) + ".exe";
        app.form1.Image1[slot].picture = std::make_shared<const Bitmap>(pattern(8 + slot, 8));
    }
    SaveSettings(app);
    const std::set<std::wstring> names = {L"Licn0", L"Licn13", L"Licn5", L"QLPconf.ini"};
    ASSERT_EQ(namesIn(dir.path()), names);
    for (const std::wstring& name : names) dateBack(dir.path() / name);
    const std::string settings = readBytes(dir.at("QLPconf.ini"));

    app.form1.Image1[5].picture = std::make_shared<const Bitmap>(pattern(3, 3));
    SaveSettings(app);
    EXPECT_EQ(namesIn(dir.path()), names);
    EXPECT_EQ(readBytes(dir.at("Licn5")), encoded(pattern(3, 3)));
    EXPECT_NE(lastWrite(dir.at("Licn5")), kLongAgo);
    for (const char* same : {"Licn0", "Licn13"}) EXPECT_EQ(lastWrite(dir.at(same)), kLongAgo) << same;
    // Nothing in the settings changed: the file, replaced by every save, reads as it did.
    EXPECT_EQ(readBytes(dir.at("QLPconf.ini")), settings);
}

TEST(Win32Pictures, APictureThatCannotBeReplacedKeepsItsOldFileAndTheOthersAreSaved) {
    enum class When { Given, SaveEnds };
    struct Case {
        const char* name;
        When reported;  // whether SavePicture refuses it, or the end of the save finds it failed
        // Puts the obstacle in place; what it returns is undone after the save.
        std::function<std::function<void()>(const WinTempDir&)> obstruct;
    };
    const auto held = [](const WinTempDir& dir) -> std::function<void()> {
        // Another program has it open and lets nobody replace it.
        const HANDLE file =
            ::CreateFileW(dir.at("Licn1").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        return [file] { ::CloseHandle(file); };
    };
    const std::vector<Case> cases = {
        {"a read-only file", When::Given,
         [](const WinTempDir& dir) -> std::function<void()> {
             const std::wstring name = dir.at("Licn1").wstring();
             EXPECT_TRUE(::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY));
             return [name] { ::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL); };
         }},
        {"a file held open", When::SaveEnds, held},
        {"a folder where the new picture is written beside it", When::SaveEnds,
         [](const WinTempDir& dir) -> std::function<void()> {
             std::filesystem::create_directory(dir.at("Licn1.tmp"));
             writeBytes(dir.at("Licn1.tmp") / L"inside", "someone's");
             return [] {};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WinTempDir dir;
        win32::Win32Platform platform(dir.utf8());
        for (int slot = 0; slot < 3; ++slot) ASSERT_TRUE(platform.SavePicture(pattern(4, 4), dir.file(licn(slot))));
        const std::string old = readBytes(dir.at("Licn1"));
        const std::set<std::wstring> namesBefore = namesIn(dir.path());
        const std::function<void()> undo = c.obstruct(dir);
        const std::set<std::wstring> obstructed = namesIn(dir.path());

        platform.BeginProfileBatch(dir.file("QLPconf.ini"));
        EXPECT_TRUE(platform.SavePicture(pattern(5, 5), dir.file("Licn0")));
        EXPECT_EQ(platform.SavePicture(pattern(6, 6), dir.file("Licn1")), c.reported == When::SaveEnds);
        EXPECT_TRUE(platform.SavePicture(pattern(7, 7), dir.file("Licn2")));
        EXPECT_TRUE(platform.SavePicture(pattern(8, 8), dir.file("Licn3")));
        EXPECT_EQ(platform.EndProfileBatch(), c.reported == When::Given);
        undo();

        EXPECT_EQ(readBytes(dir.at("Licn1")), old);
        EXPECT_EQ(readBytes(dir.at("Licn0")), encoded(pattern(5, 5)));
        EXPECT_EQ(readBytes(dir.at("Licn2")), encoded(pattern(7, 7)));
        EXPECT_EQ(readBytes(dir.at("Licn3")), encoded(pattern(8, 8)));
        // Nothing of the failed picture is left beside it.
        std::set<std::wstring> expected = obstructed;
        expected.insert(L"Licn3");
        EXPECT_EQ(namesIn(dir.path()), expected);
    }
    // A folder in a picture's place is refused as it is given, and stays a folder.
    WinTempDir dir;
    std::filesystem::create_directory(dir.at("Licn4"));
    win32::Win32Platform platform(dir.utf8());
    platform.BeginProfileBatch(dir.file("QLPconf.ini"));
    EXPECT_FALSE(platform.SavePicture(pattern(4, 4), dir.file("Licn4")));
    EXPECT_TRUE(platform.EndProfileBatch());
    EXPECT_TRUE(std::filesystem::is_directory(dir.at("Licn4")));
    EXPECT_EQ(namesIn(dir.path()), std::set<std::wstring>{L"Licn4"});
}

TEST(Win32Pictures, WhatIsNotAPictureLoadsAsNone) {
    WinTempDir dir;
    win32::Win32Platform platform(dir.utf8());
    const std::vector<unsigned char> encoded = bmp::encodeBmp(pattern(4, 4));
    const std::string good(encoded.begin(), encoded.end());
    const std::vector<std::string> bad = {"", "BM", "not a picture at all, just some text",
                                          good.substr(0, good.size() - 5)};
    for (const std::string& bytes : bad) {
        writeBytes(dir.at("Licn2"), bytes);
        EXPECT_FALSE(platform.LoadPicture(dir.file("Licn2"))) << bytes.size() << " bytes";
    }
    EXPECT_FALSE(platform.LoadPicture(dir.file("missing")));
}

TEST(Win32Pictures, APictureFileLargerThanAnyIconIsNotRead) {
    WinTempDir dir;
    win32::Win32Platform platform(dir.utf8());
    const std::vector<unsigned char> encoded = bmp::encodeBmp(pattern(4, 4));
    std::string bytes(encoded.begin(), encoded.end());
    // Bytes after the pixels are no reason to refuse a picture; its size is.
    bytes.resize(bmp::kLargestPictureFile, '\0');
    writeBytes(dir.at("Licn3"), bytes);
    EXPECT_TRUE(platform.LoadPicture(dir.file("Licn3")));
    bytes.push_back('\0');
    writeBytes(dir.at("Licn3"), bytes);
    EXPECT_FALSE(platform.LoadPicture(dir.file("Licn3")));
}

TEST(Win32Pictures, AHugeFileInAPicturesPlaceIsReplacedWithoutBeingRead) {
    WinTempDir dir;
    win32::Win32Platform platform(dir.utf8());
    // A sparse file of 256 MB where a picture belongs: whether it holds the
    // picture's bytes is known from its size alone.
    {
        const HANDLE file = ::CreateFileW(dir.at("Licn2").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER end{};
        end.QuadPart = 256LL << 20;
        ASSERT_TRUE(::SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file));
        ::CloseHandle(file);
    }
    PROCESS_MEMORY_COUNTERS before{};
    ASSERT_TRUE(::GetProcessMemoryInfo(::GetCurrentProcess(), &before, sizeof before));
    const Bitmap picture = pattern(16, 16);
    ASSERT_TRUE(platform.SavePicture(picture, dir.file("Licn2")));
    PROCESS_MEMORY_COUNTERS after{};
    ASSERT_TRUE(::GetProcessMemoryInfo(::GetCurrentProcess(), &after, sizeof after));
    EXPECT_LT(after.PeakWorkingSetSize, before.PeakWorkingSetSize + (64u << 20));
    const auto loaded = platform.LoadPicture(dir.file("Licn2"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, picture);
}

TEST(Win32Pictures, EveryExistingPathGetsTheIconExplorerShowsAndAMissingOneNone) {
    WinTempDir dir;
    writeBytes(dir.at("notes.txt"), "minutes");
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    struct Case {
        std::string path;
        bool icon;
    };
    const std::vector<Case> cases = {
        {win32::narrow(self), true},    // a program
        {dir.file("notes.txt"), true},  // a document
        {dir.utf8(), true},             // a folder
        {dir.file("missing.txt"), false},
    };
    win32::Win32Platform platform(dir.utf8());
    for (Case c : cases) {
        SCOPED_TRACE(c.path);
        std::uint16_t index = 0;
        const IconHandle icon = platform.ExtractAssociatedIconA(platform.hInstance(), c.path, index);
        EXPECT_EQ(icon != 0, c.icon);
        if (!icon) continue;
        // Drawn at its own size at the top-left corner, and nowhere else.
        Surface surface;
        surface.image.width = 64;
        surface.image.height = 64;
        surface.image.pixels.assign(64 * 64, 0xFFF0F0F0u);
        ASSERT_TRUE(platform.DrawIconEx(surface, 0, 0, icon, 0, 0, 0, 0, kDiNormal));
        int changed = 0;
        int outside = 0;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                if (surface.image.pixels[static_cast<std::size_t>(y * 64 + x)] == 0xFFF0F0F0u) continue;
                ++changed;
                if (x >= 48 || y >= 48) ++outside;
            }
        }
        EXPECT_GT(changed, 50);
        EXPECT_EQ(outside, 0);
        EXPECT_TRUE(platform.DestroyIcon(icon));
    }
}

}  // namespace
}  // namespace qlp::test
