#pragma once
// The options dialog Form2 "Qlp Option": the icon-size sliders as trackbars
// with a preview and the size in pixels, "変更", and the move-icons check box.
// Not modal; its close box only hides it.

#include <windows.h>

#include "platform/win32/view_host.h"

namespace qlp::win32 {

class OptionsDialog {
public:
    explicit OptionsDialog(ViewHost& host);
    ~OptionsDialog();
    OptionsDialog(const OptionsDialog&) = delete;
    OptionsDialog& operator=(const OptionsDialog&) = delete;

    // Brings the window in line with Form2; makes it once Form2 is loaded.
    void render();
    // For the message loop: keyboard navigation inside the dialog.
    bool isDialogMessage(MSG& msg);

    ::HWND window() const { return window_; }
    ::HWND sliderW() const { return sliderW_; }
    ::HWND sliderH() const { return sliderH_; }
    ::HWND preview() const { return sample_; }
    ::HWND sizeLabel() const { return label1_; }
    ::HWND applyButton() const { return iconsize_; }
    ::HWND moveCheck() const { return iCheck_; }

private:
    static LRESULT CALLBACK windowProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    void renderSlider(::HWND trackbar, const struct Slider& slider);
    void placeBesideMainWindow();

    ViewHost& host_;
    ::HWND window_ = nullptr;
    ::HWND frame1_ = nullptr;
    ::HWND sliderW_ = nullptr;
    ::HWND sliderH_ = nullptr;
    ::HWND sample_ = nullptr;
    ::HWND label1_ = nullptr;
    ::HWND iconsize_ = nullptr;
    ::HWND iCheck_ = nullptr;
    bool rendering_ = false;
    bool placed_ = false;
};

}  // namespace qlp::win32
