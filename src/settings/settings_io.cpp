#include "settings/settings_io.h"

#include "options/options.h"

namespace qlp {

std::string settingsFilePath(const Form1& f) { return f.winDir + "/QLPconf.ini"; }
std::string slotPictureFilePath(const Form1& f, int slot) { return f.winDir + "/Licn" + std::to_string(slot); }
std::string scratchFilePath(const Form1& f) { return f.winDir + "/QLPtemp"; }

void SaveSettings(Launcher&) {}
void LoadSettings(Launcher& app) {
    form2::setSliderH(app, 240);
    form2::setSliderW(app, 240);
}
void mn_save_Click(Launcher& app) { SaveSettings(app); }
void mn_load_Click(Launcher& app) { LoadSettings(app); }
void Command6_Click(Launcher& app) { LoadSettings(app); }

}  // namespace qlp
