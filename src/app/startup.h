#pragma once
// Start-up and the two ways the launcher ends.

#include <cstdint>
#include <string>

#include "model/launcher.h"

namespace qlp {

// Load event of Form1: the start-up sequence.
void Form_Load(Launcher& app);
// Unload event of Form1 (close box, or the system closing the window): full shutdown.
void Form_Unload(Launcher& app, std::int16_t& cancel);
// "終了" of the slot popup, and of the tray menu: save and end at once.
void ends_Click(Launcher& app);
void ends2_Click(Launcher& app);

// Text2 never holds text: setting it raises its change event, which clears it.
void setText2(Launcher& app, const std::string& text);
void Text2_Change(Launcher& app);

}  // namespace qlp
