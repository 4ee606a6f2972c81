// Quillop: picks the Linux desktop realisation and runs the launcher.
#include <QApplication>

#include "app/startup.h"
#include "platform/linux/files/config_dir.h"
#include "platform/linux/files/instance_lock.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/startup/system_signals.h"
#include "platform/linux/views/desktop.h"

int main(int argc, char** argv) {
    using namespace qlp;
    using namespace qlp::linux_desktop;

    const std::string directory = perUserDirectory();
    // Taken before anything else, so a second start ends before it touches anything.
    InstanceLock lock(directory);
    LinuxPlatform platform(directory);
    platform.setPrevInstance(lock.heldElsewhere());
    if (lock.heldElsewhere()) {
        Launcher app(platform);
        Form_Load(app);
        return 0;
    }

    // The settings and pictures are read while the window system is connected.
    platform.prefetchStartupFiles();
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillop"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillop"));
    QApplication::setQuitOnLastWindowClosed(false);
    // The reading-ahead thread ends before the application object goes.
    struct PrefetchEnd {
        LinuxPlatform& platform;
        ~PrefetchEnd() { platform.endPrefetch(); }
    } prefetchEnd{platform};
    platform.prefetchIcons();

    Launcher app(platform);
    // The window comes up with the front page's icons; the others follow.
    app.deferOffPageIcons = true;
    Desktop desktop(app, platform);
    SystemSignals systemSignals(desktop);
    desktop.dispatch([&] { Form_Load(app); });
    if (app.ended) return 0;
    return QApplication::exec();
}
