#include "options/options.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/platform_ops.h"

namespace qlp {

void op_Click(Launcher& app) {
    form2::ensureLoaded(app);
    app.form1.op.enabled = false;
    app.form2.visible = true;
    app.form1.focus = Focus::Form2;
}

namespace form2 {

namespace {

// Rounds to the nearest whole number, a half to the even neighbour.
std::int32_t toInteger(float value) { return static_cast<std::int32_t>(std::lrint(value)); }

void setSlider(Launcher& app, Slider& slider, std::int32_t value, void (*notify)(Launcher&)) {
    ensureLoaded(app);
    // Like the slider control, a value outside the range is brought into it.
    const std::int32_t v = std::clamp(value, slider.min, slider.max);
    if (slider.value == v) return;
    slider.value = v;
    notify(app);
}

void updateSizeLabel(Launcher& app) {
    // A screen of more than 2880 dpi would round the ratio to zero.
    const std::int32_t ratio = std::max(1, toInteger(app.ops.TwipsPerPixelX()));
    app.form2.Label1.caption =
        std::to_string(app.form2.SliderH.value / ratio) + "," + std::to_string(app.form2.SliderW.value / ratio);
}

}  // namespace

void ensureLoaded(Launcher& app) {
    if (app.form2.loaded) return;
    app.form2.loaded = true;
    Form_Load(app);
}

void Form_Load(Launcher& app) {
    Form2& d = app.form2;
    // At least one twip, so a key step always moves the slider.
    d.SliderH.smallChange = d.SliderH.largeChange = std::max(1, toInteger(app.ops.TwipsPerPixelX()));
    d.SliderW.smallChange = d.SliderW.largeChange = std::max(1, toInteger(app.ops.TwipsPerPixelY()));
}

void Form_Unload(Launcher& app, std::int16_t& cancel) {
    cancel = 1;
    app.form1.op.enabled = true;
    app.form2.visible = false;
}

void setSliderH(Launcher& app, std::int32_t value) { setSlider(app, app.form2.SliderH, value, SliderH_Change); }
void setSliderW(Launcher& app, std::int32_t value) { setSlider(app, app.form2.SliderW, value, SliderW_Change); }

void SliderH_Change(Launcher& app) {
    app.form2.sample_img.height = static_cast<float>(app.form2.SliderH.value);
    updateSizeLabel(app);
}

void SliderW_Change(Launcher& app) {
    app.form2.sample_img.width = static_cast<float>(app.form2.SliderW.value);
    updateSizeLabel(app);
}

void setICheck(Launcher& app, int value) {
    ensureLoaded(app);
    if (app.form2.iCheck.value == value) return;
    app.form2.iCheck.value = value;
    iCheck_Click(app);
}

void iCheck_Click(Launcher& app) { app.form1.imove.checked = app.form2.iCheck.value == 1; }

}  // namespace form2
}  // namespace qlp
