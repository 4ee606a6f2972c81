#include "platform/linux/files/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace qlp::linux_desktop {

namespace {

bool isPrivateDirectory(const char* dir) {
    struct stat st {};
    return dir && *dir && ::stat(dir, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 0077) == 0;
}

// Puts a new empty file where something that can't be locked stands (a
// symbolic link, a FIFO, a socket): made beside it and renamed over it, so
// a link is replaced and never followed. An empty directory is removed; one
// with something in it stays, and then no lock can be had.
bool clearObstacle(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
    if (S_ISDIR(st.st_mode)) return ::rmdir(path.c_str()) == 0;
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    if (::rename(temp.c_str(), path.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

}  // namespace

InstanceLock::InstanceLock(const std::string& fallbackDir) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    // Only a directory of the user's own: a shared one would let others block us.
    path_ = (isPrivateDirectory(runtime) ? std::string(runtime) : fallbackDir) + "/quillop.lock";
    // Another start may replace what stands at the path at the same time:
    // the lock counts only on the file that is still there once it is held.
    for (int attempt = 0; attempt < 16; ++attempt) {
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
        struct stat st {};
        if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(fd_);
            fd_ = -1;
            errno = ELOOP;
        }
        if (fd_ < 0) {
            if (errno != ELOOP && errno != EISDIR && errno != ENXIO && errno != EOPNOTSUPP) {
                return;  // no lock to be had (a read-only folder, say): run rather than refuse to start
            }
            if (!clearObstacle(path_)) break;
            continue;
        }
        int locked;
        while ((locked = ::flock(fd_, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (locked != 0) {
            heldElsewhere_ = errno == EWOULDBLOCK;
            ::close(fd_);
            fd_ = -1;
            return;
        }
        struct stat now {};
        if (::lstat(path_.c_str(), &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino) return;
        ::close(fd_);
        fd_ = -1;
    }
    // Whatever stands there can't be made a lock: refused, as a second
    // instance must never run beside the first.
    heldElsewhere_ = true;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace qlp::linux_desktop
