#pragma once
// The Linux desktop realisation as a whole: the widgets of the three windows
// and the tray icon. Every event goes through dispatch(), which runs one
// handler of the core and then brings the widgets in line with the state.

#include <cmath>
#include <memory>
#include <utility>

#include <QRect>

#include "model/launcher.h"

class QTranslator;

namespace qlp::linux_desktop {

class LinuxPlatform;
class MainWindow;
class OptionsDialogView;
class DescriptionDialogView;
class TrayView;

class Desktop {
public:
    Desktop(Launcher& app, LinuxPlatform& platform);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    Launcher& app() { return app_; }
    LinuxPlatform& platform() { return platform_; }

    template <class Handler>
    void dispatch(Handler&& handler) {
        if (app_.ended) return;
        // No handler sees a slot whose start-up picture is still to come.
        if (!app_.pendingIcons.empty()) drawPendingIcons();
        std::forward<Handler>(handler)();
        render();
    }

    // Brings every widget in line with the state.
    void render();

    // The system closes the window (signal, end of the session): the full
    // shutdown, once.
    void closeBySystem();

    MainWindow& mainWindow() { return *main_; }
    // The dialogs' widgets are made when they are first shown (or asked for),
    // so that start-up does not wait for them.
    OptionsDialogView& options();
    DescriptionDialogView& descriptions();
    TrayView& tray() { return *tray_; }

    float twipsPerPixelX() const { return tppX_; }
    float twipsPerPixelY() const { return tppY_; }
    int px(float twips) const { return static_cast<int>(std::lround(twips / tppX_)); }
    int pxY(float twips) const { return static_cast<int>(std::lround(twips / tppY_)); }
    float twipsX(int pixels) const { return static_cast<float>(pixels) * tppX_; }
    float twipsY(int pixels) const { return static_cast<float>(pixels) * tppY_; }
    // A control's place in pixels. The right and bottom edges are rounded on
    // their own, so neighbours meet without gaps.
    QRect pixelRect(const Control& c) const;

private:
    void startAfterShown();
    void drawPendingIcons();
    void drawPendingPage();

    Launcher& app_;
    LinuxPlatform& platform_;
    float tppX_ = 15;
    float tppY_ = 15;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<OptionsDialogView> options_;
    std::unique_ptr<DescriptionDialogView> descriptions_;
    std::unique_ptr<TrayView> tray_;
    // Qt's own texts in Japanese, once the window is on the screen.
    std::unique_ptr<QTranslator> qtTexts_;
    bool rendering_ = false;
    bool started_ = false;
};

// 1440 / the primary screen's logical DPI.
float screenTwipsPerPixelX();
float screenTwipsPerPixelY();

}  // namespace qlp::linux_desktop
