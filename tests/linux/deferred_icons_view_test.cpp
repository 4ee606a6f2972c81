// The window opens with the front page's icons; the other pages' icons follow
// once it is shown, and any event draws them first.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/startup.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/views/desktop.h"
#include "platform/linux/views/main_window.h"
#include "temp_dir.h"

namespace qlp::linux_desktop {
namespace {

class DeferredIconsView : public ::testing::Test {
protected:
    DeferredIconsView() {
        const std::string file = dir.file("notes.txt");
        test::writeBytes(file, "some notes\n");
        // Slot 1 is on page 0, slot 60 on page 5.
        test::writeBytes(dir.file("QLPconf.ini"), "[DATA]\nTEXT1=" + file + "\nTEXT60=" + file + "\n");
        app.deferOffPageIcons = true;
        desktop.dispatch([this] { Form_Load(app); });
    }
    ~DeferredIconsView() override { app.ended = true; }

    test::TempDir dir;
    LinuxPlatform platform{dir.path()};
    Launcher app{platform};
    Desktop desktop{app, platform};
};

TEST_F(DeferredIconsView, TheOtherPagesFollowOnceTheWindowIsShown) {
    EXPECT_FALSE(desktop.mainWindow().slot(1)->pixmap().isNull());
    EXPECT_EQ(app.pendingIcons, std::vector<int>{60});
    EXPECT_TRUE(desktop.mainWindow().slot(60)->pixmap().isNull());
    QElapsedTimer clock;
    clock.start();
    while (!app.pendingIcons.empty() && clock.elapsed() < 2000) QApplication::processEvents();
    EXPECT_TRUE(app.pendingIcons.empty());
    ASSERT_NE(app.form1.Image1[60].picture, nullptr);
    // The same file, the same icon.
    EXPECT_EQ(app.form1.Image1[60].picture->pixels, app.form1.Image1[1].picture->pixels);
    EXPECT_FALSE(desktop.mainWindow().slot(60)->pixmap().isNull());
}

TEST_F(DeferredIconsView, AnEventBeforeThenDrawsThemFirst) {
    ASSERT_EQ(app.pendingIcons, std::vector<int>{60});
    bool sawPicture = false;
    desktop.dispatch([&] { sawPicture = app.form1.Image1[60].picture != nullptr; });
    EXPECT_TRUE(sawPicture);
    EXPECT_TRUE(app.pendingIcons.empty());
    EXPECT_FALSE(desktop.mainWindow().slot(60)->pixmap().isNull());
}

}  // namespace
}  // namespace qlp::linux_desktop
