// The window manager: the stacking band, the foreground and moving the window
// by its surface.
#include <windows.h>

#include "platform/win32/desktop.h"
#include "platform/win32/win32_platform.h"

namespace qlp::win32 {

bool Win32Platform::SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, unsigned flags) {
    const ::HWND target = desktop_ ? desktop_->windowOf(window) : nullptr;
    if (!target) return false;
    ::HWND after = nullptr;
    if (insertAfter == kHwndTopmost) {
        // The system's HWND_TOPMOST and HWND_NOTOPMOST, spelt out: inside our
        // namespace their casts would name the core's HWND.
        after = reinterpret_cast<::HWND>(static_cast<INT_PTR>(-1));
    } else if (insertAfter == kHwndNoTopmost) {
        after = reinterpret_cast<::HWND>(static_cast<INT_PTR>(-2));
    } else {
        return false;
    }
    return ::SetWindowPos(target, after, x, y, cx, cy, flags | SWP_NOACTIVATE) != FALSE;
}

bool Win32Platform::SetForegroundWindow(HWND window) {
    const ::HWND target = desktop_ ? desktop_->windowOf(window) : nullptr;
    return target && ::SetForegroundWindow(target);
}

bool Win32Platform::ReleaseCapture() { return ::ReleaseCapture() != FALSE; }

long Win32Platform::SendMessageA(HWND window, unsigned message, long wParam, long lParam) {
    const ::HWND target = desktop_ ? desktop_->windowOf(window) : nullptr;
    if (!target) return 0;
    // Only the caption drag is asked for; the system then moves the window with the mouse.
    return static_cast<long>(::SendMessageW(target, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)));
}

}  // namespace qlp::win32
