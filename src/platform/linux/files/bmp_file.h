#pragma once
// The slot pictures' format and the bounds on what is read.

#include "platform/bmp/bmp_codec.h"

namespace qlp::linux_desktop {

// The bitmap format itself is portable code of its own.
using bmp::decodeBmp;
using bmp::encodeBmp;
using bmp::kLargestPictureFile;
using bmp::kLargestPictureSide;

}  // namespace qlp::linux_desktop
