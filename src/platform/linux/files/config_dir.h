#pragma once

#include <string>

namespace qlp::linux_desktop {

// $XDG_CONFIG_HOME/quillop (default ~/.config/quillop), created with mode 0700
// when missing; no trailing separator.
std::string perUserDirectory();

}  // namespace qlp::linux_desktop
