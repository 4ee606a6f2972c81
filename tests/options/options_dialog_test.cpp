#include <gtest/gtest.h>

#include "model/launcher.h"
#include "options/options.h"
#include "support/fake_platform.h"

namespace qlp {
namespace {

using test::FakePlatform;

TEST(OptionsDialog, SliderNotificationSetsPreviewAndPixelLabel) {
    const struct {
        std::int32_t height;
        std::int32_t width;
        const char* label;
    } cases[] = {
        {135, 135, "9,9"}, {490, 490, "32,32"}, {240, 490, "16,32"}, {240, 240, "16,16"}, {149, 150, "9,10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlatform ops;
        Launcher app(ops);
        // From elsewhere, so that every case is a change.
        form2::setSliderH(app, 300);
        form2::setSliderW(app, 300);
        form2::setSliderH(app, c.height);
        form2::setSliderW(app, c.width);
        EXPECT_EQ(app.form2.Label1.caption, c.label);
        EXPECT_EQ(app.form2.sample_img.height, static_cast<float>(c.height));
        EXPECT_EQ(app.form2.sample_img.width, static_cast<float>(c.width));
        // The dialog alone changes; the slots wait for "変更".
        EXPECT_EQ(app.form1.Image1[0].width, 0.0f);
        EXPECT_EQ(app.form1.width, 0.0f);
    }
}

TEST(OptionsDialog, LabelUsesTheHorizontalRatioForBothNumbers) {
    FakePlatform ops;
    ops.twipsPerPixelX = 12;  // 120 dpi across
    ops.twipsPerPixelY = 15;
    Launcher app(ops);
    form2::setSliderH(app, 240);
    form2::setSliderW(app, 360);
    EXPECT_EQ(app.form2.Label1.caption, "20,30");
}

TEST(OptionsDialog, SettingAnUnchangedValueDoesNotNotify) {
    FakePlatform ops;
    Launcher app(ops);
    form2::ensureLoaded(app);
    EXPECT_EQ(app.form2.Label1.caption, " ");
    form2::setSliderH(app, 135);
    EXPECT_EQ(app.form2.Label1.caption, " ");
    form2::setSliderW(app, 136);
    EXPECT_EQ(app.form2.Label1.caption, "9,9");
}

TEST(OptionsDialog, ValuesOutsideTheRangeAreBroughtIntoIt) {
    FakePlatform ops;
    Launcher app(ops);
    form2::setSliderH(app, 5000);
    form2::setSliderW(app, -3);
    EXPECT_EQ(app.form2.SliderH.value, 490);
    EXPECT_EQ(app.form2.SliderW.value, 135);
}

TEST(OptionsDialog, StepSizesAreOnePixelOfTwips) {
    const struct {
        float x;
        float y;
        std::int32_t stepH;
        std::int32_t stepW;
    } cases[] = {{15, 15, 15, 15}, {12, 10, 12, 10}, {7.5f, 7.5f, 8, 8}, {0.2f, 0.2f, 1, 1}};
    for (const auto& c : cases) {
        FakePlatform ops;
        ops.twipsPerPixelX = c.x;
        ops.twipsPerPixelY = c.y;
        Launcher app(ops);
        form2::ensureLoaded(app);
        EXPECT_EQ(app.form2.SliderH.smallChange, c.stepH) << c.x;
        EXPECT_EQ(app.form2.SliderH.largeChange, c.stepH) << c.x;
        EXPECT_EQ(app.form2.SliderW.smallChange, c.stepW) << c.y;
        EXPECT_EQ(app.form2.SliderW.largeChange, c.stepW) << c.y;
    }
}

TEST(OptionsDialog, OpenAndCloseKeepTheValues) {
    FakePlatform ops;
    Launcher app(ops);
    form2::ensureLoaded(app);
    form2::setSliderH(app, 300);
    form2::setICheck(app, 1);

    op_Click(app);
    EXPECT_TRUE(app.form2.visible);
    EXPECT_FALSE(app.form1.op.enabled);
    EXPECT_EQ(app.form1.focus, Focus::Form2);

    std::int16_t cancel = 0;
    form2::Form_Unload(app, cancel);
    EXPECT_EQ(cancel, 1);
    EXPECT_FALSE(app.form2.visible);
    EXPECT_TRUE(app.form1.op.enabled);
    EXPECT_TRUE(app.form2.loaded);

    op_Click(app);
    EXPECT_TRUE(app.form2.visible);
    EXPECT_EQ(app.form2.SliderH.value, 300);
    EXPECT_EQ(app.form2.iCheck.value, 1);
}

TEST(OptionsDialog, CheckBoxMirrorsIntoTheMenuEntry) {
    FakePlatform ops;
    Launcher app(ops);
    app.form2.iCheck.value = 1;
    form2::iCheck_Click(app);
    EXPECT_TRUE(app.form1.imove.checked);
    app.form2.iCheck.value = 0;
    form2::iCheck_Click(app);
    EXPECT_FALSE(app.form1.imove.checked);
}

}  // namespace
}  // namespace qlp
