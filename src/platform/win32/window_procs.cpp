#include "platform/win32/window_procs.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "launcher/launch.h"
#include "launcher/navigation.h"
#include "platform/win32/desktop.h"
#include "platform/win32/main_window.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/wide_text.h"
#include "slots/editing.h"
#include "slots/registration.h"
#include "window/window.h"

namespace qlp::win32 {

namespace {

constexpr UINT kWmDpiChanged = 0x02E0;
WNDPROC scrollBarProc = nullptr;

// Sent to every top-level window when the taskbar is made anew.
UINT taskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

MainWindow* ownerOf(::HWND window) { return reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA)); }

// Stores the MainWindow given at creation in the window.
void adoptOwner(::HWND window, LPARAM lParam) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
}

std::vector<std::string> droppedPaths(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT k = 0; k < count; ++k) {
        const UINT length = ::DragQueryFileW(drop, k, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        ::DragQueryFileW(drop, k, path.data(), length + 1);
        path.resize(length);
        paths.push_back(narrow(path));
    }
    return paths;
}

void onDrop(MainWindow& main, ::HWND window, HDROP drop) {
    POINT at{};
    ::DragQueryPoint(drop, &at);
    ::ClientToScreen(window, &at);
    DropData data;
    data.files = droppedPaths(drop);
    ::DragFinish(drop);
    // Only a drop on a slot registers, as only the slot images take drops.
    const int slot = main.slotAtScreen(at);
    if (slot < 0) return;
    Desktop& desktop = main.desktop();
    desktop.dispatch([&] { Image1_OLEDragDrop(desktop.app(), slot, data); });
}

void onScroll(MainWindow& main, ::HWND scroll, WPARAM wParam) {
    if (main.renderingScroll) return;
    Desktop& desktop = main.desktop();
    const ScrollBar& s = desktop.app().form1.VScroll1;
    int value = s.value;
    switch (LOWORD(wParam)) {
        case SB_LINEUP:
            value -= 1;
            break;
        case SB_LINEDOWN:
            value += 1;
            break;
        case SB_PAGEUP:
            value -= 1;
            break;
        case SB_PAGEDOWN:
            value += 1;
            break;
        case SB_TOP:
            value = s.min;
            break;
        case SB_BOTTOM:
            value = s.max;
            break;
        case SB_THUMBPOSITION: {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            ::GetScrollInfo(scroll, SB_CTL, &info);
            value = info.nTrackPos;
            break;
        }
        default:
            return;
    }
    if (value < s.min) value = s.min;
    if (value > s.max) value = s.max;
    desktop.dispatch([&] { setPage(desktop.app(), value); });
}

