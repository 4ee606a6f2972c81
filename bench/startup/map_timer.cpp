// Measures a program's start-up under X: from exec to the first map of its own
// top-level window, then its resident memory a moment later. Optionally sends a
// key to that window several times and measures how long until a program that
// the key starts has run.
//
//   startup_map_timer [options] -- program [arguments...]
//     --timeout S   give up when no window is mapped within S seconds (30)
//     --hold MS     wait this long after the map before sampling VmRSS (1000)
//     --key NAME    after the RSS sample, press the key NAME (an X keysym name,
//                   e.g. F1) through XTest, --presses times, --gap ms apart
//     --presses N   (5)   --gap MS (300)   --key-timeout MS (2000)
//     --stamp FILE  the file that the started program appends its
//                   CLOCK_MONOTONIC time to, one "seconds.nanoseconds" line a run
//
// Prints one line on stdout: "map_ms=<float> rss_kb=<int> cpu_ms=<float>"
// (cpu_ms: CPU time the program had used when its map was seen), followed by
// " key_ms=<a>,<b>,..." when --key is given ("-" for a press that started
// nothing). The window found is named on stderr, so the caller can check it,
// with the exec and map moments in CLOCK_MONOTONIC milliseconds, to line up
// with time stamps of the program's own.
//
// Start time: the child reads CLOCK_MONOTONIC right before execvp and hands it
// over through a shared page; a failed exec is reported through a close-on-exec
// pipe. Map time: CLOCK_MONOTONIC when the MapNotify is taken from the queue.
//
// Which window counts: the first MapNotify, not override-redirect, of a window
// whose _NET_WM_PID is the child's pid. Override-redirect windows (menus, tool
// tips) and windows of other processes are ignored; a window manager's frame
// carries no _NET_WM_PID of the client. Top-level windows are followed from
// their CreateNotify on, so a client window reparented into a frame still
// reports its own MapNotify; without a window manager the MapNotify of a
// top-level arrives through SubstructureNotify on the root.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double msOf(const timespec& ts) {
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void sleepMs(double ms) {
    if (ms <= 0) return;
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ms / 1e3);
    ts.tv_nsec = static_cast<long>((ms - static_cast<double>(ts.tv_sec) * 1e3) * 1e6);
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

// Windows vanish between an event and our request about them; that is no error here.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

long windowPid(Display* dpy, Window w, Atom netWmPid) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(dpy, w, netWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        data && type == XA_CARDINAL && format == 32 && count == 1) {
        pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data) XFree(data);
    return pid;
}

std::string windowName(Display* dpy, Window w) {
    const Atom netWmName = XInternAtom(dpy, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(dpy, w, netWmName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data && type == utf8 && format == 8) {
        name.assign(reinterpret_cast<char*>(data), count);
    }
    if (data) XFree(data);
    if (name.empty()) {
        char* legacy = nullptr;
        if (XFetchName(dpy, w, &legacy) && legacy) {
            name = legacy;
            XFree(legacy);
        }
    }
    return name;
}

// CPU time of all the program's threads so far, from the scheduler's own
// accounting: unlike the wall time, it hardly depends on how busy the machine is.
double cpuMs(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (!dir) return -1;
    double total = 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream in(tasks + "/" + entry->d_name + "/schedstat");
        unsigned long long ns = 0;
        if (in >> ns) total += static_cast<double>(ns) / 1e6;
    }
    closedir(dir);
    return total;
}

long vmRssKb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// The stamps written so far, in milliseconds of CLOCK_MONOTONIC.
std::vector<double> readStamps(const std::string& path) {
    std::vector<double> stamps;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const auto dot = line.find('.');
        if (dot == std::string::npos) continue;
        timespec ts{};
        ts.tv_sec = static_cast<time_t>(std::strtoll(line.c_str(), nullptr, 10));
        ts.tv_nsec = std::strtol(line.c_str() + dot + 1, nullptr, 10);
        stamps.push_back(msOf(ts));
    }
    return stamps;
}

// Ends the child: SIGTERM, then SIGKILL if it does not go within 10 s.
void endChild(pid_t pid) {
    kill(pid, SIGTERM);
    const double deadline = nowMs() + 10000;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (nowMs() > deadline) {
            std::fprintf(stderr, "map_timer: pid %d ignored SIGTERM for 10 s, killed\n", static_cast<int>(pid));
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return;
        }
        sleepMs(5);
    }
    if (WIFSIGNALED(status)) {
        std::fprintf(stderr, "map_timer: pid %d ended by signal %d\n", static_cast<int>(pid), WTERMSIG(status));
    } else if (WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "map_timer: pid %d exit status %d\n", static_cast<int>(pid), WEXITSTATUS(status));
    }
}

struct Options {
    double timeoutMs = 30000;
    double holdMs = 1000;
    std::string key;
    int presses = 5;
    double gapMs = 300;
    double keyTimeoutMs = 2000;
    std::string stamp;
    char** command = nullptr;
};

int usage() {
    std::fprintf(stderr,
                 "usage: startup_map_timer [--timeout S] [--hold MS] [--key NAME --stamp FILE [--presses N] "
                 "[--gap MS] [--key-timeout MS]] -- program [args...]\n");
    return 2;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") {
            if (i + 1 >= argc) return false;
            o.command = argv + i + 1;
            return o.key.empty() || !o.stamp.empty();
        }
        if (i + 1 >= argc) return false;
        const char* v = argv[++i];
        if (a == "--timeout") o.timeoutMs = std::atof(v) * 1e3;
        else if (a == "--hold") o.holdMs = std::atof(v);
        else if (a == "--key") o.key = v;
        else if (a == "--presses") o.presses = std::atoi(v);
        else if (a == "--gap") o.gapMs = std::atof(v);
        else if (a == "--key-timeout") o.keyTimeoutMs = std::atof(v);
        else if (a == "--stamp") o.stamp = v;
        else return false;
    }
    return false;
}

