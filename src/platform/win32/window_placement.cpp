#include "platform/win32/window_placement.h"

#include <algorithm>
#include <limits>

namespace qlp::win32 {

namespace {

bool overlaps(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Squared distance between two rectangles; 0 when they touch or overlap.
long long distance2(const RECT& a, const RECT& b) {
    const long long dx = std::max({0L, b.left - a.right, a.left - b.right});
    const long long dy = std::max({0L, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

LONG clampInto(LONG start, LONG length, LONG areaStart, LONG areaEnd) {
    // Far edge first, then the near one, so a window too large keeps its top-left corner inside.
    LONG s = std::min(start, areaEnd - length);
    return std::max(s, areaStart);
}

BOOL CALLBACK collect(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        reinterpret_cast<std::vector<MonitorArea>*>(data)->push_back({info.rcMonitor, info.rcWork});
    }
    return TRUE;
}

}  // namespace

POINT placeOnMonitors(const RECT& frame, const std::vector<MonitorArea>& monitors) {
    const POINT here{frame.left, frame.top};
    if (monitors.empty()) return here;
    for (const MonitorArea& m : monitors) {
        if (overlaps(frame, m.monitor)) return here;
    }
    const MonitorArea* nearest = &monitors.front();
    long long best = std::numeric_limits<long long>::max();
    for (const MonitorArea& m : monitors) {
        const long long d = distance2(frame, m.monitor);
        if (d < best) {
            best = d;
            nearest = &m;
        }
    }
    const RECT& w = nearest->work;
    return {clampInto(frame.left, frame.right - frame.left, w.left, w.right),
            clampInto(frame.top, frame.bottom - frame.top, w.top, w.bottom)};
}

POINT placeOnMonitors(const RECT& frame) {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, collect, reinterpret_cast<LPARAM>(&monitors));
    return placeOnMonitors(frame, monitors);
}

bool pullOntoMonitor(::HWND window) {
    RECT frame;
    if (!GetWindowRect(window, &frame)) return false;
    const POINT to = placeOnMonitors(frame);
    if (to.x == frame.left && to.y == frame.top) return false;
    SetWindowPos(window, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

}  // namespace qlp::win32
