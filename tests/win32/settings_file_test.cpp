// The settings file on Windows: our own profile engine over Win32 file I/O,
// in the ANSI code page (932 here, as on the desktop the launcher is made for).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/profile/profile_encoding.h"
#include "platform/win32/win32_platform.h"
#include "win32_test_support.h"

namespace qlp::test {
namespace {

using win32::Win32Platform;

// "メモ帳" (notepad) and "説明" (description) in code page 932 and in UTF-8.
const std::string kMemoSjis = "\x83\x81\x83\x82\x92\xA0";
const std::string kMemoUtf8 = "\xE3\x83\xA1\xE3\x83\xA2\xE5\xB8\xB3";
const std::string kSetsumeiSjis = "\x90\xE0\x96\xBE";
const std::string kSetsumeiUtf8 = "\xE8\xAA\xAC\xE6\x98\x8E";
// Hangul, which code page 932 lacks.
const std::string kHangulUtf8 = "\xED\x95\x9C";

class Win32SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(::GetACP(), 932u) << "the tests run in a Japanese locale (tools/wine_run.sh)"; }
    WinTempDir dir;
    std::string file = dir.file("QLPconf.ini");
};

TEST_F(Win32SettingsFile, ReadsAndWritesBackInTheEncodingOfTheFile) {
    struct Case {
        const char* name;
        std::string before;    // bytes of the file as found
        std::string value;     // UTF-8 written to [DATA] SETUMEI1
        std::string expected;  // bytes of the file afterwards
    };
    const std::vector<Case> cases = {
        {"code page 932 stays 932", "[DATA]\r\nSETUMEI0=" + kMemoSjis + "\r\n", kSetsumeiUtf8,
         "[DATA]\r\nSETUMEI0=" + kMemoSjis + "\r\nSETUMEI1=" + kSetsumeiSjis + "\r\n"},
        {"UTF-8 stays UTF-8", "[DATA]\r\nSETUMEI0=" + kMemoUtf8 + "\r\n", kSetsumeiUtf8,
         "[DATA]\r\nSETUMEI0=" + kMemoUtf8 + "\r\nSETUMEI1=" + kSetsumeiUtf8 + "\r\n"},
        {"a new file is written in 932", "", kSetsumeiUtf8, "[DATA]\nSETUMEI1=" + kSetsumeiSjis + "\n"},
        {"text that 932 lacks makes the whole file UTF-8", "[DATA]\r\nSETUMEI0=" + kMemoSjis + "\r\n", kHangulUtf8,
         "[DATA]\r\nSETUMEI0=" + kMemoUtf8 + "\r\nSETUMEI1=" + kHangulUtf8 + "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir.at("QLPconf.ini"));
        if (!c.before.empty()) writeBytes(dir.at("QLPconf.ini"), c.before);
        Win32Platform platform(dir.utf8());
        if (!c.before.empty()) {
            EXPECT_EQ(platform.GetPrivateProfileStringA("data", "setumei0", "NL", file), kMemoUtf8);
        }
        ASSERT_TRUE(platform.WritePrivateProfileStringA("DATA", "SETUMEI1", c.value, file));
        EXPECT_EQ(readBytes(dir.at("QLPconf.ini")), c.expected);
        // A later run reads back what was written, whatever the encoding.
        Win32Platform later(dir.utf8());
        EXPECT_EQ(later.GetPrivateProfileStringA("DATA", "SETUMEI1", "NL", file), c.value);
    }
}

TEST_F(Win32SettingsFile, ValuesAreKeptWholeUnlikeTheSystemProfileFunctions) {
    Win32Platform platform(dir.utf8());
    // Longer than the system functions' 254 bytes, and quoted: both kept as they are.
    const std::string longValue = "\"" + std::string(400, 'x') + "\"";
    ASSERT_TRUE(platform.WritePrivateProfileStringA("DATA", "TEXT0", longValue, file));
    Win32Platform later(dir.utf8());
    EXPECT_EQ(later.GetPrivateProfileStringA("DATA", "TEXT0", "NL", file), longValue);
    EXPECT_EQ(later.GetPrivateProfileStringA("DATA", "TEXT1", "NL", file), "NL");
    EXPECT_EQ(later.GetPrivateProfileStringA("nosuch", "TEXT0", "NL", file), "NL");
}

TEST_F(Win32SettingsFile, AWriteReplacesTheFileWholeAndLeavesNothingBeside) {
    Win32Platform platform(dir.utf8());
    ASSERT_TRUE(platform.WritePrivateProfileStringA("DATA", "TEXT0", "C:\\a.exe", file));
    platform.BeginProfileBatch(file);
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(platform.WritePrivateProfileStringA("DATA", "TEXT" + std::to_string(i), "C:\\b.exe", file));
    }
    // Nothing reaches the file before the batch ends.
    EXPECT_EQ(readBytes(dir.at("QLPconf.ini")), "[DATA]\nTEXT0=C:\\a.exe\n");
    ASSERT_TRUE(platform.EndProfileBatch());
    EXPECT_EQ(readBytes(dir.at("QLPconf.ini")),
              "[DATA]\nTEXT0=C:\\a.exe\nTEXT1=C:\\b.exe\nTEXT2=C:\\b.exe\nTEXT3=C:\\b.exe\n");
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::wstring>{L"QLPconf.ini"});
}

