#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/launcher.h"
#include "support/fake_platform.h"
#include "window/window.h"

namespace qlp {
namespace {

using test::Call;

const std::vector<Call> kDrag = {{"ReleaseCapture", {}}, {"SendMessageA", {"1", "161", "2", "0"}}};

class PlacementTest : public ::testing::Test {
protected:
    test::FakePlatform fake;
    Launcher app{fake};
};

TEST_F(PlacementTest, AlwaysOnTopTwiceReturnsToNormalStacking) {
    ALH_Click(app);
    EXPECT_TRUE(app.form1.ALH.checked);
    ALH_Click(app);
    EXPECT_FALSE(app.form1.ALH.checked);
    const std::vector<Call> expected = {{"SetWindowPos", {"1", "-1", "0", "0", "0", "0", "3"}},
                                        {"SetWindowPos", {"1", "-2", "0", "0", "0", "0", "3"}}};
    EXPECT_EQ(fake.calls, expected);
}

TEST_F(PlacementTest, DropPlacementSwitchOnlyFlipsItsMark) {
    EXPECT_TRUE(app.form1.SKchk.checked);
    SKchk_Click(app);
    EXPECT_FALSE(app.form1.SKchk.checked);
    SKchk_Click(app);
    EXPECT_TRUE(app.form1.SKchk.checked);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(PlacementTest, ButtonValuesDecideBetweenDragAndPopup) {
    using Handler = void (*)(Launcher&, int, int, float, float);
    const struct {
        const char* name;
        Handler handler;
    } areas[] = {{"Frame1", Frame1_MouseDown}, {"Label1", Label1_MouseDown}, {"txt_Ktext", txt_Ktext_MouseDown}};
    const struct {
        int button;
        bool drag;
        bool popupOnDescription;
    } buttons[] = {{0, false, false}, {1, true, false}, {2, false, true}, {3, true, false},
                   {4, false, false}, {5, true, false}, {6, false, false}};
    for (const auto& area : areas) {
        for (const auto& b : buttons) {
            test::FakePlatform local;
            Launcher a(local);
            area.handler(a, b.button, 0, 300, 100);
            const bool popup = area.handler == txt_Ktext_MouseDown && b.popupOnDescription;
            std::vector<Call> expected = b.drag ? kDrag : std::vector<Call>{};
            if (popup) expected.push_back({"PopupMenu", {"ppm"}});
            EXPECT_EQ(local.calls, expected) << area.name << " button " << b.button;
        }
    }
}

TEST_F(PlacementTest, DescriptionLinePopupHasNoSlot) {
    app.form1.menuSlot = 37;
    app.form1.Nnnnn.caption = "C:\\TOOLS\\EDIT.EXE";
    app.form1.Ksw.checked = true;
    app.form1.Ktext.checked = true;
    app.form1.PSwrite.enabled = true;
    fake.popupChoices.push_back(std::nullopt);
    txt_Ktext_MouseDown(app, 2, 0, 0, 0);

    ASSERT_EQ(fake.popupsShown.size(), 1u);
    const auto& entries = fake.popupsShown[0];
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0].id, MenuId::Nnnnn);
    EXPECT_EQ(entries[0].entry.caption, "何もしない");
    for (const auto& e : entries) {
        const bool slotEntry =
            e.id == MenuId::Hkai || e.id == MenuId::DELS || e.id == MenuId::Ksw || e.id == MenuId::sWrite;
        EXPECT_EQ(e.entry.enabled, !slotEntry) << e.entry.caption;
    }
    EXPECT_EQ(app.form1.menuSlot, 37);
    EXPECT_TRUE(app.form1.Ksw.checked) << "a disabled entry keeps its mark";
    EXPECT_TRUE(app.form1.Ktext.checked);
}

TEST_F(PlacementTest, DescriptionLinePopupRunsTheChosenEntry) {
    fake.popupChoices.push_back(MenuId::ALH);
    txt_Ktext_MouseDown(app, 2, 0, 0, 0);
    EXPECT_TRUE(app.form1.ALH.checked);
    EXPECT_EQ(fake.calls.back(), (Call{"SetWindowPos", {"1", "-1", "0", "0", "0", "0", "3"}}));
}

}  // namespace
}  // namespace qlp
