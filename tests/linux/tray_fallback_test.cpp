// The notification-area icon on the real widgets, offscreen. The offscreen
// platform has no notification area, which is where hiding must not lose
// the window.
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/startup.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/views/desktop.h"
#include "platform/linux/views/main_window.h"
#include "platform/linux/views/tray_view.h"
#include "window/window.h"

namespace qlp::linux_desktop {
namespace {

bool minimised(const QWidget& w) { return w.windowState() & Qt::WindowMinimized; }

QImage imageOf(const QIcon& icon) {
    return icon.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage resourceImage(const char* name) {
    return QImage(QStringLiteral(":/quillop/icons/%1").arg(QLatin1String(name)))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

class TrayFallbackTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    LinuxPlatform platform{dir.path().toStdString()};
    Launcher app{platform};
    Desktop desktop{app, platform};
    bool trayThere = false;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        desktop.tray().setAvailabilityProbe([this] { return trayThere; });
        desktop.dispatch([&] { Form_Load(app); });
        QApplication::processEvents();
        ASSERT_TRUE(window().isVisible());
    }
    void TearDown() override { window().hide(); }

    MainWindow& window() { return desktop.mainWindow(); }
    // The click reaches the core as a posted message, as the shell's does.
    void trayClick(QSystemTrayIcon::ActivationReason reason) {
        emit desktop.tray().icon().activated(reason);
        QCoreApplication::sendPostedEvents();
    }
    void setTray(bool there) {
        trayThere = there;
        desktop.tray().checkAvailability();
    }
};

TEST_F(TrayFallbackTest, OffscreenHasNoNotificationArea) {
    desktop.tray().setAvailabilityProbe(nullptr);
    EXPECT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_FALSE(desktop.tray().canHideToTray());
}

TEST_F(TrayFallbackTest, WithoutNotificationAreaEveryHideMinimises) {
    const struct {
        const char* how;
        std::function<void()> hide;
    } ways[] = {
        {"tray click", [this] { trayClick(QSystemTrayIcon::Trigger); }},
        {"description double-click", [this] { desktop.dispatch([&] { txt_Ktext_DblClick(app); }); }},
    };
    for (const auto& way : ways) {
        way.hide();
        EXPECT_FALSE(app.form1.visible) << way.how << ": the model says what the launcher asked for";
        EXPECT_TRUE(window().isVisible()) << way.how << ": the window must stay on the task bar";
        EXPECT_TRUE(minimised(window())) << way.how;
        // A render for any other reason must not change that.
        desktop.render();
        EXPECT_TRUE(window().isVisible() && minimised(window())) << way.how;

        trayClick(QSystemTrayIcon::Trigger);
        EXPECT_TRUE(app.form1.visible) << way.how;
        EXPECT_TRUE(window().isVisible()) << way.how;
        EXPECT_FALSE(minimised(window())) << way.how;
    }
}

TEST_F(TrayFallbackTest, WindowRestoredFromTheTaskBarCountsAsShown) {
    desktop.dispatch([&] { txt_Ktext_DblClick(app); });
    ASSERT_TRUE(minimised(window()));
    window().showNormal();  // what the task bar does
    EXPECT_TRUE(app.form1.visible);
    desktop.render();
    EXPECT_FALSE(minimised(window())) << "a later render must not minimise it again";
    desktop.dispatch([&] { txt_Ktext_DblClick(app); });
    EXPECT_TRUE(minimised(window())) << "the next hide works again";
}

TEST_F(TrayFallbackTest, NotificationAreaAppearingLaterTakesOver) {
    desktop.dispatch([&] { txt_Ktext_DblClick(app); });
    ASSERT_TRUE(minimised(window()));
    EXPECT_FALSE(desktop.tray().icon().isVisible());

    setTray(true);
    EXPECT_TRUE(desktop.tray().icon().isVisible());
    EXPECT_FALSE(window().isVisible()) << "hidden now lives in the notification area";
    EXPECT_FALSE(app.form1.visible);

    trayClick(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(minimised(window())) << "shown normal, not as the minimised stand-in";
    trayClick(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(window().isVisible());
    EXPECT_FALSE(minimised(window()));
}

TEST_F(TrayFallbackTest, NotificationAreaVanishingBringsAHiddenWindowBack) {
    setTray(true);
    trayClick(QSystemTrayIcon::Trigger);
    ASSERT_FALSE(window().isVisible());
    setTray(false);
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(minimised(window()));
    EXPECT_FALSE(desktop.tray().icon().isVisible());
}

TEST_F(TrayFallbackTest, IconFollowsTheWindowAndTheTipEmptiesAfterTheFirstToggle) {
    setTray(true);
    const QImage shown = resourceImage("quillop-shown-16.png");
    const QImage hidden = resourceImage("quillop-hidden-16.png");
    ASSERT_FALSE(shown.isNull());
    ASSERT_FALSE(hidden.isNull());
    EXPECT_NE(shown, hidden);
    QSystemTrayIcon& icon = desktop.tray().icon();
    EXPECT_EQ(icon.toolTip(), QStringLiteral("Quillop Ver3.5      "));
    EXPECT_EQ(imageOf(icon.icon()), shown);

    trayClick(QSystemTrayIcon::Trigger);
    EXPECT_EQ(imageOf(icon.icon()), hidden);
    EXPECT_TRUE(icon.toolTip().isEmpty());
    trayClick(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(imageOf(icon.icon()), shown);
    EXPECT_TRUE(window().isVisible());
}

TEST_F(TrayFallbackTest, IconFilesHaveBothSizes) {
    for (const char* name : {"quillop-shown-16.png", "quillop-hidden-16.png"}) {
        EXPECT_EQ(resourceImage(name).size(), QSize(16, 16)) << name;
    }
    for (const char* name : {"quillop-shown-32.png", "quillop-hidden-32.png"}) {
        EXPECT_EQ(resourceImage(name).size(), QSize(32, 32)) << name;
    }
    EXPECT_FALSE(window().windowIcon().isNull());
}

TEST_F(TrayFallbackTest, RightClickOpensTheExitMenu) {
    QStringList entries;
    // The menu runs its own event loop: read it and close it from there.
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, &closer, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions()) entries << a->text();
            menu->close();
        }
    });
    closer.start();
    trayClick(QSystemTrayIcon::Context);
    EXPECT_EQ(entries, QStringList{QStringLiteral("終了")});
    EXPECT_FALSE(app.ended);
    EXPECT_TRUE(window().isVisible());
}

TEST_F(TrayFallbackTest, RemovedIconIsGone) {
    setTray(true);
    ASSERT_TRUE(desktop.tray().icon().isVisible());
    desktop.dispatch([&] { removeTrayIcon(app); });
    EXPECT_FALSE(desktop.tray().icon().isVisible());
    EXPECT_FALSE(desktop.tray().canHideToTray());
}

}  // namespace
}  // namespace qlp::linux_desktop
