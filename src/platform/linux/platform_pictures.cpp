// Icons, the drawing surface and picture files.
#include "platform/linux/linux_platform.h"

namespace qlp::linux_desktop {

bool LinuxPlatform::SavePicture(const Bitmap&, const std::string&) { return false; }
std::optional<Bitmap> LinuxPlatform::LoadPicture(const std::string&) { return std::nullopt; }
IconHandle LinuxPlatform::ExtractAssociatedIconA(HINSTANCE, std::string&, std::uint16_t&) { return 0; }
bool LinuxPlatform::DrawIconEx(Surface&, int, int, IconHandle, int, int, unsigned, std::intptr_t, unsigned) {
    return false;
}
bool LinuxPlatform::DestroyIcon(IconHandle icon) { return icons_.erase(icon) > 0; }
bool LinuxPlatform::BitBlt(Surface&, int, int, int, int, const Surface&, int, int, unsigned) { return false; }

}  // namespace qlp::linux_desktop
