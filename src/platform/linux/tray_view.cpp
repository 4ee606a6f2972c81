#include "platform/linux/tray_view.h"

#include "platform/linux/desktop.h"

namespace qlp::linux_desktop {

TrayView::TrayView(Desktop& desktop) : desktop_(desktop) {}
TrayView::~TrayView() = default;
bool TrayView::notify(NotifyMessage, const NotifyIconData&) { return false; }

}  // namespace qlp::linux_desktop
