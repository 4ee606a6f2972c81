#include "platform/win32/view_host.h"

#include "platform/win32/wide_text.h"

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

std::wstring windowText(::HWND w) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setTextIfChanged(::HWND w, const std::string& utf8) {
    const std::wstring text = widen(utf8);
    if (windowText(w) != text) ::SetWindowTextW(w, text.c_str());
}

void setRectIfChanged(::HWND w, const RECT& r) {
    RECT now;
    ::GetWindowRect(w, &now);
    ::MapWindowPoints(nullptr, ::GetParent(w), reinterpret_cast<POINT*>(&now), 2);
    if (::EqualRect(&now, &r)) return;
    ::SetWindowPos(w, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace qlp::win32
