#include "platform/linux/views/desktop.h"

#include <QGuiApplication>
#include <QIcon>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include "app/startup.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/views/accessibility.h"
#include "platform/linux/views/description_dialog_view.h"
#include "platform/linux/views/main_window.h"
#include "platform/linux/views/options_dialog_view.h"
#include "platform/linux/views/qt_texts.h"
#include "platform/linux/views/tray_view.h"
#include "platform/linux/views/window_stacking.h"
#include "slots/icon_picture.h"

namespace qlp::linux_desktop {

float screenTwipsPerPixelX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return static_cast<float>(1440.0 / (dpi > 0 ? dpi : 96.0));
}

float screenTwipsPerPixelY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return static_cast<float>(1440.0 / (dpi > 0 ? dpi : 96.0));
}

Desktop::Desktop(Launcher& app, LinuxPlatform& platform)
    : app_(app), platform_(platform), tppX_(screenTwipsPerPixelX()), tppY_(screenTwipsPerPixelY()) {
    platform_.attach(this);
    installAccessibleInterfaces();
    main_ = std::make_unique<MainWindow>(*this);
    tray_ = std::make_unique<TrayView>(*this);
}

Desktop::~Desktop() { platform_.attach(nullptr); }

void Desktop::render() {
    // A handler may run inside another's modal wait; the outer one renders again.
    if (rendering_) return;
    const QScopedValueRollback rendering(rendering_, true);
    main_->render();
    if (!started_ && main_->isVisible()) {
        started_ = true;
        // What the first sight of the window does not need comes once it is on the screen.
        QTimer::singleShot(0, main_.get(), [this] { startAfterShown(); });
    }
    if (options_ || app_.form2.visible) options().render();
    if (descriptions_ || app_.form3.visible) descriptions().render();
}

QRect Desktop::pixelRect(const Control& c) const {
    const int l = px(c.left);
    const int t = pxY(c.top);
    const int r = px(c.left + c.width);
    const int b = pxY(c.top + c.height);
    return QRect(l, t, r - l, b - t);
}

void Desktop::startAfterShown() {
    // WORKAROUND: Qt leaves the map request in Xlib's buffer until its event
    // loop next waits; sent now, the window maps before the work below.
    flushToWindowSystem();
    qtTexts_ = loadQtJapaneseTexts({});
    tray_->start();
    main_->setWindowIcon(QIcon(QStringLiteral(":/quillop/icons/quillop-shown-32.png")));
    drawPendingPage();
}

void Desktop::drawPendingPage() {
    // The pictures of the pages not in front, a page at a time, so the window
    // paints and answers in between; any event draws the rest first.
    if (app_.pendingIcons.empty() || app_.ended) return;
    qlp::drawPendingIcons(app_, pageOfSlot(app_.pendingIcons.front()));
    render();
    if (!app_.pendingIcons.empty()) QTimer::singleShot(0, main_.get(), [this] { drawPendingPage(); });
}

void Desktop::drawPendingIcons() { qlp::drawPendingIcons(app_); }

OptionsDialogView& Desktop::options() {
    if (!options_) {
        options_ = std::make_unique<OptionsDialogView>(*this);
        options_->render();
    }
    return *options_;
}

DescriptionDialogView& Desktop::descriptions() {
    if (!descriptions_) {
        descriptions_ = std::make_unique<DescriptionDialogView>(*this);
        descriptions_->render();
    }
    return *descriptions_;
}

void Desktop::closeBySystem() {
    dispatch([this] {
        std::int16_t cancel = 0;
        Form_Unload(app_, cancel);
    });
}

}  // namespace qlp::linux_desktop
