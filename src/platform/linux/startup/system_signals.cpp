#include "platform/linux/startup/system_signals.h"

#include <fcntl.h>
#include <cerrno>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include "platform/linux/views/desktop.h"

namespace qlp::linux_desktop {

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // Only async-signal-safe work here; the event loop does the rest.
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

SystemSignals::SystemSignals(Desktop& desktop) : desktop_(desktop) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) == 0) {
        notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            char buffer[16];
            while (::read(signalPipe[0], buffer, sizeof buffer) > 0) {
            }
            desktop_.closeBySystem();
        });
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
    }
    // Logging out: the session manager asks us to save before it ends us.
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app) {
        QObject::connect(app, &QGuiApplication::commitDataRequest, app,
                         [this](QSessionManager&) { desktop_.closeBySystem(); }, Qt::DirectConnection);
    }
}

SystemSignals::~SystemSignals() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
    notifier_.reset();
    for (int& fd : signalPipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

}  // namespace qlp::linux_desktop
