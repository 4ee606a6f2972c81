#pragma once
// The options dialog and the description dialog of the running launcher:
// their view host over the realisation's Desktop.

#include <windows.h>

#include <memory>

#include "platform/win32/description_dialog.h"
#include "platform/win32/options_dialog.h"
#include "platform/win32/view_host.h"

namespace qlp::win32 {

class Desktop;

class DialogViews : public ViewHost {
public:
    explicit DialogViews(Desktop& desktop);
    ~DialogViews() override;

    void render();
    // For the message loop: keyboard navigation inside a dialog.
    bool isDialogMessage(MSG& msg);

    Launcher& app() override;
    void dispatch(const std::function<void()>& handler) override;
    int px(float twips) const override;
    int pxY(float twips) const override;
    ::HWND mainWindow() const override;
    ::HINSTANCE instance() const override;
    HFONT dialogFont() const override { return font_; }

    OptionsDialog& options() { return *options_; }
    DescriptionDialog& descriptions() { return *descriptions_; }

private:
    Desktop& desktop_;
    HFONT font_ = nullptr;
    std::unique_ptr<OptionsDialog> options_;
    std::unique_ptr<DescriptionDialog> descriptions_;
};

}  // namespace qlp::win32
