// A helper process for the settings tests, run as a separate process so that
// it can be killed in the middle of a save or run as another user.
//   settings_child save-loop DIR   saves generation after generation until killed
//   settings_child load DIR        loads and prints what it found
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/launcher.h"
#include "platform/linux/linux_platform.h"
#include "settings/settings_io.h"

using namespace qlp;

namespace {

int startGeneration(Launcher& app) {
    const std::string g = app.ops.GetPrivateProfileStringA("Test", "generation", "0", settingsFilePath(app.form1));
    return std::atoi(g.c_str());
}

// Every key that the save writes carries the generation number.
void fillGeneration(Launcher& app, int g) {
    const std::string n = std::to_string(g);
    for (int i = 0; i < kSlotCount; ++i) {
        app.form1.slotPath[i] = "/gen/" + n + "/path" + std::to_string(i);
        app.form1.slotNote[i] = "note " + n;
        app.form1.slotExeType[i] = static_cast<std::int16_t>(g % 2);
    }
    for (int p = 0; p < kPageCount; ++p) app.form1.pageNote[p] = "page " + n;
    app.form1.top = static_cast<float>(g);
    app.form1.left = static_cast<float>(g);
    app.form1.VScroll1.value = g % 10;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string mode = argv[1];
    linux_desktop::LinuxPlatform platform(argv[2]);
    Launcher app(platform);
    app.form1.winDir = platform.GetWindowsDirectoryA();
    if (mode == "save-loop") {
        const std::string file = settingsFilePath(app.form1);
        const int first = startGeneration(app) + 1;
        // Tells the test that the saves begin, so its kill lands among them.
        std::fputs("r", stdout);
        std::fflush(stdout);
        for (int g = first;; ++g) {
            fillGeneration(app, g);
            SaveSettings(app);
            // A lone write outside any batch, replaced atomically too.
            platform.WritePrivateProfileStringA("Test", "generation", std::to_string(g), file);
        }
    }
    if (mode == "load") {
        LoadSettings(app);
        const Form1& f = app.form1;
        std::printf("TEXT0=%s\nALH=%d\nSKchk=%d\nSliderH=%d\nSliderW=%d\ntop=%g\npage=%d\n", f.slotPath[0].c_str(),
                    f.ALH.checked ? 1 : 0, f.SKchk.checked ? 1 : 0, app.form2.SliderH.value, app.form2.SliderW.value,
                    static_cast<double>(f.top), f.VScroll1.value);
        return 0;
    }
    return 2;
}
