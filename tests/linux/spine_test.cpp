// The main window as the Qt realisation shows it, and the process's ends.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QScrollBar>
#include <QTest>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "app/startup.h"
#include "launcher/navigation.h"
#include "linux/temp_dir.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/views/desktop.h"
#include "platform/linux/views/main_window.h"

namespace qlp::linux_desktop {
namespace {

struct Realisation {
    test::TempDir dir;
    LinuxPlatform platform{dir.path()};
    Launcher app{platform};
    Desktop desktop{app, platform};

    Realisation() { desktop.dispatch([&] { Form_Load(app); }); }
};

TEST(MainWindowView, CaptionIsTheTwentyCharacterTitle) {
    Realisation r;
    EXPECT_EQ(r.desktop.mainWindow().windowTitle(), QStringLiteral("Quillop Ver3.5      "));
    EXPECT_TRUE(r.desktop.mainWindow().isVisible());
    EXPECT_TRUE(r.desktop.mainWindow().scrollBar()->hasFocus() || !QApplication::focusWindow());
}

TEST(MainWindowView, GridIsSixteenPixelsAtNinetySixDpi) {
    Realisation r;
    ASSERT_FLOAT_EQ(r.desktop.twipsPerPixelX(), 15.0f);
    MainWindow& w = r.desktop.mainWindow();
    for (int i = 0; i < 12; ++i) {
        const QRect g = w.slot(i)->geometry();
        EXPECT_EQ(g.size(), QSize(16, 16)) << "slot " << i;
        EXPECT_EQ(g.topLeft(), QPoint((i % 6) * 16, (i / 6) * 16)) << "slot " << i;
    }
    EXPECT_EQ(w.page(0)->size(), QSize(96, 32));
    // The scroll bar stands right of the pages, as tall as a page.
    const QRect page = w.page(0)->geometry();
    const QRect scroll = w.scrollBar()->geometry();
    EXPECT_EQ(scroll.left(), page.right() + 1);
    EXPECT_EQ(scroll.height(), page.height());
    EXPECT_EQ(w.pageLabel()->geometry().left(), scroll.right() + 1);
    EXPECT_EQ(w.descriptionLine()->geometry().top(), page.bottom() + 1);
    // The window holds all of it: 1920 x 990 twips less the border allowance.
    EXPECT_EQ(w.size(), QSize(123, 49));
    for (QWidget* child : {static_cast<QWidget*>(w.scrollBar()), static_cast<QWidget*>(w.pageLabel())}) {
        const QRect inWindow(child->mapTo(&w, QPoint(0, 0)), child->size());
        EXPECT_TRUE(w.rect().contains(inWindow)) << child->objectName().toStdString();
    }
}

TEST(MainWindowView, OnlyTheCurrentPageIsVisible) {
    Realisation r;
    MainWindow& w = r.desktop.mainWindow();
    for (const int page : {0, 3, 2, 9}) {
        r.desktop.dispatch([&] { setPage(r.app, page); });
        for (int i = 0; i < kSlotCount; ++i) {
            EXPECT_EQ(w.slot(i)->isVisible(), pageOfSlot(i) == page) << "page " << page << " slot " << i;
        }
        EXPECT_EQ(w.pageLabel()->text(), QString::number(page));
        EXPECT_EQ(w.scrollBar()->value(), page);
    }
}

TEST(MainWindowView, ScrollBarMovesThePage) {
    Realisation r;
    r.desktop.mainWindow().scrollBar()->setValue(4);
    EXPECT_EQ(r.app.form1.VScroll1.value, 4);
    EXPECT_EQ(r.app.form1.Label1.caption, "4");
    EXPECT_EQ(frontFrame(r.app.form1), 4);
}

// --- the real binary -------------------------------------------------------


pid_t startLauncher(const test::TempDir& config, const test::TempDir& runtime) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(QUILLOP_BINARY, QUILLOP_BINARY, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

// The launcher is up once it holds the lock and has laid out its window; the
// scratch file's removal at shutdown is what the test observes.
void waitUntilRunning(pid_t pid) {
    for (int i = 0; i < 50; ++i) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "the launcher ended early";
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
}

int waitForExit(pid_t pid) {
    int status = 0;
    for (int i = 0; i < 250; ++i) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

TEST(Process, SigtermRunsTheFullShutdownOnce) {
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        test::TempDir config, runtime;
        const std::string dir = config.file("quillop");
        std::filesystem::create_directories(dir);
        { std::ofstream(dir + "/QLPtemp") << "scratch"; }
        const pid_t pid = startLauncher(config, runtime);
        waitUntilRunning(pid);
        ASSERT_EQ(::kill(pid, sig), 0);
        EXPECT_EQ(waitForExit(pid), 0) << "signal " << sig;
        EXPECT_FALSE(std::filesystem::exists(dir + "/QLPtemp")) << "the full shutdown removes the scratch file";
        const std::string ini = test::readBytes(dir + "/QLPconf.ini");
        // Saved once: one Option section with each key once.
        EXPECT_EQ(ini.find("[Option]"), ini.rfind("[Option]")) << ini;
        EXPECT_NE(ini.find("SizeX=240"), std::string::npos) << ini;
    }
}

TEST(Process, SecondInstanceEndsAtOnceAndTouchesNothing) {
    test::TempDir config, runtime;
    const pid_t first = startLauncher(config, runtime);
    waitUntilRunning(first);
    const std::string dir = config.file("quillop");
    std::vector<std::string> before;
    for (const auto& e : std::filesystem::directory_iterator(dir)) before.push_back(e.path().filename().string());
    const auto start = std::chrono::steady_clock::now();
    const pid_t second = startLauncher(config, runtime);
    EXPECT_EQ(waitForExit(second), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    std::vector<std::string> after;
    for (const auto& e : std::filesystem::directory_iterator(dir)) after.push_back(e.path().filename().string());
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(before, after);
    ::kill(first, SIGTERM);
    EXPECT_EQ(waitForExit(first), 0);
}

TEST(Process, LockOfAKilledInstanceDoesNotBlockTheNextStart) {
    test::TempDir config, runtime;
    const pid_t first = startLauncher(config, runtime);
    waitUntilRunning(first);
    ::kill(first, SIGKILL);
    EXPECT_EQ(waitForExit(first), 128 + SIGKILL);
    const pid_t next = startLauncher(config, runtime);
    waitUntilRunning(next);  // it keeps running: it is not a second instance
    ::kill(next, SIGTERM);
    EXPECT_EQ(waitForExit(next), 0);
}

}  // namespace
}  // namespace qlp::linux_desktop
