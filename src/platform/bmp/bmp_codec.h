#pragma once
// Windows bitmap files in memory: the format of the slot pictures and the
// scratch picture. Standard C++ only, so every realisation shares it and the
// decoder can be fuzzed alone.

#include <cstddef>
#include <optional>
#include <vector>

#include "model/controls.h"

namespace qlp::bmp {

// The picture as a 24-bit bottom-up Windows bitmap (colour only, as a screen
// picture has no transparency). Empty when the picture has no pixels or its
// pixel count does not match its size.
std::vector<unsigned char> encodeBmp(const Bitmap& picture);

// Decodes an uncompressed 24- or 32-bit Windows bitmap, as encodeBmp writes
// and most programs do; nullopt for anything else, which other readers may take.
std::optional<Bitmap> decodeBmp(const unsigned char* data, std::size_t size);

}  // namespace qlp::bmp
