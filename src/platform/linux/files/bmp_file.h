#pragma once
// The slot pictures' format and the bounds on what is read.

#include <cstddef>

#include "platform/bmp/bmp_codec.h"

namespace qlp::linux_desktop {

// The bitmap format itself is portable code of its own.
using bmp::decodeBmp;
using bmp::encodeBmp;
using bmp::kLargestPictureSide;

// The largest picture file read: an uncompressed 32-bit picture of the
// largest size fits with room to spare.
inline constexpr std::size_t kLargestPictureFile = 8u << 20;

}  // namespace qlp::linux_desktop
