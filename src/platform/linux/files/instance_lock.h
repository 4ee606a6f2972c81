#pragma once
// The single-instance lock: held by the running launcher for as long as its
// process lives, so a crashed or killed instance never blocks the next start.

#include <string>

namespace qlp::linux_desktop {

class InstanceLock {
public:
    // Takes the lock in $XDG_RUNTIME_DIR, else in `fallbackDir`.
    InstanceLock(const std::string& fallbackDir);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when another process holds the lock, or something at the lock
    // path (a directory with files in it) keeps it from being taken.
    bool heldElsewhere() const { return heldElsewhere_; }
    const std::string& path() const { return path_; }

private:
    int fd_ = -1;
    bool heldElsewhere_ = false;
    std::string path_;
};

}  // namespace qlp::linux_desktop
