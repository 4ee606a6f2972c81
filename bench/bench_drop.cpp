// Registering a dropped file, icon included, once the icon theme is loaded.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "app/startup.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/views/desktop.h"
#include "platform/linux/views/main_window.h"
#include "slots/registration.h"

namespace {

using namespace qlp;
using namespace qlp::linux_desktop;

// A few files of different types, so the lookup is by type, not one path.
std::vector<std::string> makeFiles(const QTemporaryDir& dir) {
    std::vector<std::string> paths;
    for (const char* name : {"notes.txt", "page.html", "script.sh", "photo.png"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        if (file.open(QIODevice::WriteOnly)) file.write("content\n");
        paths.push_back(file.fileName().toStdString());
    }
    paths.push_back(dir.path().toStdString());
    return paths;
}

// The handler with the Linux platform: icon lookup, drawing, the scratch file.
void BM_RegisterDroppedFile(benchmark::State& state) {
    QTemporaryDir config, files;
    const auto paths = makeFiles(files);
    LinuxPlatform platform(config.path().toStdString());
    Launcher app(platform);
    app.form1.winDir = platform.GetWindowsDirectoryA();
    for (const auto& p : paths) {  // the first drops of the run
        app.form1.slotPath[0].clear();
        Image1_OLEDragDrop(app, 0, DropData{std::vector{p}});
    }
    std::size_t n = 0;
    for (auto _ : state) {
        app.form1.slotPath[0].clear();
        Image1_OLEDragDrop(app, 0, DropData{std::vector{paths[n++ % paths.size()]}});
        benchmark::DoNotOptimize(app.form1.Image1[0].picture);
    }
}
BENCHMARK(BM_RegisterDroppedFile)->Unit(benchmark::kMillisecond);

// The whole road from the widget: the drop event, the handler and the re-render.
void BM_DropOntoSlotWidget(benchmark::State& state) {
    QTemporaryDir config, files;
    const auto paths = makeFiles(files);
    LinuxPlatform platform(config.path().toStdString());
    Launcher app(platform);
    Desktop desktop(app, platform);
    desktop.dispatch([&] { Form_Load(app); });
    SlotWidget* target = desktop.mainWindow().slot(0);
    auto dropFile = [&](const std::string& path) {
        app.form1.slotPath[0].clear();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
    };
    for (const auto& p : paths) dropFile(p);
    std::size_t n = 0;
    for (auto _ : state) {
        dropFile(paths[n++ % paths.size()]);
        benchmark::DoNotOptimize(target->pixmap());
    }
    if (app.form1.slotPath[0].empty()) state.SkipWithError("the drop registered nothing");
}
BENCHMARK(BM_DropOntoSlotWidget)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
