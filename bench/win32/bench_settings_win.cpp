// A full save and a full load of 120 filled slots with their pictures through
// the Windows realisation, on real files in a fresh folder under %TEMP% (or
// under FOLDER: a save's time is mostly the file system's, so the same run on
// another file system, e.g. Z:\mnt\ext4 under Wine, tells how much).
// Prints the median and the range of each over the runs, against 30 ms.
//
//   bench_settings_win.exe [RUNS [FOLDER]]      (RUNS: 20)
//
// Three cases, as on Linux: a save over files that are all as saved (only the
// settings file is replaced), a save where every picture is new (all 120
// pictures are replaced as well), and a load with a fresh platform each time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/launcher.h"
#include "platform/win32/win32_platform.h"
#include "settings/settings_io.h"

namespace {

using namespace qlp;

double nowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

std::filesystem::path freshFolder(const std::filesystem::path& base) {
    for (unsigned n = GetCurrentProcessId();; ++n) {
        std::filesystem::path p = base / ("qlp-bench-" + std::to_string(n));
        if (std::filesystem::create_directory(p)) return p;
    }
}

void fillAll(Launcher& app, std::uint32_t shade) {
    Form1& f = app.form1;
    for (int i = 0; i < kSlotCount; ++i) {
        f.slotPath[i] = "C:\\Users\\user\\Documents\\projects\\some folder\\tool-" + std::to_string(i) + ".exe";
        f.slotNote[i] = "説明 " + std::to_string(i);
        f.slotExeType[i] = static_cast<std::int16_t>(i % 2);
        Bitmap icon{36, 36, std::vector<std::uint32_t>(36 * 36, 0xFF000000u | ((0x336699u + i + shade) & 0xFFFFFFu))};
        f.Image1[i].picture = std::make_shared<const Bitmap>(std::move(icon));
    }
    for (int p = 0; p < kPageCount; ++p) f.pageNote[p] = "ページ " + std::to_string(p);
    f.Image1[0].height = f.Image1[0].width = 240;
}

struct Summary {
    double median, low, high;
};

Summary summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    return {median, v.front(), v.back()};
}

void report(const char* what, const std::vector<double>& times) {
    const Summary s = summarise(times);
    std::printf("  %-44s %7.2f ms  (%.2f-%.2f)  %s\n", what, s.median, s.low, s.high,
                s.median <= 30 ? "<= 30 ms: met" : "<= 30 ms: NOT met");
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::filesystem::path folder =
        freshFolder(argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path());
    const std::string dir = folder.string();

    std::vector<double> save, saveNew, load;
    {
        win32::Win32Platform ops(dir);
        Launcher app(ops);
        app.form1.winDir = dir;
        fillAll(app, 0);
        SaveSettings(app);  // the files exist from here on
        for (int r = 0; r < runs; ++r) {
            const double t0 = nowMs();
            SaveSettings(app);
            save.push_back(nowMs() - t0);
        }
        for (int r = 0; r < runs; ++r) {
            fillAll(app, static_cast<std::uint32_t>(r + 1));
            const double t0 = nowMs();
            SaveSettings(app);
            saveNew.push_back(nowMs() - t0);
        }
    }
    for (int r = 0; r < runs; ++r) {
        // A fresh platform each time, so nothing parsed earlier is reused.
        win32::Win32Platform ops(dir);
        Launcher app(ops);
        app.form1.winDir = dir;
        const double t0 = nowMs();
        LoadSettings(app);
        load.push_back(nowMs() - t0);
        if (app.form1.slotPath[119].empty() || !app.form1.Image1[119].picture) {
            std::fprintf(stderr, "the load did not bring back slot 119\n");
            return 1;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);

    std::printf("Save and load of 120 filled slots with pictures in %s, Windows realisation, %d runs, medians:\n",
                folder.parent_path().string().c_str(), runs);
    report("save, files as saved", save);
    report("save, all 120 pictures new", saveNew);
    report("load", load);
    return 0;
}
