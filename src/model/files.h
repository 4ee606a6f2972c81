#pragma once
// The names of the launcher's files in its own directory `winDir`: the
// settings file, one picture file per slot and the scratch picture. Read by
// the save and the load, by the slot pictures and by the realisations.

#include <string>

#include "model/launcher.h"

namespace qlp {

std::string settingsFileIn(const std::string& winDir);
std::string slotPictureFileName(int slot);
std::string slotPictureFileIn(const std::string& winDir, int slot);
std::string scratchFileName();
std::string scratchFileIn(const std::string& winDir);
std::string settingsFilePath(const Form1& f);
std::string slotPictureFilePath(const Form1& f, int slot);
std::string scratchFilePath(const Form1& f);

}  // namespace qlp
