#include "launcher/launch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_platform.h"

namespace qlp {
namespace {

using test::Call;
using test::FakePlatform;

class LaunchTest : public ::testing::Test {
protected:
    FakePlatform fake;
    Launcher app{fake};
    Form1& f = app.form1;

    const Call shellExecuteOf(const std::string& path) const {
        return {"ShellExecuteA", {"1", "open", path, "<null>", fake.currentDirectory, "5"}};
    }
};

TEST_F(LaunchTest, SlotClickByLaunchMode) {
    const struct {
        std::int16_t exeType;
        std::string path;
        bool direct;
    } cases[] = {
        {0, "/home/user/notes.txt", false},
        {1, "/opt/my tools/run me", true},  // blanks kept, no quoting added
        {1, "/usr/bin/editor /home/user/a file.txt", true},
        {-3, "/usr/bin/true", true},
        {7, "/usr/bin/true", true},
        {0, "/home/user/My Folder", false},
    };
    fake.currentDirectory = "/srv/work dir";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        fake.calls.clear();
        f.slotPath[17] = c.path;
        f.slotExeType[17] = c.exeType;
        Image1_Click(app, 17);
        if (c.direct) {
            EXPECT_EQ(fake.calls, (std::vector<Call>{{"Shell", {c.path, "2"}}}));
        } else {
            EXPECT_EQ(fake.calls, (std::vector<Call>{{"CurDir", {}}, shellExecuteOf(c.path)}));
        }
    }
}

TEST_F(LaunchTest, EmptySlotDoesNothing) {
    f.slotExeType[4] = 1;
    Image1_Click(app, 4);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(LaunchTest, FailedDirectStartIsSwallowed) {
    fake.shellSucceeds = false;
    f.slotPath[9] = "/home/user/notes.txt";
    f.slotExeType[9] = 1;
    f.txt_Ktext.caption = "line";
    Image1_Click(app, 9);
    EXPECT_EQ(fake.callNames(), std::vector<std::string>{"Shell"});
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(f.slotPath[9], "/home/user/notes.txt");
    EXPECT_EQ(f.slotExeType[9], 1);
    EXPECT_EQ(f.txt_Ktext.caption, "line");
}

TEST_F(LaunchTest, KswTogglesLaunchModeAndCheckMark) {
    f.slotPath[30] = "/home/user/tool";
    f.menuSlot = 30;
    f.Ksw.checked = true;  // as the popup sets it for launch mode 0
    Ksw_Click(app);
    EXPECT_FALSE(f.Ksw.checked);
    EXPECT_EQ(f.slotExeType[30], 1);
    Image1_Click(app, 30);
    EXPECT_EQ(fake.callsNamed("Shell"), (std::vector<Call>{{"Shell", {"/home/user/tool", "2"}}}));

    Ksw_Click(app);
    EXPECT_TRUE(f.Ksw.checked);
    EXPECT_EQ(f.slotExeType[30], 0);
    Image1_Click(app, 30);
    EXPECT_EQ(fake.callsNamed("ShellExecuteA"), std::vector<Call>{shellExecuteOf("/home/user/tool")});
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(LaunchTest, HkaiOutsideMoveModeDoesNothing) {
    f.slotPath[12] = "/usr/bin/true";
    f.slotExeType[12] = 1;
    f.menuSlot = 12;
    app.form2.iCheck.value = 0;
    Hkai_Click(app);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(LaunchTest, RunButtonAlwaysOpensThroughTheAssociation) {
    f.slotPath[40] = "/usr/bin/true";
    f.slotExeType[40] = 1;
    f.dropSlot = 40;
    Command1_Click(app);
    EXPECT_EQ(fake.callsNamed("ShellExecuteA"), std::vector<Call>{shellExecuteOf("/usr/bin/true")});
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(LaunchTest, RunButtonWithoutATargetSaysItCannotRun) {
    for (std::int16_t slot : {0, 119, 120, 121}) {
        SCOPED_TRACE(slot);
        FakePlatform localFake;
        Launcher local(localFake);
        for (int i = 0; i < kSlotCount; ++i) {
            if (i != slot) local.form1.slotPath[i] = "/full/" + std::to_string(i);
        }
        const auto paths = local.form1.slotPath;
        const auto types = local.form1.slotExeType;
        local.form1.dropSlot = slot;
        Command1_Click(local);
        EXPECT_EQ(localFake.calls, (std::vector<Call>{{"MsgBox", {"実行できません。"}}}));
        EXPECT_EQ(local.form1.slotPath, paths);
        EXPECT_EQ(local.form1.slotExeType, types);
    }
}

}  // namespace
}  // namespace qlp