// Presses the key once per round and returns, per press, the time until the
// started program wrote its stamp, or a negative value when nothing started.
std::vector<double> measureKeys(Display* dpy, Window w, const Options& o) {
    std::vector<double> result;
    const KeySym sym = XStringToKeysym(o.key.c_str());
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(dpy, sym);
    if (code == 0) {
        std::fprintf(stderr, "map_timer: no key code for %s\n", o.key.c_str());
        return result;
    }
    int ev = 0, err = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(dpy, &ev, &err, &major, &minor)) {
        std::fprintf(stderr, "map_timer: the X server has no XTest\n");
        return result;
    }
    // Without a window manager nobody gives the new window the focus.
    XSetInputFocus(dpy, w, RevertToPointerRoot, CurrentTime);
    XSync(dpy, False);
    sleepMs(200);
    for (int i = 0; i < o.presses; ++i) {
        const std::size_t before = readStamps(o.stamp).size();
        XTestFakeKeyEvent(dpy, code, True, CurrentTime);
        const double sent = nowMs();
        XFlush(dpy);
        double latency = -1;
        const double deadline = sent + o.keyTimeoutMs;
        while (nowMs() < deadline) {
            const std::vector<double> stamps = readStamps(o.stamp);
            if (stamps.size() > before) {
                latency = stamps.back() - sent;
                break;
            }
            sleepMs(0.5);
        }
        XTestFakeKeyEvent(dpy, code, False, CurrentTime);
        XSync(dpy, False);
        result.push_back(latency);
        sleepMs(o.gapMs);
    }
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) return usage();

    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "map_timer: cannot open display\n");
        return 2;
    }
    XSetErrorHandler(ignoreXError);
    fcntl(ConnectionNumber(dpy), F_SETFD, FD_CLOEXEC);
    const Window root = DefaultRootWindow(dpy);
    const Atom netWmPid = XInternAtom(dpy, "_NET_WM_PID", False);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    // The selection is in force before the program exists.
    XSync(dpy, False);

    auto* execTime = static_cast<timespec*>(
        mmap(nullptr, sizeof(timespec), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    int failPipe[2];
    if (execTime == MAP_FAILED || pipe2(failPipe, O_CLOEXEC) != 0) {
        std::perror("map_timer");
        return 2;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("map_timer: fork");
        return 2;
    }
    if (pid == 0) {
        close(failPipe[0]);
        clock_gettime(CLOCK_MONOTONIC, execTime);
        execvp(o.command[0], o.command);
        const int e = errno;
        [[maybe_unused]] const auto n = write(failPipe[1], &e, sizeof e);
        _exit(127);
    }
    close(failPipe[1]);
    int execErrno = 0;
    if (read(failPipe[0], &execErrno, sizeof execErrno) == static_cast<ssize_t>(sizeof execErrno)) {
        std::fprintf(stderr, "map_timer: cannot exec %s: %s\n", o.command[0], std::strerror(execErrno));
        waitpid(pid, nullptr, 0);
        return 3;
    }
    close(failPipe[0]);
    const double start = msOf(*execTime);

    Window found = None;
    double mapped = 0;
    const double deadline = start + o.timeoutMs;
    while (found == None) {
        while (found == None && XPending(dpy) > 0) {
            XEvent e;
            XNextEvent(dpy, &e);
            const double at = nowMs();
            if (e.type == CreateNotify && e.xcreatewindow.parent == root && !e.xcreatewindow.override_redirect) {
                XSelectInput(dpy, e.xcreatewindow.window, StructureNotifyMask);
            } else if (e.type == MapNotify && !e.xmap.override_redirect &&
                       windowPid(dpy, e.xmap.window, netWmPid) == static_cast<long>(pid)) {
                found = e.xmap.window;
                mapped = at;
            }
        }
        if (found != None) break;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "map_timer: %s ended before mapping a window (status 0x%x)\n", o.command[0], status);
            return 4;
        }
        if (nowMs() > deadline) {
            std::fprintf(stderr, "map_timer: no window of %s mapped within %.0f s\n", o.command[0], o.timeoutMs / 1e3);
            endChild(pid);
            return 5;
        }
        pollfd p{ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, 20);
    }
    const double cpu = cpuMs(pid);
    std::fprintf(stderr, "map_timer: window 0x%lx \"%s\" of pid %d, exec at %.3f ms, mapped at %.3f ms\n", found,
                 windowName(dpy, found).c_str(), static_cast<int>(pid), start, mapped);

    sleepMs(mapped + o.holdMs - nowMs());
    const long rss = vmRssKb(pid);
    if (rss < 0) {
        std::fprintf(stderr, "map_timer: %s ended within %.0f ms of its map\n", o.command[0], o.holdMs);
        waitpid(pid, nullptr, 0);
        return 4;
    }
    std::string keys;
    if (!o.key.empty()) {
        for (double k : measureKeys(dpy, found, o)) {
            char buffer[32];
            if (k < 0) std::snprintf(buffer, sizeof buffer, "-");
            else std::snprintf(buffer, sizeof buffer, "%.3f", k);
            keys += (keys.empty() ? " key_ms=" : ",") + std::string(buffer);
        }
        if (keys.empty()) keys = " key_ms=";
    }
    endChild(pid);
    std::printf("map_ms=%.3f rss_kb=%ld cpu_ms=%.3f%s\n", mapped - start, rss, cpu, keys.c_str());
    XCloseDisplay(dpy);
    return 0;
}
