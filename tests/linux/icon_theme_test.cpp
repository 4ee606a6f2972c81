#include "platform/linux/services/icon_theme.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "linux/temp_dir.h"

namespace qlp::linux_desktop {
namespace {

namespace fs = std::filesystem;
// Directory sections of an index.theme: name, then its keys.
using Sections = std::vector<std::pair<std::string, std::string>>;
const std::vector<std::string> kExtensions{"png", "svg", "xpm"};

std::string fixed(int size) { return "Size=" + std::to_string(size) + "\nType=Fixed"; }

// Creates `path` and the directories above it.
void touch(const std::string& path, const std::string& bytes = "\x89PNG") {
    fs::create_directories(fs::path(path).parent_path());
    test::writeBytes(path, bytes);
}

void writeTheme(const std::string& root, const Sections& dirs, const std::string& inherits = "",
                const std::string& extra = "") {
    std::string listed, sections;
    for (const auto& [dir, keys] : dirs) {
        listed += (listed.empty() ? "" : ",") + dir;
        sections += "[" + dir + "]\n" + keys + "\n";
    }
    touch(root + "/index.theme",
          "[Icon Theme]\nName=x\nInherits=" + inherits + "\nDirectories=" + listed + "\n" + sections + extra);
}

void setMtime(const std::string& path, std::time_t seconds) {
    const timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

TEST(IconTheme, TheDirectoryFittingTheSizeWinsThenTheExtensionOrder) {
    const std::string wide = "Size=48\nType=Scalable\nMinSize=16\nMaxSize=256";
    const std::string narrow = "Size=16\nType=Scalable\nMinSize=8\nMaxSize=24";
    const std::string doubled = "Size=16\nScale=2\nType=Fixed";
    const std::string spread = "Size=64\nThreshold=32";
    const std::string upTo48 = "Size=24\nType=Scalable\nMaxSize=48";
    const std::string sizeless = "Type=Scalable\nMaxSize=512";
    const std::string stray = "[16]\nSize=16\n";
    const std::vector<std::string> pngXpm{"png", "xpm"};
    const struct {
        const char* what;
        Sections dirs;
        int size;
        // Under the theme's root; empty for none.
        std::string expected;
        // None named: x.png in every directory.
        std::vector<std::string> files = {};
        std::vector<std::string> extensions = kExtensions;
        std::string extra = "";
    } cases[] = {
        {"a matching Threshold beats a nearer size", {{"31", fixed(31)}, {"64", spread}}, 32, "64/x.png"},
        {"a matching Scalable beats a nearer size", {{"30", fixed(30)}, {"sc", wide}}, 32, "sc/x.png"},
        {"Scalable up to MaxSize", {{"sc", narrow}, {"38", fixed(38)}}, 24, "sc/x.png"},
        {"Scalable not beyond MaxSize", {{"sc", narrow}, {"38", fixed(38)}}, 32, "38/x.png"},
        {"none matching: the closest below", {{"22", fixed(22)}, {"48", fixed(48)}}, 32, "22/x.png"},
        {"none matching: the closest above", {{"22", fixed(22)}, {"48", fixed(48)}}, 40, "48/x.png"},
        {"Threshold by default, 2 either side", {{"30", "Size=30"}, {"32", fixed(32)}}, 32, "30/x.png"},
        {"but no further", {{"29", "Size=29"}, {"32", fixed(32)}}, 32, "32/x.png"},
        {"Fixed only at its size", {{"31", fixed(31)}, {"32", fixed(32)}}, 32, "32/x.png"},
        {"of the matching, the first listed", {{"24", upTo48}, {"32", fixed(32)}}, 32, "24/x.png"},
        {"scale 2 never matches", {{"16@2", doubled}, {"20", fixed(20)}}, 16, "20/x.png"},
        {"the size beats scale 2 of as many pixels", {{"16@2", doubled}, {"32", fixed(32)}}, 32, "32/x.png"},
        {"of the equally near, the first listed", {{"20", fixed(20)}, {"28", fixed(28)}}, 24, "20/x.png"},
        {"the same, listed the other way", {{"28", fixed(28)}, {"20", fixed(20)}}, 24, "28/x.png"},
        {"a directory without Size is ignored", {{"nosize", sizeless}, {"48", fixed(48)}}, 16, "48/x.png"},
        {"an unlisted section", {{"48", fixed(48)}}, 16, "48/x.png", {"16/x.png", "48/x.png"}, kExtensions, stray},
        {"the only one with it, however far", {{"16", fixed(16)}, {"256", fixed(256)}}, 16, "256/x.png", {"256/x.png"}},
        {"in no listed directory", {{"16", fixed(16)}}, 16, "", {"other/x.png", "16/y.png"}},
        {"png before xpm", {{"16", fixed(16)}}, 16, "16/x.png", {"16/x.xpm", "16/x.png"}, pngXpm},
        {"xpm before png", {{"16", fixed(16)}}, 16, "16/x.xpm", {"16/x.xpm", "16/x.png"}, {"xpm", "png"}},
        {"svg first when named first", {{"16", fixed(16)}}, 16, "16/x.svg", {"16/x.png", "16/x.svg"}, {"svg", "png"}},
        {"a later extension, the first missing", {{"16", fixed(16)}}, 16, "16/x.xpm", {"16/x.xpm"}, pngXpm},
        {"an extension not asked for", {{"16", fixed(16)}}, 16, "", {"16/x.xpm"}, {"png", "svg"}},
        {"the size first", {{"48", fixed(48)}, {"32", fixed(32)}}, 32, "32/x.xpm", {"32/x.xpm", "48/x.png"}, pngXpm},
    };
    test::TempDir tmp;
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string base = tmp.file(std::to_string(n++)), root = base + "/T";
        writeTheme(root, c.dirs, "", c.extra);
        for (const auto& file : c.files) touch(root + "/" + file);
        for (const auto& [dir, keys] : c.dirs) {
            if (c.files.empty()) touch(root + "/" + dir + "/x.png");
        }
        IconTheme theme("T", {base}, c.extensions);
        EXPECT_TRUE(theme.installed());
        EXPECT_EQ(theme.find("x", c.size), c.expected.empty() ? "" : root + "/" + c.expected);
    }
}

TEST(IconTheme, ThemesAreSearchedOwnFirstThenInheritedDepthFirstThenHicolor) {
    test::TempDir tmp;
    const std::string base = tmp.path();
    const Sections dirs{{"16", fixed(16)}, {"48", fixed(48)}};
    writeTheme(base + "/T", dirs, "A, B");
    writeTheme(base + "/A", dirs, "C");
    writeTheme(base + "/B", dirs);
    writeTheme(base + "/C", dirs);
    writeTheme(base + "/hicolor", dirs);
    // Loops: each theme once (followed every time, these would branch past
    // any patience), and still hicolor at the end.
    writeTheme(base + "/L1", dirs, "L2,L1,L2");
    writeTheme(base + "/L2", dirs, "L1,L2,L1");
    for (const char* file :
         {"T/16/own.png", "A/48/own.png", "A/48/parent.png", "C/16/deep.png", "B/16/deep.png", "B/16/second.png",
          "hicolor/16/second.png", "hicolor/48/last.png", "L1/16/one.png", "L2/16/two.png"}) {
        touch(base + "/" + file);
    }
    const struct {
        const char* theme;
        const char* icon;
        std::string expected;
    } cases[] = {
        {"T", "own", "T/16/own.png"},  // though the parent has the size asked for
        {"T", "parent", "A/48/parent.png"},
        {"T", "deep", "C/16/deep.png"},
        {"T", "second", "B/16/second.png"},
        {"T", "last", "hicolor/48/last.png"},
        {"T", "none", ""},
        {"L1", "two", "L2/16/two.png"},
        {"L2", "one", "L1/16/one.png"},
        {"L2", "last", "hicolor/48/last.png"},
    };
    for (const auto& c : cases) {
        IconTheme theme(c.theme, {base}, kExtensions);
        EXPECT_EQ(theme.find(c.icon, 48), c.expected.empty() ? "" : base + "/" + c.expected)
            << c.theme << " " << c.icon;
    }
}

TEST(IconTheme, AThemeInSeveralBasesIsDescribedByTheFirstIndexAndSearchedInAll) {
    test::TempDir tmp;
    const std::string one = tmp.file("one"), two = tmp.file("two");
    for (const bool firstHasIndex : {true, false}) {
        SCOPED_TRACE(firstHasIndex);
        fs::remove_all(one), fs::remove_all(two);
        fs::create_directories(one + "/T");
        if (firstHasIndex) writeTheme(one + "/T", {{"48", fixed(48)}});
        writeTheme(two + "/T", {{firstHasIndex ? "16" : "48", fixed(firstHasIndex ? 16 : 48)}});
        for (const char* file : {"/T/48/both.png", "/T/48/first.png"}) touch(one + file);
        for (const char* file : {"/T/48/both.png", "/T/48/second.png", "/T/16/undescribed.png"}) touch(two + file);
        IconTheme theme("T", {one, two}, kExtensions);
        EXPECT_TRUE(theme.installed());
        EXPECT_EQ(theme.find("both", 48), one + "/T/48/both.png");
        EXPECT_EQ(theme.find("first", 48), one + "/T/48/first.png");
        EXPECT_EQ(theme.find("second", 48), two + "/T/48/second.png");
        EXPECT_EQ(theme.find("undescribed", 16), "");
    }
}

TEST(IconTheme, AThemeWithoutIndexIsNotInstalledAndOnlyHicolorIsSearched) {
    const struct {
        const char* what;
        bool directory, indexIsDirectory;
    } cases[] = {
        {"no directory", false, false},
        {"no index.theme", true, false},
        {"index.theme a directory", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir tmp;
        writeTheme(tmp.file("hicolor"), {{"16", fixed(16)}});
        touch(tmp.file("hicolor/16/h.png"));
        if (c.directory) touch(tmp.file("T/16/t.png")), touch(tmp.file("T/16/h.png"));
        if (c.indexIsDirectory) fs::create_directories(tmp.file("T/index.theme"));
        IconTheme theme("T", {tmp.path()}, kExtensions);
        EXPECT_FALSE(theme.installed());
        EXPECT_EQ(theme.name(), "T");
        EXPECT_EQ(theme.find("t", 16), "");
        EXPECT_EQ(theme.find("h", 16), tmp.file("hicolor/16/h.png"));
    }
}

TEST(IconTheme, NamesAndDirectoriesNeverLeadOutOfTheBase) {
    test::TempDir tmp;
    const std::string base = tmp.file("icons"), root = base + "/T", outside = tmp.file("outside");
    // What each unsafe name would reach, were it followed.
    writeTheme(tmp.file("etc"), {{"16", fixed(16)}});
    for (const std::string& file : {tmp.file("etc/16/x.png"), outside + "/x.png", outside + "/y.png", root + "/x.png",
                                    root + "/16/a/b.png", root + "/16/.png", root + "/16/y.png"}) {
        touch(file);
    }
    Sections dirs;
    for (const std::string& bad : {std::string("../../outside"), std::string("16/../../../outside"), outside}) {
        dirs.emplace_back(bad, fixed(16));
    }
    dirs.emplace_back("16", fixed(16));
    writeTheme(root, dirs, "../etc");
    IconTheme escaping("../etc", {base}, kExtensions);
    EXPECT_FALSE(escaping.installed());
    EXPECT_EQ(escaping.find("x", 16), "");
    IconTheme theme("T", {base}, kExtensions);
    for (const char* icon : {"x", "../x", "a/b", "", "..", "."}) EXPECT_EQ(theme.find(icon, 16), "") << icon;
    EXPECT_EQ(theme.find("y", 16), root + "/16/y.png");
}

// A theme of many icons, each in a few of its directories with a few kinds
// of file, indexed by the real gtk-update-icon-cache.
class IconThemeCacheTest : public ::testing::Test {
protected:
    static constexpr std::time_t kWritten = 1'700'000'000;

    void SetUp() override {
        if (!fs::exists("/usr/bin/gtk-update-icon-cache")) GTEST_SKIP() << "no gtk-update-icon-cache";
        const Sections dirs{{"16x16/apps", fixed(16)},
                            {"22x22/apps", fixed(22)},
                            {"32x32/apps", "Size=32"},
                            {"48x48/apps", fixed(48)},
                            {"scalable/apps", "Size=64\nType=Scalable\nMinSize=64\nMaxSize=256"}};
        writeTheme(root, dirs);
        std::mt19937 random(7);
        const char* kinds[] = {".png", ".xpm", ".svg"};
        for (int i = 0; i < 80; ++i) {
            icons.push_back((i % 3 ? "icon-" : "org.Example_App.") + std::to_string(i));
            bool placed = false;
            for (std::size_t d = 0; d < dirs.size() || !placed; ++d) {
                if (d < dirs.size() && random() % 5 >= 2) continue;
                const unsigned mask = 1 + random() % 7;  // which of the kinds
                for (int k = 0; k < 3; ++k) {
                    if (mask & (1u << k)) {
                        touch(root + "/" + dirs[d % dirs.size()].first + "/" + icons.back() + kinds[k]);
                    }
                }
                placed = true;
            }
        }
        touch(root + "/48x48/apps/only-in-48.png");
        icons.push_back("only-in-48");
        // A name starting with a dot is an icon name like any other.
        touch(root + "/48x48/apps/.dotted.png");
        icons.push_back(".dotted");
        const auto run = test::runCommand("gtk-update-icon-cache --force --quiet '" + root + "' 2>&1");
        ASSERT_EQ(run.status, 0) << run.printed;
        real = test::readBytes(cache);
        ASSERT_GT(real.size(), 64u);
        setMtime(cache, kWritten);
        setMtime(root, kWritten - 10);
    }

    // Every icon's file at each size, as a fresh lookup finds it now.
    std::vector<std::string> answers(const std::vector<int>& sizes,
                                     const std::vector<std::string>& extensions = kExtensions) {
        IconTheme theme("T", {tmp.path()}, extensions);
        std::vector<std::string> found;
        for (const auto& icon : icons) {
            for (const int size : sizes) found.push_back(theme.find(icon, size));
        }
        return found;
    }
    void writeCache(const std::string& bytes) {
        test::writeBytes(cache, bytes);
        setMtime(cache, kWritten);
        setMtime(root, kWritten - 10);
    }

    test::TempDir tmp;
    const std::string root = tmp.file("T"), cache = root + "/icon-theme.cache";
    std::vector<std::string> icons;
    std::string real;
};

TEST_F(IconThemeCacheTest, FindsWhatTheDirectoriesHold) {
    const std::vector<int> sizes{1, 16, 20, 22, 24, 30, 32, 34, 40, 48, 56, 64, 100, 256, 512};
    for (const auto& extensions : {kExtensions, std::vector<std::string>{"xpm", "svg", "png"}}) {
        writeCache(real);
        const auto cached = answers(sizes, extensions);
        fs::remove(cache);
        const auto listed = answers(sizes, extensions);
        ASSERT_EQ(cached.size(), listed.size());
        for (std::size_t i = 0; i < listed.size(); ++i) {
            EXPECT_FALSE(listed[i].empty()) << icons[i / sizes.size()];
            EXPECT_EQ(cached[i], listed[i]) << icons[i / sizes.size()] << " at " << sizes[i % sizes.size()];
        }
    }
}

TEST_F(IconThemeCacheTest, IsTrustedUnlessTheThemeDirectoryIsNewer) {
    fs::remove(root + "/48x48/apps/only-in-48.png");
    const struct {
        std::time_t rootTime;
        bool used;
    } cases[] = {{kWritten - 100, true}, {kWritten, true}, {kWritten + 1, false}};
    for (const auto& [rootTime, used] : cases) {
        setMtime(root, rootTime);
        IconTheme theme("T", {tmp.path()}, kExtensions);
        EXPECT_EQ(theme.find("only-in-48", 48), used ? root + "/48x48/apps/only-in-48.png" : "") << rootTime;
        EXPECT_FALSE(theme.find(icons.front(), 48).empty());
    }
}

TEST_F(IconThemeCacheTest, ACorruptCacheGivesTheRightFileOrNone) {
    const std::vector<int> sizes{16, 32, 48, 128};
    fs::remove(cache);
    const auto right = answers(sizes);
    const auto be32 = [](const std::string& b, std::size_t at) {
        return std::uint32_t(std::uint8_t(b[at])) << 24 | std::uint32_t(std::uint8_t(b[at + 1])) << 16 |
               std::uint32_t(std::uint8_t(b[at + 2])) << 8 | std::uint8_t(b[at + 3]);
    };
    const auto with = [&](std::size_t at, std::uint32_t value) {
        std::string b = real;
        for (int i = 0; i < 4; ++i) b[at + i] = char(value >> (24 - 8 * i));
        return b;
    };
    std::mt19937 random(11);
    const auto noise = [&](std::size_t n, std::string head = "") {
        while (head.size() < n) head += char(random());
        return head;
    };
    std::vector<std::string> damaged;
    for (std::size_t n = 0; n < real.size(); n += n < 64 ? 1 : 11) damaged.push_back(real.substr(0, n));
    for (const std::size_t n : {16, 256, 4096}) damaged.push_back(noise(n, std::string("\0\1\0\0", 4)));
    const std::uint32_t hash = be32(real, 4), buckets = be32(real, hash);
    for (const std::uint32_t past :
         {std::uint32_t(real.size()), std::uint32_t(real.size() + 4096), 0xFFFFFFF0u, 0xFFFFFFFCu, 0xFFFFFFFDu}) {
        for (const std::size_t at : {4, 8, int(hash)}) damaged.push_back(with(at, past));
        for (std::uint32_t i = 0; i < buckets; ++i) damaged.push_back(with(hash + 4 + 4 * i, past));
    }
    damaged.push_back(with(hash, 0));
    // A chain whose entry leads back to itself.
    for (std::uint32_t i = 0; i < buckets; ++i) {
        const std::uint32_t entry = be32(real, hash + 4 + 4 * i);
        if (entry != 0xFFFFFFFFu) damaged.push_back(with(entry, entry));
    }
    for (const auto& bytes : damaged) {
        writeCache(bytes);
        const auto found = answers(sizes);
        for (std::size_t i = 0; i < right.size(); ++i) {
            if (!found[i].empty()) {
                EXPECT_EQ(found[i], right[i]) << icons[i / sizes.size()] << ", " << bytes.size() << " bytes";
            }
        }
    }
    // Not version 1.0: not used at all, as the icon it still lists shows.
    fs::remove(root + "/48x48/apps/only-in-48.png");
    fs::remove(cache);
    const auto listed = answers(sizes);
    std::vector<std::string> unreadable;
    for (const std::size_t n : {0, 1, 3, 4, 12, 64, 4096}) unreadable.push_back(noise(n));
    for (const char* version : {"\0\2\0\0", "\0\1\0\1", "\0\0\0\0"}) {
        unreadable.push_back(real);
        unreadable.back().replace(0, 4, version, 4);
    }
    for (const auto& bytes : unreadable) {
        writeCache(bytes);
        EXPECT_EQ(answers(sizes), listed) << bytes.size() << " bytes";
    }
}

}  // namespace
}  // namespace qlp::linux_desktop
