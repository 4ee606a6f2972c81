#pragma once
// The settings file as last read, and the writes of a batch in progress.

#include <string>

namespace qlp::linux_desktop {

class ProfileCache {
public:
    std::string batchFile;
    bool batching = false;
};

}  // namespace qlp::linux_desktop
