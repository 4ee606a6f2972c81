#pragma once
// The Windows realisation as a whole: the windows of the launcher and its
// notification-area icon. Every message that means an event goes through
// dispatch(), which runs one handler of the core and then brings the windows
// in line with the state.

#include <windows.h>

#include <cmath>
#include <memory>
#include <utility>

#include "model/launcher.h"
#include "platform/platform_ops.h"

namespace qlp::win32 {

class Win32Platform;
class MainWindow;

// The notification icon's mouse messages come to the main window as this.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

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
        std::forward<Handler>(handler)();
        render();
    }

    // Brings every window in line with the state.
    void render();
    // The window is closed (close box, end of the session): the full shutdown, once.
    void closeBySystem();

    MainWindow& mainWindow() { return *main_; }
    // The window a handle of the core names; null for none.
    ::HWND windowOf(qlp::HWND window) const;

    // The notification icon's pictures.
    HICON trayIcon(TrayIcon which) const;
    // A mouse message on the notification icon.
    void trayMessage(LPARAM message);

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
    HICON shownIcon_ = nullptr;
    HICON hiddenIcon_ = nullptr;
    bool rendering_ = false;
};

// The DPI of the window's monitor (or of the system when there is no window yet).
unsigned windowDpi(::HWND window);

}  // namespace qlp::win32