LRESULT CALLBACK form1Proc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) adoptOwner(window, lParam);
    MainWindow* main = ownerOf(window);
    if (!main) return ::DefWindowProcW(window, message, wParam, lParam);
    Desktop& desktop = main->desktop();
    Launcher& app = desktop.app();
    switch (message) {
        case WM_CLOSE:
            desktop.closeBySystem();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The session ends: the settings are saved as when the window is closed.
            if (wParam) desktop.closeBySystem();
            return 0;
        case WM_DROPFILES:
            onDrop(*main, window, reinterpret_cast<HDROP>(wParam));
            return 0;
        case kTrayCallbackMessage:
            desktop.trayMessage(lParam);
            return 0;
        case kAfterStartMessage:
            desktop.afterStart();
            return 0;
        case kDrawPendingPageMessage:
            desktop.drawPendingPage();
            return 0;
        case kWmDpiChanged: {
            desktop.setDpi(LOWORD(wParam), HIWORD(wParam));
            main->remakeFont();
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                           suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            desktop.render();
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == kText2Id && HIWORD(wParam) == EN_CHANGE && !main->renderingText2) {
                const int length = ::GetWindowTextLengthW(reinterpret_cast<::HWND>(lParam));
                std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
                ::GetWindowTextW(reinterpret_cast<::HWND>(lParam), text.data(), length + 1);
                text.resize(static_cast<std::size_t>(length));
                if (!text.empty()) desktop.dispatch([&] { setText2(app, narrow(text)); });
            }
            return 0;
        case WM_ACTIVATE:
            // Coming back to the window, the keys go to the scroll bar again.
            if (LOWORD(wParam) != WA_INACTIVE && app.form1.focus == Focus::VScroll1) {
                ::SetFocus(main->scrollBar());
                return 0;
            }
            break;
        case WM_MOVE: {
            // The user or the system moved the window: the state follows, but
            // only when the pixel position differs, so rounding never drifts it.
            if (::IsIconic(window)) break;
            RECT r{};
            ::GetWindowRect(window, &r);
            Form1& f = app.form1;
            if (r.left != desktop.px(f.left)) f.left = desktop.twipsX(r.left);
            if (r.top != desktop.pxY(f.top)) f.top = desktop.twipsY(r.top);
            break;
        }
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) {
                app.form1.windowState = WindowState::Minimized;
            } else if (wParam == SIZE_MAXIMIZED) {
                app.form1.windowState = WindowState::Maximized;
            } else if (wParam == SIZE_RESTORED) {
                app.form1.windowState = WindowState::Normal;
            }
            break;
        default:
            // Explorer restarted: its notification area has forgotten the icon.
            if (message == taskbarCreatedMessage()) desktop.trayRestarted();
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void paintText(::HWND window, MainWindow& main, AreaRole role) {
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(window, &paint);
    RECT client{};
    ::GetClientRect(window, &client);
    const int length = ::GetWindowTextLengthW(window);
    if (length > 0) {
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        ::GetWindowTextW(window, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(length));
        const HGDIOBJ old = ::SelectObject(dc, main.font());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        const UINT format = role == AreaRole::Label1 ? DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX
                                                     : DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        ::DrawTextW(dc, text.c_str(), length, &client, format);
        ::SelectObject(dc, old);
    }
    ::EndPaint(window, &paint);
}

void areaMouseDown(MainWindow& main, AreaRole role, WPARAM wParam, LPARAM lParam) {
    Desktop& desktop = main.desktop();
    const int button = buttonBits(wParam);
    const int shift = shiftBits();
    const float x = desktop.twipsX(GET_X_LPARAM(lParam));
    const float y = desktop.twipsY(GET_Y_LPARAM(lParam));
    desktop.dispatch([&] {
        Launcher& app = desktop.app();
        switch (role) {
            case AreaRole::Frame1:
                Frame1_MouseDown(app, button, shift, x, y);
                break;
            case AreaRole::Label1:
                Label1_MouseDown(app, button, shift, x, y);
                break;
            case AreaRole::Ktext:
                txt_Ktext_MouseDown(app, button, shift, x, y);
                break;
        }
    });
}

