// Faults that strike the files while the launcher runs: it goes on, keeps its
// state in memory, and the next save that can be made writes all of it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "linux/temp_dir.h"
#include "model/launcher.h"
#include "platform/linux/linux_platform.h"
#include "settings/settings_io.h"
#include "slots/editing.h"

namespace qlp::linux_desktop {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

Bitmap opaque(std::uint32_t colour, int size = 16) {
    Bitmap b;
    b.width = b.height = size;
    b.pixels.assign(static_cast<std::size_t>(size * size), 0xFF000000u | colour);
    return b;
}

// What a save carries, to compare a running launcher with a fresh one.
struct Carried {
    std::array<std::string, kSlotArraySize> path, note;
    std::array<std::int16_t, kSlotArraySize> exeType;
    std::array<std::string, kPageArraySize> pageNote;
    float top, left;
    bool ALH, SKchk;
    std::vector<std::optional<Bitmap>> pictures;

    bool operator==(const Carried&) const = default;
};

Carried carried(const Launcher& app) {
    const Form1& f = app.form1;
    Carried c{f.slotPath, f.slotNote, f.slotExeType, f.pageNote, f.top, f.left, f.ALH.checked, f.SKchk.checked, {}};
    for (const Control& image : f.Image1) {
        c.pictures.push_back(image.picture ? std::optional<Bitmap>(*image.picture) : std::nullopt);
    }
    return c;
}

class RunningFaultsTest : public ::testing::Test {
protected:
    RunningFaultsTest() {
        fs::create_directory(dir);
        app.form1.winDir = dir;
        Form1& f = app.form1;
        for (int i = 0; i < 4; ++i) {
            f.slotPath[i] = "/usr/bin/tool" + std::to_string(i);
            f.slotNote[i] = "note " + std::to_string(i);
            f.slotExeType[i] = static_cast<std::int16_t>(i % 2);
            f.Image1[i].picture = std::make_shared<const Bitmap>(opaque(0x102030u * static_cast<std::uint32_t>(i + 1)));
        }
        f.pageNote[2] = "page two";
        f.top = 1200;
        f.left = -300;
        f.ALH.checked = true;
        SaveSettings(app);
    }

    // The run goes on: the slot table changes after the fault.
    void changeState() {
        Form1& f = app.form1;
        f.slotPath[7] = "/opt/new tool";
        f.slotNote[7] = "added during the fault";
        f.Image1[7].picture = std::make_shared<const Bitmap>(opaque(0xABCDEFu));
        f.slotNote[0] = "changed during the fault";
        f.pageNote[5] = "page five";
        f.top = 2400;
    }

    // A launcher started afresh on the directory shows what the running one holds.
    void expectFreshStartMatches(const char* what) {
        LinuxPlatform freshOps(dir);
        Launcher fresh(freshOps);
        fresh.form1.winDir = dir;
        LoadSettings(fresh);
        EXPECT_TRUE(carried(fresh) == carried(app)) << what << ": a fresh start differs from the running launcher";
    }

