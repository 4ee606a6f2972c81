#pragma once
// The options dialog Form2 and the icon layout.

#include <cstdint>

#include "model/launcher.h"

namespace qlp {

void op_Click(Launcher& app);

namespace form2 {

// Creates Form2 (running its load event) if it does not exist.
void ensureLoaded(Launcher& app);
void Form_Load(Launcher& app);
void Form_Unload(Launcher& app, std::int16_t& cancel);
// Slider and check box values; each runs its notification when the value changes.
void setSliderH(Launcher& app, std::int32_t value);
void setSliderW(Launcher& app, std::int32_t value);
void SliderH_Change(Launcher& app);
void SliderW_Change(Launcher& app);
void setICheck(Launcher& app, int value);
void iCheck_Click(Launcher& app);
// "変更": lays out all slot images and the main window from the sliders.
void iconsize_Click(Launcher& app);

}  // namespace form2
}  // namespace qlp
