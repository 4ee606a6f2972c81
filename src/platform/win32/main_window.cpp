#include "platform/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/win32/desktop.h"
#include "platform/win32/on_demand.h"
#include "platform/win32/view_host.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_placement.h"
#include "platform/win32/window_procs.h"

namespace qlp::win32 {

namespace {

constexpr DWORD kForm1Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kChildStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

void setTextIfChanged(::HWND window, std::string& shown, const std::string& text) {
    if (shown == text) return;
    shown = text;
    ::SetWindowTextW(window, widen(text).c_str());
    ::InvalidateRect(window, nullptr, TRUE);
}

}  // namespace

int buttonBits(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) | ((keys & MK_MBUTTON) ? 4 : 0);
}

int shiftBits() {
    return ((::GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0) | ((::GetKeyState(VK_CONTROL) & 0x8000) ? 2 : 0) |
           ((::GetKeyState(VK_MENU) & 0x8000) ? 4 : 0);
}

MainWindow::MainWindow(Desktop& desktop) : desktop_(desktop) {
    registerWindowClasses(desktop.instance());
    window_ = ::CreateWindowExW(WS_EX_ACCEPTFILES, kForm1Class, L"Qlp", kForm1Style, CW_USEDEFAULT, CW_USEDEFAULT, 400,
                                300, nullptr, nullptr, desktop.instance(), this);
    const unsigned dpi = windowDpi(window_);
    desktop.setDpi(dpi, dpi);
    remakeFont();
    createChildren();
    ::DragAcceptFiles(window_, TRUE);
}

MainWindow::~MainWindow() {
    if (window_) ::DestroyWindow(window_);
    if (font_) ::DeleteObject(font_);
}

void MainWindow::remakeFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW face{};
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) face = metrics.lfMessageFont;
    // Nine points at the window's own DPI.
    face.lfHeight = -::MulDiv(9, static_cast<int>(1440.0f / desktop_.twipsPerPixelY() + 0.5f), 72);
    face.lfWidth = 0;
    face.lfCharSet = DEFAULT_CHARSET;
    const HFONT made = ::CreateFontIndirectW(&face);
    if (!made) return;
    if (font_) ::DeleteObject(font_);
    font_ = made;
    for (::HWND w : {label1_, ktext_}) {
        if (w) ::InvalidateRect(w, nullptr, TRUE);
    }
}

void MainWindow::createChildren() {
    const ::HINSTANCE inst = desktop_.instance();
    frame1_ = ::CreateWindowExW(0, kAreaClass, L"", kChildStyle | WS_VISIBLE, 0, 0, 0, 0, window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(AreaRole::Frame1)), inst, this);
    // The pages and their slots are made as they first come to the front: a
    // start shows one page, and every window made costs the system some work.
    scroll_ = ::CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_VERT, 0, 0, 0, 0,
                                frame1_, nullptr, inst, nullptr);
    const ScrollBar& s = desktop_.app().form1.VScroll1;
    ::SetScrollRange(scroll_, SB_CTL, s.min, s.max, FALSE);
    subclassScrollBar(scroll_, this);
    label1_ = ::CreateWindowExW(0, kAreaClass, L"", kChildStyle | WS_VISIBLE, 0, 0, 0, 0, frame1_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(AreaRole::Label1)), inst, this);
    ktext_ = ::CreateWindowExW(0, kAreaClass, L"", kChildStyle | WS_VISIBLE, 0, 0, 0, 0, frame1_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(AreaRole::Ktext)), inst, this);
    // Text2 only ever holds the focus for a moment; it is not seen, and made when first needed.
}

RECT MainWindow::twipsRect(const Control& c) const {
    // Right and bottom edges are rounded on their own, so neighbours meet without gaps.
    return RECT{desktop_.px(c.left), desktop_.pxY(c.top), desktop_.px(c.left + c.width),
                desktop_.pxY(c.top + c.height)};
}

void MainWindow::place(::HWND child, const Control& c) { setRectIfChanged(child, twipsRect(c)); }

RECT MainWindow::slotRect(int i) const { return twipsRect(desktop_.app().form1.Image1[i]); }