    TempDir base;
    std::string dir = base.file("quillop");
    LinuxPlatform ops{dir};
    Launcher app{ops};
};

TEST_F(RunningFaultsTest, AFileWhereTheDirectoryShouldBe) {
    const std::string old = readBytes(dir + "/QLPconf.ini");
    fs::rename(dir, base.file("moved-away"));
    writeBytes(dir, "not a directory");

    changeState();
    const Carried before = carried(app);
    SaveSettings(app);
    SaveSettings(app);
    EXPECT_EQ(readBytes(dir), "not a directory");
    EXPECT_TRUE(carried(app) == before) << "the failed saves changed the state";

    // The directory comes back: the next save writes everything.
    fs::remove(dir);
    fs::rename(base.file("moved-away"), dir);
    EXPECT_EQ(readBytes(dir + "/QLPconf.ini"), old);
    SaveSettings(app);
    expectFreshStartMatches("directory back");
}

TEST_F(RunningFaultsTest, APictureFileReplacedByGarbageOrADirectory) {
    writeBytes(dir + "/Licn0", "garbage, no bitmap");
    fs::remove(dir + "/Licn1");
    fs::create_directory(dir + "/Licn1");
    fs::create_directory(dir + "/Licn1/inside");

    changeState();
    SaveSettings(app);
    // The garbage is replaced by the picture; the directory can't be and stays,
    // and the rest of the save still happened.
    const auto loaded0 = ops.LoadPicture(dir + "/Licn0");
    ASSERT_TRUE(loaded0);
    EXPECT_EQ(*loaded0, *app.form1.Image1[0].picture);
    EXPECT_TRUE(fs::is_directory(dir + "/Licn1/inside"));
    ASSERT_TRUE(ops.LoadPicture(dir + "/Licn7"));
    EXPECT_EQ(ops.GetPrivateProfileStringA("DATA", "SETUMEI7", "NL", dir + "/QLPconf.ini"), "added during the fault");

    // A load meanwhile keeps the slot table; slot 1 gets its icon rendered afresh.
    const Carried before = carried(app);
    LoadSettings(app);
    Carried after = carried(app);
    EXPECT_EQ(after.path, before.path);
    EXPECT_EQ(after.note, before.note);
    EXPECT_EQ(after.exeType, before.exeType);
    EXPECT_TRUE(after.pictures[1].has_value());

    fs::remove_all(dir + "/Licn1");
    SaveSettings(app);
    expectFreshStartMatches("directory removed");
}

TEST_F(RunningFaultsTest, TheSettingsFileDeleted) {
    fs::remove(dir + "/QLPconf.ini");
    changeState();
    const Carried before = carried(app);
    // Reads of the vanished file find nothing, and change nothing.
    EXPECT_EQ(ops.GetPrivateProfileStringA("DATA", "TEXT0", "NL", dir + "/QLPconf.ini"), "NL");
    EXPECT_TRUE(carried(app) == before);
    // A delete writes its markers into a new file; the next save writes the rest.
    app.form1.menuSlot = 3;
    DELS_Click(app);
    EXPECT_TRUE(fs::exists(dir + "/QLPconf.ini"));
    SaveSettings(app);
    expectFreshStartMatches("file deleted");
}

// Root writes through permission bits, so the read-only case runs the child as nobody.
TEST(ReadOnlySettingsDirectory, AnUnprivilegedLauncherKeepsItsStateAndSavesOnceItCan) {
    if (::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv is not installed";
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand the directory to nobody";
    TempDir dir;
    const std::string file = dir.file("QLPconf.ini");
    const std::string bytes = "[DATA]\nTEXT0=/bin/sh\n[Other]\nkeep=me\n";
    writeBytes(file, bytes);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    ASSERT_EQ(::chown(dir.path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    const std::string command = "/usr/bin/setpriv --reuid=nobody --regid=nogroup --clear-groups " +
                                std::string(QLP_SETTINGS_CHILD) + " readonly-save " + dir.path() + " 2>&1";
    const auto [printed, status] = test::runCommand(command);
    ASSERT_NE(status, -1);
    if (printed.empty() && WIFEXITED(status) && WEXITSTATUS(status) == 127) GTEST_SKIP() << "cannot run as nobody";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << printed;
    EXPECT_EQ(printed, "state kept=1\nfile kept=1\n");

    // The save after the directory became writable again holds everything.
    LinuxPlatform ops(dir.path());
    Launcher fresh(ops);
    fresh.form1.winDir = dir.path();
    LoadSettings(fresh);
    EXPECT_EQ(fresh.form1.slotPath[0], "/gen/7/path0");
    EXPECT_EQ(fresh.form1.slotPath[119], "/gen/7/path119");
    EXPECT_EQ(fresh.form1.pageNote[9], "page 7");
    EXPECT_EQ(ops.GetPrivateProfileStringA("Other", "keep", "NL", file), "me");
    for (int i = 0; i < 12; ++i) {
        const auto picture = ops.LoadPicture(dir.file("Licn" + std::to_string(i)));
        ASSERT_TRUE(picture) << "Licn" << i;
        EXPECT_EQ(picture->width, 8 + 7 % 8);
    }
    for (const auto& e : fs::directory_iterator(dir.path())) {
        EXPECT_FALSE(e.path().extension() == ".tmp") << "leftover " << e.path();
    }
}

}  // namespace
}  // namespace qlp::linux_desktop
