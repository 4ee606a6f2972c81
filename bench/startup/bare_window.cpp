// The floor for the start-up benchmark: the least a Qt Widgets program does to
// show a window. One empty titled window, the event loop until SIGTERM.
//
//   startup_bare_window [--f1 PROGRAM]
//
// With --f1, the key F1 starts PROGRAM detached: the floor for the key-to-launch
// measurement and a check of the measuring side.
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QSocketNotifier>
#include <QWidget>

namespace {

int signalPair[2] = {-1, -1};

void onTerm(int) {
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(signalPair[1], &byte, 1);
}

class BareWindow : public QWidget {
public:
    explicit BareWindow(QString program) : program_(std::move(program)) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_F1 && !program_.isEmpty()) {
            QProcess::startDetached(program_, {});
            return;
        }
        QWidget::keyPressEvent(event);
    }

private:
    QString program_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString program;
    const QStringList args = QApplication::arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--f1")); i >= 0 && i + 1 < args.size()) program = args[i + 1];

    // SIGTERM ends the event loop normally, as it ends the launcher.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPair) == 0) {
        auto* notifier = new QSocketNotifier(signalPair[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QApplication::quit(); });
        struct sigaction action {};
        action.sa_handler = onTerm;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGTERM, &action, nullptr);
    }

    BareWindow window(program);
    window.setWindowTitle(QStringLiteral("bare window"));
    window.resize(240, 120);
    window.show();
    return QApplication::exec();
}
