// The settings file.
#include "platform/linux/linux_platform.h"
#include "platform/linux/profile_cache.h"

namespace qlp::linux_desktop {

std::string LinuxPlatform::GetPrivateProfileStringA(std::string_view, std::string_view, std::string_view defaultValue,
                                                    const std::string&) {
    return std::string(defaultValue);
}

bool LinuxPlatform::WritePrivateProfileStringA(std::string_view, std::string_view, std::string_view,
                                               const std::string&) {
    return false;
}

void LinuxPlatform::BeginProfileBatch(const std::string& file) {
    profile_->batchFile = file;
    profile_->batching = true;
}

bool LinuxPlatform::EndProfileBatch() {
    profile_->batching = false;
    return false;
}

}  // namespace qlp::linux_desktop
