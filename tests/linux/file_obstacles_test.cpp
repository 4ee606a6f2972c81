// Whatever stands in the settings folder, a start and a save neither hang nor
// write through it, and a save still reaches the disk.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "linux/temp_dir.h"
#include "model/launcher.h"
#include "platform/linux/files/bmp_file.h"
#include "platform/linux/files/instance_lock.h"
#include "platform/linux/linux_platform.h"
#include "settings/settings_io.h"

namespace qlp::linux_desktop {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

// An open that waits on a FIFO would hang the test for good: it ends the
// test binary instead, which fails the run.
class HangGuard {
public:
    HangGuard() { ::alarm(60); }
    ~HangGuard() { ::alarm(0); }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
};

Bitmap plain(int width, int height, std::uint32_t colour) {
    return Bitmap{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, colour)};
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class FolderTest : public ::testing::Test {
protected:
    FolderTest() {
        app.form1.winDir = dir.path();
        fill(app);
    }
    // Two slots with pictures, as a drop leaves them.
    static void fill(Launcher& launcher) {
        for (int i = 0; i < 2; ++i) {
            launcher.form1.slotPath[i] = "/bin/sh";
            launcher.form1.Image1[i].picture = std::make_shared<const Bitmap>(plain(36, 36, 0xFF102030u + i));
        }
    }
    // What a new session finds.
    Launcher loaded() {
        Launcher again{fresh};
        again.form1.winDir = dir.path();
        LoadSettings(again);
        return again;
    }

    TempDir dir;
    LinuxPlatform ops{dir.path()};
    Launcher app{ops};
    LinuxPlatform fresh{dir.path()};
};

using Plant = std::function<void(const std::string& path, const std::string& other)>;

struct Obstacle {
    const char* name;
    Plant plant;
};

const Obstacle kObstacles[] = {
    {"FIFO", [](const std::string& path, const std::string&) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
    {"link to another file",
     [](const std::string& path, const std::string& other) { ASSERT_EQ(::symlink(other.c_str(), path.c_str()), 0); }},
    {"dangling link",
     [](const std::string& path, const std::string&) { ASSERT_EQ(::symlink("/nonexistent/x", path.c_str()), 0); }},
    {"directory", [](const std::string& path, const std::string&) { ASSERT_EQ(::mkdir(path.c_str(), 0700), 0); }},
    {"hard link of another file",
     [](const std::string& path, const std::string& other) { ASSERT_EQ(::link(other.c_str(), path.c_str()), 0); }},
};

// The temporary names that earlier versions used, one for each file: none of
// them may block a save or have it write into another file.
TEST_F(FolderTest, NothingAtATemporaryNameBlocksASaveOrIsWrittenThrough) {
    HangGuard guard;
    for (const Obstacle& o : kObstacles) {
        SCOPED_TRACE(o.name);
        TempDir other;
        const std::string otherFile = other.file("precious");
        writeBytes(otherFile, "the user's own file\n");
        ::chmod(otherFile.c_str(), 0644);
        for (const char* name : {"QLPconf.ini.tmp", "Licn0.tmp", "Licn1.tmp"}) {
            std::filesystem::remove_all(dir.file(name));
            o.plant(dir.file(name), otherFile);
        }
        app.form1.slotPath[0] = std::string("/usr/bin/") + o.name;
        SaveSettings(app);
        const Launcher again = loaded();
        EXPECT_EQ(again.form1.slotPath[0], app.form1.slotPath[0]);
        ASSERT_TRUE(again.form1.Image1[1].picture);
        EXPECT_EQ(*again.form1.Image1[1].picture, *app.form1.Image1[1].picture);
        EXPECT_EQ(readBytes(otherFile), "the user's own file\n");
        EXPECT_EQ(modeOf(otherFile), 0644u);
        // A changed picture gets through as well.
        app.form1.Image1[0].picture = std::make_shared<const Bitmap>(plain(36, 36, 0xFF445566u));
        SaveSettings(app);
        ASSERT_TRUE(loaded().form1.Image1[0].picture);
        EXPECT_EQ(*loaded().form1.Image1[0].picture, *app.form1.Image1[0].picture);
        EXPECT_EQ(readBytes(otherFile), "the user's own file\n");
    }
}

TEST_F(FolderTest, AFifoInPlaceOfAFileIsAFailureOfThatFileAlone) {
    HangGuard guard;
    // The scratch picture: the icon still reaches its slot, drawn in memory.
    ASSERT_EQ(::mkfifo(dir.file("QLPtemp").c_str(), 0600), 0);
    const Bitmap icon = plain(36, 36, 0xFF0000FFu);
    EXPECT_FALSE(ops.SavePicture(icon, dir.file("QLPtemp")));
    EXPECT_EQ(ops.LoadPicture(dir.file("QLPtemp")), icon);
    // A slot picture that is a FIFO is read as missing and replaced at a save.
    ASSERT_EQ(::mkfifo(dir.file("Licn1").c_str(), 0600), 0);
    EXPECT_EQ(ops.LoadPicture(dir.file("Licn1")), std::nullopt);
    SaveSettings(app);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("Licn1")));
    // The settings file as a FIFO reads as unusable and is never replaced.
    ASSERT_EQ(::unlink(dir.file("QLPconf.ini").c_str()), 0);
    ASSERT_EQ(::mkfifo(dir.file("QLPconf.ini").c_str(), 0600), 0);
    EXPECT_EQ(loaded().form1.slotPath[0], "");
    SaveSettings(app);
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("QLPconf.ini")));
}

