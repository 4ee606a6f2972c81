// The settings file's encodings with a small code page of the test's own, as a
// realisation other than iconv would plug one in.
#include "platform/profile/profile_encoding.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/profile/unicode_text.h"

namespace qlp::profile {
namespace {

using namespace std::string_literals;

// Three characters: あ (0x82 0xA0, and again as 0xEE 0xA0, as code pages hold
// some characters twice), ｱ (0xB1) and ～ (0x81 0x60).
class TinyCodePage final : public LegacyCodePage {
public:
    std::optional<std::string> toUtf8(std::string_view bytes) override {
        static const std::map<std::string, std::string> chars = {
            {"\x82\xA0", "あ"}, {"\xEE\xA0", "あ"}, {"\xB1", "ｱ"}, {"\x81\x60", "～"}};
        std::string out;
        std::size_t at = 0;
        while (at < bytes.size()) {
            if (static_cast<unsigned char>(bytes[at]) < 0x80) {
                out += bytes[at++];
                continue;
            }
            bool found = false;
            for (const auto& [code, text] : chars) {
                if (bytes.substr(at, code.size()) == code) {
                    out += text;
                    at += code.size();
                    found = true;
                    break;
                }
            }
            if (!found) return std::nullopt;
        }
        return out;
    }
    std::optional<std::string> fromUtf8(std::string_view utf8) override {
        static const std::map<std::string, std::string> chars = {{"あ", "\x82\xA0"}, {"ｱ", "\xB1"}, {"～", "\x81\x60"}};
        std::string out;
        std::size_t at = 0;
        while (at < utf8.size()) {
            if (static_cast<unsigned char>(utf8[at]) < 0x80) {
                out += utf8[at++];
                continue;
            }
            bool found = false;
            for (const auto& [text, code] : chars) {
                if (utf8.substr(at, text.size()) == text) {
                    out += code;
                    at += text.size();
                    found = true;
                    break;
                }
            }
            if (!found) return std::nullopt;
        }
        return out;
    }
};

TEST(UnicodeText, ChecksUtf8Strictly) {
    const struct {
        std::string bytes;
        bool utf8;
    } cases[] = {
        {"", true},
        {"plain\0ASCII"s, true},
        {"表ｱ①😀", true},
        {"\xC0\x80", false},          // an overlong NUL
        {"\xE0\x80\xAF", false},      // an overlong "/"
        {"\xED\xA0\x80", false},      // a surrogate
        {"\xF4\x90\x80\x80", false},  // past U+10FFFF
        {"\xE8\xA1", false},          // cut short
        {"\x95\x5C", false},          // 表 in code page 932
        {"\xC3\xBD", true},           // ﾃｽ in code page 932, "ý" in UTF-8
    };
    for (const auto& c : cases) EXPECT_EQ(isUtf8(c.bytes), c.utf8) << c.bytes;
    EXPECT_EQ(utf8Replacing("a\xFF\xE8\xA1z表"), "a\uFFFD\uFFFD\uFFFDz表");
}

TEST(UnicodeText, ConvertsUtf16BothWays) {
    const struct {
        std::string utf16le;
        std::string utf8;
        bool back;
    } cases[] = {
        {"A\0\x68\x88"s, "A表", true},
        {"\x3D\xD8\x00\xDE"s, "😀", true},  // a surrogate pair
        {"\x00\xDE"
         "A\0"s,
         "\uFFFDA", false},  // a lone low surrogate
        {"\x3D\xD8"
         "A\0"s,
         "\uFFFDA", false},           // a lone high surrogate
        {"A\0B"s, "A\uFFFD", false},  // an odd last byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf16ToUtf8(c.utf16le, ByteOrder::Little), c.utf8);
        std::string be = c.utf16le;
        for (std::size_t i = 0; i + 1 < be.size(); i += 2) std::swap(be[i], be[i + 1]);
        if (c.back) {
            EXPECT_EQ(utf16ToUtf8(be, ByteOrder::Big), c.utf8);
            EXPECT_EQ(utf8ToUtf16(c.utf8, ByteOrder::Little), c.utf16le);
            EXPECT_EQ(utf8ToUtf16(c.utf8, ByteOrder::Big), be);
        }
    }
    EXPECT_EQ(utf8ToUtf16("\xFF", ByteOrder::Little), std::nullopt);
}

TEST(ProfileEncoding, ReadsAndWritesByTheFilesEncoding) {
    const struct {
        const char* name;
        std::string file;
        FileEncoding encoding;
        const char* key;
        std::string read;
        const char* value;
        std::string written;
    } cases[] = {
        {"code page: one line changes, the twice-held あ stays as it was", "[S]\r\na=\xEE\xA0\r\nb=\xB1\r\n",
         FileEncoding::Legacy, "a", "あ", "～", "[S]\r\na=\x81\x60\r\nb=\xB1\r\n"},
        {"code page: a text it lacks turns the whole file to UTF-8", "[S]\r\na=\xEE\xA0\r\nb=\xB1\r\n",
         FileEncoding::Legacy, "c", "NL", "表", "[S]\r\na=あ\r\nb=ｱ\r\nc=表\r\n"},
        {"mixed: the UTF-8 lines go to the code page with the change", "[S]\na=\x82\xA0\nb=ｱ～\n", FileEncoding::Legacy,
         "b", "ｱ～", "あ", "[S]\na=\x82\xA0\nb=\x82\xA0\n"},
        {"mixed, with text the code page lacks: UTF-8", "[S]\na=\x82\xA0\nb=表\n", FileEncoding::Legacy, "a", "あ", "ｱ",
         "[S]\na=ｱ\nb=表\n"},
        {"a line in no encoding reads with U+FFFD and takes a new value", "[S]\na=\x82\xA0\nx=\xFF\xFE\n",
         FileEncoding::Legacy, "x", "\uFFFD\uFFFD", "y", "[S]\na=\x82\xA0\nx=y\n"},
        {"a line in no encoding stays when the file goes to UTF-8", "[S]\na=\x82\xA0\nx=\xFF\n", FileEncoding::Legacy,
         "a", "あ", "表", "[S]\na=表\nx=\xFF\n"},
        {"UTF-8 with its mark stays UTF-8, and its code-page line goes to UTF-8", "\xEF\xBB\xBF[S]\na=\x82\xA0\nb=表\n",
         FileEncoding::Utf8, "b", "表", "ｱ", "\xEF\xBB\xBF[S]\na=あ\nb=ｱ\n"},
        {"UTF-16LE with a second mark, a lone surrogate kept",
         "\xFF\xFE\xFF\xFE[\0S\0]\0\r\0\n\0a\0=\0\x00\xDE\r\0\n\0b\0=\0x\0"s, FileEncoding::Utf16Le, "b", "x", "表",
         "\xFF\xFE\xFF\xFE[\0S\0]\0\r\0\n\0a\0=\0\x00\xDE\r\0\n\0b\0=\0\x68\x88"s},
        {"UTF-16BE: a new key after an odd last byte", "\xFE\xFF\0[\0S\0]\0\n\0a\0=\0x\x01"s, FileEncoding::Utf16Be,
         "a", "x\uFFFD", "y", "\xFE\xFF\0[\0S\0]\0\n\0a\0=\0y"s},
        {"UTF-16BE: the odd last byte gives way to a line end", "\xFE\xFF\0[\0S\0]\0\n\0a\0=\0x\x01"s,
         FileEncoding::Utf16Be, "b", "NL", "y", "\xFE\xFF\0[\0S\0]\0\n\0a\0=\0x\xFF\xFD\0\n\0b\0=\0y\0\n"s},
    };
    for (const auto& c : cases) {
        TinyCodePage codePage;
        DecodedProfile d = decodeProfile(c.file, codePage);
        EXPECT_EQ(d.coding.encoding(), c.encoding) << c.name;
        EXPECT_EQ(std::string(d.text.get("S", c.key).value_or("NL")), c.read) << c.name;
        EXPECT_EQ(encodeProfile(d.text, d.coding, codePage), c.file) << c.name << ": unchanged";
        ASSERT_TRUE(d.text.set("S", c.key, c.value)) << c.name;
        EXPECT_EQ(encodeProfile(d.text, d.coding, codePage), c.written) << c.name;
    }
}

// As the Windows desktop makes its files: in the code page, UTF-8 only for what it lacks.
TEST(ProfileEncoding, ANewFileInTheCodePage) {
    TinyCodePage codePage;
    ProfileText text;
    const FileCoding coding(FileEncoding::Legacy);
    EXPECT_EQ(encodeProfile(text, coding, codePage), "");
    text.set("S", "a", "あｱ");
    EXPECT_EQ(encodeProfile(text, coding, codePage), "[S]\na=\x82\xA0\xB1\n");
    text.set("S", "b", "表");
    EXPECT_EQ(encodeProfile(text, coding, codePage), "[S]\na=あｱ\nb=表\n");
}

}  // namespace
}  // namespace qlp::profile
