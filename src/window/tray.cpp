#include <algorithm>
#include <cmath>

#include "platform/platform_ops.h"
#include "menu/menu.h"
#include "window/window.h"

namespace qlp {

namespace {

inline constexpr std::uint32_t kNotifyIconDataSize = 88;
inline constexpr std::uint32_t kNifMessageIconTip = 7;
inline constexpr std::uint32_t kTrayCallbackMessage = 512;
inline constexpr unsigned kKeepPositionAndSize = kSwpNoSize | kSwpNoMove;

// Every call starts from an all-zero record.
NotifyIconData iconRecord(TrayIcon icon) {
    NotifyIconData data;
    data.cbSize = kNotifyIconDataSize;
    data.hWnd = kTaskPictureWindow;
    data.uID = 0;
    data.uFlags = kNifMessageIconTip;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = icon;
    return data;
}

// After the add the tip is always empty.
void modifyIcon(Launcher& app, TrayIcon icon) {
    app.ops.Shell_NotifyIconA(NotifyMessage::Modify, iconRecord(icon));
}

void placeTopmost(Launcher& app, HWND insertAfter) {
    app.ops.SetWindowPos(kForm1Window, insertAfter, 0, 0, 0, 0, kKeepPositionAndSize);
}

// The shell's message number arrives as a pixel count converted to twips.
// Rounding both and dividing recovers it when a pixel is a whole number of
// twips; at a fractional scale that division would land on the wrong
// message (513 read as 516 at 110 dpi), so there the exact quotient is rounded.
long trayMessageNumber(float x, float twipsPerPixel) {
    const long wholeTwips = std::lround(twipsPerPixel);
    if (wholeTwips >= 1 && static_cast<float>(wholeTwips) == twipsPerPixel) return std::lround(x) / wholeTwips;
    if (!(twipsPerPixel > 0)) return 0;
    return std::lround(x / twipsPerPixel);
}

}  // namespace

void addTrayIcon(Launcher& app) {
    NotifyIconData data = iconRecord(TrayIcon::Shown);
    // The title and its terminating zero, from the start of the field; the
    // field always keeps a terminator, however long the title.
    const std::string& title = app.form1.titleText;
    const std::size_t length = std::min(title.size(), data.szTip.size() - 1);
    std::copy_n(title.begin(), length, data.szTip.begin());
    app.ops.Shell_NotifyIconA(NotifyMessage::Add, data);
    app.form1.trayIconPresent = true;
}

void removeTrayIcon(Launcher& app) {
    NotifyIconData data;
    data.cbSize = kNotifyIconDataSize;
    data.hWnd = kTaskPictureWindow;
    data.uID = 0;
    app.ops.Shell_NotifyIconA(NotifyMessage::Delete, data);
    app.form1.trayIconPresent = false;
}

void TaskPicture_MouseMove(Launcher& app, int, int, float x, float) {
    switch (trayMessageNumber(x, app.ops.TwipsPerPixelX())) {
        case kWmLButtonDown:
        case kWmLButtonDblClk:
            toggleWindow(app);
            return;
        case kWmRButtonDown:
            showPopup(app, PopupMenuName::Tcom);
            return;
        default:
            return;
    }
}

void toggleWindow(Launcher& app) {
    Form1& f = app.form1;
    if (f.visible) {
        f.visible = false;
        modifyIcon(app, TrayIcon::Hidden);
    } else {
        f.visible = true;
        if (f.ALH.checked) placeTopmost(app, kHwndTopmost);
        app.ops.SetForegroundWindow(kForm1Window);
        modifyIcon(app, TrayIcon::Shown);
    }
    placeTopmost(app, f.ALH.checked ? kHwndTopmost : kHwndNoTopmost);
}

void txt_Ktext_DblClick(Launcher& app) {
    app.form1.visible = false;
    modifyIcon(app, TrayIcon::Hidden);
}

}  // namespace qlp
