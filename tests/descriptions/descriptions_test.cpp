#include "descriptions/descriptions.h"

#include <gtest/gtest.h>

#include <string>

#include "app/startup.h"
#include "launcher/navigation.h"
#include "menu/menu.h"
#include "model/launcher.h"
#include "options/options.h"
#include "slots/editing.h"
#include "support/fake_platform.h"

namespace qlp {
namespace {

class Descriptions : public ::testing::Test {
protected:
    test::FakePlatform platform;
    Launcher app{platform};
    Form1& f = app.form1;
    Form3& d = app.form3;

    void layOut(int h, int w) {
        form2::setSliderH(app, h);
        form2::setSliderW(app, w);
        app.form2.MAXQLP = kSlotCount;
        form2::iconsize_Click(app);
    }
};

enum class Exit { Ok, Enter, Cancel, CloseBox };

const char* name(Exit e) {
    switch (e) {
        case Exit::Ok:
            return "OK";
        case Exit::Enter:
            return "Enter";
        case Exit::Cancel:
            return "Cancel";
        case Exit::CloseBox:
            return "close box";
    }
    return "";
}

TEST_F(Descriptions, StartWithoutSavedSwitchShowsTheLineWithItsCheckMark) {
    Form_Load(app);
    EXPECT_TRUE(f.Ktext.checked);
    EXPECT_TRUE(f.sWrite.visible);
    EXPECT_TRUE(f.PSwrite.visible);
    // The window reaches down to include the description line.
    EXPECT_FLOAT_EQ(f.height, f.txt_Ktext.top + f.txt_Ktext.height + 190);
}

TEST_F(Descriptions, TwoSwitchClicksHideAndRestoreTheLineAndEntries) {
    const struct {
        int h, w;
        float width, shown, hidden;
    } cases[] = {{135, 135, 1290, 780, 580},
                 {240, 240, 1920, 990, 790},
                 {490, 490, 3420, 1490, 1290},
                 {135, 490, 3420, 780, 580}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.h) + "x" + std::to_string(c.w));
        layOut(c.h, c.w);
        ASSERT_FLOAT_EQ(f.height, c.shown);
        ASSERT_FLOAT_EQ(f.width, c.width);

        Ktext_Click(app);
        EXPECT_FLOAT_EQ(f.height, c.shown - f.txt_Ktext.height);
        EXPECT_FLOAT_EQ(f.height, c.hidden);
        EXPECT_FLOAT_EQ(f.width, c.width);
        EXPECT_FALSE(f.Ktext.checked);
        EXPECT_FALSE(f.sWrite.visible);
        EXPECT_FALSE(f.PSwrite.visible);

        Ktext_Click(app);
        EXPECT_FLOAT_EQ(f.height, c.shown);
        EXPECT_FLOAT_EQ(f.width, c.width);
        EXPECT_TRUE(f.Ktext.checked);
        EXPECT_TRUE(f.sWrite.visible);
        EXPECT_TRUE(f.PSwrite.visible);
    }
}

TEST_F(Descriptions, RelayoutKeepsTheHeightTheSwitchChose) {
    layOut(240, 240);
    Ktext_Click(app);
    form2::iconsize_Click(app);
    EXPECT_FLOAT_EQ(f.height, 790);
    EXPECT_FALSE(f.Ktext.checked);
    EXPECT_FALSE(f.sWrite.visible);

    layOut(300, 240);
    EXPECT_FLOAT_EQ(f.height, 120 + 600 + 190);
    EXPECT_FALSE(f.Ktext.checked);

    Ktext_Click(app);
    form2::iconsize_Click(app);
    EXPECT_FLOAT_EQ(f.height, 120 + 600 + 200 + 190);
    EXPECT_TRUE(f.Ktext.checked);
}

TEST_F(Descriptions, IconDialogOpensOnTheMenuSlotsDescription) {
    f.slotPath[17] = "/usr/bin/editor";
    f.slotNote[17] = "エディタ";
    f.menuSlot = 17;
    ASSERT_FALSE(d.loaded);
    sWrite_Click(app);
    EXPECT_TRUE(d.loaded);
    EXPECT_TRUE(d.visible);
    EXPECT_EQ(d.Text1.text, "エディタ");
    EXPECT_TRUE(d.Frame1.visible);
    EXPECT_FALSE(d.Frame2.visible);
    EXPECT_FALSE(f.enabled);
    EXPECT_EQ(f.focus, Focus::Form3Text1);
}

