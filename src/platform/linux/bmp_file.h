#pragma once
// Windows bitmap files for the slot pictures and the scratch picture.

#include <string>
#include <vector>

#include "model/controls.h"

namespace qlp::linux_desktop {

// The picture as a 24-bit bottom-up Windows bitmap (colour only, as a screen
// picture has no transparency). Empty when the picture has no pixels or its
// pixel count does not match its size.
std::vector<unsigned char> encodeBmp(const Bitmap& picture);

// Replaces `path` with `bytes`: written to a temporary file beside it, flushed
// to disk and renamed over it, so a reader sees the old file or the new one,
// never a part. False (and `path` untouched) on any failure.
bool replaceFileDurably(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace qlp::linux_desktop
