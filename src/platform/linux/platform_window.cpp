// The window manager and the notification area.
#include "platform/linux/desktop.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/tray_view.h"

namespace qlp::linux_desktop {

bool LinuxPlatform::Shell_NotifyIconA(NotifyMessage message, const NotifyIconData& data) {
    return desktop_ && desktop_->tray().notify(message, data);
}
bool LinuxPlatform::SetWindowPos(HWND, HWND, int, int, int, int, unsigned) { return false; }
bool LinuxPlatform::SetForegroundWindow(HWND) { return false; }
bool LinuxPlatform::ReleaseCapture() { return true; }
long LinuxPlatform::SendMessageA(HWND, unsigned, long, long) { return 0; }

}  // namespace qlp::linux_desktop
