#pragma once
// The slot pictures' files: Windows bitmaps.

#include <cstddef>
#include <optional>
#include <string>

#include "model/controls.h"

namespace qlp::win32 {

// A 24-bit bottom-up bitmap (a screen picture has no transparency); empty when
// the picture has no pixels or its pixel count does not match its size.
std::string encodeBmp(const Bitmap& picture);

// An uncompressed 24- or 32-bit bitmap, top-down or bottom-up; nullopt for
// anything else, which the system's loader may still take.
std::optional<Bitmap> decodeBmp(const unsigned char* data, std::size_t size);

}  // namespace qlp::win32
