#include <gtest/gtest.h>

#include "model/launcher.h"
#include "options/options.h"
#include "support/fake_platform.h"

namespace qlp {
namespace {

using test::FakePlatform;

struct Laid {
    FakePlatform ops;
    Launcher app{ops};
    Laid(std::int32_t h, std::int32_t w, std::int32_t maxQlp = kSlotCount) {
        // With the description line shown, which the window always has room for.
        app.form1.Ktext.checked = true;
        form2::setSliderH(app, h);
        form2::setSliderW(app, w);
        app.form2.MAXQLP = maxQlp;
        form2::iconsize_Click(app);
    }
};

TEST(IconLayout, WindowFollowsTheIconSize) {
    const struct {
        std::int32_t h, w;
        float pageW, pageH, scrollLeft, labelLeft, ktextTop, ktextW, frame1W, frame1H, formW, formH;
    } cases[] = {
        {240, 240, 1440, 480, 1560, 1730, 600, 1750, 1840, 840, 1920, 990},
        {135, 135, 810, 270, 930, 1100, 390, 1120, 1210, 630, 1290, 780},
        {490, 490, 2940, 980, 3060, 3230, 1100, 3250, 3340, 1340, 3420, 1490},
        {135, 490, 2940, 270, 3060, 3230, 390, 3250, 3340, 630, 3420, 780},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.h) + "x" + std::to_string(c.w));
        Laid l(c.h, c.w);
        const Form1& f = l.app.form1;
        for (const Control& page : f.Frame) {
            EXPECT_EQ(page.width, c.pageW);
            EXPECT_EQ(page.height, c.pageH);
            EXPECT_EQ(page.left, 120);
            EXPECT_EQ(page.top, 120);
        }
        EXPECT_EQ(f.VScroll1.height, c.pageH);
        EXPECT_EQ(f.VScroll1.left, c.scrollLeft);
        EXPECT_EQ(f.VScroll1.top, 120);
        EXPECT_EQ(f.VScroll1.width, 170);
        EXPECT_EQ(f.Label1.left, c.labelLeft);
        EXPECT_EQ(f.txt_Ktext.top, c.ktextTop);
        EXPECT_EQ(f.txt_Ktext.width, c.ktextW);
        EXPECT_EQ(f.txt_Ktext.left, 50);
        EXPECT_EQ(f.Frame1.width, c.frame1W);
        EXPECT_EQ(f.Frame1.height, c.frame1H);
        EXPECT_EQ(f.Frame1.top, -100);
        EXPECT_EQ(f.width, c.formW);
        EXPECT_EQ(f.height, c.formH);
        EXPECT_EQ(f.width, 6.0f * c.w + 480);
        EXPECT_EQ(f.height, 2.0f * c.h + 510);
    }
}

TEST(IconLayout, SlotsFillTwoRowsOfSixOnEveryPage) {
    Laid l(135, 490);
    const Form1& f = l.app.form1;
    for (int i = 0; i < kSlotCount; ++i) {
        const int k = i % kSlotsPerPage;
        SCOPED_TRACE(i);
        EXPECT_EQ(f.Image1[i].width, 490);
        EXPECT_EQ(f.Image1[i].height, 135);
        EXPECT_EQ(f.Image1[i].left, static_cast<float>((k % 6) * 490));
        EXPECT_EQ(f.Image1[i].top, static_cast<float>((k / 6) * 135));
    }
}

TEST(IconLayout, RunningAgainLaysOutIdentically) {
    Laid l(300, 200);
    const Form1 first = l.app.form1;
    form2::iconsize_Click(l.app);
    const Form1& f = l.app.form1;
    EXPECT_EQ(f.width, first.width);
    EXPECT_EQ(f.height, first.height);
    for (int i = 0; i < kSlotCount; ++i) {
        EXPECT_EQ(f.Image1[i].left, first.Image1[i].left);
        EXPECT_EQ(f.Image1[i].top, first.Image1[i].top);
    }
}

TEST(IconLayout, ZeroImagesStillSizesPagesAndWindow) {
    Laid l(240, 240, 0);
    const Form1& f = l.app.form1;
    for (const Control& image : f.Image1) {
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.height, 0);
    }
    EXPECT_EQ(f.Frame[9].width, 1440);
    EXPECT_EQ(f.width, 1920);
    EXPECT_EQ(f.height, 990);
}

TEST(IconLayout, ImageCountBeyondTheSlotsTouchesOnlyTheSlots) {
    Laid l(240, 240, 500);
    EXPECT_EQ(l.app.form1.Image1[119].left, 1200);
    EXPECT_EQ(l.app.form1.Image1[119].top, 240);
}

}  // namespace
}  // namespace qlp