int MainWindow::slotAt(int page, POINT at) const {
    for (int i = page * kSlotsPerPage; i < (page + 1) * kSlotsPerPage; ++i) {
        const RECT r = slotRect(i);
        if (::PtInRect(&r, at)) return i;
    }
    return -1;
}

int MainWindow::slotAtScreen(POINT screen) const {
    const int front = frontFrame(desktop_.app().form1);
    const ::HWND shown = pages_[front];
    if (!shown || !::IsWindowVisible(shown)) return -1;
    ::ScreenToClient(shown, &screen);
    return slotAt(front, screen);
}

RECT MainWindow::slotScreenRect(int i) const {
    RECT r = slotRect(i);
    if (const ::HWND p = pages_[pageOfSlot(i)]) ::MapWindowPoints(p, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool MainWindow::overScrollBar(POINT screen) const {
    RECT r{};
    ::GetWindowRect(scroll_, &r);
    return ::IsWindowVisible(scroll_) && ::PtInRect(&r, screen);
}

void MainWindow::renderSlot(int i) {
    const ::HWND p = pages_[pageOfSlot(i)];
    if (!p) return;
    const Picture& picture = desktop_.app().form1.Image1[i].picture;
    const RECT r = slotRect(i);
    const bool moved = !::EqualRect(&r, &shownRects_[i]);
    if (!moved && shownPictures_[i] == picture) return;
    if (moved) ::InvalidateRect(p, &shownRects_[i], FALSE);
    ::InvalidateRect(p, &r, FALSE);
    shownRects_[i] = r;
    shownPictures_[i] = picture;
    if (moved && tooltip_) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = p;
        tool.uId = static_cast<UINT_PTR>(i);
        tool.rect = r;
        ::SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

::HWND MainWindow::page(int p) {
    if (!pages_[p]) {
        pages_[p] = ::CreateWindowExW(0, kPageClass, L"", kChildStyle, 0, 0, 0, 0, frame1_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstPageId + p)),
                                      desktop_.instance(), this);
        if (pages_[p] && tooltip_) {
            for (int i = p * kSlotsPerPage; i < (p + 1) * kSlotsPerPage; ++i) addSlotTip(i);
        }
    }
    return pages_[p];
}

::HWND MainWindow::text2() {
    // Made when first needed: an edit box brings the input method's windows with it.
    if (!text2_) {
        text2_ =
            ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 0, 0, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kText2Id)), desktop_.instance(), nullptr);
    }
    return text2_;
}

void MainWindow::addSlotTip(int i) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = pages_[pageOfSlot(i)];
    tool.uId = static_cast<UINT_PTR>(i);
    tool.rect = slotRect(i);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::addSlotTips() {
    if (tooltip_) return;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    onDemand::InitCommonControlsEx(&controls);
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                 desktop_.instance(), nullptr);
    if (!tooltip_) return;
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);
    for (int i = 0; i < kSlotCount; ++i) {
        if (pages_[pageOfSlot(i)]) addSlotTip(i);
    }
}

const wchar_t* MainWindow::slotTip(int i) {
    if (i < 0 || i >= kSlotCount) return L"";
    tipText_ = widen(desktop_.app().form1.Image1[i].toolTip);
    return tipText_.c_str();
}

void MainWindow::paintPage(int page, HDC dc, const RECT& update) {
    ::FillRect(dc, &update, ::GetSysColorBrush(COLOR_BTNFACE));
    for (int i = page * kSlotsPerPage; i < (page + 1) * kSlotsPerPage; ++i) {
        RECT r = slotRect(i);
        RECT visible{};
        if (::IntersectRect(&visible, &r, &update)) paintSlot(i, dc, r);
    }
}