TEST_F(Descriptions, EveryWayOutOfTheIconDialogGivesTheMainWindowBack) {
    const struct {
        Exit exit;
        bool stored;
        bool stillLoaded;
    } cases[] = {
        {Exit::Ok, true, true}, {Exit::Enter, true, true}, {Exit::Cancel, false, true}, {Exit::CloseBox, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(name(c.exit));
        f.slotPath[5] = "/usr/bin/mail";
        f.slotNote[5] = "old";
        f.menuSlot = 5;
        sWrite_Click(app);
        d.Text1.text = "新しい説明";
        switch (c.exit) {
            case Exit::Ok:
                form3::Command1_Click(app);
                break;
            case Exit::Enter: {
                int key = 13;
                form3::Text1_KeyPress(app, key);
                EXPECT_EQ(key, 13);
                break;
            }
            case Exit::Cancel:
                form3::Command2_Click(app);
                break;
            case Exit::CloseBox:
                form3::closeBox(app);
                break;
        }
        EXPECT_EQ(f.slotNote[5], c.stored ? "新しい説明" : "old");
        EXPECT_TRUE(f.enabled);
        EXPECT_FALSE(d.visible);
        EXPECT_EQ(d.loaded, c.stillLoaded);
        EXPECT_EQ(f.focus, Focus::VScroll1);

        // The next opening shows what is stored, on a form that exists again.
        sWrite_Click(app);
        EXPECT_TRUE(d.loaded);
        EXPECT_EQ(d.Text1.text, f.slotNote[5]);
        form3::Command2_Click(app);
    }
}

TEST_F(Descriptions, EveryWayOutOfThePageDialogGivesTheMainWindowBack) {
    const struct {
        Exit exit;
        bool stored;
        bool stillLoaded;
    } cases[] = {
        {Exit::Ok, true, true}, {Exit::Enter, true, true}, {Exit::Cancel, false, true}, {Exit::CloseBox, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(name(c.exit));
        f.pageNote[0] = "old page";
        PSwrite_Click(app);
        EXPECT_EQ(d.Text2.text, "old page");
        d.Text2.text = "道具";
        switch (c.exit) {
            case Exit::Ok:
                form3::Command3_Click(app);
                break;
            case Exit::Enter: {
                int key = 13;
                form3::Text2_KeyPress(app, key);
                EXPECT_EQ(key, 13);
                break;
            }
            case Exit::Cancel:
                form3::Command4_Click(app);
                break;
            case Exit::CloseBox:
                form3::closeBox(app);
                break;
        }
        EXPECT_EQ(f.pageNote[0], c.stored ? "道具" : "old page");
        EXPECT_TRUE(f.enabled);
        EXPECT_FALSE(d.visible);
        EXPECT_EQ(d.loaded, c.stillLoaded);
    }
}

TEST_F(Descriptions, OtherKeysInTheBoxesDoNothing) {
    f.menuSlot = 3;
    sWrite_Click(app);
    d.Text1.text = "x";
    for (int key : {10, 27, 65, 0x3042}) {
        int code = key;
        form3::Text1_KeyPress(app, code);
        form3::Text2_KeyPress(app, code);
        EXPECT_EQ(code, key);
    }
    EXPECT_TRUE(d.visible);
    EXPECT_FALSE(f.enabled);
    EXPECT_EQ(f.slotNote[3], "");
    EXPECT_EQ(f.pageNote[0], "");
}

TEST_F(Descriptions, PageDescriptionGoesToTheShownPageWhateverTheMenuSlot) {
    for (int slot : {0, 5, 24, 40, 119}) {
        SCOPED_TRACE(slot);
        f.pageNote = {};
        setPage(app, 3);
        f.menuSlot = static_cast<std::int16_t>(slot);
        PSwrite_Click(app);
        d.Text2.text = "三ページ目";
        form3::Command3_Click(app);
        for (int p = 0; p < kPageArraySize; ++p) EXPECT_EQ(f.pageNote[p], p == 3 ? "三ページ目" : "") << p;
        EXPECT_EQ(f.slotNote[slot], "");
    }
}

TEST_F(Descriptions, TextsAreStoredExactlyAsTyped) {
    const std::string texts[] = {"", "  spaced  ", "タブ\tあり", std::string(300, 'p')};
    f.slotPath[8] = "/bin/true";
    f.slotNote[8] = "before";
    for (const auto& text : texts) {
        f.menuSlot = 8;
        sWrite_Click(app);
        d.Text1.text = text;
        form3::Command1_Click(app);
        EXPECT_EQ(f.slotNote[8], text);
        PSwrite_Click(app);
        d.Text2.text = text;
        form3::Command3_Click(app);
        EXPECT_EQ(f.pageNote[0], text);
    }
}

TEST_F(Descriptions, StoringLeavesToolTipAndLineAlone) {
    f.slotPath[2] = "/usr/bin/calc";
    f.Image1[2].toolTip = "/usr/bin/calc";
    f.txt_Ktext.caption = "shown";
    f.menuSlot = 2;
    sWrite_Click(app);
    d.Text1.text = "電卓";
    form3::Command1_Click(app);
    EXPECT_EQ(f.slotNote[2], "電卓");
    EXPECT_EQ(f.Image1[2].toolTip, "/usr/bin/calc");
    EXPECT_EQ(f.txt_Ktext.caption, "shown");
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(Descriptions, ThePageDialogAfterTheIconDialogShowsOnlyThePagePanel) {
    f.menuSlot = 1;
    sWrite_Click(app);
    form3::Command1_Click(app);
    f.pageNote[0] = "最初";
    PSwrite_Click(app);
    EXPECT_FALSE(d.Frame1.visible);
    EXPECT_TRUE(d.Frame2.visible);
    EXPECT_EQ(d.Text2.text, "最初");
    EXPECT_EQ(f.focus, Focus::Form3Text2);
    form3::Command4_Click(app);
    sWrite_Click(app);
    EXPECT_TRUE(d.Frame1.visible);
    EXPECT_FALSE(d.Frame2.visible);
}

TEST_F(Descriptions, CloseBoxDestroysTheFormAndItsTexts) {
    f.pageNote[0] = "page";
    PSwrite_Click(app);
    d.Text1.text = "left over";
    form3::closeBox(app);
    EXPECT_FALSE(d.loaded);
    EXPECT_EQ(d.Text1.text, "");
    EXPECT_EQ(d.Text2.text, "");
    EXPECT_EQ(d.Text1.maxLength, 20);
    EXPECT_EQ(f.pageNote[0], "page");
}

TEST_F(Descriptions, PopupOffersTheWritingEntriesOnlyWithTheLine) {
    layOut(240, 240);
    auto entry = [](const std::vector<PopupEntry>& entries, MenuId id) {
        for (const auto& e : entries) {
            if (e.id == id) return e.entry;
        }
        return MenuEntry{};
    };
    platform.popupChoices = {MenuId::Ktext, MenuId::Ktext, MenuId::PSwrite};
    showPopup(app, PopupMenuName::ppm);
    EXPECT_FLOAT_EQ(f.height, 790);
    showPopup(app, PopupMenuName::ppm);
    EXPECT_FLOAT_EQ(f.height, 990);
    showPopup(app, PopupMenuName::ppm);
    EXPECT_TRUE(d.visible);
    EXPECT_FALSE(f.enabled);

    ASSERT_EQ(platform.popupsShown.size(), 3u);
    const bool shown[] = {true, false, true};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entry(platform.popupsShown[i], MenuId::Ktext).checked, shown[i]);
        EXPECT_EQ(entry(platform.popupsShown[i], MenuId::sWrite).visible, shown[i]);
        EXPECT_EQ(entry(platform.popupsShown[i], MenuId::PSwrite).visible, shown[i]);
    }
}

}  // namespace
}  // namespace qlp
