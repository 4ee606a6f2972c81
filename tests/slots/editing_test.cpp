#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <set>

#include "model/launcher.h"
#include "options/options.h"
#include "launcher/launch.h"
#include "menu/menu.h"
#include "settings/settings_io.h"
#include "slots/editing.h"
#include "support/fake_platform.h"

namespace qlp {
namespace {

using test::Call;
using test::FakePlatform;

class SlotEditing : public ::testing::Test {
protected:
    SlotEditing() : app(ops) {
        app.form1.winDir = "/cfg";
        form2::ensureLoaded(app);
        ops.calls.clear();
    }

    void fill(int slot, const std::string& path, const std::string& note, std::int16_t exeType) {
        Form1& f = app.form1;
        f.slotPath[slot] = path;
        f.slotNote[slot] = note;
        f.slotExeType[slot] = exeType;
        f.Image1[slot].picture = std::make_shared<const Bitmap>(Bitmap{1, 1, {0xFF112233u + slot}});
        f.Image1[slot].toolTip = slotToolTip(f, slot);
    }

    std::string ini() const { return settingsFilePath(app.form1); }
    std::string licn(int slot) const { return slotPictureFilePath(app.form1, slot); }
    Call write(const std::string& key, const std::string& value) const {
        return {"WritePrivateProfileStringA", {"DATA", key, value, ini()}};
    }
    // The calls that touch the settings file or the picture files, in order.
    std::vector<Call> fileCalls() const {
        std::vector<Call> out;
        for (const Call& c : ops.calls) {
            if (c.name == "WritePrivateProfileStringA" || c.name == "SavePicture" || c.name == "Kill") out.push_back(c);
        }
        return out;
    }

