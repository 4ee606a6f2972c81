#include "platform/win32/description_dialog.h"

#include <commctrl.h>

#include "descriptions/descriptions.h"
#include "platform/win32/on_demand.h"
#include "platform/win32/text_limit.h"
#include "platform/win32/wide_text.h"

namespace qlp::win32 {

namespace {

constexpr wchar_t kClassName[] = L"QuillopForm3";
constexpr wchar_t kPanelClassName[] = L"QuillopForm3Panel";
enum : int { kIdText1 = 201, kIdCommand1, kIdCommand2, kIdText2, kIdCommand3, kIdCommand4 };

void setVisible(::HWND w, bool visible) {
    if ((IsWindowVisible(w) != FALSE) != visible) ShowWindow(w, visible ? SW_SHOWNA : SW_HIDE);
}

}  // namespace

DescriptionDialog::DescriptionDialog(ViewHost& host) : host_(host) {}

DescriptionDialog::~DescriptionDialog() { destroy(); }

void DescriptionDialog::create() {
    host_.registerDialogClass(kClassName, windowProc);
    host_.registerDialogClass(kPanelClassName, panelProc);
    window_ = host_.makeDialogWindow(kClassName, this);
    auto child = [&](::HWND parent, const wchar_t* cls, DWORD style, int id) {
        return host_.makeControl(parent, cls, style, id);
    };
    auto panel = [&] {
        // A container the dialog navigation walks into; its frame is a group box without caption.
        ::HWND p = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClassName, L"", WS_CHILD, 0, 0, 10, 10, window_, nullptr,
                                   host_.instance(), nullptr);
        return p;
    };
    // Creation order is the tab order: box, OK, Cancel; the labels take no focus.
    frame1_ = panel();
    text1_ = child(frame1_, WC_EDITW, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, kIdText1);
    command1_ = child(frame1_, WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kIdCommand1);
    command2_ = child(frame1_, WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kIdCommand2);
    label1_ = child(frame1_, WC_STATICW, SS_LEFT, 0);
    frame2_ = panel();
    text2_ = child(frame2_, WC_EDITW, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, kIdText2);
    command3_ = child(frame2_, WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kIdCommand3);
    command4_ = child(frame2_, WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kIdCommand4);
    label2_ = child(frame2_, WC_STATICW, SS_LEFT, 0);
    for (::HWND p : {frame1_, frame2_}) {
        ::HWND border = child(p, WC_BUTTONW, BS_GROUPBOX, 0);
        RECT r = host_.pixelRect(0, 0, 2655, 1335);
        // At the bottom of the panel, behind its controls.
        SetWindowPos(border, reinterpret_cast<::HWND>(static_cast<INT_PTR>(1)), 0, 0, r.right, r.bottom,
                     SWP_NOACTIVATE);
    }
    // The edit's own limit counts UTF-16 units; ours counts characters.
    SendMessageW(text1_, EM_SETLIMITTEXT, 0, 0);
    SendMessageW(text2_, EM_SETLIMITTEXT, 0, 0);
    onDemand::SetWindowSubclass(text1_, editProc, 1, reinterpret_cast<DWORD_PTR>(this));
    onDemand::SetWindowSubclass(text2_, editProc, 2, reinterpret_cast<DWORD_PTR>(this));
    shown_ = false;
    previous1_ = 0;
}

void DescriptionDialog::destroy() {
    if (!window_) return;
    destroying_ = true;
    DestroyWindow(window_);
    destroying_ = false;
    window_ = frame1_ = label1_ = text1_ = command1_ = command2_ = nullptr;
    frame2_ = label2_ = text2_ = command3_ = command4_ = nullptr;
    shown_ = false;
}

