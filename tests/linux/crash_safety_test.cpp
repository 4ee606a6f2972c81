// A process killed at any moment of a save leaves the old file or the new one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <set>

#include "linux/temp_dir.h"
#include "model/launcher.h"
#include "platform/profile/profile_text.h"

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

TEST(CrashSafety, KilledSavesLeaveEitherTheOldOrTheNewFile) {
    TempDir dir;
    const std::string file = dir.file("QLPconf.ini");
    std::mt19937 random(20240);
    int last = 0;
    int torn = 0;
    for (int round = 0; round < 300 && torn == 0; ++round) {
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
        if (running) ::usleep(static_cast<useconds_t>(random() % 20000));
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

        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.insert(e.path().filename());
        names.erase("QLPconf.ini.tmp");
        EXPECT_EQ(names, std::set<std::string>{"QLPconf.ini"}) << "no leftovers pile up";
    }
    EXPECT_EQ(torn, 0);
    EXPECT_GT(last, 10) << "the child got far enough to be killed inside saves";
}

}  // namespace
}  // namespace qlp::linux_desktop
