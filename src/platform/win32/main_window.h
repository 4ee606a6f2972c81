#pragma once
// The main window Form1: the frame with ten page windows of twelve slot
// windows each, the page scroll bar VScroll1, the page number Label1, the
// description line txt_Ktext and the focus box Text2.

#include <windows.h>

#include <array>
#include <string>

#include "model/launcher.h"

namespace qlp::win32 {

class Desktop;

class MainWindow {
public:
    explicit MainWindow(Desktop& desktop);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void render();

    ::HWND handle() const { return window_; }
    ::HWND scrollBar() const { return scroll_; }
    ::HWND slotWindow(int i) const { return slots_[i]; }
    // The slot of the page in front under a point on the screen, or -1.
    int slotAtScreen(POINT screen) const;
    // Whether a point on the screen is over the scroll bar.
    bool overScrollBar(POINT screen) const;

    // Used by the window procedures.
    Desktop& desktop() { return desktop_; }
    void onSlotMessage(int i, UINT message, WPARAM wParam, LPARAM lParam);
    void paintSlot(int i, HDC dc, const RECT& client);
    // A click is a press and a release on the same slot; a slot drag takes the release.
    int pressedSlot = -1;
    bool renderingScroll = false;
    bool renderingText2 = false;
    HFONT font() const { return font_; }
    void remakeFont();

private:
    void createChildren();
    RECT twipsRect(const Control& c) const;
    void place(::HWND child, const Control& c);
    void renderSlot(int i);
    void renderVisibility(const Form1& f);

    Desktop& desktop_;
    ::HWND window_ = nullptr;
    ::HWND frame1_ = nullptr;
    std::array<::HWND, kPageCount> pages_{};
    std::array<::HWND, kSlotCount> slots_{};
    std::array<Picture, kSlotCount> shownPictures_{};
    std::array<std::string, kSlotCount> shownTips_{};
    ::HWND scroll_ = nullptr;
    ::HWND label1_ = nullptr;
    ::HWND ktext_ = nullptr;
    ::HWND text2_ = nullptr;
    ::HWND tooltip_ = nullptr;
    HFONT font_ = nullptr;
    std::string shownCaption_;
    std::string shownLabel_;
    std::string shownKtext_;
    bool placed_ = false;
    bool shownOnce_ = false;
    Focus appliedFocus_ = Focus::None;
    bool appliedEnabled_ = true;
};

// Mouse buttons and modifiers as bit sets: 1 left, 2 right, 4 middle; 1 shift, 2 control, 4 alt.
int buttonBits(WPARAM mouseKeys);
int shiftBits();

}  // namespace qlp::win32
