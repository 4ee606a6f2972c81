#include "slots/icon_picture.h"

#include <gtest/gtest.h>

#include "slots/registration.h"
#include "support/fake_platform.h"

namespace qlp {
namespace {

using test::FakePlatform;

class IconPictureTest : public ::testing::Test {
protected:
    IconPictureTest() { app.form1.winDir = "/cfg"; }

    void drop(int i, const std::string& file) { Image1_OLEDragDrop(app, i, DropData{std::vector{file}}); }
    std::uint32_t lastIconColour() const {
        return FakePlatform::iconColour(std::stoll(fake.callsNamed("DestroyIcon").back().args[0]));
    }

    FakePlatform fake;
    Launcher app{fake};
};

TEST_F(IconPictureTest, EachSlotKeepsItsOwnPicture) {
    drop(0, "/a/first");
    const std::uint32_t first = lastIconColour();
    const Picture firstPicture = app.form1.Image1[0].picture;
    drop(1, "/a/second");
    const std::uint32_t second = lastIconColour();
    ASSERT_NE(first, second);
    EXPECT_EQ(app.form1.Image1[0].picture, firstPicture);
    EXPECT_EQ(app.form1.Image1[0].picture->pixels.at(0), first);
    EXPECT_EQ(app.form1.Image1[1].picture->pixels.at(0), second);
    EXPECT_EQ(app.form1.Picture1.image.pixels.at(0), second);
}

TEST_F(IconPictureTest, ThePictureIsTheWholeSurfaceWithTheIconAtItsCorner) {
    const struct {
        float twipsPerPixel;
        int side;
    } cases[] = {{15, 36}, {12, 45}, {20, 27}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.twipsPerPixel);
        fake.twipsPerPixelX = fake.twipsPerPixelY = c.twipsPerPixel;
        app.form1 = Form1();
        app.form1.winDir = "/cfg";
        drop(2, "/a/doc");
        const Bitmap& picture = *app.form1.Image1[2].picture;
        ASSERT_EQ(picture.width, c.side);
        ASSERT_EQ(picture.height, c.side);
        const std::uint32_t icon = lastIconColour();
        const int iconSide = std::min(c.side, fake.iconSize);
        EXPECT_EQ(picture.pixels[static_cast<std::size_t>(iconSide - 1) * c.side + iconSide - 1], icon);
        if (c.side > fake.iconSize) {
            EXPECT_EQ(picture.pixels.back(), app.form1.Picture1.backColor);
        }
    }
}

TEST_F(IconPictureTest, AWidenedSurfaceKeepsItsDrawingAndGivesAWiderPicture) {
    drop(0, "/a/one");
    const std::uint32_t icon = lastIconColour();
    app.form1.Picture1.width *= 14;
    app.form1.dropSlot = 5;
    Picture1_Click(app);
    const Bitmap& picture = *app.form1.Image1[5].picture;
    EXPECT_EQ(picture.width, 36 * 14);
    EXPECT_EQ(picture.height, 36);
    EXPECT_EQ(picture.pixels.at(0), icon);
    EXPECT_EQ(picture.pixels.at(100), app.form1.Picture1.backColor);
}

TEST_F(IconPictureTest, ASurfaceClickCopiesTheLastIconIntoTheDropSlot) {
    drop(3, "/a/drawn");
    const std::uint32_t drawn = lastIconColour();
    app.form1.slotPath[8] = "/b/other";
    app.form1.Image1[8].toolTip = "/b/other";
    drop(8, "/c/ignored");  // a filled slot: only dropSlot moves
    ASSERT_EQ(app.form1.dropSlot, 8);
    Picture1_Click(app);
    ASSERT_TRUE(app.form1.Image1[8].picture);
    EXPECT_EQ(app.form1.Image1[8].picture->pixels.at(0), drawn);
    EXPECT_EQ(app.form1.slotPath[8], "/b/other");
    EXPECT_EQ(app.form1.Image1[8].toolTip, "/b/other");
}

TEST_F(IconPictureTest, DrawingTheDropSlotsIconLeavesItsPictureAlone) {
    drop(4, "/a/four");
    const Picture before = app.form1.Image1[4].picture;
    const unsigned refreshes = app.form1.Picture1.refreshes;
    fake.calls.clear();
    Command3_Click(app);
    EXPECT_EQ(fake.callsNamed("ExtractAssociatedIconA")[0].args[0], "/a/four");
    EXPECT_EQ(app.form1.Image1[4].picture, before);
    EXPECT_EQ(app.form1.Picture1.image.pixels.at(0), lastIconColour());
    EXPECT_EQ(app.form1.Picture1.refreshes, refreshes + 1);
    EXPECT_TRUE(fake.callsNamed("SavePicture").empty());
    Command4_Click(app);
    EXPECT_EQ(app.form1.Picture1.refreshes, refreshes + 2);
}

TEST_F(IconPictureTest, ThePanelIsHarmlessAfterAScan) {
    const struct {
        int filledUpTo;
        int dropSlot;
    } cases[] = {{-1, 121}, {119, 120}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dropSlot);
        app.form1 = Form1();
        app.form1.winDir = "/cfg";
        app.form1.SKchk.checked = false;
        for (int s = 0; s <= c.filledUpTo; ++s) app.form1.slotPath[s] = "/old";
        drop(0, "/new");
        ASSERT_EQ(app.form1.dropSlot, c.dropSlot);
        const Form1 before = app.form1;
        fake.calls.clear();
        Command3_Click(app);
        Picture1_Click(app);
        EXPECT_TRUE(fake.calls.empty()) << fake.calls.front();
        EXPECT_EQ(app.form1.Picture1.image, before.Picture1.image);
        for (int s = 0; s < kSlotCount; ++s) {
            EXPECT_EQ(app.form1.Image1[s].picture, before.Image1[s].picture);
            EXPECT_EQ(app.form1.slotPath[s], before.slotPath[s]);
        }
        EXPECT_TRUE(app.form1.slotPath[120].empty());
    }
}

TEST_F(IconPictureTest, TheCopyIntoPicture2CoversItClipped) {
    drop(0, "/a/copied");
    Picture2_Click(app);
    const auto blit = fake.callsNamed("BitBlt");
    ASSERT_EQ(blit.size(), 1u);
    EXPECT_EQ(blit[0].args, (std::vector<std::string>{"0", "0", "495", "255", "0", "0", std::to_string(kSrcCopy)}));
    const Bitmap& copy = app.form1.Picture2.image;
    const Bitmap& source = app.form1.Picture1.image;
    ASSERT_EQ(copy.width, 33);
    ASSERT_EQ(copy.height, 17);
    for (int y = 0; y < copy.height; ++y) {
        for (int x = 0; x < copy.width; ++x) {
            ASSERT_EQ(copy.pixels[static_cast<std::size_t>(y) * copy.width + x],
                      source.pixels[static_cast<std::size_t>(y) * source.width + x]);
        }
    }
}

}  // namespace
}  // namespace qlp
