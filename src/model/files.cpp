#include "model/files.h"

namespace qlp {

std::string settingsFileIn(const std::string& winDir) { return winDir + "/QLPconf.ini"; }
std::string slotPictureFileName(int slot) { return "Licn" + std::to_string(slot); }
std::string slotPictureFileIn(const std::string& winDir, int slot) { return winDir + "/" + slotPictureFileName(slot); }
std::string scratchFileName() { return "QLPtemp"; }
std::string scratchFileIn(const std::string& winDir) { return winDir + "/" + scratchFileName(); }
std::string settingsFilePath(const Form1& f) { return settingsFileIn(f.winDir); }
std::string slotPictureFilePath(const Form1& f, int slot) { return slotPictureFileIn(f.winDir, slot); }
std::string scratchFilePath(const Form1& f) { return scratchFileIn(f.winDir); }

}  // namespace qlp
