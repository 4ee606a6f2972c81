#pragma once
// What a view of the Windows realisation needs from the program around it:
// the launcher's state, the one road by which an event reaches a handler, the
// twips-to-pixels scale and the main window.

#include <windows.h>

#include <functional>
#include <string>

#include "model/launcher.h"

namespace qlp::win32 {

class ViewHost {
public:
    virtual ~ViewHost() = default;
    virtual Launcher& app() = 0;
    // Runs one handler, then re-draws every view from the state.
    virtual void dispatch(const std::function<void()>& handler) = 0;
    virtual int px(float twips) const = 0;
    virtual int pxY(float twips) const = 0;
    virtual ::HWND mainWindow() const = 0;
    virtual ::HINSTANCE instance() const = 0;
    virtual HFONT dialogFont() const = 0;

    // What both dialogs build with.
    // A rectangle given in twips, in pixels; right and bottom edges are
    // rounded on their own, so neighbours meet without gaps.
    RECT pixelRect(float left, float top, float width, float height) const;
    // Registers a window class of the dialog face (once is enough; again is harmless).
    void registerDialogClass(const wchar_t* className, WNDPROC proc) const;
    // A dialog window of that class, owned by the main window: above it, even
    // when that one is topmost, and gone from the taskbar. `self` comes to
    // the procedure with WM_NCCREATE.
    ::HWND makeDialogWindow(const wchar_t* className, void* self) const;
    // A control in the dialogs' font.
    ::HWND makeControl(::HWND parent, const wchar_t* controlClass, DWORD style, int id) const;
};

// What the views do to their windows, each only when it changes something.
std::wstring windowText(::HWND w);
void setTextIfChanged(::HWND w, const std::string& utf8);
// `r` in the parent's client coordinates.
void setRectIfChanged(::HWND w, const RECT& r);

}  // namespace qlp::win32