TEST_F(FolderTest, ASaveRemovesTheLeftoversOfKilledRunsAndNothingElse) {
    const std::vector<std::string> ours{"QLPconf.ini.tmp",        "Licn7.tmp",        "Licn119.tmp",     "QLPtemp.tmp",
                                        "QLPconf.ini.tmp.a1B2c3", "Licn0.tmp.ZZZZZZ", "Licn3.tmp.000000"};
    const std::vector<std::string> others{"notes.tmp",      "Licn120.tmp",      "Licn0.tmp.toolong",
                                          "Licn0.tmp.ab-c", "QLPconf.ini.tmpx", "Licn3.bak"};
    for (const auto& name : ours) writeBytes(dir.file(name), "left over");
    for (const auto& name : others) writeBytes(dir.file(name), "the user's");
    ASSERT_EQ(::symlink("/etc/hostname", dir.file("Licn5.tmp").c_str()), 0);
    ASSERT_EQ(::mkdir(dir.file("Licn6.tmp").c_str(), 0700), 0);
    SaveSettings(app);
    for (const auto& name : ours) EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
    for (const auto& name : others) EXPECT_EQ(readBytes(dir.file(name)), "the user's") << name;
    EXPECT_FALSE(std::filesystem::is_symlink(dir.file("Licn5.tmp")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Licn6.tmp")));
    // And the save left none of its own.
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = e.path().filename();
        EXPECT_TRUE(name.find(".tmp") == std::string::npos || name == "Licn6.tmp" ||
                    std::find(others.begin(), others.end(), name) != others.end())
            << name;
    }
}

TEST_F(FolderTest, ASaveMakesTheFolderAgainWhenItWasRemoved) {
    SaveSettings(app);
    std::filesystem::remove_all(dir.path());
    SaveSettings(app);
    EXPECT_EQ(modeOf(dir.path()), 0700u);
    const Launcher again = loaded();
    EXPECT_EQ(again.form1.slotPath[1], "/bin/sh");
    ASSERT_TRUE(again.form1.Image1[1].picture);
    EXPECT_EQ(*again.form1.Image1[1].picture, *app.form1.Image1[1].picture);
    // A lone write (deleting a slot writes at once) makes it too.
    std::filesystem::remove_all(dir.path());
    EXPECT_TRUE(ops.WritePrivateProfileStringA("DATA", "TEXT0", "NL", dir.file("QLPconf.ini")));
    EXPECT_EQ(modeOf(dir.path()), 0700u);
}

// The pictures show what the user runs, as the settings file does.
TEST_F(FolderTest, PicturesAreTheUsersAloneToRead) {
    const mode_t old = ::umask(022);
    writeBytes(dir.file("Licn1"), "");
    SaveSettings(app);
    ::umask(old);
    EXPECT_EQ(modeOf(dir.file("QLPconf.ini")), 0600u);
    EXPECT_EQ(modeOf(dir.file("Licn0")), 0600u);
    EXPECT_EQ(modeOf(dir.file("Licn1")), 0600u);
    // A picture or settings file saved before, readable by all, is made
    // private at the next save though unchanged.
    ASSERT_EQ(::chmod(dir.file("Licn0").c_str(), 0644), 0);
    ASSERT_EQ(::chmod(dir.file("QLPconf.ini").c_str(), 0644), 0);
    SaveSettings(app);
    EXPECT_EQ(modeOf(dir.file("Licn0")), 0600u);
    EXPECT_EQ(modeOf(dir.file("QLPconf.ini")), 0600u);
    ASSERT_TRUE(ops.SavePicture(plain(36, 36, 0xFF000000u), dir.file("QLPtemp")));
    EXPECT_EQ(modeOf(dir.file("QLPtemp")), 0600u);
}

TEST_F(FolderTest, ASettingsFileLargerThanAnyRealOneReadsAsMissingUntilASave) {
    // Well-formed at its head, so a reader that takes it shows the slot.
    std::string huge = "[DATA]\nTEXT3=/usr/bin/gimp\n";
    const std::string filler = "; " + std::string(1000, 'x') + "\n";
    while (huge.size() <= kLargestSettingsFile) huge += filler;
    writeBytes(dir.file("QLPconf.ini"), huge);
    const Launcher again = loaded();
    EXPECT_EQ(again.form1.slotPath[3], "");
    EXPECT_EQ(again.form1.top, 1440);
    EXPECT_EQ(std::filesystem::file_size(dir.file("QLPconf.ini")), huge.size());
    // The largest size still read.
    writeBytes(dir.file("QLPconf.ini"), huge.substr(0, kLargestSettingsFile));
    EXPECT_EQ(loaded().form1.slotPath[3], "/usr/bin/gimp");
    writeBytes(dir.file("QLPconf.ini"), huge);
    SaveSettings(app);
    EXPECT_LT(std::filesystem::file_size(dir.file("QLPconf.ini")), 100000u);
    EXPECT_EQ(loaded().form1.slotPath[1], "/bin/sh");
}

std::string pngOf(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

std::string bmpHeaderOnly(int width, int height) {
    // A header that claims the size, with a few bytes of pixels only.
    const auto bytes = encodeBmp(plain(1, 1, 0xFF000000u));
    std::string b(bytes.begin(), bytes.end());
    for (int i = 0; i < 4; ++i) {
        b[18 + i] = static_cast<char>((width >> (8 * i)) & 0xFF);
        b[22 + i] = static_cast<char>((height >> (8 * i)) & 0xFF);
    }
    return b;
}

TEST_F(FolderTest, PicturesLargerThanAnIconAreRefused) {
    const auto encoded = [](int w, int h) {
        const auto bytes = encodeBmp(plain(w, h, 0xFF808080u));
        return std::string(bytes.begin(), bytes.end());
    };
    const struct {
        const char* name;
        std::string bytes;
        bool taken;
    } cases[] = {
        {"BMP at the bound", encoded(kLargestPictureSide, kLargestPictureSide), true},
        {"BMP one wider", encoded(kLargestPictureSide + 1, 1), false},
        {"BMP one taller", encoded(1, kLargestPictureSide + 1), false},
        {"BMP header of 16384 squared", bmpHeaderOnly(16384, 16384), false},
        {"PNG at the bound", pngOf(kLargestPictureSide, 2), true},
        {"PNG one wider", pngOf(kLargestPictureSide + 1, 2), false},
    };
    for (const auto& c : cases) {
        writeBytes(dir.file("Licn4"), c.bytes);
        EXPECT_EQ(ops.LoadPicture(dir.file("Licn4")).has_value(), c.taken) << c.name;
    }
    EXPECT_FALSE(ops.SavePicture(plain(kLargestPictureSide + 1, 1, 0xFF000000u), dir.file("Licn4")));
    EXPECT_TRUE(ops.SavePicture(plain(kLargestPictureSide, 1, 0xFF000000u), dir.file("Licn4")));
}

// Two locks taken in one process exclude each other as two processes' do.
TEST(InstanceLockObstacles, WhateverStandsAtTheLockPathOneInstanceRuns) {
    HangGuard guard;
    // The lock goes to the folder given.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::optional<std::string> savedRuntime = runtime ? std::optional<std::string>(runtime) : std::nullopt;
    ::unsetenv("XDG_RUNTIME_DIR");
    for (const Obstacle& o : kObstacles) {
        SCOPED_TRACE(o.name);
        TempDir dir;
        TempDir other;
        const std::string otherFile = other.file("precious");
        writeBytes(otherFile, "the user's own file\n");
        o.plant(dir.file("quillop.lock"), otherFile);
        const auto first = std::make_unique<InstanceLock>(dir.path());
        EXPECT_FALSE(first->heldElsewhere());
        EXPECT_TRUE(InstanceLock(dir.path()).heldElsewhere());
        EXPECT_EQ(readBytes(otherFile), "the user's own file\n");
    }
    // A directory with something in it can't be made a lock: no instance runs.
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("quillop.lock").c_str(), 0700), 0);
    writeBytes(dir.file("quillop.lock/x"), "");
    EXPECT_TRUE(InstanceLock(dir.path()).heldElsewhere());
    if (savedRuntime) ::setenv("XDG_RUNTIME_DIR", savedRuntime->c_str(), 1);
}

}  // namespace
}  // namespace qlp::linux_desktop
