#pragma once
// Windows bitmap files in memory: the format of the slot pictures and the
// scratch picture. Standard C++ only, so every realisation shares it and the
// decoder can be fuzzed alone.

#include <cstddef>
#include <optional>
#include <vector>

#include "model/controls.h"

namespace qlp::bmp {

// Pictures are icons: neither side may be longer than this, in either
// direction, so a picture file can't make a start slow or a save huge.
inline constexpr int kLargestPictureSide = 1024;
// The largest picture file read: an uncompressed 32-bit picture of the
// largest size fits with room to spare.
inline constexpr std::size_t kLargestPictureFile = 8u << 20;

// The picture as a 24-bit bottom-up Windows bitmap (colour only, as a screen
// picture has no transparency). Empty when the picture has no pixels or its
// pixel count does not match its size, or it is larger than kLargestPictureSide.
std::vector<unsigned char> encodeBmp(const Bitmap& picture);

// Decodes an uncompressed 24- or 32-bit Windows bitmap, as encodeBmp writes
// and most programs do; nullopt for anything else, which other readers may
// take, and for a picture larger than kLargestPictureSide.
std::optional<Bitmap> decodeBmp(const unsigned char* data, std::size_t size);

// A picture whose pixels match its size, as every picture of ours must.
bool wholeImage(const Bitmap& picture);

// Copies `width` × `height` pixels from (`sx`, `sy`) of `from` to (`x`, `y`)
// of `to`, clipped to both pictures, as the screen's copy would be; false,
// and nothing copied, when either picture is not whole.
bool copyClipped(Bitmap& to, int x, int y, int width, int height, const Bitmap& from, int sx, int sy);

}  // namespace qlp::bmp
