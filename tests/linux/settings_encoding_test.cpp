// Settings files from the Windows desktop (code page 932, UTF-16) and files
// that an earlier launcher left in two encodings, through the Linux profile
// operations on real files. The files are made with the iconv program.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "linux/temp_dir.h"
#include "platform/linux/linux_platform.h"

namespace qlp::linux_desktop {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

// Bytes: given bytes in code page 932; Garbage: given bytes in no encoding.
enum class Enc { Sjis, Utf8, Utf16Le, Utf16Be, Bytes, Garbage };

// `utf8` in `to` as the iconv program makes it; empty when it could not.
std::string viaIconv(const std::string& utf8, const char* to) {
    static std::map<std::pair<std::string, std::string>, std::string> made;
    if (const auto m = made.find({utf8, to}); m != made.end()) return m->second;
    TempDir dir;
    writeBytes(dir.file("in"), utf8);
    const std::string command =
        std::string("iconv -f UTF-8 -t ") + to + " " + dir.file("in") + " > " + dir.file("out") + " 2>/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    return made[{utf8, to}] = readBytes(dir.file("out"));
}

std::string encode(const std::string& utf8, Enc enc) {
    switch (enc) {
        case Enc::Sjis:
            return viaIconv(utf8, "CP932");
        case Enc::Utf16Le:
            return viaIconv(utf8, "UTF-16LE");
        case Enc::Utf16Be:
            return viaIconv(utf8, "UTF-16BE");
        default:
            return utf8;
    }
}

bool validUtf8(const std::string& bytes) {
    TempDir dir;
    writeBytes(dir.file("f"), bytes);
    return std::system(("iconv -f UTF-8 -t UTF-8 " + dir.file("f") + " >/dev/null 2>&1").c_str()) == 0;
}

struct Line {
    // The text as the launcher reads it.
    std::string text;
    Enc enc;
    // For Enc::Bytes and Enc::Garbage, the line's bytes in the file (8-bit).
    std::string bytes;
};

struct Row {
    const char* name;
    std::vector<Line> lines;
    const char* end;
    std::string mark;
    // How a file with a changed value is written: the encoding every line
    // goes to, or nullopt when each line keeps its own.
    std::optional<Enc> changedAs;
    // The same, when the value has no place in code page 932.
    std::optional<Enc> outsideAs;
};

// The file of `lines`, each in its own encoding unless `as` says otherwise.
std::string build(const Row& row, const std::vector<Line>& lines, std::optional<Enc> as) {
    const bool utf8Fallback = as == Enc::Utf8;
    std::string out = utf8Fallback && row.mark != "\xEF\xBB\xBF" ? "" : row.mark;
    for (const Line& l : lines) {
        Enc enc = as.value_or(l.enc);
        // Bytes in the legacy code page stay as they are while the file stays
        // in it, bytes in no encoding always.
        if ((l.enc == Enc::Bytes && enc == Enc::Sjis) || l.enc == Enc::Garbage) enc = l.enc;
        const Enc endEnc = enc == Enc::Utf16Le || enc == Enc::Utf16Be ? enc : Enc::Utf8;
        out += enc == Enc::Bytes || enc == Enc::Garbage ? l.bytes : encode(l.text, enc);
        out += encode(row.end, endEnc);
    }
    return out;
}

std::vector<Line> with(std::vector<Line> lines, const std::string& key, const std::string& value) {
    for (Line& l : lines) {
        if (l.text.rfind(key + "=", 0) == 0) l = {key + "=" + value, l.enc == Enc::Bytes ? Enc::Sjis : l.enc, {}};
    }
    return lines;
}

struct Key {
    std::string section;
    std::string key;
    std::string value;
};

std::vector<Key> keysOf(const std::vector<Line>& lines) {
    std::vector<Key> keys;
    std::string section;
    for (const Line& l : lines) {
        if (l.text.front() == '[') {
            section = l.text.substr(1, l.text.size() - 2);
        } else if (const auto eq = l.text.find('='); eq != std::string::npos) {
            keys.push_back({section, l.text.substr(0, eq), l.text.substr(eq + 1)});
        }
    }
    return keys;
}

std::vector<Line> lines(Enc body, Enc notes) {
    return {
        {"[DATA]", body, {}},
        // The second bytes of 表 and ソ are 0x5C, a backslash.
        {"TEXT0=C:\\TOOLS\\表示ソフト.EXE", body, {}},
        {"SETUMEI0=テキストエディタ ｶﾀｶﾅ ①②", body, {}},
        {"exetype0=1", body, {}},
        {"TEXT1=/home/user/予定表.txt", body, {}},
        {"SETUMEI1=予定", notes, {}},
        {"PSetumei0=仕事", notes, {}},
        {"[Option]", body, {}},
        {"Page=0", body, {}},
        {"SSW=True", body, {}},
    };
}

std::vector<Row> rows() {
    std::vector<Row> r;
    {
        Row row{"Shift-JIS, CRLF", lines(Enc::Sjis, Enc::Sjis), "\r\n", "", std::nullopt, Enc::Utf8};
        // ≒ as NEC and ∵ as IBM have their characters twice in code page 932: kept as they are.
        row.lines.insert(row.lines.begin() + 6, {"SETUMEI2=≒∵", Enc::Bytes, "SETUMEI2=\x87\x90\xFA\x5B"});
        r.push_back(row);
    }
    r.push_back({"UTF-16LE with its mark, CRLF", lines(Enc::Utf16Le, Enc::Utf16Le), "\r\n", "\xFF\xFE", std::nullopt,
                 std::nullopt});
    r.push_back({"UTF-16BE with its mark, LF", lines(Enc::Utf16Be, Enc::Utf16Be), "\n", "\xFE\xFF", std::nullopt,
                 std::nullopt});
    r.push_back(
        {"UTF-8 with its mark, CRLF", lines(Enc::Utf8, Enc::Utf8), "\r\n", "\xEF\xBB\xBF", std::nullopt, std::nullopt});
    r.push_back({"UTF-8, LF", lines(Enc::Utf8, Enc::Utf8), "\n", "", std::nullopt, std::nullopt});
    // What the launcher used to make of a Windows file: its own lines in UTF-8.
    r.push_back({"Shift-JIS with UTF-8 lines, CRLF", lines(Enc::Sjis, Enc::Utf8), "\r\n", "", Enc::Sjis, Enc::Utf8});
    {
        Row row{"Shift-JIS with a line in no encoding, CRLF",
                lines(Enc::Sjis, Enc::Sjis),
                "\r\n",
                "",
                std::nullopt,
                Enc::Utf8};
        row.lines.insert(row.lines.begin() + 7, {"note=caf\uFFFD \uFFFD", Enc::Garbage, "note=caf\xE9 \x85"});
        r.push_back(row);
    }
    {
        Row row{
            "UTF-8 with a line in no encoding, LF", lines(Enc::Utf8, Enc::Utf8), "\n", "", std::nullopt, std::nullopt};
        row.lines.insert(row.lines.begin() + 7, {"note=broken \uFFFD\uFFFD", Enc::Garbage, "note=broken \xFF\xFE"});
        r.push_back(row);
    }
    return r;
}

void expectReads(const std::string& file, const std::vector<Line>& lines, const std::string& what) {
    TempDir other;
    LinuxPlatform fresh{other.path()};
    for (const Key& k : keysOf(lines)) {
        EXPECT_EQ(fresh.GetPrivateProfileStringA(k.section, k.key, "NL", file), k.value)
            << what << ": [" << k.section << "] " << k.key;
    }
}

class SettingsEncodingTest : public ::testing::TestWithParam<std::size_t> {
protected:
    void SetUp() override {
        if (viaIconv("表", "CP932") != "\x95\x5C") GTEST_SKIP() << "the iconv program lacks code page 932";
        row = rows()[GetParam()];
        original = build(row, row.lines, std::nullopt);
        writeBytes(file, original);
    }

