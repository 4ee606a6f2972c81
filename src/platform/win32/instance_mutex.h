#pragma once
// The single-instance rule: a named mutex in the user's session.

#include <windows.h>

namespace qlp::win32 {

class InstanceMutex {
public:
    // `name` for tests; the launcher's own otherwise.
    explicit InstanceMutex(const wchar_t* name = L"Local\\Quillop.Instance");
    ~InstanceMutex();
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;
    // Whether another process held it when this one asked.
    bool heldElsewhere() const { return heldElsewhere_; }

private:
    HANDLE handle_ = nullptr;
    bool heldElsewhere_ = false;
};

}  // namespace qlp::win32
