// Slot pictures as bitmap files, and the icons of files as Explorer shows them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/bmp/bmp_codec.h"
#include "platform/win32/win32_platform.h"
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
