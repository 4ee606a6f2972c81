#pragma once
// The description dialog Form3: the icon panel and the page panel, one on top
// of the other, each with its label, text box and OK and Cancel buttons. The
// icon box takes at most 20 characters, counted in characters (an input
// method's commit and a paste included); Enter acts as OK.

#include <windows.h>

#include <cstddef>

#include "platform/win32/view_host.h"

namespace qlp::win32 {

class DescriptionDialog {
public:
    explicit DescriptionDialog(ViewHost& host);
    ~DescriptionDialog();
    DescriptionDialog(const DescriptionDialog&) = delete;
    DescriptionDialog& operator=(const DescriptionDialog&) = delete;

    // Brings the window in line with Form3: made when Form3 is loaded,
    // destroyed when it is unloaded (its close box).
    void render();
    // For the message loop: Tab between the controls.
    bool isDialogMessage(MSG& msg);

    ::HWND window() const { return window_; }
    ::HWND iconPanel() const { return frame1_; }
    ::HWND pagePanel() const { return frame2_; }
    ::HWND iconText() const { return text1_; }
    ::HWND pageText() const { return text2_; }
    ::HWND iconOk() const { return command1_; }
    ::HWND iconCancel() const { return command2_; }
    ::HWND pageOk() const { return command3_; }
    ::HWND pageCancel() const { return command4_; }

private:
    static LRESULT CALLBACK windowProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK panelProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK editProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    void destroy();
    void command(int id, int code, ::HWND control);
    void textChanged(::HWND edit);
    void placeOverMainWindow();

    ViewHost& host_;
    ::HWND window_ = nullptr;
    ::HWND frame1_ = nullptr;
    ::HWND label1_ = nullptr;
    ::HWND text1_ = nullptr;
    ::HWND command1_ = nullptr;
    ::HWND command2_ = nullptr;
    ::HWND frame2_ = nullptr;
    ::HWND label2_ = nullptr;
    ::HWND text2_ = nullptr;
    ::HWND command3_ = nullptr;
    ::HWND command4_ = nullptr;
    // Characters in the icon box before the edit being handled.
    std::size_t previous1_ = 0;
    bool rendering_ = false;
    bool shown_ = false;
    bool destroying_ = false;
    Focus appliedFocus_ = Focus::None;
};

}  // namespace qlp::win32
