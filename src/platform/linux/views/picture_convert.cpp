#include "platform/linux/views/picture_convert.h"

#include <cstring>

namespace qlp::linux_desktop {

QImage toQImage(const Bitmap& bitmap) {
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() != static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height)) {
        return {};
    }
    QImage image(bitmap.width, bitmap.height, QImage::Format_ARGB32);
    for (int y = 0; y < bitmap.height; ++y) {
        std::memcpy(image.scanLine(y), bitmap.pixels.data() + static_cast<std::size_t>(y) * bitmap.width,
                    static_cast<std::size_t>(bitmap.width) * sizeof(std::uint32_t));
    }
    return image;
}

Bitmap fromQImage(const QImage& source) {
    Bitmap bitmap;
    if (source.isNull()) return bitmap;
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    bitmap.width = image.width();
    bitmap.height = image.height();
    bitmap.pixels.resize(static_cast<std::size_t>(bitmap.width) * bitmap.height);
    for (int y = 0; y < bitmap.height; ++y) {
        std::memcpy(bitmap.pixels.data() + static_cast<std::size_t>(y) * bitmap.width, image.constScanLine(y),
                    static_cast<std::size_t>(bitmap.width) * sizeof(std::uint32_t));
    }
    return bitmap;
}

}  // namespace qlp::linux_desktop
