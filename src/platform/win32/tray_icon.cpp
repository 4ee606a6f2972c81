#include "platform/win32/tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/wide_text.h"
#include "window/window.h"

namespace qlp::win32 {

namespace {

constexpr wchar_t kClassName[] = L"QuillopTaskPicture";
// Not the mouse-move number: the shell's callback gets its own message.
constexpr UINT kCallbackMessage = WM_APP + 1;

}  // namespace

HICON makeGreyIcon(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return nullptr;
    HICON grey = nullptr;
    BITMAP bm{};
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof bm, &bm)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = bm.bmWidth;
        bi.bmiHeader.biHeight = -bm.bmHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight);
        HDC dc = GetDC(nullptr);
        if (GetDIBits(dc, info.hbmColor, 0, bm.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS)) {
            for (auto& p : pixels) {
                const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                // Lighter than the plain luminance, so it reads as inactive.
                const unsigned y = std::min(255u, (r * 77 + g * 150 + b * 29) / 256 / 2 + 96);
                p = (p & 0xFF000000u) | (y << 16) | (y << 8) | y;
            }
            HBITMAP colour = CreateCompatibleBitmap(dc, bm.bmWidth, bm.bmHeight);
            SetDIBits(dc, colour, 0, bm.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS);
            ICONINFO out = info;
            out.hbmColor = colour;
            grey = CreateIconIndirect(&out);
            DeleteObject(colour);
        }
        ReleaseDC(nullptr, dc);
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return grey;
}

TrayIcon::TrayIcon(ViewHost& host, HICON shownIcon) : host_(host), shownIcon_(shownIcon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = host_.instance();
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    // A hidden top-level window, not a message-only one: only top-level
    // windows hear the TaskbarCreated broadcast.
    window_ = CreateWindowExW(0, kClassName, L"TaskPicture", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              host_.instance(), this);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    hiddenIcon_ = makeGreyIcon(shownIcon_);
}

TrayIcon::~TrayIcon() {
    if (present_) {
        NOTIFYICONDATAW nid{};
        nid.cbSize = sizeof nid;
        nid.hWnd = window_;
        Shell_NotifyIconW(NIM_DELETE, &nid);
    }
    if (window_) DestroyWindow(window_);
    if (hiddenIcon_) DestroyIcon(hiddenIcon_);
}

bool TrayIcon::send(DWORD message, const NotifyIconData& data) {
    // The record of the running system's size: the wide form with every field
    // this program's headers know (Vista and later); the 88-byte ANSI form is
    // only the 32-bit record of the oldest shells.
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = window_;
    nid.uID = data.uID;
    if (message != NIM_DELETE) {
        nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        nid.uCallbackMessage = kCallbackMessage;
        nid.hIcon = data.hIcon == qlp::TrayIcon::Hidden && hiddenIcon_ ? hiddenIcon_ : shownIcon_;
        const char* end = static_cast<const char*>(std::memchr(data.szTip.data(), 0, data.szTip.size()));
        const std::size_t length = end ? static_cast<std::size_t>(end - data.szTip.data()) : data.szTip.size();
        const std::wstring tip = widen(std::string_view(data.szTip.data(), length));
        std::wcsncpy(nid.szTip, tip.c_str(), std::size(nid.szTip) - 1);
    }
    return Shell_NotifyIconW(message, &nid) != FALSE;
}

bool TrayIcon::notify(NotifyMessage message, const NotifyIconData& data) {
    switch (message) {
    case NotifyMessage::Add:
        last_ = data;
        present_ = send(NIM_ADD, data);
        return present_;
    case NotifyMessage::Modify:
        last_ = data;
        return send(NIM_MODIFY, data);
    case NotifyMessage::Delete:
        last_.reset();
        present_ = false;
        return send(NIM_DELETE, data);
    }
    return false;
}

LRESULT CALLBACK TrayIcon::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->window_ == window) return self->handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT TrayIcon::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCallbackMessage) {
        const auto mouse = static_cast<unsigned>(LOWORD(lParam));
        if (mouse == kWmLButtonDown || mouse == kWmLButtonDblClk || mouse == kWmRButtonDown) {
            // The core decodes the message number from a mouse-move's x in twips.
            host_.dispatch([&] {
                Launcher& app = host_.app();
                TaskPicture_MouseMove(app, 0, 0, static_cast<float>(mouse) * app.ops.TwipsPerPixelX(), 0);
            });
        }
        return 0;
    }
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        // Explorer restarted: its notification area has forgotten the icon.
        if (last_) present_ = send(NIM_ADD, *last_);
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace qlp::win32