TEST_F(Win32SettingsFile, AFileThatCannotBeReplacedIsLeftAsItWasAndTheWriteFails) {
    writeBytes(dir.at("QLPconf.ini"), "[DATA]\r\nTEXT0=old\r\n");
    // Another program holds the file open without letting it be replaced.
    const HANDLE held =
        ::CreateFileW(dir.at("QLPconf.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Win32Platform platform(dir.utf8());
    EXPECT_FALSE(platform.WritePrivateProfileStringA("DATA", "TEXT0", "new", file));
    ::CloseHandle(held);
    EXPECT_EQ(readBytes(dir.at("QLPconf.ini")), "[DATA]\r\nTEXT0=old\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.at("QLPconf.ini.tmp")));
    // Once it is free again, the next write goes through.
    EXPECT_TRUE(platform.WritePrivateProfileStringA("DATA", "TEXT0", "new", file));
    EXPECT_EQ(readBytes(dir.at("QLPconf.ini")), "[DATA]\r\nTEXT0=new\r\n");
}

TEST_F(Win32SettingsFile, AFileLargerThanAnyRealOneReadsAsMissingUntilASaveReplacesIt) {
    // One byte over the bound: not read (a start with the defaults), not touched by reading.
    std::string huge = "[Option]\r\nPage=3\r\n";
    huge.resize(profile::kLargestSettingsFile + 1, ';');
    writeBytes(dir.at("QLPconf.ini"), huge);
    {
        Win32Platform platform(dir.utf8());
        EXPECT_EQ(platform.GetPrivateProfileStringA("Option", "Page", "NL", file), "NL");
        EXPECT_EQ(readBytes(dir.at("QLPconf.ini")), huge);
        platform.BeginProfileBatch(file);
        ASSERT_TRUE(platform.WritePrivateProfileStringA("Option", "Page", "5", file));
        ASSERT_TRUE(platform.EndProfileBatch());
    }
    EXPECT_EQ(readBytes(dir.at("QLPconf.ini")), "[Option]\nPage=5\n");
    // At the bound the file is read as usual.
    huge.resize(profile::kLargestSettingsFile);
    writeBytes(dir.at("QLPconf.ini"), huge);
    Win32Platform platform(dir.utf8());
    EXPECT_EQ(platform.GetPrivateProfileStringA("Option", "Page", "NL", file), "3");
}

TEST_F(Win32SettingsFile, AFolderInThePlaceOfTheFileIsNeverWrittenOver) {
    std::filesystem::create_directory(dir.at("QLPconf.ini"));
    Win32Platform platform(dir.utf8());
    EXPECT_EQ(platform.GetPrivateProfileStringA("DATA", "TEXT0", "NL", file), "NL");
    EXPECT_FALSE(platform.WritePrivateProfileStringA("DATA", "TEXT0", "x", file));
    EXPECT_TRUE(std::filesystem::is_directory(dir.at("QLPconf.ini")));
}

TEST_F(Win32SettingsFile, ASaveRemovesWhatARunEndedMidSaveLeftBesideItsFiles) {
    // A run that ended mid-save leaves new contents beside the files they were to replace.
    for (const char* leftover : {"QLPconf.ini.tmp", "Licn0.tmp", "Licn119.tmp", "licn7.tmp"}) {
        writeBytes(dir.at(leftover), "half a picture");
    }
    // Not ours, or not files, or not ours to remove: left as they are.
    const std::set<std::wstring> others = {L"Licn120.tmp", L"notes.tmp", L"Licn5",
                                           L"Licn6.tmp",   L"Licn8.tmp", L"Licn9.tmp.bak"};
    for (const char* other : {"Licn120.tmp", "notes.tmp", "Licn5", "Licn6.tmp", "Licn9.tmp.bak"}) {
        writeBytes(dir.at(other), "someone's");
    }
    ASSERT_TRUE(::SetFileAttributesW(dir.at("Licn6.tmp").c_str(), FILE_ATTRIBUTE_READONLY));
    std::filesystem::create_directory(dir.at("Licn8.tmp"));

    Win32Platform platform(dir.utf8());
    platform.BeginProfileBatch(file);
    ASSERT_TRUE(platform.WritePrivateProfileStringA("DATA", "TEXT0", "C:\\a.exe", file));
    EXPECT_TRUE(platform.EndProfileBatch());

    std::set<std::wstring> expected = others;
    expected.insert(L"QLPconf.ini");
    std::set<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.insert(entry.path().filename());
    EXPECT_EQ(names, expected);
    for (const char* other : {"Licn120.tmp", "notes.tmp", "Licn5", "Licn6.tmp", "Licn9.tmp.bak"}) {
        EXPECT_EQ(readBytes(dir.at(other)), "someone's") << other;
    }
    ::SetFileAttributesW(dir.at("Licn6.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace qlp::test
