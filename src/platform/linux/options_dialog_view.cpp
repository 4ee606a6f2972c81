#include "platform/linux/options_dialog_view.h"

#include "platform/linux/desktop.h"

namespace qlp::linux_desktop {

OptionsDialogView::OptionsDialogView(Desktop& desktop) : desktop_(desktop) {}
OptionsDialogView::~OptionsDialogView() = default;
void OptionsDialogView::render() {}

}  // namespace qlp::linux_desktop
