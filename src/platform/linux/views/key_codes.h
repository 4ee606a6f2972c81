#pragma once
// Qt key events as the virtual-key codes the key map speaks.

class QKeyEvent;

namespace qlp::linux_desktop {

// The virtual-key code of a key event, or 0 for keys without one of ours.
int virtualKeyCode(const QKeyEvent& event);
// Shift state as a bit set: 1 shift, 2 control, 4 alt.
int shiftState(const QKeyEvent& event);

}  // namespace qlp::linux_desktop
