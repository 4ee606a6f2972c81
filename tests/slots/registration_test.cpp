#include "slots/registration.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace qlp {
namespace {

using test::Call;
using test::FakePlatform;

constexpr const char* kFull = "もう、お腹いっぱいだぷぅー！！";

class DropTest : public ::testing::Test {
protected:
    DropTest() { app.form1.winDir = "/cfg"; }

    void fill(int from, int to) {
        for (int s = from; s <= to; ++s) app.form1.slotPath[s] = "/old/" + std::to_string(s);
    }
    void drop(int i, std::vector<std::string> files) { Image1_OLEDragDrop(app, i, DropData{std::move(files)}); }
    void dropText(int i) { Image1_OLEDragDrop(app, i, DropData{std::nullopt}); }
    // The colour of the icon painted at the surface's corner for a slot's picture.
    std::uint32_t corner(int s) const { return app.form1.Image1[s].picture->pixels.at(0); }
    std::vector<std::string> paths() const { return {app.form1.slotPath.begin(), app.form1.slotPath.end()}; }

    FakePlatform fake;
    Launcher app{fake};
};

Call stackingCall(HWND band) { return {"SetWindowPos", {"1", std::to_string(band), "0", "0", "0", "0", "3"}}; }

TEST_F(DropTest, OnlyTheFirstOfSeveralFilesIsRegisteredWhereDropped) {
    drop(7, {"/a/first.txt", "/a/second.txt", "/a/third.txt"});
    const Form1& f = app.form1;
    EXPECT_EQ(f.slotPath[7], "/a/first.txt");
    EXPECT_EQ(f.Image1[7].toolTip, "/a/first.txt");
    ASSERT_TRUE(f.Image1[7].picture);
    const auto extracted = fake.callsNamed("ExtractAssociatedIconA");
    ASSERT_EQ(extracted.size(), 1u);
    EXPECT_EQ(extracted[0].args, (std::vector<std::string>{"/a/first.txt", "0"}));
    EXPECT_EQ(corner(7), FakePlatform::iconColour(std::stoll(fake.callsNamed("DestroyIcon")[0].args[0])));
    int filled = 0;
    for (const auto& p : f.slotPath) filled += !p.empty();
    EXPECT_EQ(filled, 1);
    EXPECT_EQ(f.dropSlot, 7);
}

TEST_F(DropTest, FirstFreeModeFillsSlotZeroAndLeavesThePageAlone) {
    app.form1.SKchk.checked = false;
    app.form1.VScroll1.value = 5;
    drop(64, {"/doc/report.odt"});
    const Form1& f = app.form1;
    EXPECT_EQ(f.slotPath[0], "/doc/report.odt");
    EXPECT_EQ(f.Image1[0].toolTip, "/doc/report.odt");
    EXPECT_TRUE(f.Image1[0].picture);
    EXPECT_TRUE(f.slotPath[64].empty());
    EXPECT_FALSE(f.Image1[64].picture);
    EXPECT_EQ(f.VScroll1.value, 5);
    EXPECT_EQ(f.dropSlot, 121);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(DropTest, FirstFreeModeTakesTheLastSlotWithoutComplaint) {
    app.form1.SKchk.checked = false;
    fill(0, 118);
    drop(3, {"/bin/last"});
    EXPECT_EQ(app.form1.slotPath[119], "/bin/last");
    EXPECT_TRUE(app.form1.Image1[119].picture);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(app.form1.dropSlot, 121);
    EXPECT_TRUE(app.form1.slotPath[120].empty());
}

TEST_F(DropTest, AFullLauncherSaysSoOnceAndChangesNothing) {
    app.form1.SKchk.checked = false;
    fill(0, 119);
    const auto before = paths();
    drop(3, {"/bin/one-too-many"});
    EXPECT_EQ(fake.messages, std::vector<std::string>{kFull});
    EXPECT_EQ(paths(), before);
    for (const auto& image : app.form1.Image1) EXPECT_FALSE(image.picture);
    EXPECT_TRUE(fake.callsNamed("ExtractAssociatedIconA").empty());
    EXPECT_TRUE(fake.callsNamed("SavePicture").empty());
    EXPECT_EQ(app.form1.dropSlot, 120);
    // The message comes before the stacking order is applied again.
    EXPECT_EQ(fake.callNames().back(), "SetWindowPos");
}

TEST_F(DropTest, ADropOnAFilledSlotIsIgnoredWhereDropped) {
    fill(9, 9);
    app.form1.Image1[9].toolTip = "/old/9";
    drop(9, {"/new/file"});
    EXPECT_EQ(app.form1.slotPath[9], "/old/9");
    EXPECT_EQ(app.form1.Image1[9].toolTip, "/old/9");
    EXPECT_FALSE(app.form1.Image1[9].picture);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(app.form1.dropSlot, 9);
    EXPECT_EQ(fake.callNames(), std::vector<std::string>{"SetWindowPos"});
}

TEST_F(DropTest, TheSameFileDroppedTwiceTakesTwoSlots) {
    for (const bool whereDropped : {true, false}) {
        SCOPED_TRACE(whereDropped ? "where dropped" : "first free");
        app.form1 = Form1();
        app.form1.winDir = "/cfg";
        app.form1.SKchk.checked = whereDropped;
        drop(4, {"/x/same"});
        drop(5, {"/x/same"});
        const int a = whereDropped ? 4 : 0, b = whereDropped ? 5 : 1;
        EXPECT_EQ(app.form1.slotPath[a], "/x/same");
        EXPECT_EQ(app.form1.slotPath[b], "/x/same");
        EXPECT_TRUE(app.form1.Image1[a].picture);
        EXPECT_TRUE(app.form1.Image1[b].picture);
    }
}

TEST_F(DropTest, DroppedTextChangesNothingAndLeavesTheStackingOrder) {
    const struct {
        bool whereDropped;
        int droppedOn;
        int filledUpTo;  // slots 0..filledUpTo hold a path
        int dropSlotAfter;
    } cases[] = {
        {true, 30, -1, 30},     // where dropped, empty slot
        {true, 2, 5, 2},        // where dropped, filled slot
        {false, 30, 2, 3},      // first free: the scan stops at the empty slot
        {false, 30, 119, 120},  // first free, full: no message either
    };
    // A file list whose first path is empty ("file://") names no file either:
    // it must not leave an icon in a slot that stays empty.
    for (const bool emptyPath : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(c.droppedOn) + (emptyPath ? " empty path" : " text"));
            app.form1 = Form1();
            app.form1.winDir = "/cfg";
            app.form1.SKchk.checked = c.whereDropped;
            fill(0, c.filledUpTo);
            fake.calls.clear();
            const auto before = paths();
            if (emptyPath) {
                drop(c.droppedOn, {"", "/a/second.txt"});
            } else {
                dropText(c.droppedOn);
            }
            EXPECT_EQ(paths(), before);
            for (const Control& image : app.form1.Image1) EXPECT_FALSE(image.picture);
            EXPECT_TRUE(fake.messages.empty());
            EXPECT_TRUE(fake.calls.empty()) << fake.calls.front();
            EXPECT_EQ(app.form1.dropSlot, c.dropSlotAfter);
        }
    }
}

