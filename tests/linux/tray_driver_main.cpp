// The launcher on a real X display, as the product runs it, with one addition
// for the tests: lines on standard input choose menu entries, so a script can
// switch always-on-top without finding the popup on the screen.
//   alh    — choose "常に手前に表示"
//   state  — print "ALH=<0|1> visible=<0|1>"
//   quit   — close the window as the system would
// When the launcher ends, by whatever way, it prints "ended saved=<0|1>":
// whether the settings file was written.
#include <unistd.h>

#include <iostream>
#include <string>

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include "app/startup.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/views/desktop.h"
#include "window/window.h"

int main(int argc, char** argv) {
    using namespace qlp;
    using namespace qlp::linux_desktop;

    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillop"));
    QApplication::setQuitOnLastWindowClosed(false);
    QTemporaryDir dir;
    LinuxPlatform platform(dir.path().toStdString());
    Launcher app(platform);
    Desktop desktop(app, platform);
    desktop.dispatch([&] { Form_Load(app); });
    if (app.ended) return 1;

    auto command = [&](const std::string& line) {
        if (line == "quit") {
            desktop.closeBySystem();
            return;
        }
        if (line == "alh") desktop.dispatch([&] { ALH_Click(app); });
        if (line == "state" || line == "alh") {
            std::cout << "ALH=" << app.form1.ALH.checked << " visible=" << app.form1.visible << std::endl;
        }
    };
    // Read unbuffered, so no line waits in a stream buffer the notifier knows nothing of.
    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &input, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            command("quit");
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            command(line);
            if (app.ended) return;
        }
    });
    const int status = QApplication::exec();
    const bool saved = QFileInfo::exists(dir.filePath(QStringLiteral("QLPconf.ini")));
    std::cout << "ended saved=" << saved << std::endl;
    return status;
}
