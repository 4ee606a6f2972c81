#pragma once
// Always-on-top and activation of the main window through the X11 window
// manager (_NET_WM_STATE_ABOVE, _NET_ACTIVE_WINDOW).
// WORKAROUND: Qt's own stays-on-top flag re-creates the native window (it is
// unmapped and mapped again), so it is never touched; and window managers
// forget the above state when the window is withdrawn, so it is asked again at
// each map. On other platforms (Wayland, offscreen) nothing can keep a window
// on top and the requests do nothing.

#include <optional>

#include <QAbstractNativeEventFilter>

class QWidget;

namespace qlp::linux_desktop {

class WindowStacking : public QAbstractNativeEventFilter {
public:
    explicit WindowStacking(QWidget& window);
    ~WindowStacking() override;
    WindowStacking(const WindowStacking&) = delete;
    WindowStacking& operator=(const WindowStacking&) = delete;

    // False where the platform has no such request.
    bool setAbove(bool above);
    bool activate();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    bool isX11() const;
    void sendAbove(bool above);
    void writeAboveProperty(bool above);
    void sendActivation();

    QWidget& window_;
    // The last request: the window manager forgets the state when the window
    // is withdrawn, so it is asked again each time the window is mapped.
    std::optional<bool> above_;
    bool mapped_ = false;
    bool activationPending_ = false;
};

// Sends what the window system has been asked so far (on X11), so that a window
// just shown is mapped before the work that follows.
void flushToWindowSystem();

}  // namespace qlp::linux_desktop