    FakePlatform ops;
    Launcher app;
};

TEST_F(SlotEditing, RightClickPreparesThePopupFromTheSlot) {
    const struct {
        const char* name;
        std::string path;
        std::int16_t exeType;
        bool kswBefore;
        std::string caption;
        bool enabled;
        bool kswAfter;
    } cases[] = {
        {"filled, association", "C:\\TOOLS\\EDIT.EXE", 0, false, "何もしない\u3000(C:\\TOOLS\\EDIT.EXE)", true, true},
        {"filled, direct", "/usr/bin/xterm", 1, true, "何もしない\u3000(/usr/bin/xterm)", true, false},
        {"empty keeps a set mark", "", 0, true, "何もしない", false, true},
        {"empty keeps a clear mark", "", 0, false, "何もしない", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Form1& f = app.form1;
        f.slotPath[7] = c.path;
        f.slotExeType[7] = c.exeType;
        f.Ksw.checked = c.kswBefore;
        f.menuSlot = 0;
        ops.popupsShown.clear();

        Image1_MouseDown(app, 7, kRightButton, 0, 10, 10);

        EXPECT_EQ(f.menuSlot, 7);
        ASSERT_EQ(ops.popupsShown.size(), 1u);
        const auto& shown = ops.popupsShown.front();
        ASSERT_EQ(shown.size(), kPpmOrder.size());
        EXPECT_EQ(shown[0].id, MenuId::Nnnnn);
        EXPECT_EQ(shown[0].entry.caption, c.caption);
        for (const auto& e : shown) {
            const bool slotEntry = e.id == MenuId::Hkai || e.id == MenuId::DELS || e.id == MenuId::Ksw ||
                                   e.id == MenuId::sWrite;
            EXPECT_EQ(e.entry.enabled, slotEntry ? c.enabled : true) << static_cast<int>(e.id);
        }
        EXPECT_EQ(shown[3].id, MenuId::Ksw);
        EXPECT_EQ(shown[3].entry.checked, c.kswAfter);
    }
}

TEST_F(SlotEditing, TheChosenPopupEntryRuns) {
    fill(4, "/bin/true", "", 0);
    ops.files.insert(licn(4));
    ops.popupChoices.push_back(MenuId::DELS);
    Image1_MouseDown(app, 4, kRightButton, 0, 0, 0);
    EXPECT_TRUE(app.form1.slotPath[4].empty());
    EXPECT_EQ(ops.profileValue(ini(), "DATA", "TEXT4"), "NL");
}

TEST_F(SlotEditing, LeftButtonDragsOnlyAFilledSlotInMoveMode) {
    fill(2, "/bin/true", "", 0);
    const struct {
        const char* name;
        int slot;
        int button;
        int moveMode;
        bool drags;
    } cases[] = {
        {"move mode, filled", 2, kLeftButton, 1, true},
        {"normal mode", 2, kLeftButton, 0, false},
        {"move mode, empty slot", 3, kLeftButton, 1, false},
        {"left with right held", 2, kLeftButton | kRightButton, 1, false},
        {"right button", 2, kRightButton, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form2::setICheck(app, c.moveMode);
        ops.calls.clear();
        Image1_MouseDown(app, c.slot, c.button, 0, 0, 0);
        const auto drags = ops.callsNamed("Drag");
        if (c.drags) {
            ASSERT_EQ(drags.size(), 1u);
            EXPECT_EQ(drags[0].args, std::vector<std::string>{std::to_string(c.slot)});
        } else {
            EXPECT_TRUE(drags.empty());
        }
    }
}

TEST_F(SlotEditing, MoveOntoAnEmptySlotOnAnotherPage) {
    fill(3, "C:\\TOOLS\\EDIT.EXE", "text editor", 1);
    ops.files.insert(licn(3));
    const Picture picture = app.form1.Image1[3].picture;
    form2::setICheck(app, 1);
    ops.onDrag = [this](int source) { Image1_DragDrop(app, 20, source, 0, 0); };
    ops.calls.clear();

    Image1_MouseDown(app, 3, kLeftButton, 0, 0, 0);

    const Form1& f = app.form1;
    EXPECT_TRUE(f.slotPath[3].empty());
    EXPECT_TRUE(f.slotNote[3].empty());
    EXPECT_EQ(f.slotExeType[3], 0);
    EXPECT_EQ(f.Image1[3].picture, nullptr);
    EXPECT_EQ(f.Image1[3].toolTip, "");
    EXPECT_EQ(f.slotPath[20], "C:\\TOOLS\\EDIT.EXE");
    EXPECT_EQ(f.slotNote[20], "text editor");
    EXPECT_EQ(f.slotExeType[20], 1);
    EXPECT_EQ(f.Image1[20].picture, picture);
    EXPECT_EQ(f.Image1[20].toolTip, "text editor");
    EXPECT_EQ(f.menuSlot, 3);
    EXPECT_FALSE(ops.files.count(licn(3)));
    ASSERT_TRUE(ops.pictures.count(licn(20)));
    EXPECT_EQ(ops.pictures.at(licn(20)), *picture);

    // The target is in the file before its old place is marked deleted.
    const std::vector<Call> expected = {
        write("TEXT20", "C:\\TOOLS\\EDIT.EXE"),
        write("SETUMEI20", "text editor"),
        write("exetype20", "1"),
        {"SavePicture", {licn(20)}},
        {"Kill", {licn(3)}},
        write("TEXT3", "NL"),
        write("SETUMEI3", "NL"),
        write("exetype3", "NL"),
    };
    EXPECT_EQ(fileCalls(), expected);
}

TEST_F(SlotEditing, MovedSlotWithoutDescriptionTakesItsPathAsToolTip) {
    fill(5, "/usr/bin/gimp", "", 0);
    Image1_DragDrop(app, 30, 5, 0, 0);
    EXPECT_EQ(app.form1.Image1[30].toolTip, "/usr/bin/gimp");
    EXPECT_EQ(ops.profileValue(ini(), "DATA", "SETUMEI30"), "");
    EXPECT_EQ(ops.profileValue(ini(), "DATA", "exetype30"), "0");
}

TEST_F(SlotEditing, DropThatMovesNothing) {
    const struct {
        const char* name;
        int target;
        int source;
    } cases[] = {
        {"onto a filled slot", 9, 3},
        {"from an empty slot", 10, 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fill(3, "/bin/a", "a", 1);
        fill(9, "/bin/b", "b", 0);
        const Form1 before = app.form1;
        ops.calls.clear();
        Image1_DragDrop(app, c.target, c.source, 0, 0);
        EXPECT_EQ(app.form1.slotPath, before.slotPath);
        EXPECT_EQ(app.form1.slotNote, before.slotNote);
        EXPECT_EQ(app.form1.slotExeType, before.slotExeType);
        EXPECT_EQ(app.form1.Image1[3].picture, before.Image1[3].picture);
        EXPECT_EQ(app.form1.menuSlot, before.menuSlot);
        EXPECT_TRUE(ops.calls.empty()) << ops.calls.front();
    }
}

TEST_F(SlotEditing, DropBackOntoItselfActsAsAClick) {
    fill(6, "/usr/bin/xterm", "", 1);
    Image1_Click(app, 6);
    const std::vector<Call> click = ops.calls;
    ops.calls.clear();

    Image1_DragDrop(app, 6, 6, 0, 0);

    EXPECT_EQ(ops.calls, click);
    EXPECT_EQ(app.form1.slotPath[6], "/usr/bin/xterm");
    EXPECT_NE(app.form1.Image1[6].picture, nullptr);
    EXPECT_TRUE(fileCalls().empty());
}

TEST_F(SlotEditing, DeleteWritesTheMarkerAtOnceAndRemovesAPresentPicture) {
    const struct {
        const char* name;
        std::set<std::string> files;
        bool kills;
    } cases[] = {
        {"picture file present", {"/cfg/Licn8"}, true},
        {"picture file missing", {}, false},
        {"another name in the way", {"/cfg/Licn80"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fill(8, "/bin/ls", "list", 1);
        ops.files = c.files;
        ops.calls.clear();
        app.form1.menuSlot = 8;

        DELS_Click(app);

        const Form1& f = app.form1;
        EXPECT_TRUE(f.slotPath[8].empty());
        EXPECT_TRUE(f.slotNote[8].empty());
        EXPECT_EQ(f.slotExeType[8], 0);
        EXPECT_EQ(f.Image1[8].picture, nullptr);
        EXPECT_EQ(f.Image1[8].toolTip, "");
        std::vector<Call> expected;
        if (c.kills) expected.push_back({"Kill", {"/cfg/Licn8"}});
        expected.push_back(write("TEXT8", "NL"));
        expected.push_back(write("SETUMEI8", "NL"));
        expected.push_back(write("exetype8", "NL"));
        EXPECT_EQ(fileCalls(), expected);
        EXPECT_EQ(ops.callsNamed("Dir"), (std::vector<Call>{{"Dir", {"/cfg/Licn8"}}}));
    }
}

// A directory listing that reports names in capitals.
class CapitalsPlatform : public FakePlatform {
public:
    std::string Dir(const std::string& path) override {
        std::string name = FakePlatform::Dir(path);
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return name;
    }
};

TEST(SlotDelete, PictureNameIsComparedWithoutCase) {
    CapitalsPlatform ops;
    Launcher app(ops);
    app.form1.winDir = "/cfg";
    app.form1.slotPath[1] = "/bin/ls";
    ops.files = {"/cfg/Licn1"};
    app.form1.menuSlot = 1;
    DELS_Click(app);
    EXPECT_EQ(ops.callsNamed("Kill"), (std::vector<Call>{{"Kill", {"/cfg/Licn1"}}}));
}

TEST_F(SlotEditing, Browse) {
    const struct {
        const char* name;
        std::int16_t dropSlot;
        std::optional<std::string> chosen;
        bool dialog;
        std::string path;
        std::string remembered;
    } cases[] = {
        {"chosen", 5, "/home/user/run.sh", true, "/home/user/run.sh", "/home/user/run.sh"},
        {"cancelled", 5, std::nullopt, true, "/old", "/last"},
        {"no free slot was found", 121, "/home/user/run.sh", false, "/old", "/last"},
        {"past the last slot", 120, "/home/user/run.sh", false, "/old", "/last"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fill(5, "/old", "note", 1);
        const Picture picture = app.form1.Image1[5].picture;
        app.form1.CommonDialog1_FileName = "/last";
        app.form1.dropSlot = c.dropSlot;
        ops.openDialogResult = c.chosen;
        ops.calls.clear();

        Command2_Click(app);

        const auto shown = ops.callsNamed("ShowOpen");
        if (c.dialog) {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].args, (std::vector<std::string>{
                                         "すべてのファイル (*.*)|*.*|テキスト ファイル (*.txt)|*.txt|"
                                         "バッチ ファイル (*.bat)|*.bat|実行ファイル(*.exe)|*.exe|",
                                         "4", "/last"}));
        } else {
            EXPECT_TRUE(shown.empty());
        }
        const Form1& f = app.form1;
        EXPECT_EQ(f.slotPath[5], c.path);
        EXPECT_EQ(f.CommonDialog1_FileName, c.remembered);
        // Only the path: the rest of the slot stays as it was.
        EXPECT_EQ(f.slotNote[5], "note");
        EXPECT_EQ(f.slotExeType[5], 1);
        EXPECT_EQ(f.Image1[5].picture, picture);
        EXPECT_EQ(f.Image1[5].toolTip, "note");
        EXPECT_TRUE(fileCalls().empty());
    }
}

TEST_F(SlotEditing, MoveModeMenuEntryAndCheckBoxMirrorEachOther) {
    Form1& f = app.form1;
    ASSERT_EQ(app.form2.iCheck.value, 0);
    imove_Click(app);
    EXPECT_EQ(app.form2.iCheck.value, 1);
    EXPECT_TRUE(f.imove.checked);
    imove_Click(app);
    EXPECT_EQ(app.form2.iCheck.value, 0);
    EXPECT_FALSE(f.imove.checked);

    form2::setICheck(app, 1);
    EXPECT_TRUE(f.imove.checked);
    form2::setICheck(app, 0);
    EXPECT_FALSE(f.imove.checked);
    // Nothing of it reaches the settings file.
    EXPECT_TRUE(fileCalls().empty());
}

}  // namespace
}  // namespace qlp
