// The window manager and the notification area.
#include <QWidget>
#include <QWindow>

#include "platform/linux/linux_platform.h"
#include "platform/linux/views/desktop.h"
#include "platform/linux/views/main_window.h"
#include "platform/linux/views/tray_view.h"
#include "platform/linux/views/window_stacking.h"

namespace qlp::linux_desktop {

bool LinuxPlatform::Shell_NotifyIconA(NotifyMessage message, const NotifyIconData& data) {
    return desktop_ && desktop_->tray().notify(message, data);
}

bool LinuxPlatform::SetWindowPos(HWND window, HWND insertAfter, int, int, int, int, unsigned flags) {
    // Only the stacking band of the main window is ever asked for.
    if (!desktop_ || window != kForm1Window || (flags & (kSwpNoMove | kSwpNoSize)) != (kSwpNoMove | kSwpNoSize)) {
        return false;
    }
    if (insertAfter != kHwndTopmost && insertAfter != kHwndNoTopmost) return false;
    return desktop_->mainWindow().stacking().setAbove(insertAfter == kHwndTopmost);
}

bool LinuxPlatform::SetForegroundWindow(HWND window) {
    if (!desktop_ || window != kForm1Window) return false;
    MainWindow& main = desktop_->mainWindow();
    main.raise();
    main.activateWindow();
    main.stacking().activate();
    return true;
}

bool LinuxPlatform::ReleaseCapture() {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    return true;
}

long LinuxPlatform::SendMessageA(HWND window, unsigned message, long wParam, long) {
    if (!desktop_ || window != kForm1Window || message != kWmNcLButtonDown || wParam != kHtCaption) return 0;
    // The window manager moves the window with the mouse until the button is released.
    QWindow* handle = desktop_->mainWindow().windowHandle();
    if (handle) handle->startSystemMove();
    return 0;
}

}  // namespace qlp::linux_desktop
