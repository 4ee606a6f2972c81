#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/launcher.h"
#include "support/fake_platform.h"
#include "window/window.h"

namespace qlp {
namespace {

using test::Call;

// Keeps the whole icon records, so the tip field can be checked byte by byte.
class TrayFake : public test::FakePlatform {
public:
    std::vector<NotifyIconData> records;
    bool Shell_NotifyIconA(NotifyMessage message, const NotifyIconData& data) override {
        records.push_back(data);
        return FakePlatform::Shell_NotifyIconA(message, data);
    }
};

Call notify(NotifyMessage message, TrayIcon icon, const std::string& tip = "") {
    return {"Shell_NotifyIconA",
            {std::to_string(static_cast<unsigned>(message)), "88", "2", "0", "7", "512",
             std::to_string(static_cast<int>(icon)), tip}};
}

Call windowPos(HWND insertAfter) {
    return {"SetWindowPos", {"1", std::to_string(insertAfter), "0", "0", "0", "0", "3"}};
}

const Call kForeground{"SetForegroundWindow", {"1"}};

class TrayTest : public ::testing::Test {
protected:
    TrayFake fake;
    Launcher app{fake};

    void SetUp() override {
        app.form1.titleText = paddedTitle(kTitle);
        app.form1.visible = true;
    }
    // The shell's message number as the window layer delivers it: pixels in twips.
    void trayMessage(unsigned message) {
        TaskPicture_MouseMove(app, 0, 0, static_cast<float>(message) * fake.twipsPerPixelX, 0);
    }
};

TEST_F(TrayTest, AddCarriesTheTitleAndItsTerminatorAsTip) {
    addTrayIcon(app);
    ASSERT_EQ(fake.records.size(), 1u);
    const std::vector<Call> added = {notify(NotifyMessage::Add, TrayIcon::Shown, "Quillop Ver3.5      ")};
    EXPECT_EQ(fake.calls, added);
    std::array<char, 64> expected{};
    std::memcpy(expected.data(), "Quillop Ver3.5      ", 20);
    EXPECT_EQ(fake.records[0].szTip, expected);
    EXPECT_TRUE(app.form1.trayIconPresent);
}

TEST_F(TrayTest, AnOverlongTitleStillLeavesATerminatedTip) {
    app.form1.titleText = std::string(80, 'Q');
    addTrayIcon(app);
    ASSERT_EQ(fake.records.size(), 1u);
    const auto& tip = fake.records[0].szTip;
    EXPECT_EQ(tip[63], '\0');
    EXPECT_EQ(std::string(tip.data()), std::string(63, 'Q'));
}

TEST_F(TrayTest, RemoveFillsInOnlySizeWindowAndId) {
    addTrayIcon(app);
    fake.records.clear();
    removeTrayIcon(app);
    ASSERT_EQ(fake.records.size(), 1u);
    NotifyIconData expected;
    expected.cbSize = 88;
    expected.hWnd = kTaskPictureWindow;
    EXPECT_EQ(fake.records[0], expected);
    EXPECT_EQ(fake.calls.back().args[0], "2");
    EXPECT_FALSE(app.form1.trayIconPresent);
}

TEST_F(TrayTest, ToggleMakesExactlyTheCallsOfEachDirection) {
    const struct {
        bool visible;
        bool alh;
        std::vector<Call> calls;
    } cases[] = {
        {true, false, {notify(NotifyMessage::Modify, TrayIcon::Hidden), windowPos(kHwndNoTopmost)}},
        {true, true, {notify(NotifyMessage::Modify, TrayIcon::Hidden), windowPos(kHwndTopmost)}},
        {false, false, {kForeground, notify(NotifyMessage::Modify, TrayIcon::Shown), windowPos(kHwndNoTopmost)}},
        {false,
         true,
         {windowPos(kHwndTopmost), kForeground, notify(NotifyMessage::Modify, TrayIcon::Shown),
          windowPos(kHwndTopmost)}},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        app.form1.visible = c.visible;
        app.form1.ALH.checked = c.alh;
        trayMessage(kWmLButtonDown);
        EXPECT_EQ(app.form1.visible, !c.visible) << "visible " << c.visible << " ALH " << c.alh;
        EXPECT_EQ(fake.calls, c.calls) << "visible " << c.visible << " ALH " << c.alh;
        EXPECT_EQ(app.form1.ALH.checked, c.alh);
    }
}

TEST_F(TrayTest, EveryModificationEmptiesTheTip) {
    addTrayIcon(app);
    trayMessage(kWmLButtonDown);
    trayMessage(kWmLButtonDown);
    ASSERT_EQ(fake.records.size(), 3u);
    EXPECT_EQ(fake.records[1].szTip, (std::array<char, 64>{}));
    EXPECT_EQ(fake.records[2].szTip, (std::array<char, 64>{}));
    EXPECT_EQ(fake.records[1].hIcon, TrayIcon::Hidden);
    EXPECT_EQ(fake.records[2].hIcon, TrayIcon::Shown);
}

TEST_F(TrayTest, ADoubleClickTogglesTwiceAndLeavesTheWindowAsItWas) {
    trayMessage(kWmLButtonDown);
    trayMessage(kWmLButtonDblClk);
    EXPECT_TRUE(app.form1.visible);
    const auto modifies = fake.callsNamed("Shell_NotifyIconA");
    ASSERT_EQ(modifies.size(), 2u);
    EXPECT_EQ(modifies[0], notify(NotifyMessage::Modify, TrayIcon::Hidden));
    EXPECT_EQ(modifies[1], notify(NotifyMessage::Modify, TrayIcon::Shown));
    EXPECT_EQ(fake.callsNamed("SetForegroundWindow").size(), 1u);
}

TEST_F(TrayTest, MessageNumberIsDecodedFromTheTwipsPosition) {
    enum class Effect { Nothing, Toggle, Menu };
    const struct {
        float twipsPerPixel;
        float x;
        Effect effect;
    } cases[] = {
        {15, 513 * 15, Effect::Toggle},
        {15, 515 * 15, Effect::Toggle},
        {15, 516 * 15, Effect::Menu},
        {15, 512 * 15, Effect::Nothing},         // mouse move
        {15, 514 * 15, Effect::Nothing},         // left button up
        {15, 517 * 15, Effect::Nothing},         // right button up
        {15, 513 * 15 + 14, Effect::Toggle},     // whole division: still 513
        {15, 513 * 15 - 0.6f, Effect::Nothing},  // rounds to 7694, which is 512
        {12, 513 * 12, Effect::Toggle},
        {12, 516 * 12, Effect::Menu},
        {1440.0f / 110, 513 * (1440.0f / 110), Effect::Toggle},  // a fractional scale
        {7.5f, 516 * 7.5f, Effect::Menu},
        {0, 513 * 15, Effect::Nothing},
    };
    for (const auto& c : cases) {
        TrayFake local;
        Launcher a(local);
        a.form1.visible = true;
        local.twipsPerPixelX = c.twipsPerPixel;
        TaskPicture_MouseMove(a, 0, 0, c.x, 0);
        const Effect seen = !local.callsNamed("PopupMenu").empty() ? Effect::Menu
                            : !a.form1.visible                     ? Effect::Toggle
                                                                   : Effect::Nothing;
        EXPECT_EQ(seen, c.effect) << "x " << c.x << " at " << c.twipsPerPixel << " twips per pixel";
        if (c.effect == Effect::Nothing) {
            EXPECT_TRUE(local.calls.empty());
        }
    }
}

TEST_F(TrayTest, RightClickOffersOnlyExitWhichSavesAndEnds) {
    fake.popupChoices.push_back(std::nullopt);
    trayMessage(kWmRButtonDown);
    ASSERT_EQ(fake.popupsShown.size(), 1u);
    ASSERT_EQ(fake.popupsShown[0].size(), 1u);
    EXPECT_EQ(fake.popupsShown[0][0].id, MenuId::ends2);
    EXPECT_EQ(fake.popupsShown[0][0].entry.caption, "終了");
    const std::vector<Call> menus = {Call{"PopupMenu", {"Tcom"}}};
    EXPECT_EQ(fake.callsNamed("PopupMenu"), menus);
    EXPECT_FALSE(fake.endCalled) << "dismissing the menu must not end the launcher";
    EXPECT_TRUE(app.form1.visible);

    fake.popupChoices.push_back(MenuId::ends2);
    trayMessage(kWmRButtonDown);
    EXPECT_TRUE(fake.endCalled);
    EXPECT_TRUE(app.ended);
    // The exit from the menu leaves the icon in place: no delete is sent.
    EXPECT_TRUE(fake.callsNamed("Shell_NotifyIconA").empty());
}

TEST_F(TrayTest, DoubleClickOnTheDescriptionLineHidesWithoutRestacking) {
    for (bool alh : {false, true}) {
        fake.calls.clear();
        app.form1.visible = true;
        app.form1.ALH.checked = alh;
        txt_Ktext_DblClick(app);
        EXPECT_FALSE(app.form1.visible);
        const std::vector<Call> hidden = {notify(NotifyMessage::Modify, TrayIcon::Hidden)};
        EXPECT_EQ(fake.calls, hidden);
    }
    // A left click on the icon brings it back.
    trayMessage(kWmLButtonDown);
    EXPECT_TRUE(app.form1.visible);
}

}  // namespace
}  // namespace qlp
