#pragma once
// What a view of the Windows realisation needs from the program around it:
// the launcher's state, the one road by which an event reaches a handler, the
// twips-to-pixels scale and the main window.

#include <windows.h>

#include <functional>

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
};

}  // namespace qlp::win32
