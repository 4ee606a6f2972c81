#include "platform/linux/instance_lock.h"

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

}  // namespace

InstanceLock::InstanceLock(const std::string& fallbackDir) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    // Only a directory of the user's own: a shared one would let others block us.
    path_ = (isPrivateDirectory(runtime) ? std::string(runtime) : fallbackDir) + "/quillop.lock";
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) return;  // no lock to be had: run rather than refuse to start
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        heldElsewhere_ = errno == EWOULDBLOCK;
        ::close(fd_);
        fd_ = -1;
        break;
    }
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace qlp::linux_desktop
