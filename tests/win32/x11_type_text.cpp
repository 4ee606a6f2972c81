// Types text into the focused X window through XTest, one character at a
// time, for programs that read the keyboard map when they take the event
// (Wine does): a character that no key gives unshifted gets a spare keycode
// of its own, mapped well before its key is pressed and never changed again,
// so the program never sees a keycode whose symbol changes under it. (A
// server has only a dozen or so spare keycodes, and Wine finds virtual keys
// for no more than about eight new symbols, so the texts typed keep few
// characters beyond the keyboard's own. The map is left as it is for the
// private display the test runs on.)
//
//   x11_type_text TEXT     (UTF-8)
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<unsigned> codePoints(const std::string& s) {
    std::vector<unsigned> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        unsigned v = n == 1 ? c : c & (0xFF >> (n + 1));
        for (int k = 1; k < n && i + k < s.size(); ++k) v = (v << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(v);
        i += n;
    }
    return out;
}

KeySym keysymOf(unsigned cp) {
    if (cp >= 0x20 && cp < 0x7F) return cp;  // Latin-1 keysyms equal the code point
    return 0x01000000 | cp;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: x11_type_text TEXT\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "x11_type_text: no display\n");
        return 1;
    }
    int low = 0, high = 0;
    XDisplayKeycodes(d, &low, &high);
    int perCode = 0;
    KeySym* map = XGetKeyboardMapping(d, static_cast<KeyCode>(low), high - low + 1, &perCode);
    // A keycode without symbols may still be a modifier (or a lock) of the
    // server: pressing it would change the state of every key after it.
    XModifierKeymap* modifiers = XGetModifierMapping(d);
    auto isModifier = [&](int k) {
        for (int i = 0; i < 8 * modifiers->max_keypermod; ++i) {
            if (modifiers->modifiermap[i] == k) return true;
        }
        return false;
    };
    std::vector<int> spare;
    for (int k = high; k >= low; --k) {
        if (isModifier(k)) continue;
        bool empty = true;
        for (int j = 0; j < perCode; ++j) empty = empty && map[(k - low) * perCode + j] == NoSymbol;
        if (empty) spare.push_back(k);
    }
    XFree(map);
    XFreeModifiermap(modifiers);
    const std::vector<unsigned> text = codePoints(argv[1]);
    for (unsigned cp : text) {
        const KeySym sym = keysymOf(cp);
        // A key that gives the character unshifted is pressed as it is; any
        // other character gets a spare keycode of its own for good.
        int code = XKeysymToKeycode(d, sym);
        if (code == 0 || XkbKeycodeToKeysym(d, static_cast<KeyCode>(code), 0, 0) != sym) {
            if (spare.empty()) {
                std::fprintf(stderr, "x11_type_text: no spare keycode left\n");
                return 1;
            }
            code = spare.back();
            spare.pop_back();
            KeySym syms[2] = {sym, sym};
            XChangeKeyboardMapping(d, code, 2, syms, 1);
            XSync(d, False);
            // Long enough for the program to have read the new map before the key comes.
            usleep(300000);
        }
        XTestFakeKeyEvent(d, static_cast<unsigned>(code), True, CurrentTime);
        XTestFakeKeyEvent(d, static_cast<unsigned>(code), False, CurrentTime);
        XSync(d, False);
        usleep(100000);
    }
    XCloseDisplay(d);
    return 0;
}
