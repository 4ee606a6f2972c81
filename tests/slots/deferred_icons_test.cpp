// The start-up load that draws the front page's icons at once and the other
// pages' icons once the window is shown ends with the same slots as a load
// that draws them all at once.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "settings/settings_io.h"
#include "slots/icon_picture.h"
#include "support/fake_platform.h"

namespace qlp {
namespace {

using test::Call;
using test::FakePlatform;

constexpr const char* kDir = "/cfg";

// Slots 0, 13, 30, 50 and 119 are filled; slot 13 has a picture file. The
// window opens on page `page`.
void prepare(FakePlatform& fake, int page) {
    fake.windowsDirectory = kDir;
    const std::string ini = std::string(kDir) + "/QLPconf.ini";
    for (const int i : {0, 13, 30, 50, 119}) {
        fake.setProfileValue(ini, "DATA", "TEXT" + std::to_string(i), "/files/slot" + std::to_string(i));
    }
    fake.setProfileValue(ini, "Option", "Page", std::to_string(page));
    fake.files.insert(std::string(kDir) + "/Licn13");
    fake.pictures[std::string(kDir) + "/Licn13"] = Bitmap{2, 2, {1, 2, 3, 4}};
    // The icon depends on the path alone, not on the order of drawing.
    fake.iconFor = [](const std::string& path) { return static_cast<IconHandle>(1000 + path.size() * 7 + path.back()); };
}

std::vector<Picture> picturesAfterStart(bool defer, int page) {
    FakePlatform fake;
    prepare(fake, page);
    Launcher app(fake);
    app.deferOffPageIcons = defer;
    Form_Load(app);
    drawPendingIcons(app);
    std::vector<Picture> pictures;
    for (const Control& c : app.form1.Image1) pictures.push_back(c.picture);
    return pictures;
}

TEST(DeferredIcons, TheFrontPageIsDrawnAtStartAndTheRestLaterToTheSameEnd) {
    for (const int page : {0, 1, 2, 9}) {
        SCOPED_TRACE(page);
        FakePlatform fake;
        prepare(fake, page);
        Launcher app(fake);
        app.deferOffPageIcons = true;
        Form_Load(app);
        EXPECT_FALSE(app.deferOffPageIcons) << "only the start-up load leaves icons for later";
        const Form1& f = app.form1;
        ASSERT_EQ(f.VScroll1.value, page);
        for (const int i : {0, 13, 30, 50, 119}) {
            SCOPED_TRACE(i);
            const bool front = pageOfSlot(i) == page;
            EXPECT_EQ(f.Image1[i].picture != nullptr, front);
            EXPECT_EQ(std::count(app.pendingIcons.begin(), app.pendingIcons.end(), i), front ? 0 : 1);
            // The tool tip and the slot itself are there at once.
            EXPECT_EQ(f.Image1[i].toolTip, "/files/slot" + std::to_string(i));
            EXPECT_FALSE(isSlotEmpty(f, i));
        }
        // The saved picture of slot 13 is read with its page.
        if (page == pageOfSlot(13)) {
            ASSERT_NE(f.Image1[13].picture, nullptr);
            EXPECT_EQ(f.Image1[13].picture->pixels, (std::vector<std::uint32_t>{1, 2, 3, 4}));
        }

        // One page at a time, then all the rest.
        const int later = pageOfSlot(app.pendingIcons.front());
        drawPendingIcons(app, later);
        for (const int s : app.pendingIcons) EXPECT_NE(pageOfSlot(s), later);
        drawPendingIcons(app);
        EXPECT_TRUE(app.pendingIcons.empty());

        const std::vector<Picture> atOnce = picturesAfterStart(false, page);
        for (int i = 0; i < kSlotCount; ++i) {
            SCOPED_TRACE(i);
            ASSERT_EQ(f.Image1[i].picture != nullptr, atOnce[i] != nullptr);
            if (atOnce[i]) {
                EXPECT_EQ(f.Image1[i].picture->pixels, atOnce[i]->pixels);
            }
        }
    }
}

TEST(DeferredIcons, ASlotChangedBeforeItsTurnKeepsWhatItHasAndALaterLoadDrawsAll) {
    FakePlatform fake;
    prepare(fake, 0);
    Launcher app(fake);
    app.deferOffPageIcons = true;
    Form_Load(app);
    ASSERT_EQ(app.pendingIcons, (std::vector<int>{13, 30, 50, 119}));
    for (const Call& call : fake.callsNamed("LoadPicture")) {
        EXPECT_NE(call.args.at(0), std::string(kDir) + "/Licn13") << "another page's picture read before the window shows";
    }
    // Emptied and refilled with another picture before their icons were drawn.
    app.form1.slotPath[30].clear();
    const Picture own = std::make_shared<const Bitmap>(Bitmap{1, 1, {9}});
    app.form1.Image1[50].picture = own;
    const auto drawnBefore = fake.callsNamed("ExtractAssociatedIconA").size();
    drawPendingIcons(app);
    EXPECT_EQ(app.form1.Image1[30].picture, nullptr);
    EXPECT_EQ(app.form1.Image1[50].picture, own);
    ASSERT_NE(app.form1.Image1[119].picture, nullptr);
    // Slot 13 gets its saved picture, not a drawn icon.
    ASSERT_NE(app.form1.Image1[13].picture, nullptr);
    EXPECT_EQ(app.form1.Image1[13].picture->pixels, (std::vector<std::uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(fake.callsNamed("ExtractAssociatedIconA").size(), drawnBefore + 1);

    // The menu's load draws every icon at once.
    app.form1.Image1[119].picture = nullptr;
    mn_load_Click(app);
    EXPECT_TRUE(app.pendingIcons.empty());
    EXPECT_NE(app.form1.Image1[119].picture, nullptr);
    EXPECT_NE(app.form1.Image1[0].picture, nullptr);
}

}  // namespace
}  // namespace qlp
