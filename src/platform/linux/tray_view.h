#pragma once
// The notification-area icon.

#include "platform/platform_ops.h"

namespace qlp::linux_desktop {

class Desktop;

class TrayView {
public:
    explicit TrayView(Desktop& desktop);
    ~TrayView();
    bool notify(NotifyMessage message, const NotifyIconData& data);

private:
    Desktop& desktop_;
};

}  // namespace qlp::linux_desktop
