// Moving a slot image in move-icons mode: the mouse is captured until the
// button is released; held over the scroll bar, the drag-over turns pages.
#include <windows.h>

#include "launcher/navigation.h"
#include "platform/win32/desktop.h"
#include "platform/win32/main_window.h"
#include "platform/win32/win32_platform.h"
#include "slots/editing.h"

namespace qlp::win32 {

namespace {

// While the mouse rests over the scroll bar the drag-over keeps running this often.
constexpr DWORD kRestInterval = 100;

POINT messagePoint() {
    const DWORD pos = ::GetMessagePos();
    return POINT{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
}

}  // namespace

void Win32Platform::Drag(int slot) {
    if (!desktop_) return;
    desktop_->render();
    desktop_->runSlotDrag(slot);
}

void Desktop::runSlotDrag(int source) {
    MainWindow& main = *main_;
    main.pressedSlot = -1;
    const ::HWND window = main.handle();
    ::SetCapture(window);
    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
    bool over = false;
    POINT last{};
    auto dragOver = [&](POINT screen, int state) {
        RECT bar{};
        ::GetWindowRect(main.scrollBar(), &bar);
        const float x = twipsX(screen.x - bar.left);
        const float y = twipsY(screen.y - bar.top);
        dispatch([&] { VScroll1_DragOver(app_, x, y, state); });
    };
    bool done = false;
    while (!done && !app_.ended) {
        const DWORD waited =
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, over ? kRestInterval : INFINITE, QS_ALLINPUT);
        if (waited == WAIT_TIMEOUT) {
            if (over) dragOver(last, 2);
            continue;
        }
        MSG msg;
        while (!done && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            switch (msg.message) {
                case WM_QUIT:
                    ::PostQuitMessage(static_cast<int>(msg.wParam));
                    done = true;
                    break;
                case WM_MOUSEMOVE: {
                    const POINT at = messagePoint();
                    const bool nowOver = main.overScrollBar(at);
                    if (nowOver) {
                        dragOver(at, over ? 2 : 0);
                    } else if (over) {
                        dragOver(last, 1);
                    }
                    over = nowOver;
                    last = at;
                    break;
                }
                case WM_LBUTTONUP: {
                    const POINT at = messagePoint();
                    done = true;
                    if (over) dragOver(at, 1);
                    const int target = main.slotAtScreen(at);
                    if (target >= 0) {
                        const RECT r = main.slotScreenRect(target);
                        const float x = twipsX(at.x - r.left);
                        const float y = twipsY(at.y - r.top);
                        dispatch([&] { Image1_DragDrop(app_, target, source, x, y); });
                    }
                    break;
                }
                case WM_KEYDOWN:
                    if (msg.wParam == VK_ESCAPE) done = true;
                    break;
                default:
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                    break;
            }
        }
        // Another window took the mouse (a message box, the system): the drag ends there.
        if (::GetCapture() != window) done = true;
    }
    if (::GetCapture() == window) ::ReleaseCapture();
}

}  // namespace qlp::win32
