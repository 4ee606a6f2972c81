#pragma once
// Keeping the main window on a monitor: a position saved while a monitor was
// attached that has since gone (or a hand-edited one) would put the window
// where nobody can see it. Such a position is pulled back onto the nearest
// monitor's work area.

#include <windows.h>

#include <vector>

namespace qlp::win32 {

struct MonitorArea {
    RECT monitor;  // the whole monitor
    RECT work;     // without the taskbar
};

// Where a window whose outer frame is `frame` goes: its own place when it
// overlaps one of `monitors`; else into the work area of the monitor nearest to
// it, as little moved as can be (its top-left corner kept visible first when
// the window is larger than that area). No monitors: unchanged.
POINT placeOnMonitors(const RECT& frame, const std::vector<MonitorArea>& monitors);

// placeOnMonitors with the monitors attached now.
POINT placeOnMonitors(const RECT& frame);

// Moves `window` by placeOnMonitors when it lies off every monitor; true when it moved.
bool pullOntoMonitor(::HWND window);

}  // namespace qlp::win32
