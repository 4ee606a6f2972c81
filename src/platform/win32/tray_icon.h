#pragma once
// The notification-area icon: shows what the core asked for through
// Shell_NotifyIconA, with the wide record of the running system's size, and
// hands the icon's mouse messages to the core as the shell's message numbers.
// When Explorer restarts, the icon is added again.

#include <windows.h>

#include <optional>

#include "platform/platform_ops.h"
#include "platform/win32/view_host.h"

namespace qlp::win32 {

class TrayIcon {
public:
    // `shownIcon` is the launcher's own icon; the hidden-state icon is a grey
    // copy of it. The icon is not owned.
    TrayIcon(ViewHost& host, HICON shownIcon);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    bool notify(NotifyMessage message, const NotifyIconData& data);

    // The window that receives the icon's messages (the core's TaskPicture).
    HWND window() const { return window_; }
    bool present() const { return present_; }
    HICON hiddenIcon() const { return hiddenIcon_; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool send(DWORD message, const NotifyIconData& data);

    ViewHost& host_;
    HWND window_ = nullptr;
    HICON shownIcon_;
    HICON hiddenIcon_ = nullptr;
    UINT taskbarCreated_ = 0;
    bool present_ = false;
    // The last record added or modified, for adding the icon again.
    std::optional<NotifyIconData> last_;
    std::wstring tip_;
};

// A grey copy of `icon` (luminance kept, alpha kept); the caller destroys it.
HICON makeGreyIcon(HICON icon);

}  // namespace qlp::win32