    TempDir dir;
    std::string file = dir.file("QLPconf.ini");
    Row row;
    std::string original;
};

TEST_P(SettingsEncodingTest, ReadsEveryValue) {
    LinuxPlatform ops{dir.path()};
    for (const Key& k : keysOf(row.lines)) {
        EXPECT_EQ(ops.GetPrivateProfileStringA(k.section, k.key, "NL", file), k.value)
            << "[" << k.section << "] " << k.key;
    }
}

TEST_P(SettingsEncodingTest, ASaveOfTheSameValuesLeavesTheFileByteForByte) {
    LinuxPlatform ops{dir.path()};
    ops.BeginProfileBatch(file);
    for (const Key& k : keysOf(row.lines)) {
        const std::string value = ops.GetPrivateProfileStringA(k.section, k.key, "NL", file);
        EXPECT_TRUE(ops.WritePrivateProfileStringA(k.section, k.key, value, file));
    }
    EXPECT_TRUE(ops.EndProfileBatch());
    EXPECT_EQ(readBytes(file), original);
}

TEST_P(SettingsEncodingTest, AChangedValueChangesOnlyItsLineInTheFilesEncoding) {
    const std::vector<Line> changed = with(row.lines, "SETUMEI1", "新しい予定");
    const std::string expected = build(row, changed, row.changedAs);
    // Alone (as a slot's deletion writes), and within a save.
    {
        LinuxPlatform ops{dir.path()};
        ASSERT_TRUE(ops.WritePrivateProfileStringA("DATA", "SETUMEI1", "新しい予定", file));
        EXPECT_EQ(readBytes(file), expected) << "a single write";
        // The next write starts from what is on the disk now.
        ASSERT_TRUE(ops.WritePrivateProfileStringA("DATA", "SETUMEI1", "新しい予定", file));
        EXPECT_EQ(readBytes(file), expected) << "the same write again";
    }
    writeBytes(file, original);
    {
        LinuxPlatform ops{dir.path()};
        ops.BeginProfileBatch(file);
        for (const Key& k : keysOf(changed))
            EXPECT_TRUE(ops.WritePrivateProfileStringA(k.section, k.key, k.value, file));
        EXPECT_TRUE(ops.EndProfileBatch());
        EXPECT_EQ(readBytes(file), expected) << "a save";
    }
    expectReads(file, changed, "read back");
}

TEST_P(SettingsEncodingTest, AValueOutsideCodePage932KeepsEveryText) {
    const std::string value = "絵文字😀 한글";
    LinuxPlatform ops{dir.path()};
    ASSERT_TRUE(ops.WritePrivateProfileStringA("DATA", "SETUMEI1", value, file));
    std::vector<Line> changed = with(row.lines, "SETUMEI1", value);
    const std::string written = readBytes(file);
    EXPECT_EQ(written, build(row, changed, row.outsideAs));
    if (row.outsideAs == Enc::Utf8) {
        // All but what was in no encoding, which is kept as it was.
        std::string readable = written;
        for (const Line& l : changed) {
            if (const auto at = readable.find(l.bytes); l.enc == Enc::Garbage && at != std::string::npos) {
                readable.erase(at, l.bytes.size());
            }
        }
        EXPECT_TRUE(validUtf8(readable)) << "the whole file in UTF-8";
    }
    expectReads(file, changed, "read back");
    // A value that does fit afterwards leaves the file in UTF-8.
    ASSERT_TRUE(ops.WritePrivateProfileStringA("DATA", "PSetumei0", "家", file));
    changed = with(changed, "PSetumei0", "家");
    EXPECT_EQ(readBytes(file), build(row, changed, row.outsideAs));
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsEncodingTest, ::testing::Range<std::size_t>(0, rows().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             std::string name;
                             for (const char c : std::string(rows()[info.param].name)) {
                                 if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                             }
                             return name;
                         });

// Half-width katakana pairs such as ﾃｽ are, in code page 932, bytes that are
// UTF-8 too ("ý"): written so, they would come back as other text.
TEST(SettingsEncoding, TextWhoseCodePage932BytesAreUtf8GoesToUtf8) {
    if (viaIconv("表", "CP932") != "\x95\x5C") GTEST_SKIP() << "the iconv program lacks code page 932";
    TempDir dir;
    const std::string file = dir.file("QLPconf.ini");
    writeBytes(file, viaIconv("[DATA]\r\nSETUMEI0=仕事\r\n", "CP932"));
    LinuxPlatform ops{dir.path()};
    ASSERT_TRUE(ops.WritePrivateProfileStringA("DATA", "SETUMEI1", "ﾃｽ", file));
    EXPECT_EQ(readBytes(file), "[DATA]\r\nSETUMEI0=仕事\r\nSETUMEI1=ﾃｽ\r\n");
    TempDir other;
    LinuxPlatform fresh{other.path()};
    EXPECT_EQ(fresh.GetPrivateProfileStringA("DATA", "SETUMEI1", "NL", file), "ﾃｽ");
    EXPECT_EQ(fresh.GetPrivateProfileStringA("DATA", "SETUMEI0", "NL", file), "仕事");
}

TEST(SettingsEncoding, ANewFileIsUtf8) {
    TempDir dir;
    const std::string file = dir.file("QLPconf.ini");
    LinuxPlatform ops{dir.path()};
    ASSERT_TRUE(ops.WritePrivateProfileStringA("DATA", "SETUMEI0", "表ソ①", file));
    EXPECT_EQ(readBytes(file), "[DATA]\nSETUMEI0=表ソ①\n");
}

}  // namespace
}  // namespace qlp::linux_desktop
