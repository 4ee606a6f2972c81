#include "platform/linux/description_dialog_view.h"

#include "platform/linux/desktop.h"

namespace qlp::linux_desktop {

DescriptionDialogView::DescriptionDialogView(Desktop& desktop) : desktop_(desktop) {}
DescriptionDialogView::~DescriptionDialogView() = default;
void DescriptionDialogView::render() {}

}  // namespace qlp::linux_desktop
