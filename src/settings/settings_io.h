#pragma once
// Saving the launcher's state to the settings file and the slot picture files,
// and loading it back.

#include <string>

#include "model/launcher.h"

namespace qlp {

// The files in the launcher's own directory `winDir`.
std::string settingsFileIn(const std::string& winDir);
std::string slotPictureFileName(int slot);
std::string slotPictureFileIn(const std::string& winDir, int slot);
std::string scratchFileIn(const std::string& winDir);
std::string settingsFilePath(const Form1& f);
std::string slotPictureFilePath(const Form1& f, int slot);
std::string scratchFilePath(const Form1& f);

void SaveSettings(Launcher& app);
void LoadSettings(Launcher& app);
void mn_save_Click(Launcher& app);
void mn_load_Click(Launcher& app);
void Command6_Click(Launcher& app);

}  // namespace qlp
