#include <gtest/gtest.h>

#include <algorithm>

#include "app/startup.h"
#include "menu/menu.h"
#include "options/options.h"
#include "support/fake_platform.h"

namespace qlp {
namespace {

using test::Call;
using test::FakePlatform;

std::ptrdiff_t firstIndex(const FakePlatform& fake, const std::string& name) {
    const auto names = fake.callNames();
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : it - names.begin();
}

std::ptrdiff_t lastIndex(const FakePlatform& fake, const std::string& name) {
    const auto names = fake.callNames();
    const auto it = std::find(names.rbegin(), names.rend(), name);
    return it == names.rend() ? -1 : names.rend() - it - 1;
}

TEST(StartUp, SecondInstanceEndsBeforeAnyOtherCall) {
    FakePlatform fake;
    fake.prevInstance = true;
    Launcher app(fake);
    Form_Load(app);
    EXPECT_EQ(fake.callNames(), (std::vector<std::string>{"PrevInstance", "End"}));
    EXPECT_TRUE(app.ended);
    EXPECT_EQ(app.form1.caption, "Qlp");
    EXPECT_FALSE(app.form1.visible);
    EXPECT_FALSE(app.form2.loaded);
}

TEST(StartUp, CaptionIsTheTitlePaddedToTwentyCharacters) {
    FakePlatform fake;
    Launcher app(fake);
    Form_Load(app);
    EXPECT_EQ(app.form1.titleText, "Quillop Ver3.5      ");
    EXPECT_EQ(app.form1.caption, app.form1.titleText);
    EXPECT_EQ(paddedTitle("a text that is longer than twenty"), "a text that is longe");
}

TEST(StartUp, StepsRunInOrderWithTheStateOfEachStep) {
    FakePlatform fake;
    Launcher app(fake);
    bool sawDirectoryStep = false, sawDoEvents = false;
    fake.onCall = [&](const Call& call) {
        const Form1& f = app.form1;
        if (call.name == "GetWindowsDirectoryA") {
            // Steps 2 and 3 are done, the settings not yet read.
            sawDirectoryStep = true;
            EXPECT_EQ(f.caption, "Quillop Ver3.5      ");
            EXPECT_EQ(f.VScroll1.value, 0);
            EXPECT_TRUE(f.winDir.empty());
        }
        if (call.name == "DoEvents") {
            // Step 9: the page label and frame are set, Form2 is loaded and hidden,
            // MAXQLP and the layout are still to come.
            sawDoEvents = true;
            EXPECT_EQ(f.winDir, fake.windowsDirectory);
            EXPECT_EQ(f.Label1.caption, "0");
            EXPECT_EQ(frontFrame(f), 0);
            EXPECT_TRUE(app.form2.loaded);
            EXPECT_FALSE(app.form2.visible);
            EXPECT_EQ(app.form2.MAXQLP, 0);
            EXPECT_EQ(f.width, 0);
            EXPECT_FALSE(f.visible);
        }
    };
    Form_Load(app);
    EXPECT_TRUE(sawDirectoryStep);
    EXPECT_TRUE(sawDoEvents);

    const auto prev = firstIndex(fake, "PrevInstance");
    const auto dir = firstIndex(fake, "GetWindowsDirectoryA");
    const auto firstRead = firstIndex(fake, "GetPrivateProfileStringA");
    const auto lastRead = lastIndex(fake, "GetPrivateProfileStringA");
    const auto tray = firstIndex(fake, "Shell_NotifyIconA");
    const auto events = firstIndex(fake, "DoEvents");
    EXPECT_EQ(prev, 0);
    EXPECT_GT(dir, prev);
    EXPECT_GT(firstRead, dir);
    EXPECT_GT(tray, lastRead);
    EXPECT_GT(events, tray);
    EXPECT_EQ(firstIndex(fake, "End"), -1);
    EXPECT_EQ(firstIndex(fake, "WritePrivateProfileStringA"), -1);

    const Form1& f = app.form1;
    EXPECT_EQ(app.form2.MAXQLP, 120);
    EXPECT_TRUE(f.visible);
    EXPECT_EQ(f.focus, Focus::VScroll1);
    // Laid out from the sliders, which the load sets to 240 without a settings file.
    EXPECT_FLOAT_EQ(f.Image1[119].width, 240);
    EXPECT_FLOAT_EQ(f.width, 1920);
    EXPECT_FLOAT_EQ(f.height, 990);
}

TEST(StartUp, SavedPageIsShownWithItsLabel) {
    for (const int page : {0, 7}) {
        FakePlatform fake;
        fake.setProfileValue(fake.windowsDirectory + "/QLPconf.ini", "Option", "Page", std::to_string(page));
        Launcher app(fake);
        Form_Load(app);
        EXPECT_EQ(app.form1.VScroll1.value, page);
        EXPECT_EQ(app.form1.Label1.caption, std::to_string(page));
        EXPECT_EQ(frontFrame(app.form1), page);
    }
}

struct ShutdownCase {
    const char* name;
    bool scratchPresent;
    void (*run)(Launcher&);
    bool scratchDeleted;
    bool trayRemoved;
};

void unload(Launcher& app) {
    std::int16_t cancel = 0;
    Form_Unload(app, cancel);
}

TEST(Shutdown, EachPathDoesWhatItShouldAndNoMore) {
    const ShutdownCase cases[] = {
        {"close box, scratch file present", true, unload, true, true},
        {"close box, no scratch file", false, unload, false, true},
        {"ends", true, ends_Click, false, false},
        {"ends2", true, ends2_Click, false, false},
        {"popup entry ends", true, [](Launcher& app) { menu_Click(app, MenuId::ends); }, false, false},
        {"tray entry ends2", true, [](Launcher& app) { menu_Click(app, MenuId::ends2); }, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform fake;
        Launcher app(fake);
        Form_Load(app);
        app.form1.windowState = WindowState::Minimized;
        const std::string scratch = fake.windowsDirectory + "/QLPtemp";
        if (c.scratchPresent) fake.files.insert(scratch);
        fake.calls.clear();

        c.run(app);

        EXPECT_TRUE(app.ended);
        EXPECT_EQ(fake.callNames().back(), "End");
        EXPECT_EQ(fake.callsNamed("End").size(), 1u);
        EXPECT_EQ(!fake.callsNamed("Kill").empty(), c.scratchDeleted);
        EXPECT_EQ(fake.files.count(scratch) == 0, c.scratchDeleted || !c.scratchPresent);
        const auto notify = fake.callsNamed("Shell_NotifyIconA");
        const bool removed = std::any_of(notify.begin(), notify.end(), [](const Call& n) { return n.args[0] == "2"; });
        EXPECT_EQ(removed, c.trayRemoved);
        // Both paths save: the options are written before the end.
        const auto writes = fake.callsNamed("WritePrivateProfileStringA");
        ASSERT_FALSE(writes.empty());
        EXPECT_LT(lastIndex(fake, "WritePrivateProfileStringA"), lastIndex(fake, "End"));
        // Only the full shutdown restores the window first, so the normal position is saved.
        EXPECT_EQ(app.form1.windowState == WindowState::Normal, c.trayRemoved);
    }
}

TEST(Shutdown, ScratchFileIsRemovedBeforeTheTrayIconAndTheSave) {
    FakePlatform fake;
    Launcher app(fake);
    Form_Load(app);
    fake.files.insert(fake.windowsDirectory + "/QLPtemp");
    fake.calls.clear();
    unload(app);
    const auto kill = firstIndex(fake, "Kill");
    const auto notify = firstIndex(fake, "Shell_NotifyIconA");
    const auto write = firstIndex(fake, "WritePrivateProfileStringA");
    EXPECT_EQ(firstIndex(fake, "Dir"), 0);
    EXPECT_EQ(fake.calls[0].args[0], fake.windowsDirectory + "/QLPtemp");
    EXPECT_LT(kill, notify);
    EXPECT_LT(notify, write);
}

TEST(Text2, NeverHoldsText) {
    FakePlatform fake;
    Launcher app(fake);
    setText2(app, "x");
    EXPECT_EQ(app.form1.Text2.text, "");
    setText2(app, "日本語");
    EXPECT_EQ(app.form1.Text2.text, "");
}

}  // namespace
}  // namespace qlp
