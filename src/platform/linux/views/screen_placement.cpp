#include "platform/linux/views/screen_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace qlp::linux_desktop {

namespace {

bool overlaps(const ScreenRect& a, const ScreenRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

int bringInto(int position, int length, int start, int extent) {
    return std::max(start, std::min(position, start + extent - length));
}

}  // namespace

ScreenPoint placeOnScreens(const ScreenRect& frame, const std::vector<ScreenRect>& screens, std::size_t primary) {
    const ScreenPoint own{frame.x, frame.y};
    if (screens.empty() || std::any_of(screens.begin(), screens.end(), [&](const ScreenRect& s) {
            return overlaps(ScreenRect{frame.x, frame.y, std::max(frame.width, 1), std::max(frame.height, 1)}, s);
        })) {
        return own;
    }
    const ScreenRect& s = screens[primary < screens.size() ? primary : 0];
    return {bringInto(frame.x, frame.width, s.x, s.width), bringInto(frame.y, frame.height, s.y, s.height)};
}

QPoint placeOnScreen(const QRect& frame) {
    std::vector<ScreenRect> screens;
    std::size_t primary = 0;
    const QScreen* primaryScreen = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen == primaryScreen) primary = screens.size();
        const QRect g = screen->availableGeometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height()});
    }
    const ScreenPoint p = placeOnScreens({frame.x(), frame.y(), frame.width(), frame.height()}, screens, primary);
    return {p.x, p.y};
}

bool windowPlacementAllowed() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

}  // namespace qlp::linux_desktop
