#pragma once
// The description dialog Form3.

#include <memory>

namespace qlp::linux_desktop {

class Desktop;

class DescriptionDialogView {
public:
    explicit DescriptionDialogView(Desktop& desktop);
    ~DescriptionDialogView();
    void render();

private:
    Desktop& desktop_;
};

}  // namespace qlp::linux_desktop
