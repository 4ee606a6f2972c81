// Starting programs and opening files.
#include "platform/linux/linux_platform.h"

namespace qlp::linux_desktop {

void LinuxPlatform::ShellExecuteA(HWND, std::string_view, const std::string&, const char*, const std::string&, int) {}
bool LinuxPlatform::Shell(const std::string&, int) { return false; }

}  // namespace qlp::linux_desktop
