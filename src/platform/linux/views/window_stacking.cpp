#include "platform/linux/views/window_stacking.h"

#include <algorithm>
#include <vector>

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

// Xlib's macros (None, Bool, Status ...) clash with Qt's names: it comes last.
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <xcb/xcb.h>
// clang-format on

namespace qlp::linux_desktop {

namespace {

inline constexpr long kNetWmStateRemove = 0;
inline constexpr long kNetWmStateAdd = 1;
inline constexpr long kSourceApplication = 1;

Display* x11Display() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

Atom atom(Display* display, const char* name) { return XInternAtom(display, name, False); }

void sendToRoot(Display* display, Window window, Atom type, long l0, long l1, long l2, long l3) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
}

}  // namespace

void flushToWindowSystem() {
    // Qt's connection to the X server is Xlib's, so Xlib's flush sends its requests too.
    if (Display* display = x11Display()) XFlush(display);
}

WindowStacking::WindowStacking(QWidget& window) : window_(window) {
    if (isX11()) qGuiApp->installNativeEventFilter(this);
}

WindowStacking::~WindowStacking() {
    if (qGuiApp) qGuiApp->removeNativeEventFilter(this);
}

bool WindowStacking::isX11() const { return x11Display() != nullptr; }

bool WindowStacking::setAbove(bool above) {
    above_ = above;
    if (!isX11()) return false;
    if (mapped_) {
        sendAbove(above);
    } else {
        // Read by the window manager when it maps the window; Qt merges its own
        // states into the property rather than replacing it.
        writeAboveProperty(above);
    }
    return true;
}

bool WindowStacking::activate() {
    if (!isX11()) return false;
    if (mapped_) {
        sendActivation();
    } else {
        activationPending_ = true;
    }
    return true;
}

void WindowStacking::sendAbove(bool above) {
    Display* display = x11Display();
    sendToRoot(display, static_cast<Window>(window_.winId()), atom(display, "_NET_WM_STATE"),
               above ? kNetWmStateAdd : kNetWmStateRemove, static_cast<long>(atom(display, "_NET_WM_STATE_ABOVE")), 0,
               kSourceApplication);
}

void WindowStacking::writeAboveProperty(bool above) {
    Display* display = x11Display();
    const Window window = static_cast<Window>(window_.winId());
    const Atom state = atom(display, "_NET_WM_STATE");
    const Atom aboveAtom = atom(display, "_NET_WM_STATE_ABOVE");
    std::vector<Atom> atoms;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, state, 0, 1024, False, XA_ATOM, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        if (type == XA_ATOM && format == 32) {
            const auto* values = reinterpret_cast<const Atom*>(data);
            atoms.assign(values, values + count);
        }
        XFree(data);
    }
    atoms.erase(std::remove(atoms.begin(), atoms.end(), aboveAtom), atoms.end());
    if (above) atoms.push_back(aboveAtom);
    if (atoms.empty()) {
        XDeleteProperty(display, window, state);
    } else {
        XChangeProperty(display, window, state, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
    }
    XFlush(display);
}

void WindowStacking::sendActivation() {
    Display* display = x11Display();
    sendToRoot(display, static_cast<Window>(window_.winId()), atom(display, "_NET_ACTIVE_WINDOW"), kSourceApplication,
               CurrentTime, 0, 0);
    activationPending_ = false;
}

bool WindowStacking::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !window_.internalWinId()) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const auto window = static_cast<xcb_window_t>(window_.internalWinId());
    switch (event->response_type & 0x7f) {
        case XCB_MAP_NOTIFY:
            if (reinterpret_cast<const xcb_map_notify_event_t*>(event)->window != window) break;
            mapped_ = true;
            // The window manager has taken the window in: now it listens to requests.
            if (above_) sendAbove(*above_);
            if (activationPending_) sendActivation();
            break;
        case XCB_UNMAP_NOTIFY:
            if (reinterpret_cast<const xcb_unmap_notify_event_t*>(event)->window == window) mapped_ = false;
            break;
        default:
            break;
    }
    return false;
}

}  // namespace qlp::linux_desktop
