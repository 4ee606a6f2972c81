// A full save and a full load of 120 filled slots through the Linux platform,
// on real files in a fresh directory.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "model/launcher.h"
#include "platform/linux/files/iconv_code_page.h"
#include "platform/linux/linux_platform.h"
#include "platform/profile/profile_encoding.h"
#include "settings/settings_io.h"

namespace {

using namespace qlp;

std::string freshDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qlp-bench-XXXXXX").string();
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

void fillAll(Launcher& app) {
    Form1& f = app.form1;
    for (int i = 0; i < kSlotCount; ++i) {
        f.slotPath[i] = "/home/user/Documents/projects/some folder/tool-" + std::to_string(i) + ".desktop";
        f.slotNote[i] = "説明 " + std::to_string(i);
        f.slotExeType[i] = static_cast<std::int16_t>(i % 2);
        Bitmap icon{36, 36, std::vector<std::uint32_t>(36 * 36, 0xFF336699u + static_cast<std::uint32_t>(i))};
        f.Image1[i].picture = std::make_shared<const Bitmap>(std::move(icon));
    }
    for (int p = 0; p < kPageCount; ++p) f.pageNote[p] = "page " + std::to_string(p);
    f.Image1[0].height = f.Image1[0].width = 240;
}

void BM_SaveSettings(benchmark::State& state) {
    const std::string dir = freshDirectory();
    linux_desktop::LinuxPlatform ops(dir);
    Launcher app(ops);
    app.form1.winDir = dir;
    fillAll(app);
    for (auto _ : state) SaveSettings(app);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMillisecond);

// The first save: no settings file and no picture file yet.
void BM_SaveSettingsIntoEmptyDirectory(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const std::string dir = freshDirectory();
        auto ops = std::make_unique<linux_desktop::LinuxPlatform>(dir);
        auto app = std::make_unique<Launcher>(*ops);
        app->form1.winDir = dir;
        fillAll(*app);
        state.ResumeTiming();
        SaveSettings(*app);
        state.PauseTiming();
        app.reset();
        ops.reset();
        std::filesystem::remove_all(dir);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SaveSettingsIntoEmptyDirectory)->Unit(benchmark::kMillisecond);

// Every picture differs from its file at each save, so all 120 are replaced.
void BM_SaveSettingsAllPicturesNew(benchmark::State& state) {
    const std::string dir = freshDirectory();
    linux_desktop::LinuxPlatform ops(dir);
    Launcher app(ops);
    app.form1.winDir = dir;
    fillAll(app);
    std::uint32_t shade = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++shade;
        for (auto& image : app.form1.Image1) {
            Bitmap icon{36, 36, std::vector<std::uint32_t>(36 * 36, 0xFF000000u | (shade & 0xFFFFFFu))};
            image.picture = std::make_shared<const Bitmap>(std::move(icon));
        }
        state.ResumeTiming();
        SaveSettings(app);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveSettingsAllPicturesNew)->Unit(benchmark::kMillisecond);

void BM_LoadSettings(benchmark::State& state) {
    const std::string dir = freshDirectory();
    linux_desktop::LinuxPlatform ops(dir);
    {
        Launcher saved(ops);
        saved.form1.winDir = dir;
        fillAll(saved);
        SaveSettings(saved);
    }
    for (auto _ : state) {
        // A fresh platform each time, so nothing parsed earlier is reused.
        linux_desktop::LinuxPlatform fresh(dir);
        Launcher app(fresh);
        app.form1.winDir = dir;
        LoadSettings(app);
        benchmark::DoNotOptimize(app.form1.slotPath[119]);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMillisecond);

// The bytes of a full save's settings file (UTF-8); in code page 932 for `legacy`.
std::string savedSettingsText(bool legacy) {
    const std::string dir = freshDirectory();
    std::string bytes;
    {
        linux_desktop::LinuxPlatform ops(dir);
        Launcher app(ops);
        app.form1.winDir = dir;
        fillAll(app);
        SaveSettings(app);
        std::ifstream in(settingsFileIn(dir), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove_all(dir);
    linux_desktop::IconvCodePage codePage;
    return legacy ? codePage.fromUtf8(bytes).value_or("") : bytes;
}

// The settings text into the engine: 0 the engine alone (the bytes taken as
// they are, as before the file's encodings), 1 through the decoding of a UTF-8
// file, 2 of a code page 932 file.
void BM_DecodeSettingsText(benchmark::State& state) {
    const std::string bytes = savedSettingsText(state.range(0) == 2);
    linux_desktop::IconvCodePage codePage;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            profile::ProfileText text = profile::ProfileText::parse(bytes);
            benchmark::DoNotOptimize(text);
        } else {
            profile::DecodedProfile decoded = profile::decodeProfile(bytes, codePage);
            benchmark::DoNotOptimize(decoded);
        }
    }
}
BENCHMARK(BM_DecodeSettingsText)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The bytes to write after one changed value, in the same three ways.
void BM_EncodeSettingsText(benchmark::State& state) {
    const std::string bytes = savedSettingsText(state.range(0) == 2);
    linux_desktop::IconvCodePage codePage;
    profile::DecodedProfile decoded = profile::decodeProfile(bytes, codePage);
    decoded.text.set("DATA", "SETUMEI5", "新しい説明");
    for (auto _ : state) {
        std::string out =
            state.range(0) == 0 ? decoded.text.text() : profile::encodeProfile(decoded.text, decoded.coding, codePage);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_EncodeSettingsText)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Picture files and icons go through Qt.
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
