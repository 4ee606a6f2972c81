#include "platform/linux/key_codes.h"

#include <QKeyEvent>

namespace qlp::linux_desktop {

int virtualKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 112 + (key - Qt::Key_F1);
    // Keypad digits have codes of their own on the Windows desktop.
    if (key >= Qt::Key_0 && key <= Qt::Key_9 && !(event.modifiers() & Qt::KeypadModifier)) return 48 + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 65 + (key - Qt::Key_A);
    switch (key) {
        case Qt::Key_Super_L:
        case Qt::Key_Meta: return 91;
        case Qt::Key_Super_R: return 92;
        case Qt::Key_Menu: return 93;
        default: return 0;
    }
}

int shiftState(const QKeyEvent& event) {
    const auto m = event.modifiers();
    return ((m & Qt::ShiftModifier) ? 1 : 0) | ((m & Qt::ControlModifier) ? 2 : 0) | ((m & Qt::AltModifier) ? 4 : 0);
}

}  // namespace qlp::linux_desktop
