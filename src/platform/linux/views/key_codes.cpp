#include "platform/linux/views/key_codes.h"

#include <QKeyEvent>

namespace qlp::linux_desktop {

namespace {

// X11 and Wayland report xkb key codes, the evdev code plus 8: the digit row
// of the main keyboard is 10 ("1") to 19 ("0") whatever the layout.
constexpr quint32 kXkbDigit1 = 10;
constexpr quint32 kXkbDigit0 = 19;
// Keysyms of the right-hand logo and meta keys: Qt reports both logo keys as
// Key_Meta, and only the keysym tells the right one from the left.
constexpr quint32 kXkSuperR = 0xffec;
constexpr quint32 kXkMetaR = 0xffe8;

}  // namespace

int virtualKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 112 + (key - Qt::Key_F1);
    // Keypad digits have codes of their own on the Windows desktop.
    if (key >= Qt::Key_0 && key <= Qt::Key_9 && !keypad) return 48 + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 65 + (key - Qt::Key_A);
    switch (key) {
        case Qt::Key_Super_L:
            return 91;
        case Qt::Key_Meta: {
            const quint32 keysym = event.nativeVirtualKey();
            return keysym == kXkSuperR || keysym == kXkMetaR ? 92 : 91;
        }
        case Qt::Key_Super_R:
            return 92;
        case Qt::Key_Menu:
            return 93;
        default:
            break;
    }
    // The digit keys keep their code with shift held, or on layouts whose
    // digit row types other characters, as the key map expects.
    const quint32 scan = event.nativeScanCode();
    if (!keypad && scan >= kXkbDigit1 && scan <= kXkbDigit0) {
        return scan == kXkbDigit0 ? 48 : 48 + static_cast<int>(scan - kXkbDigit1) + 1;
    }
    return 0;
}

int shiftState(const QKeyEvent& event) {
    const auto m = event.modifiers();
    return ((m & Qt::ShiftModifier) ? 1 : 0) | ((m & Qt::ControlModifier) ? 2 : 0) | ((m & Qt::AltModifier) ? 4 : 0);
}

}  // namespace qlp::linux_desktop