LRESULT CALLBACK areaProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) adoptOwner(window, lParam);
    MainWindow* main = ownerOf(window);
    if (!main) return ::DefWindowProcW(window, message, wParam, lParam);
    const auto role = static_cast<AreaRole>(::GetDlgCtrlID(window));
    switch (message) {
        case WM_PAINT:
            if (role == AreaRole::Frame1) break;
            paintText(window, *main, role);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            areaMouseDown(*main, role, wParam, lParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            if (role == AreaRole::Ktext) {
                Desktop& desktop = main->desktop();
                desktop.dispatch([&] { txt_Ktext_DblClick(desktop.app()); });
            } else {
                areaMouseDown(*main, role, wParam, lParam);
            }
            return 0;
        case WM_VSCROLL:
            if (lParam) onScroll(*main, reinterpret_cast<::HWND>(lParam), wParam);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A page paints its twelve slots itself and tells which one the mouse is on:
// slots are not windows of their own, since each window costs the system
// work when made and again whenever its page is shown.
LRESULT CALLBACK pageProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) adoptOwner(window, lParam);
    MainWindow* main = ownerOf(window);
    if (!main) return ::DefWindowProcW(window, message, wParam, lParam);
    const int page = static_cast<int>(::GetDlgCtrlID(window)) - kFirstPageId;
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = ::BeginPaint(window, &paint);
            main->paintPage(page, dc, paint.rcPaint);
            ::EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE:
            main->onPageMouse(page, message, wParam, lParam);
            return 0;
        case WM_NOTIFY: {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            if (info->hdr.hwndFrom == main->tooltip() && info->hdr.code == TTN_GETDISPINFOW) {
                info->lpszText = const_cast<wchar_t*>(main->slotTip(static_cast<int>(info->hdr.idFrom)));
                info->hinst = nullptr;
                return 0;
            }
            break;
        }
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK scrollKeysProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* main = ownerOf(window);
    // Keys with Alt held belong to the system (Alt+F4 closes the window), so
    // they never reach the launcher's key map; F10 alone does.
    const bool altHeld = (lParam & (1 << 29)) != 0;
    if (main && (message == WM_KEYDOWN || (message == WM_SYSKEYDOWN && !altHeld))) {
        Desktop& desktop = main->desktop();
        bool handled = false;
        const int code = static_cast<int>(wParam);
        const int shift = shiftBits();
        desktop.dispatch([&] { handled = VScroll1_KeyDown(desktop.app(), code, shift); });
        if (handled) return 0;
    }
    return ::CallWindowProcW(scrollBarProc, window, message, wParam, lParam);
}

}  // namespace

void registerWindowClasses(::HINSTANCE instance) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = form1Proc;
    form.hInstance = instance;
    form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kForm1Class;
    form.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(kAppIcon));
    form.hIconSm =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kAppIcon), IMAGE_ICON,
                                        ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    ::RegisterClassExW(&form);

    WNDCLASSEXW area = form;
    area.style = CS_DBLCLKS;
    area.lpfnWndProc = areaProc;
    area.hIcon = nullptr;
    area.hIconSm = nullptr;
    area.lpszClassName = kAreaClass;
    ::RegisterClassExW(&area);

    WNDCLASSEXW page = area;
    page.style = 0;
    page.lpfnWndProc = pageProc;
    page.lpszClassName = kPageClass;
    ::RegisterClassExW(&page);
}

void subclassScrollBar(::HWND scroll, MainWindow* owner) {
    ::SetWindowLongPtrW(scroll, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    scrollBarProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(scroll, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(scrollKeysProc)));
}

void MainWindow::onPageMouse(int page, UINT message, WPARAM wParam, LPARAM lParam) {
    Launcher& app = desktop_.app();
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    // While the left button holds a slot, its moves and release are that slot's.
    const bool held = pressedSlot >= 0 && ::GetCapture() == pages_[page];
    const int i = held ? pressedSlot : slotAt(page, at);
    if (i < 0) return;
    const RECT r = slotRect(i);
    const float x = desktop_.twipsX(at.x - r.left);
    const float y = desktop_.twipsY(at.y - r.top);
    const int button = buttonBits(wParam);
    const int shift = shiftBits();
    switch (message) {
        case WM_LBUTTONDOWN:
            ::SetCapture(pages_[page]);
            pressedSlot = i;
            [[fallthrough]];
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            desktop_.dispatch([&] { Image1_MouseDown(app, i, button, shift, x, y); });
            return;
        case WM_MOUSEMOVE:
            desktop_.dispatch([&] { Image1_MouseMove(app, i, button, shift, x, y); });
            return;
        case WM_LBUTTONUP: {
            const bool click = pressedSlot == i;
            pressedSlot = -1;
            if (::GetCapture() == pages_[page]) ::ReleaseCapture();
            if (click && ::PtInRect(&r, at)) desktop_.dispatch([&] { Image1_Click(app, i); });
            return;
        }
        default:
            return;
    }
}

}  // namespace qlp::win32
