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
    // The slot of the page in front under a point on the screen, or -1.
    int slotAtScreen(POINT screen) const;
    // Where a slot of the page in front is on the screen.
    RECT slotScreenRect(int i) const;
    // Whether a point on the screen is over the scroll bar.
    bool overScrollBar(POINT screen) const;

    // Used by the window procedures.
    Desktop& desktop() { return desktop_; }
    void onPageMouse(int page, UINT message, WPARAM wParam, LPARAM lParam);
    void paintPage(int page, HDC dc, const RECT& update);
    // A click is a press and a release on the same slot; a slot drag takes the release.
    int pressedSlot = -1;
    bool renderingScroll = false;
    bool renderingText2 = false;
    HFONT font() const { return font_; }
    // The slots' hover texts. Registered after the window is first shown:
    // each registration costs the tooltip control some work, and no one
    // hovers before the window is there. The text is asked for when shown.
    void addSlotTips();
    const wchar_t* slotTip(int i);
    ::HWND tooltip() const { return tooltip_; }
    void remakeFont();

private:
    void createChildren();
    ::HWND page(int p);
    ::HWND text2();
    // A slot's place in its page window, and the slot at a point of a page.
    RECT slotRect(int i) const;
    int slotAt(int page, POINT at) const;
    void addSlotTip(int i);
    void paintSlot(int i, HDC dc, const RECT& r);
    RECT twipsRect(const Control& c) const;
    void place(::HWND child, const Control& c);
    void renderSlot(int i);
    void renderVisibility(const Form1& f);

    Desktop& desktop_;
    ::HWND window_ = nullptr;
    ::HWND frame1_ = nullptr;
    std::array<::HWND, kPageCount> pages_{};
    std::array<Picture, kSlotCount> shownPictures_{};
    std::array<RECT, kSlotCount> shownRects_{};
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
    bool tipsAdded_ = false;
    std::wstring tipText_;
    Focus appliedFocus_ = Focus::None;
    bool appliedEnabled_ = true;
};

// Mouse buttons and modifiers as bit sets: 1 left, 2 right, 4 middle; 1 shift, 2 control, 4 alt.
int buttonBits(WPARAM mouseKeys);
int shiftBits();

}  // namespace qlp::win32
