#include "platform/win32/dialog_views.h"

#include "platform/win32/desktop.h"
#include "platform/win32/main_window.h"

namespace qlp::win32 {

DialogViews::DialogViews(Desktop& desktop) : desktop_(desktop) {
    // The system's message font at 9 points for the monitor's DPI: the
    // captions are laid out for it, whatever size the user's desktop uses.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) font = metrics.lfMessageFont;
    font.lfHeight = -MulDiv(9, static_cast<int>(windowDpi(desktop_.mainWindow().handle())), 72);
    font.lfWidth = 0;
    font_ = CreateFontIndirectW(&font);
    options_ = std::make_unique<OptionsDialog>(*this);
    descriptions_ = std::make_unique<DescriptionDialog>(*this);
}

DialogViews::~DialogViews() {
    descriptions_.reset();
    options_.reset();
    if (font_) DeleteObject(font_);
}

void DialogViews::render() {
    options_->render();
    descriptions_->render();
}

bool DialogViews::isDialogMessage(MSG& msg) {
    return descriptions_->isDialogMessage(msg) || options_->isDialogMessage(msg);
}

Launcher& DialogViews::app() { return desktop_.app(); }

void DialogViews::dispatch(const std::function<void()>& handler) { desktop_.dispatch(handler); }

int DialogViews::px(float twips) const { return desktop_.px(twips); }

int DialogViews::pxY(float twips) const { return desktop_.pxY(twips); }

::HWND DialogViews::mainWindow() const { return desktop_.mainWindow().handle(); }

::HINSTANCE DialogViews::instance() const { return desktop_.instance(); }

}  // namespace qlp::win32
