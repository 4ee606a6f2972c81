#pragma once
// Pictures of the core as Qt images, and back.

#include <QImage>

#include "model/controls.h"

namespace qlp::linux_desktop {

QImage toQImage(const Bitmap& bitmap);
Bitmap fromQImage(const QImage& image);

}  // namespace qlp::linux_desktop
