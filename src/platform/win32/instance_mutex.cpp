#include "platform/win32/instance_mutex.h"

namespace qlp::win32 {

InstanceMutex::InstanceMutex(const wchar_t* name) {
    handle_ = ::CreateMutexW(nullptr, FALSE, name);
    // The mutex lives as long as any instance holding a handle to it, so an
    // instance that crashed leaves no stale lock behind.
    heldElsewhere_ = handle_ != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS;
}

InstanceMutex::~InstanceMutex() {
    if (handle_) ::CloseHandle(handle_);
}

}  // namespace qlp::win32