void MainWindow::paintSlot(int i, HDC dc, const RECT& r) {
    const Picture& picture = shownPictures_[i];
    if (!picture || picture->width <= 0 || picture->height <= 0 ||
        picture->pixels.size() !=
            static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height)) {
        return;
    }
    // Every slot stretches its picture to the slot's size.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture->width;
    info.bmiHeader.biHeight = -picture->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, picture->width, picture->height,
                    picture->pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void MainWindow::render() {
    const Form1& f = desktop_.app().form1;
    const std::string caption = f.caption;
    if (shownCaption_ != caption) {
        shownCaption_ = caption;
        ::SetWindowTextW(window_, widen(caption).c_str());
    }

    // The outer size less the border allowance of the window design is the client area.
    RECT outer{0, 0, desktop_.px(f.width - 80), desktop_.pxY(f.height - 250)};
    if (outer.right > 0 && outer.bottom > 0 && !::IsIconic(window_)) {
        ::AdjustWindowRectEx(&outer, kForm1Style, FALSE, WS_EX_ACCEPTFILES);
        const int x = desktop_.px(f.left);
        const int y = desktop_.pxY(f.top);
        const int w = outer.right - outer.left;
        const int h = outer.bottom - outer.top;
        RECT now{};
        ::GetWindowRect(window_, &now);
        if (!placed_ || now.left != x || now.top != y || now.right - now.left != w || now.bottom - now.top != h) {
            placed_ = true;
            ::SetWindowPos(window_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
            // A saved position may lie where a monitor was; the move it takes
            // back onto one reaches the state through WM_MOVE.
            pullOntoMonitor(window_);
        }
    }

    place(frame1_, f.Frame1);
    const int front = frontFrame(f);
    for (int p = 0; p < kPageCount; ++p) {
        if (p != front) {
            if (pages_[p]) {
                place(pages_[p], f.Frame[p]);
                if (::IsWindowVisible(pages_[p])) ::ShowWindow(pages_[p], SW_HIDE);
            }
            continue;
        }
        place(page(p), f.Frame[p]);
        if (!::IsWindowVisible(pages_[p])) {
            ::SetWindowPos(pages_[p], nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        }
    }
    for (int i = 0; i < kSlotCount; ++i) renderSlot(i);
    place(scroll_, f.VScroll1);
    if (::GetScrollPos(scroll_, SB_CTL) != f.VScroll1.value) {
        renderingScroll = true;
        ::SetScrollPos(scroll_, SB_CTL, f.VScroll1.value, TRUE);
        renderingScroll = false;
    }
    place(label1_, f.Label1);
    setTextIfChanged(label1_, shownLabel_, f.Label1.caption);
    place(ktext_, f.txt_Ktext);
    setTextIfChanged(ktext_, shownKtext_, f.txt_Ktext.caption);
    const int textLength = text2_ ? ::GetWindowTextLengthW(text2_) : 0;
    if (textLength != 0 || !f.Text2.text.empty()) {
        text2();
        renderingText2 = true;
        std::wstring now(static_cast<std::size_t>(textLength) + 1, L'\0');
        ::GetWindowTextW(text2_, now.data(), textLength + 1);
        now.resize(static_cast<std::size_t>(textLength));
        if (narrow(now) != f.Text2.text) ::SetWindowTextW(text2_, widen(f.Text2.text).c_str());
        renderingText2 = false;
    }

    if (appliedEnabled_ != f.enabled) {
        appliedEnabled_ = f.enabled;
        ::EnableWindow(window_, f.enabled);
    }
    renderVisibility(f);
    // Focus is given when the state asks for it, not taken back at every render.
    if (f.visible && f.focus != appliedFocus_) {
        appliedFocus_ = f.focus;
        if (f.focus == Focus::VScroll1) {
            ::SetFocus(scroll_);
        } else if (f.focus == Focus::Text2) {
            ::SetFocus(text2());
        }
    }
}

void MainWindow::renderVisibility(const Form1& f) {
    const bool visible = ::IsWindowVisible(window_) != FALSE;
    if (!f.visible) {
        if (visible) ::ShowWindow(window_, SW_HIDE);
        return;
    }
    if (!visible) {
        ::ShowWindow(window_, shownOnce_ ? SW_SHOW : SW_SHOWNORMAL);
        if (!shownOnce_) {
            shownOnce_ = true;
            ::SetForegroundWindow(window_);
            ::UpdateWindow(window_);
        }
    }
    const bool iconic = ::IsIconic(window_) != FALSE;
    if (f.windowState == WindowState::Minimized && !iconic) ::ShowWindow(window_, SW_MINIMIZE);
    if (f.windowState == WindowState::Normal && iconic) ::ShowWindow(window_, SW_RESTORE);
}

}  // namespace qlp::win32
