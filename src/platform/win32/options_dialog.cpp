#include "platform/win32/options_dialog.h"

#include <commctrl.h>

#include "options/options.h"
#include "platform/win32/on_demand.h"
#include "platform/win32/wide_text.h"

namespace qlp::win32 {

namespace {

constexpr wchar_t kClassName[] = L"QuillopForm2";
enum : int { kIdSliderW = 101, kIdSliderH, kIdIconsize, kIdICheck };

}  // namespace

OptionsDialog::OptionsDialog(ViewHost& host) : host_(host) {}

OptionsDialog::~OptionsDialog() {
    if (window_) DestroyWindow(window_);
}

void OptionsDialog::create() {
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    onDemand::InitCommonControlsEx(&icc);
    host_.registerDialogClass(kClassName, windowProc);
    window_ = host_.makeDialogWindow(kClassName, this);
    auto child = [&](const wchar_t* cls, DWORD style, int id) { return host_.makeControl(window_, cls, style, id); };
    // Creation order is tab order and stacking order: the group box first, at the bottom.
    frame1_ = child(WC_BUTTONW, BS_GROUPBOX, 0);
    sliderW_ = child(TRACKBAR_CLASSW, WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, kIdSliderW);
    // Vertical: its minimum at the top, so the height grows downwards as the preview does.
    sliderH_ = child(TRACKBAR_CLASSW, WS_TABSTOP | TBS_VERT | TBS_NOTICKS, kIdSliderH);
    sample_ = child(WC_STATICW, WS_BORDER, 0);
    label1_ = child(WC_STATICW, SS_LEFT, 0);
    iconsize_ = child(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kIdIconsize);
    iCheck_ = child(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE, kIdICheck);
}

void OptionsDialog::renderSlider(::HWND trackbar, const Slider& slider) {
    if (SendMessageW(trackbar, TBM_GETRANGEMIN, 0, 0) != slider.min ||
        SendMessageW(trackbar, TBM_GETRANGEMAX, 0, 0) != slider.max) {
        SendMessageW(trackbar, TBM_SETRANGEMIN, FALSE, slider.min);
        SendMessageW(trackbar, TBM_SETRANGEMAX, TRUE, slider.max);
    }
    if (SendMessageW(trackbar, TBM_GETLINESIZE, 0, 0) != slider.smallChange) {
        SendMessageW(trackbar, TBM_SETLINESIZE, 0, slider.smallChange);
    }
    if (SendMessageW(trackbar, TBM_GETPAGESIZE, 0, 0) != slider.largeChange) {
        SendMessageW(trackbar, TBM_SETPAGESIZE, 0, slider.largeChange);
    }
    if (SendMessageW(trackbar, TBM_GETPOS, 0, 0) != slider.value)
        SendMessageW(trackbar, TBM_SETPOS, TRUE, slider.value);
    const Control& frame = host_.app().form2.Frame1;
    setRectIfChanged(trackbar,
                     host_.pixelRect(frame.left + slider.left, frame.top + slider.top, slider.width, slider.height));
}

void OptionsDialog::render() {
    const Form2& d = host_.app().form2;
    if (!d.loaded) return;
    // Loaded hidden at every start; its window is made when first shown.
    if (!window_ && !d.visible) return;
    if (!window_) create();
    rendering_ = true;
    setTextIfChanged(window_, d.caption);

    RECT client{0, 0, host_.px(d.clientWidth), host_.pxY(d.clientHeight)};
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
    RECT outer;
    GetWindowRect(window_, &outer);
    if (outer.right - outer.left != client.right - client.left ||
        outer.bottom - outer.top != client.bottom - client.top) {
        SetWindowPos(window_, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    const Control& f = d.Frame1;
    setRectIfChanged(frame1_, host_.pixelRect(f.left, f.top, f.width, f.height));
    setTextIfChanged(frame1_, f.caption);
    renderSlider(sliderW_, d.SliderW);
    renderSlider(sliderH_, d.SliderH);
    auto inFrame = [&](const Control& c) { return host_.pixelRect(f.left + c.left, f.top + c.top, c.width, c.height); };
    setRectIfChanged(sample_, inFrame(d.sample_img));
    setRectIfChanged(label1_, inFrame(d.Label1));
    setTextIfChanged(label1_, d.Label1.caption);
    setRectIfChanged(iconsize_, inFrame(d.iconsize));
    setTextIfChanged(iconsize_, d.iconsize.caption);
    setRectIfChanged(iCheck_, host_.pixelRect(d.iCheck.left, d.iCheck.top, d.iCheck.width, d.iCheck.height));
    setTextIfChanged(iCheck_, d.iCheck.caption);
    const WPARAM check = d.iCheck.value == 1 ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<WPARAM>(SendMessageW(iCheck_, BM_GETCHECK, 0, 0)) != check) {
        SendMessageW(iCheck_, BM_SETCHECK, check, 0);
    }

    const bool shown = IsWindowVisible(window_) != FALSE;
    if (d.visible && !shown) {
        // The first time beside the main window; afterwards where the user left it.
        if (!placed_) placeBesideMainWindow();
        placed_ = true;
        ShowWindow(window_, SW_SHOW);
        if (host_.app().form1.focus == Focus::Form2) {
            SetForegroundWindow(window_);
            SetFocus(sliderW_);
        }
    } else if (!d.visible && shown) {
        ShowWindow(window_, SW_HIDE);
    }
    rendering_ = false;
}

void OptionsDialog::placeBesideMainWindow() {
    ::HWND main = host_.mainWindow();
    RECT m, own;
    if (!main || !GetWindowRect(main, &m) || !GetWindowRect(window_, &own)) return;
    const int w = own.right - own.left;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor);
    // Right of the main window, or left of it when the monitor ends there.
    int x = m.right + 8;
    if (x + w > monitor.rcWork.right) x = m.left - 8 - w;
    if (x < monitor.rcWork.left) x = monitor.rcWork.left;
    SetWindowPos(window_, nullptr, x, m.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool OptionsDialog::isDialogMessage(MSG& msg) {
    return window_ && IsWindowVisible(window_) && IsDialogMessageW(window_, &msg);
}

LRESULT CALLBACK OptionsDialog::windowProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<OptionsDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->window_ == window) return self->handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT OptionsDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_HSCROLL:
        case WM_VSCROLL: {
            const auto trackbar = reinterpret_cast<::HWND>(lParam);
            if (rendering_ || (trackbar != sliderW_ && trackbar != sliderH_)) break;
            const auto value = static_cast<std::int32_t>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
            // Every step of a drag is a change; the handler runs only when the value moved.
            host_.dispatch([&] {
                if (trackbar == sliderW_) {
                    form2::setSliderW(host_.app(), value);
                } else {
                    form2::setSliderH(host_.app(), value);
                }
            });
            return 0;
        }
        case WM_COMMAND:
            if (rendering_ || HIWORD(wParam) != BN_CLICKED) break;
            if (LOWORD(wParam) == kIdIconsize) {
                host_.dispatch([&] { form2::iconsize_Click(host_.app()); });
                return 0;
            }
            if (LOWORD(wParam) == kIdICheck) {
                const int value = SendMessageW(iCheck_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
                host_.dispatch([&] { form2::setICheck(host_.app(), value); });
                return 0;
            }
            break;
        case WM_CLOSE:
            // The dialog lives as long as the launcher; its close box only hides it.
            host_.dispatch([&] {
                std::int16_t cancel = 0;
                form2::Form_Unload(host_.app(), cancel);
            });
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace qlp::win32
