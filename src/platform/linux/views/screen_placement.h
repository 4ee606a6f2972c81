#pragma once
// Keeping the main window on a screen: a position saved while a monitor was
// attached that has since gone would put the window where nobody can see it.

#include <QPoint>
#include <QRect>
#include <cstddef>
#include <vector>

namespace qlp::linux_desktop {

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// Where a window frame at `frame` goes: its own place when it overlaps any of
// `screens`, else brought into screens[primary] (its top-left corner first
// when the window is larger than the screen).
ScreenPoint placeOnScreens(const ScreenRect& frame, const std::vector<ScreenRect>& screens, std::size_t primary);

// placeOnScreens with the screens of the running desktop.
QPoint placeOnScreen(const QRect& frame);

// False where the desktop does not let a program place its own window (Wayland).
bool windowPlacementAllowed();

}  // namespace qlp::linux_desktop
