#pragma once
// The notification-area icon: shows what the core asked for through
// Shell_NotifyIconA and hands the icon's clicks to the core as the mouse
// message numbers of the Windows shell.

#include <functional>
#include <memory>

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/platform_ops.h"

namespace qlp::linux_desktop {

class Desktop;

class TrayView {
public:
    explicit TrayView(Desktop& desktop);
    ~TrayView();
    bool notify(NotifyMessage message, const NotifyIconData& data);

    // Whether a window hidden to the notification area can be found again there:
    // the icon is in place and the desktop has a notification area.
    bool canHideToTray() const { return present_ && available_; }

    // Looks again whether the desktop has a notification area; runs by itself
    // every two seconds.
    void checkAvailability();
    // Replaces the question to the desktop (tests).
    void setAvailabilityProbe(std::function<bool()> probe);

    // Makes the icon and starts watching for a notification area. Runs once
    // the main window is on the screen, so that start-up does not wait for it.
    void start();

    QSystemTrayIcon& icon() {
        start();
        return *icon_;
    }
    bool present() const { return present_; }

private:
    // Brings the icon in line with what the core asked for.
    void apply();
    void activated(QSystemTrayIcon::ActivationReason reason);
    void deliver(unsigned message);
    void handle(unsigned message);
    bool probe() const;
    void attachMenu();
    // Brings the carried menu in line with the tray menu of the core.
    void fillMenu();

    Desktop& desktop_;
    // Made with the icon, after the window is on the screen; outlives it,
    // as the icon's exported form of the menu refers to it.
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    QIcon shownIcon_;
    QIcon hiddenIcon_;
    QTimer poll_;
    std::function<bool()> probe_;
    bool present_ = false;
    bool available_ = false;
    bool hiddenState_ = false;
    QString tip_;
};

}  // namespace qlp::linux_desktop