TEST_F(DropTest, EveryFileDropEndsByReapplyingTheStackingBand) {
    const struct {
        bool alwaysOnTop;
        bool whereDropped;
        int filledUpTo;
        HWND band;
    } cases[] = {
        {true, true, -1, kHwndTopmost},   {false, true, -1, kHwndNoTopmost},   {true, true, 0, kHwndTopmost},
        {false, true, 0, kHwndNoTopmost}, {true, false, -1, kHwndTopmost},     {false, false, -1, kHwndNoTopmost},
        {true, false, 119, kHwndTopmost}, {false, false, 119, kHwndNoTopmost},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.alwaysOnTop << c.whereDropped << c.filledUpTo);
        app.form1 = Form1();
        app.form1.winDir = "/cfg";
        app.form1.ALH.checked = c.alwaysOnTop;
        app.form1.SKchk.checked = c.whereDropped;
        fill(0, c.filledUpTo);
        fake.calls.clear();
        drop(0, {"/f"});
        ASSERT_FALSE(fake.calls.empty());
        EXPECT_EQ(fake.calls.back(), stackingCall(c.band));
        EXPECT_EQ(fake.callsNamed("SetWindowPos").size(), 1u);
    }
}

TEST_F(DropTest, TheToolTipFollowsTheDescriptionAndTheSlotKeepsItsMode) {
    const struct {
        std::string note;
        std::string tip;
    } cases[] = {{"", "/p/tool"}, {"my tool", "my tool"}};
    for (const auto& c : cases) {
        app.form1 = Form1();
        app.form1.winDir = "/cfg";
        app.form1.slotNote[11] = c.note;
        app.form1.slotExeType[11] = 1;
        drop(11, {"/p/tool"});
        EXPECT_EQ(app.form1.Image1[11].toolTip, c.tip);
        EXPECT_EQ(app.form1.slotNote[11], c.note);
        EXPECT_EQ(app.form1.slotExeType[11], 1);
    }
}

TEST_F(DropTest, ThePictureTravelsThroughTheScratchFile) {
    drop(1, {"/p/a"});
    const std::string scratch = "/cfg/QLPtemp";
    EXPECT_EQ(fake.callsNamed("SavePicture"), (std::vector<Call>{{"SavePicture", {scratch}}}));
    EXPECT_EQ(fake.callsNamed("LoadPicture"), (std::vector<Call>{{"LoadPicture", {scratch}}}));
    EXPECT_EQ(*app.form1.Image1[1].picture, fake.pictures.at(scratch));
    // The icon handle is given back once drawn.
    EXPECT_EQ(fake.callsNamed("DestroyIcon").size(), 1u);
}

TEST_F(DropTest, FailuresAfterThePathIsStoredAreSwallowed) {
    // An earlier registration left a picture in the scratch file.
    drop(0, {"/p/earlier"});
    const Bitmap earlier = fake.pictures.at("/cfg/QLPtemp");

    fake.savePictureFails = true;
    drop(1, {"/p/unsaved"});
    EXPECT_EQ(app.form1.slotPath[1], "/p/unsaved");
    EXPECT_EQ(app.form1.Image1[1].toolTip, "/p/unsaved");
    ASSERT_TRUE(app.form1.Image1[1].picture);
    EXPECT_EQ(*app.form1.Image1[1].picture, earlier);

    // Neither written nor readable: the slot keeps the picture it had (none).
    fake.pictures.clear();
    drop(2, {"/p/lost"});
    EXPECT_EQ(app.form1.slotPath[2], "/p/lost");
    EXPECT_EQ(app.form1.Image1[2].toolTip, "/p/lost");
    EXPECT_FALSE(app.form1.Image1[2].picture);
}

TEST_F(DropTest, ATargetWithoutIconGetsABlankPicture) {
    fake.iconFor = [](const std::string&) -> IconHandle { return 0; };
    drop(6, {"/nowhere/at/all"});
    ASSERT_TRUE(app.form1.Image1[6].picture);
    const Bitmap& picture = *app.form1.Image1[6].picture;
    EXPECT_EQ(picture.width, 36);
    EXPECT_EQ(picture.height, 36);
    for (auto pixel : picture.pixels) ASSERT_EQ(pixel, app.form1.Picture1.backColor);
}

}  // namespace
}  // namespace qlp
