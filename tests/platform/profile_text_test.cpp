// The profile engine on real files: each case writes a text to a file in a
// fresh directory, parses what is read back, edits it and writes it out again.
#include "platform/profile/profile_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace qlp::profile {
namespace {

using namespace std::string_literals;

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = std::filesystem::temp_directory_path() / ("qlp-profile-" + std::to_string(rd()));
        std::filesystem::create_directories(dir_);
        file_ = dir_ / "QLPconf.ini";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    void writeFile(const std::string& bytes) {
        std::ofstream out(file_, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string readFile() const {
        std::ifstream in(file_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    ProfileText load(const std::string& bytes) {
        writeFile(bytes);
        return ProfileText::parse(readFile());
    }
    // Sets one key on the file as it is on the disk and writes the result back.
    bool setOnFile(const std::string& section, const std::string& key, const std::string& value) {
        ProfileText text = ProfileText::parse(readFile());
        const bool ok = text.set(section, key, value);
        writeFile(text.text());
        return ok;
    }

    std::filesystem::path dir_;
    std::filesystem::path file_;
};

TEST_F(ProfileFileTest, ReadsByTheProfileRules) {
    const struct {
        const char* name;
        std::string text;
        const char* section;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"names fold ASCII case", "[Data]\nText0=a\n", "DATA", "text0", "a"},
        {"only ASCII folds", "[\xC3\x89]\nk=v\n", "\xC3\xA9", "k", std::nullopt},
        {"blanks around names and value", "  [ DATA ]  \n\t key \t=  v a l \t\n", "DATA", "key", "v a l"},
        {"blanks around the asked names", "[DATA]\nkey=v\n", " DATA ", "\tkey", "v"},
        {"first = splits", "[S]\nk=a=b\n", "S", "k", "a=b"},
        {"line without = is no key", "[S]\nk\nk2=x\n", "S", "k", std::nullopt},
        {"[ without ] starts no section", "[S]\n[broken\nk=v\n", "S", "k", "v"},
        {"first duplicate section searched", "[S]\na=1\n[s]\na=2\nb=3\n", "S", "a", "1"},
        {"second duplicate section ignored", "[S]\na=1\n[s]\na=2\nb=3\n", "S", "b", std::nullopt},
        {"first duplicate key wins", "[S]\nA=1\na=2\n", "S", "a", "1"},
        {"CRLF", "[S]\r\na=1\r\nb=2\r\n", "S", "b", "2"},
        {"CR", "[S]\ra=1\rb=2", "S", "b", "2"},
        {"mixed ends", "[S]\ra=1\r\nb=2\nc=3", "S", "c", "3"},
        {"byte-order mark skipped", "\xEF\xBB\xBF[S]\na=1\n", "S", "a", "1"},
        {"quotes kept", "[S]\na=\"x y\"\n", "S", "a", "\"x y\""},
        {"empty value", "[S]\na=\n", "S", "a", ""},
        {"key before any section belongs to none", "a=1\n[S]\n", "S", "a", std::nullopt},
        {"NUL inside a value", "[S]\na=x\0y\n"s, "S", "a", "x\0y"s},
        {"comment-like key is a key", "[S]\n;c=1\n", "S", ";c", "1"},
        {"text after ] ignored", "[S] ; note\na=1\n", "S", "a", "1"},
        {"missing section", "[S]\na=1\n", "T", "a", std::nullopt},
        {"key of the next section", "[S]\n[T]\na=1\n", "S", "a", std::nullopt},
        {"UTF-8 value", "[S]\na=\xE3\x81\x82\n", "S", "a", "\xE3\x81\x82"},
    };
    for (const auto& c : cases) {
        const ProfileText p = load(c.text);
        const auto v = p.get(c.section, c.key);
        EXPECT_EQ(v ? std::optional<std::string>(std::string(*v)) : std::nullopt, c.value) << c.name;
        EXPECT_EQ(p.text(), c.text) << c.name << ": parsing alone changes nothing";
    }
}

TEST_F(ProfileFileTest, WritesByTheProfileRules) {
    const struct {
        const char* name;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    } cases[] = {
        {"replace keeps what stands before =", "[data]\n  Text0 = old\nx=1\n", "DATA", "TEXT0", "new",
         "[data]\n  Text0 =new\nx=1\n"},
        {"replace the first of duplicates", "[S]\na=1\nA=2\n", "S", "a", "9", "[S]\na=9\nA=2\n"},
        {"new key after the last non-blank line", "[A]\na=1\n\n\t\n[B]\nb=1\n", "A", "c", "2",
         "[A]\na=1\nc=2\n\n\t\n[B]\nb=1\n"},
        {"new key in a header-only section", "[A]\n\n[B]\n", "a", "k", "v", "[A]\nk=v\n\n[B]\n"},
        {"new key goes to the first duplicate", "[A]\nx=1\n[A]\ny=1\n", "A", "z", "2", "[A]\nx=1\nz=2\n[A]\ny=1\n"},
        {"new section at the end", "[A]\na=1\n", "B", "k", "v", "[A]\na=1\n[B]\nk=v\n"},
        {"new file", "", "S", "k", "v", "[S]\nk=v\n"},
        {"CRLF file stays CRLF", "[A]\r\na=1\r\n", "A", "b", "2", "[A]\r\na=1\r\nb=2\r\n"},
        {"CRLF new section", "[A]\r\na=1\r\n", "B", "b", "2", "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
        {"CRLF replace keeps the line end", "[A]\r\na=1\r\n", "A", "a", "22", "[A]\r\na=22\r\n"},
        {"CR file stays CR", "[A]\ra=1\r", "A", "b", "2", "[A]\ra=1\rb=2\r"},
        // A lone CR before an empty LF line would fuse with it into one CRLF.
        {"CR file keeps an empty LF line after the new key", "[A]\ra=1\n\n[B]\r", "A", "b", "2",
         "[A]\ra=1\nb=2\r\n\n[B]\r"},
        {"last line without an end", "[A]\na=1", "A", "b", "2", "[A]\na=1\nb=2\n"},
        {"new section after a last line without an end", "[A]\na=1", "B", "k", "v", "[A]\na=1\n[B]\nk=v\n"},
        {"other lines kept byte for byte", "; head\n[A]\n# note\nfoo bar\na=1\n[Other]\nz = 9 \n", "A", "a", "2",
         "; head\n[A]\n# note\nfoo bar\na=2\n[Other]\nz = 9 \n"},
        {"byte-order mark kept", "\xEF\xBB\xBF[A]\na=1\n", "A", "a", "2", "\xEF\xBB\xBF[A]\na=2\n"},
        {"quotes written as given", "", "S", "k", "\"q\"", "[S]\nk=\"q\"\n"},
        {"empty value", "[S]\nk=old\n", "S", "k", "", "[S]\nk=\n"},
        {"binary lines kept", "\x01\xFF garbage\0\n[S]\n"s, "S", "k", "v", "\x01\xFF garbage\0\n[S]\nk=v\n"s},
    };
    for (const auto& c : cases) {
        writeFile(c.before);
        EXPECT_TRUE(setOnFile(c.section, c.key, c.value)) << c.name;
        EXPECT_EQ(readFile(), c.after) << c.name;
        // The value views into the parsed text, which must outlive it.
        const ProfileText reread = ProfileText::parse(readFile());
        const auto v = reread.get(c.section, c.key);
        ASSERT_TRUE(v) << c.name;
        EXPECT_EQ(*v, c.value) << c.name;
    }
}

TEST_F(ProfileFileTest, RefusesWhatWouldBreakTheLineStructure) {
    const std::string before = "[DATA]\nTEXT0=C:\\a.exe\n";
    const struct {
        const char* name;
        std::string section;
        std::string key;
        std::string value;
    } cases[] = {
        {"LF in a value", "DATA", "TEXT0", "a\nTEXT1=evil"},
        {"CR in a value", "DATA", "TEXT0", "a\rb"},
        {"NUL in a value", "DATA", "TEXT0", "a\0b"s},
        {"LF in a key", "DATA", "K\nX", "v"},
        {"NUL in a key", "DATA", "K\0"s, "v"},
        {"CR in a section", "DA\rTA", "K", "v"},
        {"LF in a section", "DATA]\n[X", "K", "v"},
        {"= in a key", "DATA", "a=b", "v"},
        {"key in brackets", "DATA", "[x]", "v"},
    };
    for (const auto& c : cases) {
        writeFile(before);
        EXPECT_FALSE(ProfileText::acceptable(c.section, c.key, c.value)) << c.name;
        EXPECT_FALSE(setOnFile(c.section, c.key, c.value)) << c.name;
        EXPECT_EQ(readFile(), before) << c.name;
    }
}

TEST_F(ProfileFileTest, ManySectionsAndALongLine) {
    std::string text;
    for (int i = 0; i < 10000; ++i) text += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    text += "[Long]\nv=" + std::string(10 * 1024 * 1024, 'x') + "\n";
    ProfileText p = load(text);
    ASSERT_TRUE(p.get("s9999", "K"));
    EXPECT_EQ(*p.get("s9999", "K"), "9999");
    EXPECT_EQ(p.get("LONG", "v")->size(), 10u * 1024 * 1024);
    ASSERT_TRUE(p.set("S5000", "k", "changed"));
    EXPECT_EQ(*p.get("S5000", "k"), "changed");
    EXPECT_EQ(p.text().size(), text.size() + std::string("changed").size() - 4);
}

}  // namespace
}  // namespace qlp::profile
