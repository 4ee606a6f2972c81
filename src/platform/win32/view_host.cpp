#include "platform/win32/view_host.h"

namespace qlp::win32 {

RECT ViewHost::pixelRect(float left, float top, float width, float height) const {
    return {px(left), pxY(top), px(left + width), pxY(top + height)};
}

void ViewHost::registerDialogClass(const wchar_t* className, WNDPROC proc) const {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance();
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    ::RegisterClassExW(&wc);
}

::HWND ViewHost::makeDialogWindow(const wchar_t* className, void* self) const {
    return ::CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, className, L"",
                             WS_CAPTION | WS_SYSMENU | WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, mainWindow(),
                             nullptr, instance(), self);
}

::HWND ViewHost::makeControl(::HWND parent, const wchar_t* controlClass, DWORD style, int id) const {
    const ::HWND w = ::CreateWindowExW(0, controlClass, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance(), nullptr);
    ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont()), FALSE);
    return w;
}

}  // namespace qlp::win32
