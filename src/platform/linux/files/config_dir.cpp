#include "platform/linux/files/config_dir.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace qlp::linux_desktop {

namespace {

std::string homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

void makeDirectories(const std::string& path, mode_t mode) {
    for (std::size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos == path.size() || path[pos] == '/') {
            const std::string part = path.substr(0, pos);
            if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return;
        }
    }
}

}  // namespace

std::string perUserDirectory() {
    std::string base;
    // The XDG rules: a relative XDG_CONFIG_HOME is invalid and ignored.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        base = homeDirectory() + "/.config";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    const std::string dir = base + "/quillop";
    makeDirectories(base, 0700);
    ::mkdir(dir.c_str(), 0700);
    return dir;
}

}  // namespace qlp::linux_desktop
