#include "platform/win32/desktop.h"

#include "app/startup.h"
#include "platform/win32/dialog_views.h"
#include "platform/win32/main_window.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/win32_platform.h"

namespace qlp::win32 {

unsigned windowDpi(::HWND window) {
    // GetDpiForWindow is there from Windows 10 1607; before, the system's DPI.
    using GetDpiForWindowFn = UINT(WINAPI*)(::HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (window && getDpiForWindow) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return dpi;
    }
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : 96;
}

Desktop::Desktop(Launcher& app, Win32Platform& platform, ::HINSTANCE instance)
    : app_(app), platform_(platform), instance_(instance) {
    platform_.attach(this);
    const int small = ::GetSystemMetrics(SM_CXSMICON);
    shownIcon_ =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kTrayShownIcon), IMAGE_ICON, small, small, 0));
    hiddenIcon_ =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kTrayHiddenIcon), IMAGE_ICON, small, small, 0));
    main_ = std::make_unique<MainWindow>(*this);
    dialogs_ = std::make_unique<DialogViews>(*this);
}

Desktop::~Desktop() {
    dialogs_.reset();
    main_.reset();
    if (shownIcon_) ::DestroyIcon(shownIcon_);
    if (hiddenIcon_) ::DestroyIcon(hiddenIcon_);
    platform_.attach(nullptr);
}

void Desktop::setDpi(unsigned dpiX, unsigned dpiY) {
    // Twips per pixel = 1440 / DPI, from the monitor the window is on.
    tppX_ = 1440.0f / static_cast<float>(dpiX ? dpiX : 96);
    tppY_ = 1440.0f / static_cast<float>(dpiY ? dpiY : 96);
}

void Desktop::render() {
    // A handler may run inside another's modal wait; the outer one renders again.
    if (rendering_) return;
    rendering_ = true;
    main_->render();
    dialogs_->render();
    rendering_ = false;
}

bool Desktop::isDialogMessage(MSG& msg) { return dialogs_ && dialogs_->isDialogMessage(msg); }

void Desktop::rememberTrayRecord(DWORD message, const NOTIFYICONDATAW& record) {
    if (message == NIM_DELETE) {
        trayRecord_.reset();
    } else {
        trayRecord_ = record;
    }
}

void Desktop::trayRestarted() {
    if (trayRecord_) ::Shell_NotifyIconW(NIM_ADD, &*trayRecord_);
}

void Desktop::afterStart() {
    if (!starting_) return;
    starting_ = false;
    if (trayRecord_) ::Shell_NotifyIconW(NIM_ADD, &*trayRecord_);
    main_->addSlotTips();
    drawPendingPage();
}

void Desktop::drawPendingPage() {
    if (app_.pendingIcons.empty() || app_.ended) return;
    qlp::drawPendingIcons(app_, pageOfSlot(app_.pendingIcons.front()));
    render();
    if (!app_.pendingIcons.empty()) ::PostMessageW(main_->handle(), kDrawPendingPageMessage, 0, 0);
}

void Desktop::closeBySystem() {
    dispatch([this] {
        std::int16_t cancel = 0;
        Form_Unload(app_, cancel);
    });
}

::HWND Desktop::windowOf(qlp::HWND window) const {
    if (window == kForm1Window || window == kTaskPictureWindow) return main_ ? main_->handle() : nullptr;
    return nullptr;
}

}  // namespace qlp::win32
