// A helper process for the settings tests, run as a separate process so that
// it can be killed in the middle of a save or run as another user.
//   settings_child save-loop DIR   saves generation after generation until killed
//   settings_child load DIR        loads and prints what it found
//   settings_child prefetch DIR    reads DIR ahead as a start does, then makes
//                                  the application object; prints what was read
//   settings_child readonly-save DIR
//                                  makes DIR read-only, saves, makes it
//                                  writable again, saves; prints whether the
//                                  state and the file outlived the failed save
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <QCoreApplication>

#include "model/launcher.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/startup/startup_prefetch.h"
#include "settings/settings_io.h"

using namespace qlp;

namespace {

constexpr int kPictureSlots = 12;

int startGeneration(Launcher& app) {
    const std::string g = app.ops.GetPrivateProfileStringA("Test", "generation", "0", settingsFilePath(app.form1));
    return std::atoi(g.c_str());
}

// The picture of a slot in generation g: one colour, and a width that changes
// with the generation, so a file torn between two generations can't pass as either.
Bitmap generationPicture(int g) {
    Bitmap b;
    b.width = 8 + g % 8;
    b.height = 8;
    b.pixels.assign(static_cast<std::size_t>(b.width * b.height),
                    0xFF000000u | static_cast<std::uint32_t>(g & 0xFFFFFF));
    return b;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every key that the save writes carries the generation number, and the first
// twelve slots a picture of it.
void fillGeneration(Launcher& app, int g) {
    const std::string n = std::to_string(g);
    const auto picture = std::make_shared<const Bitmap>(generationPicture(g));
    for (int i = 0; i < kPictureSlots; ++i) app.form1.Image1[i].picture = picture;
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
    if (mode == "prefetch") {
        // As the launcher starts: the reading ahead runs (and ends) before
        // the application object exists; Qt must still take this thread.
        linux_desktop::StartupPrefetch prefetch(argv[2]);
        const auto files = prefetch.take();
        QCoreApplication qapp(argc, argv);
        std::printf("types=%zu\n", files ? files->types.size() : 0);
        return 0;
    }
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
    if (mode == "readonly-save") {
        fillGeneration(app, 7);
        const std::string file = settingsFilePath(app.form1);
        const std::string before = bytesOf(file);
        const Form1 kept = app.form1;
        ::chmod(argv[2], 0555);
        SaveSettings(app);
        const bool stateKept = app.form1.slotPath == kept.slotPath && app.form1.slotNote == kept.slotNote &&
                               app.form1.pageNote == kept.pageNote && app.form1.top == kept.top;
        const bool fileKept = bytesOf(file) == before;
        ::chmod(argv[2], 0755);
        SaveSettings(app);
        std::printf("state kept=%d\nfile kept=%d\n", stateKept ? 1 : 0, fileKept ? 1 : 0);
        return 0;
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
