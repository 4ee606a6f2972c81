#pragma once
// The Windows realisation as a whole: the windows of the launcher and its
// notification-area icon. Every message that means an event goes through
// dispatch(), which runs one handler of the core and then brings the windows
// in line with the state.

#include <windows.h>
// The headers that build on windows.h:
#include <shellapi.h>

#include <cmath>
#include <memory>
#include <optional>
#include <utility>

#include "model/launcher.h"
#include "platform/platform_ops.h"
#include "slots/icon_picture.h"

namespace qlp::win32 {

class Win32Platform;
class MainWindow;
class DialogViews;

// The notification icon's mouse messages come to the main window as this.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;
// Posted to the main window at the end of the start, behind its first paint:
// what the first sight of the window does not need (the notification icon,
// hover texts, the other pages' pictures).
inline constexpr UINT kAfterStartMessage = WM_APP + 2;
// Posted while pages not in front still wait for their pictures.
inline constexpr UINT kDrawPendingPageMessage = WM_APP + 3;

class Desktop {
public:
    Desktop(Launcher& app, Win32Platform& platform, ::HINSTANCE instance);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    Launcher& app() { return app_; }
    Win32Platform& platform() { return platform_; }
    ::HINSTANCE instance() const { return instance_; }

    template <class Handler>
    void dispatch(Handler&& handler) {
        if (app_.ended) return;
        // No handler sees a slot whose start-up picture is still to come.
        if (!app_.pendingIcons.empty()) drawPendingIcons(app_);
        std::forward<Handler>(handler)();
        render();
    }

    // Brings every window in line with the state.
    void render();
    // The window is closed (close box, end of the session): the full shutdown, once.
    void closeBySystem();
    // The start is over and the window painted (or left hidden, as the settings say).
    void afterStart();
    // Until then the notification icon is only noted: putting it in the
    // notification area takes the system a while, and nobody looks there first.
    bool starting() const { return starting_; }
    // The pictures of the next page not in front, so the window paints and
    // answers between pages.
    void drawPendingPage();

    MainWindow& mainWindow() { return *main_; }
    DialogViews& dialogs() { return *dialogs_; }
    // Keyboard navigation inside the dialogs, for the message loop.
    bool isDialogMessage(MSG& msg);
    // The window a handle of the core names; null for none.
    ::HWND windowOf(qlp::HWND window) const;

    // The notification icon's pictures.
    HICON trayIcon(TrayIcon which) const;
    // A mouse message on the notification icon.
    void trayMessage(LPARAM message);
    // The last record the notification area was given, kept to give it again
    // when Explorer restarts (TaskbarCreated) and has forgotten the icon.
    void rememberTrayRecord(DWORD message, const NOTIFYICONDATAW& record);
    void trayRestarted();

    // Moves a slot image with the mouse until the button is released.
    void runSlotDrag(int slot);

    void setDpi(unsigned dpiX, unsigned dpiY);
    float twipsPerPixelX() const { return tppX_; }
    float twipsPerPixelY() const { return tppY_; }
    int px(float twips) const { return static_cast<int>(std::lround(twips / tppX_)); }
    int pxY(float twips) const { return static_cast<int>(std::lround(twips / tppY_)); }
    float twipsX(int pixels) const { return static_cast<float>(pixels) * tppX_; }
    float twipsY(int pixels) const { return static_cast<float>(pixels) * tppY_; }

private:
    Launcher& app_;
    Win32Platform& platform_;
    ::HINSTANCE instance_;
    float tppX_ = 15;
    float tppY_ = 15;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<DialogViews> dialogs_;
    std::optional<NOTIFYICONDATAW> trayRecord_;
    HICON shownIcon_ = nullptr;
    HICON hiddenIcon_ = nullptr;
    bool rendering_ = false;
    bool starting_ = true;
};

// The DPI of the window's monitor (or of the system when there is no window yet).
unsigned windowDpi(::HWND window);

}  // namespace qlp::win32
