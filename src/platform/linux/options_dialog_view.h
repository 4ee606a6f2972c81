#pragma once
// The options dialog Form2.

#include <memory>

namespace qlp::linux_desktop {

class Desktop;

class OptionsDialogView {
public:
    explicit OptionsDialogView(Desktop& desktop);
    ~OptionsDialogView();
    void render();

private:
    Desktop& desktop_;
};

}  // namespace qlp::linux_desktop
