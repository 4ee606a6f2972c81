#pragma once
// Saving the launcher's state to the settings file and the slot picture files,
// and loading it back.

#include "model/files.h"
#include "model/launcher.h"

namespace qlp {

void SaveSettings(Launcher& app);
void LoadSettings(Launcher& app);
void mn_save_Click(Launcher& app);
void mn_load_Click(Launcher& app);
void Command6_Click(Launcher& app);

}  // namespace qlp
