// Saving and loading through the Linux profile operations, on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "linux/temp_dir.h"
#include "model/launcher.h"
#include "platform/linux/linux_platform.h"
#include "settings/settings_io.h"

namespace qlp::linux_desktop {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
using namespace std::string_literals;

class SettingsFilesTest : public ::testing::Test {
protected:
    SettingsFilesTest() { app.form1.winDir = dir.path(); }

    TempDir dir;
    std::string file = dir.file("QLPconf.ini");
    LinuxPlatform ops{dir.path()};
    Launcher app{ops};
};

TEST_F(SettingsFilesTest, ASaveWritesTheFileByteForByte) {
    Form1& f = app.form1;
    f.slotPath[0] = "C:\\TOOLS\\EDIT.EXE";
    f.slotNote[0] = "text editor";
    f.slotExeType[0] = 1;
    f.slotPath[1] = "C:\\OLD.EXE";
    f.pageNote[0] = "work";
    f.SKchk.checked = false;
    f.ALH.checked = true;
    f.top = 1500;
    f.left = 3000;
    f.Image1[0].height = 240;
    f.Image1[0].width = 240;
    f.Ktext.checked = true;
    SaveSettings(app);
    // Slot 1 deleted: its keys get the marker at once, and the next save skips it.
    for (const char* key : {"TEXT1", "SETUMEI1", "exetype1"}) ops.WritePrivateProfileStringA("DATA", key, "NL", file);
    f.slotPath[1].clear();
    SaveSettings(app);
    SaveSettings(app);

    std::string expected =
        "[DATA]\nTEXT0=C:\\TOOLS\\EDIT.EXE\nSETUMEI0=text editor\nexetype0=1\nTEXT1=NL\nSETUMEI1=NL\nexetype1=NL\n"
        "PSetumei0=work\n";
    for (int p = 1; p < kPageCount; ++p) expected += "PSetumei" + std::to_string(p) + "=\n";
    expected += "[Option]\nSUKIchk=False\nALLWAYS=True\ntop=1500\nleft=3000\nPage=0\nSizeX=240\nSizeY=240\nSSW=True\n";
    EXPECT_EQ(readBytes(file), expected);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(SettingsFilesTest, AWindowsFileIsReadAndStaysAWindowsFile) {
    const std::string windows =
        "\xEF\xBB\xBF[DATA]\r\nTEXT0=C:\\TOOLS\\EDIT.EXE\r\nSETUMEI0=text editor\r\nexetype0=1\r\n"
        "; kept as it is\r\nPSetumei0=work\r\n\r\n[Extra]\r\nmine = 1 \r\n[Option]\r\nSUKIchk=False\r\n"
        "ALLWAYS=True\r\ntop=1500\r\nleft=3000\r\nPage=2\r\nSizeX=300\r\nSizeY=255\r\nSSW=False\r\n";
    writeBytes(file, windows);
    LoadSettings(app);
    const Form1& f = app.form1;
    EXPECT_EQ(f.slotPath[0], "C:\\TOOLS\\EDIT.EXE");
    EXPECT_EQ(f.slotNote[0], "text editor");
    EXPECT_EQ(f.slotExeType[0], 1);
    EXPECT_EQ(f.pageNote[0], "work");
    EXPECT_FALSE(f.SKchk.checked);
    EXPECT_TRUE(f.ALH.checked);
    EXPECT_EQ(f.top, 1500);
    EXPECT_EQ(f.left, 3000);
    EXPECT_EQ(f.VScroll1.value, 2);
    EXPECT_EQ(app.form2.SliderH.value, 300);
    EXPECT_EQ(app.form2.SliderW.value, 255);

    app.form1.slotNote[0] = "editor";
    app.form1.Image1[0].height = 300;
    app.form1.Image1[0].width = 255;
    SaveSettings(app);
    const std::string saved = readBytes(file);
    for (std::size_t at = saved.find('\n'); at != std::string::npos; at = saved.find('\n', at + 1)) {
        ASSERT_TRUE(at > 0 && saved[at - 1] == '\r') << "bare LF at " << at;
    }
    for (const char* kept :
         {"\xEF\xBB\xBF[DATA]\r\n", "\r\n; kept as it is\r\n", "\r\n\r\n[Extra]\r\nmine = 1 \r\n[Option]"}) {
        EXPECT_NE(saved.find(kept), std::string::npos) << kept;
    }
    EXPECT_NE(saved.find("\r\nSETUMEI0=editor\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\nPSetumei9=\r\n\r\n[Extra]"), std::string::npos)
        << "new keys after the last non-blank line";
}

// What a start with no usable settings file shows.
void expectDefaults(const Launcher& app, const std::string& name) {
    for (int i = 0; i < kSlotCount; ++i) ASSERT_TRUE(app.form1.slotPath[i].empty()) << name << " slot " << i;
    for (int p = 0; p < kPageCount; ++p) EXPECT_TRUE(app.form1.pageNote[p].empty()) << name;
    EXPECT_TRUE(app.form1.SKchk.checked) << name;
    EXPECT_FALSE(app.form1.ALH.checked) << name;
    EXPECT_EQ(app.form1.top, 1440) << name;
    EXPECT_EQ(app.form1.VScroll1.value, 0) << name;
    EXPECT_EQ(app.form2.SliderH.value, 240) << name;
    EXPECT_EQ(app.form2.SliderW.value, 240) << name;
}

TEST(MalformedSettingsFiles, StartWithTheDefaultsAndWriteNothingUntilASave) {
    std::mt19937 random(5);
    std::string garbage(1 << 16, '\0');
    for (char& c : garbage) c = static_cast<char>(random() & 0xFF);
    std::string sections;
    for (int i = 0; i < 10000; ++i) sections += "[S" + std::to_string(i) + "]\nTEXT0=/s" + std::to_string(i) + "\n";
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"binary garbage", garbage},
        {"NUL bytes", "\0\0[DATA\0]\nTEXT0\0=/bin/sh\n\0[Option]\0\nSizeX=\0\n"s},
        {"a 10 MB line", "[Junk]\nx=" + std::string(10 * 1024 * 1024, 'y') + "\n[DATA]\nTEXT0=NL\n"},
        {"10,000 sections", sections},
        {"only line ends", std::string(100000, '\r')},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string file = dir.file("QLPconf.ini");
        writeBytes(file, c.bytes);
        struct stat before {};
        ASSERT_EQ(::stat(file.c_str(), &before), 0);
        LinuxPlatform ops{dir.path()};
        Launcher app{ops};
        app.form1.winDir = dir.path();
        LoadSettings(app);
        expectDefaults(app, c.name);
        struct stat after {};
        ASSERT_EQ(::stat(file.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << c.name;
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec) << c.name;
        EXPECT_EQ(readBytes(file), c.bytes) << c.name;

        app.form1.slotPath[3] = "/usr/bin/gimp";
        SaveSettings(app);
        Launcher again{ops};
        again.form1.winDir = dir.path();
        LoadSettings(again);
        EXPECT_EQ(again.form1.slotPath[3], "/usr/bin/gimp") << c.name;
        const std::size_t head = std::min<std::size_t>(1000, c.bytes.size());
        EXPECT_EQ(readBytes(file).substr(0, head), c.bytes.substr(0, head)) << c.name << ": unknown lines kept";
    }
}

TEST_F(SettingsFilesTest, ADirectoryInPlaceOfTheFileGivesTheDefaultsAndSurvivesASave) {
    std::filesystem::create_directory(file);
    LoadSettings(app);
    expectDefaults(app, "directory");
    app.form1.slotPath[0] = "/bin/sh";
    SaveSettings(app);
    EXPECT_TRUE(std::filesystem::is_directory(file));
}

TEST(UnreadableSettingsFile, AnotherUserStartsWithTheDefaults) {
    if (::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv is not installed";
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const std::string file = dir.file("QLPconf.ini");
    const std::string bytes = "[DATA]\nTEXT0=/bin/sh\n[Option]\nALLWAYS=True\nSizeX=300\n";
    writeBytes(file, bytes);
    ASSERT_EQ(::chmod(file.c_str(), 0), 0);
    const std::string command = "/usr/bin/setpriv --reuid=nobody --regid=nogroup --clear-groups " +
                                std::string(QLP_SETTINGS_CHILD) + " load " + dir.path() + " 2>/dev/null";
    const auto [printed, status] = test::runCommand(command);
    ASSERT_NE(status, -1);
    if (printed.empty() && WIFEXITED(status) && WEXITSTATUS(status) == 127) GTEST_SKIP() << "cannot run as nobody";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << printed;
    EXPECT_EQ(printed, "TEXT0=\nALH=0\nSKchk=1\nSliderH=240\nSliderW=240\ntop=1440\npage=0\n");
    EXPECT_EQ(readBytes(file), bytes);
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"QLPconf.ini"});
}

TEST_F(SettingsFilesTest, AnUnreadableFileIsNeverReplacedByASave) {
    writeBytes(file, "[DATA]\nTEXT0=/bin/sh\n");
    // Root reads through permission bits, so the file is made unreadable by being a FIFO.
    std::filesystem::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    LoadSettings(app);
    expectDefaults(app, "fifo");
    app.form1.slotPath[0] = "/bin/ls";
    SaveSettings(app);
    EXPECT_TRUE(std::filesystem::is_fifo(file));
}

}  // namespace
}  // namespace qlp::linux_desktop
