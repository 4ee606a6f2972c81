// A process killed at any moment of a save leaves the old file or the new one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <random>
#include <set>

#include "linux/temp_dir.h"
#include "model/launcher.h"
#include "platform/linux/linux_platform.h"
#include "platform/profile/profile_text.h"
#include "settings/settings_io.h"

namespace qlp::linux_desktop {
namespace {

using test::readBytes;
using test::TempDir;

// The one generation that every key of the save holds; fails the test otherwise.
int generationOf(const profile::ProfileText& text) {
    const auto top = text.get("Option", "top");
    EXPECT_TRUE(top) << "the file parses and holds the options";
    if (!top) return -1;
    const int g = std::stoi(std::string(*top));
    const std::string n = std::to_string(g);
    const auto expect = [&](const char* section, const std::string& key, const std::string& value) {
        const auto v = text.get(section, key);
        EXPECT_TRUE(v && *v == value) << key << " is not of generation " << g;
        return v && *v == value;
    };
    bool whole = expect("Option", "left", n) && expect("Option", "Page", std::to_string(g % 10));
    for (int i = 0; i < kSlotCount && whole; ++i) {
        whole = expect("DATA", "TEXT" + std::to_string(i), "/gen/" + n + "/path" + std::to_string(i)) &&
                expect("DATA", "SETUMEI" + std::to_string(i), "note " + n) &&
                expect("DATA", "exetype" + std::to_string(i), std::to_string(g % 2));
    }
    for (int p = 0; p < kPageCount && whole; ++p) whole = expect("DATA", "PSetumei" + std::to_string(p), "page " + n);
    return whole ? g : -1;
}

std::uint32_t le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
    return v;
}

// The generation that a whole picture file of the child shows: a complete
// 24-bit bitmap of one colour (the generation) and of width 8 + generation % 8.
// -1 when the file is torn or not such a bitmap.
int pictureGeneration(const std::string& b) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || le32(b, 2) != b.size() || le32(b, 10) != 54) return -1;
    const std::uint32_t width = le32(b, 18), height = le32(b, 22);
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    if (height != 8 || width < 8 || width > 15 || (le32(b, 26) & 0xFFFF) != 1 || (le32(b, 28) & 0xFFFF) != 24 ||
        b.size() != 54 + std::size_t{stride} * height) {
        return -1;
    }
    const auto pixel = [&](std::uint32_t row, std::uint32_t x) {
        const std::size_t at = 54 + std::size_t{row} * stride + x * 3;
        return le32(b.substr(at, 3) + '\0', 0);
    };
    const std::uint32_t colour = pixel(0, 0);
    for (std::uint32_t row = 0; row < height; ++row) {
        for (std::uint32_t x = 0; x < width; ++x) {
            if (pixel(row, x) != colour) return -1;
        }
    }
    const int g = static_cast<int>(colour);
    return static_cast<std::uint32_t>(8 + g % 8) == width ? g : -1;
}

std::set<std::string> namesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.insert(e.path().filename());
    return names;
}

// "<name>.tmp.XXXXXX" for one of `names`.
bool isLeftoverOf(const std::string& file, const std::set<std::string>& names) {
    const auto mark = file.rfind(".tmp.");
    return mark != std::string::npos && names.count(file.substr(0, mark)) && file.size() == mark + 11 &&
           std::all_of(file.begin() + static_cast<std::ptrdiff_t>(mark) + 5, file.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

TEST(CrashSafety, KilledSavesLeaveEitherTheOldOrTheNewFile) {
    TempDir dir;
    std::set<std::string> expected{"QLPconf.ini"};
    for (int i = 0; i < 12; ++i) expected.insert("Licn" + std::to_string(i));
    const std::string file = dir.file("QLPconf.ini");
    std::mt19937 random(20240);
    int last = 0;
    int torn = 0;
    // A save with its twelve pictures takes some 100 ms, each flushed to disk:
    // the kills land anywhere within one to a few saves.
    for (int round = 0; round < 100 && torn == 0; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::dup2(ready[1], STDOUT_FILENO);
            ::execl(QLP_SETTINGS_CHILD, QLP_SETTINGS_CHILD, "save-loop", dir.path().c_str(), nullptr);
            ::_exit(127);
        }
        ::close(ready[1]);
        char started = 0;
        const bool running = ::read(ready[0], &started, 1) == 1;
        ::close(ready[0]);
        if (running) ::usleep(static_cast<useconds_t>(random() % 250000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(running && WIFSIGNALED(status)) << "the child ended by itself";

        if (!std::filesystem::exists(file)) {
            ASSERT_EQ(last, 0) << "the file vanished";
            continue;
        }
        const auto text = profile::ProfileText::parse(readBytes(file));
        const int g = generationOf(text);
        if (g < 0) {
            ++torn;
            continue;
        }
        EXPECT_GE(g, last) << "a save went back in time";
        // The lone write after each save holds the generation before or after it.
        const auto marker = text.get("Test", "generation");
        const int m = marker ? std::stoi(std::string(*marker)) : 0;
        EXPECT_TRUE(m == g || m == g - 1) << "generation " << g << ", lone write " << m;
        last = g;

        // Every picture file is whole, of the generation saved or of the one
        // being saved: pictures go to disk before the settings file of their save.
        for (int i = 0; i < 12; ++i) {
            const std::string picture = dir.file("Licn" + std::to_string(i));
            ASSERT_TRUE(std::filesystem::is_regular_file(picture)) << "Licn" << i << " vanished";
            const int pg = pictureGeneration(readBytes(picture));
            EXPECT_TRUE(pg == g || pg == g + 1)
                << "Licn" << i << " is torn or of generation " << pg << " beside settings of generation " << g;
        }

        // A kill leaves at most temporary files beside the files being
        // written, under names of their own; a later save removes them.
        for (const std::string& name : namesIn(dir.path())) {
            if (expected.count(name) == 0) {
                EXPECT_TRUE(isLeftoverOf(name, expected)) << "unexpected file " << name;
            }
        }
    }
    EXPECT_EQ(torn, 0);
    EXPECT_GT(last, 10) << "the child got far enough to be killed inside saves";

    // One save that runs to its end, as the next session's, clears every leftover.
    LinuxPlatform platform(dir.path());
    Launcher app(platform);
    app.form1.winDir = dir.path();
    LoadSettings(app);
    SaveSettings(app);
    for (const std::string& name : namesIn(dir.path())) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

}  // namespace
}  // namespace qlp::linux_desktop
