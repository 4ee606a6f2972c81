#pragma once
// The notification-area icon: shows what the core asked for through
// Shell_NotifyIconA and hands the icon's clicks to the core as the mouse
// message numbers of the Windows shell.

#include <functional>
#include <memory>

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

    QSystemTrayIcon& icon() { return *icon_; }
    bool present() const { return present_; }

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void deliver(unsigned message);
    bool probe() const;

    Desktop& desktop_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    QIcon shownIcon_;
    QIcon hiddenIcon_;
    QTimer poll_;
    std::function<bool()> probe_;
    bool present_ = false;
    bool available_ = false;
};

}  // namespace qlp::linux_desktop
