// Drops files at a point of the screen through the X drag-and-drop protocol
// (XDND), as a file manager's drag ends there: enter and position to the
// window under the point, the file list handed over as text/uri-list when the
// target asks for it, and the drop only once the target has answered the
// position. A drag carried by the pointer cannot promise that: a source sends
// no new position while the last one is unanswered, so a drop under a busy
// target may land where the pointer was a moment before.
//
//   x11_drop X Y FILE...     prints and exits with: "dropped" 0, "refused" 1, "no answer" 2
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <sys/select.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr long kXdndVersion = 5;

struct Atoms {
    Atom aware, selection, enter, position, status, drop, finished, leave, copy, uriList;
};

Atoms internAtoms(Display* d) {
    auto a = [d](const char* name) { return XInternAtom(d, name, False); };
    return {a("XdndAware"), a("XdndSelection"), a("XdndEnter"), a("XdndPosition"),   a("XdndStatus"),
            a("XdndDrop"),  a("XdndFinished"),  a("XdndLeave"), a("XdndActionCopy"), a("text/uri-list")};
}

// The XDND version a window speaks, or 0 when it takes no drops.
long awareVersion(Display* d, Window w, Atom aware) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long version = 0;
    if (XGetWindowProperty(d, w, aware, 0, 1, False, AnyPropertyType, &type, &format, &count, &after, &data) ==
            Success &&
        type != None && count == 1 && format == 32) {
        version = *reinterpret_cast<long*>(data);
    }
    if (data) XFree(data);
    return version;
}

// The outermost window under the point that takes drops, as a drag source finds it.
Window targetAt(Display* d, int x, int y, Atom aware, long* version) {
    const Window root = DefaultRootWindow(d);
    Window w = root, child = None;
    int lx = x, ly = y;
    while (XTranslateCoordinates(d, root, w, x, y, &lx, &ly, &child) && child != None) {
        w = child;
        if ((*version = awareVersion(d, w, aware)) > 0) return w;
    }
    return None;
}

std::string fileUri(const char* path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const unsigned char c : std::string(path)) {
        if (std::isalnum(c) || std::strchr("/-._~", c)) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

void sendMessage(Display* d, Window target, Atom type, long l0, long l1, long l2, long l3, long l4) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = target;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = l0;
    e.xclient.data.l[1] = l1;
    e.xclient.data.l[2] = l2;
    e.xclient.data.l[3] = l3;
    e.xclient.data.l[4] = l4;
    XSendEvent(d, target, False, NoEventMask, &e);
    XFlush(d);
}

// Hands the file list to whoever asks for it while the drag lasts.
void answerRequest(Display* d, const XSelectionRequestEvent& r, const Atoms& atoms, const std::string& uris) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = r.requestor;
    reply.xselection.selection = r.selection;
    reply.xselection.target = r.target;
    reply.xselection.time = r.time;
    reply.xselection.property = None;
    const Atom property = r.property != None ? r.property : r.target;
    if (r.target == atoms.uriList) {
        XChangeProperty(d, r.requestor, property, atoms.uriList, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(uris.data()), static_cast<int>(uris.size()));
        reply.xselection.property = property;
    } else if (r.target == XInternAtom(d, "TARGETS", False)) {
        const Atom targets[] = {atoms.uriList};
        XChangeProperty(d, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(targets), 1);
        reply.xselection.property = property;
    }
    XSendEvent(d, r.requestor, False, NoEventMask, &reply);
    XFlush(d);
}

bool nextEvent(Display* d, XEvent* e, std::chrono::steady_clock::time_point deadline) {
    while (!XPending(d)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        timeval tv{static_cast<time_t>(left.count() / 1000000), static_cast<suseconds_t>(left.count() % 1000000)};
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(d), &fds);
        select(ConnectionNumber(d) + 1, &fds, nullptr, nullptr, &tv);
    }
    XNextEvent(d, e);
    return true;
}

int finish(const char* word, int code) {
    std::printf("%s\n", word);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s X Y FILE...\n", argv[0]);
        return 2;
    }
    const int x = std::atoi(argv[1]);
    const int y = std::atoi(argv[2]);
    std::string uris;
    for (int i = 3; i < argc; ++i) uris += fileUri(argv[i]) + "\r\n";

    Display* d = XOpenDisplay(nullptr);
    if (!d) return finish("no display", 2);
    const Atoms atoms = internAtoms(d);
    const Window source = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(d, atoms.selection, source, CurrentTime);
    long version = 0;
    const Window target = targetAt(d, x, y, atoms.aware, &version);
    if (target == None) return finish("refused", 1);
    version = version < kXdndVersion ? version : kXdndVersion;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    sendMessage(d, target, atoms.enter, static_cast<long>(source), version << 24, static_cast<long>(atoms.uriList), 0,
                0);
    sendMessage(d, target, atoms.position, static_cast<long>(source), 0, (static_cast<long>(x) << 16) | y, CurrentTime,
                static_cast<long>(atoms.copy));
    bool dropped = false;
    XEvent e;
    while (nextEvent(d, &e, deadline)) {
        if (e.type == SelectionRequest) {
            answerRequest(d, e.xselectionrequest, atoms, uris);
        } else if (e.type == ClientMessage && e.xclient.message_type == atoms.status && !dropped) {
            if (!(e.xclient.data.l[1] & 1)) {
                sendMessage(d, target, atoms.leave, static_cast<long>(source), 0, 0, 0, 0);
                return finish("refused", 1);
            }
            sendMessage(d, target, atoms.drop, static_cast<long>(source), 0, CurrentTime, 0, 0);
            dropped = true;
        } else if (e.type == ClientMessage && e.xclient.message_type == atoms.finished) {
            // Before version 5 the target does not say whether it took the drop.
            const bool taken = version < 5 || (e.xclient.data.l[1] & 1);
            return taken ? finish("dropped", 0) : finish("refused", 1);
        }
    }
    return finish("no answer", 2);
}
