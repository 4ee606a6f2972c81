#include "platform/linux/files/file_read.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace qlp::linux_desktop {

FileIdentity identityOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
            static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
}

std::optional<FileIdentity> regularFileIdentity(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return identityOf(st);
}

bool readWhole(const std::string& path, std::string& bytes, FileIdentity& identity, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) <= limit;
    if (ok) {
        bytes.clear();
        bytes.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n == 0) break;
            if (n < 0) {
                if (errno == EINTR) continue;
                ok = false;
                break;
            }
            bytes.append(buffer, static_cast<std::size_t>(n));
            // Grown while being read.
            if (bytes.size() > limit) {
                ok = false;
                break;
            }
        }
    }
    // The identity after the read: a change while reading shows at the next look.
    ok = ok && ::fstat(fd, &st) == 0;
    ::close(fd);
    if (ok) identity = identityOf(st);
    return ok;
}

}  // namespace qlp::linux_desktop