void DescriptionDialog::placeOverMainWindow() {
    ::HWND main = host_.mainWindow();
    if (!main || !IsWindowVisible(main)) return;
    RECT m, own;
    GetWindowRect(main, &m);
    GetWindowRect(window_, &own);
    const int w = own.right - own.left;
    const int h = own.bottom - own.top;
    SetWindowPos(window_, nullptr, (m.left + m.right - w) / 2, (m.top + m.bottom - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DescriptionDialog::render() {
    Launcher& app = host_.app();
    const Form3& d = app.form3;
    // The main window takes no input while the dialog is open.
    ::HWND main = host_.mainWindow();
    if (main && (IsWindowEnabled(main) != FALSE) != app.form1.enabled) EnableWindow(main, app.form1.enabled);
    if (!d.loaded) {
        destroy();
        return;
    }
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
    auto place = [&](::HWND w, const Control& c) {
        setRectIfChanged(w, host_.pixelRect(c.left, c.top, c.width, c.height));
    };
    place(frame1_, d.Frame1);
    place(label1_, d.Label1);
    place(text1_, d.Text1);
    place(command1_, d.Command1);
    place(command2_, d.Command2);
    place(frame2_, d.Frame2);
    place(label2_, d.Label2);
    place(text2_, d.Text2);
    place(command3_, d.Command3);
    place(command4_, d.Command4);
    setTextIfChanged(label1_, d.Label1.caption);
    setTextIfChanged(label2_, d.Label2.caption);
    setTextIfChanged(command1_, d.Command1.caption);
    setTextIfChanged(command2_, d.Command2.caption);
    setTextIfChanged(command3_, d.Command3.caption);
    setTextIfChanged(command4_, d.Command4.caption);
    // A text set by the program is shown whole, even beyond the typing limit:
    // the limit learns its length before the box reports the change.
    const std::wstring text1 = widen(d.Text1.text);
    if (windowText(text1_) != text1) {
        previous1_ = codePointCount(text1);
        SetWindowTextW(text1_, text1.c_str());
    }
    setTextIfChanged(text2_, d.Text2.text);
    setVisible(frame1_, d.Frame1.visible);
    setVisible(frame2_, d.Frame2.visible);

    const bool show = d.visible;
    const bool opening = show && !shown_;
    if (opening) {
        placeOverMainWindow();
        ShowWindow(window_, SW_SHOW);
        SetForegroundWindow(window_);
    } else if (!show && shown_) {
        ShowWindow(window_, SW_HIDE);
        if (main && app.form1.enabled) SetForegroundWindow(main);
    }
    shown_ = show;
    const Focus focus = app.form1.focus;
    if (show && (opening || focus != appliedFocus_)) {
        if (focus == Focus::Form3Text1 && d.Frame1.visible) {
            SetFocus(text1_);
            SendMessageW(text1_, EM_SETSEL, 0, -1);
        }
        if (focus == Focus::Form3Text2 && d.Frame2.visible) {
            SetFocus(text2_);
            SendMessageW(text2_, EM_SETSEL, 0, -1);
        }
    }
    appliedFocus_ = focus;
    rendering_ = false;
}

bool DescriptionDialog::isDialogMessage(MSG& msg) {
    if (!window_ || !IsWindowVisible(window_)) return false;
    // Enter belongs to the text boxes (it is their OK), not to the dialog navigation.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && (msg.hwnd == text1_ || msg.hwnd == text2_)) {
        return false;
    }
    return IsDialogMessageW(window_, &msg) != FALSE;
}

void DescriptionDialog::textChanged(::HWND edit) {
    std::wstring text = windowText(edit);
    if (edit == text1_) {
        const auto maxLength = static_cast<std::size_t>(host_.app().form3.Text1.maxLength);
        if (maxLength > 0) {
            DWORD start = 0, end = 0;
            SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            LimitedText fitted = fitToCharacterLimit(text, end, maxLength, previous1_);
            if (fitted.text != text) {
                SetWindowTextW(edit, fitted.text.c_str());  // comes back here, within the limit
                SendMessageW(edit, EM_SETSEL, fitted.caret, fitted.caret);
                MessageBeep(MB_OK);
                return;
            }
        }
        previous1_ = codePointCount(text);
    }
    if (rendering_) return;
    const std::string utf8 = narrow(text);
    host_.dispatch([&] {
        Form3& d = host_.app().form3;
        (edit == text1_ ? d.Text1.text : d.Text2.text) = utf8;
    });
}

void DescriptionDialog::command(int id, int code, ::HWND control) {
    if (code == EN_CHANGE && (control == text1_ || control == text2_)) {
        textChanged(control);
        return;
    }
    if (code != BN_CLICKED || rendering_) return;
    Launcher& app = host_.app();
    switch (id) {
        case kIdCommand1:
            host_.dispatch([&] { form3::Command1_Click(app); });
            break;
        case kIdCommand2:
            host_.dispatch([&] { form3::Command2_Click(app); });
            break;
        case kIdCommand3:
            host_.dispatch([&] { form3::Command3_Click(app); });
            break;
        case kIdCommand4:
            host_.dispatch([&] { form3::Command4_Click(app); });
            break;
        default:
            break;
    }
}

LRESULT CALLBACK DescriptionDialog::windowProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<DescriptionDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->window_ == window) return self->handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK DescriptionDialog::panelProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The panels hand their controls' notifications to the dialog.
    if (message == WM_COMMAND || message == WM_CTLCOLORSTATIC || message == WM_CTLCOLOREDIT ||
        message == WM_CTLCOLORBTN) {
        return SendMessageW(GetParent(window), message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK DescriptionDialog::editProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR data) {
    auto* self = reinterpret_cast<DescriptionDialog*>(data);
    if (message == WM_CHAR && wParam == VK_RETURN) {
        // Enter acts as OK; a one-line box would only beep at it.
        int key = 13;
        Launcher& app = self->host_.app();
        self->host_.dispatch([&] {
            if (id == 1) {
                form3::Text1_KeyPress(app, key);
            } else {
                form3::Text2_KeyPress(app, key);
            }
        });
        return 0;
    }
    if (message == WM_NCDESTROY) onDemand::RemoveWindowSubclass(window, editProc, id);
    return onDemand::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT DescriptionDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<::HWND>(lParam));
            return 0;
        case WM_CLOSE:
            // The close box unloads the form; the next render destroys the window.
            host_.dispatch([&] { form3::closeBox(host_.app()); });
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace qlp::win32
