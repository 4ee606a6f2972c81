// The notification-area icon.
#include <windows.h>
// The headers that build on windows.h:
#include <shellapi.h>

#include "platform/win32/desktop.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "window/window.h"

namespace qlp::win32 {

bool Win32Platform::Shell_NotifyIconA(NotifyMessage message, const NotifyIconData& data) {
    if (!desktop_) return false;
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    // The record names the tray's own window; its messages come to the main window.
    record.hWnd = desktop_->windowOf(kForm1Window);
    record.uID = data.uID;
    record.uFlags = data.uFlags & (NIF_MESSAGE | NIF_ICON | NIF_TIP);
    record.uCallbackMessage = kTrayCallbackMessage;
    record.hIcon = desktop_->trayIcon(data.hIcon);
    std::string tip(data.szTip.data(), strnlen(data.szTip.data(), data.szTip.size()));
    const std::wstring wide = widen(tip);
    wcsncpy(record.szTip, wide.c_str(), sizeof record.szTip / sizeof record.szTip[0] - 1);
    DWORD what = NIM_ADD;
    if (message == NotifyMessage::Modify) what = NIM_MODIFY;
    if (message == NotifyMessage::Delete) what = NIM_DELETE;
    desktop_->rememberTrayRecord(what, record);
    if (desktop_->starting()) return true;
    return ::Shell_NotifyIconW(what, &record) != FALSE;
}

void Desktop::trayMessage(LPARAM message) {
    // Delivered as the tray picture's mouse move, with the message number as x in twips.
    dispatch([&] { TaskPicture_MouseMove(app_, 0, 0, static_cast<float>(message) * tppX_, 0); });
}

HICON Desktop::trayIcon(TrayIcon which) const {
    if (which == TrayIcon::Shown) return shownIcon_;
    if (which == TrayIcon::Hidden) return hiddenIcon_;
    return nullptr;
}

}  // namespace qlp::win32
