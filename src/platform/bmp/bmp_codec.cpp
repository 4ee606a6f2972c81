#include "platform/bmp/bmp_codec.h"

#include <algorithm>

#include <cstdint>
#include <limits>

namespace qlp::bmp {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;

void put16(std::vector<unsigned char>& out, std::size_t at, std::uint16_t v) {
    out[at] = static_cast<unsigned char>(v & 0xFF);
    out[at + 1] = static_cast<unsigned char>(v >> 8);
}

void put32(std::vector<unsigned char>& out, std::size_t at, std::uint32_t v) {
    for (int b = 0; b < 4; ++b) out[at + b] = static_cast<unsigned char>((v >> (8 * b)) & 0xFF);
}

}  // namespace

std::vector<unsigned char> encodeBmp(const Bitmap& picture) {
    if (picture.width <= 0 || picture.height <= 0) return {};
    if (picture.width > kLargestPictureSide || picture.height > kLargestPictureSide) return {};
    const auto width = static_cast<std::uint64_t>(picture.width);
    const auto height = static_cast<std::uint64_t>(picture.height);
    if (picture.pixels.size() != width * height) return {};
    // Rows of 3 bytes per pixel, padded to a multiple of four.
    const std::uint64_t stride = (width * 3 + 3) / 4 * 4;
    const std::uint64_t imageSize = stride * height;
    const std::uint64_t fileSize = kFileHeaderSize + kInfoHeaderSize + imageSize;
    if (fileSize > std::numeric_limits<std::uint32_t>::max()) return {};

    std::vector<unsigned char> out(static_cast<std::size_t>(fileSize), 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<std::uint32_t>(fileSize));
    put32(out, 10, kFileHeaderSize + kInfoHeaderSize);
    put32(out, 14, kInfoHeaderSize);
    put32(out, 18, static_cast<std::uint32_t>(width));
    put32(out, 22, static_cast<std::uint32_t>(height));  // positive: bottom row first
    put16(out, 26, 1);                                   // planes
    put16(out, 28, 24);                                  // bits per pixel
    put32(out, 30, 0);                                   // BI_RGB
    put32(out, 34, static_cast<std::uint32_t>(imageSize));
    put32(out, 38, 3780);  // 96 dots per inch, in dots per metre
    put32(out, 42, 3780);

    std::size_t at = kFileHeaderSize + kInfoHeaderSize;
    for (std::uint64_t row = height; row-- > 0;) {
        const std::uint32_t* line = picture.pixels.data() + row * width;
        for (std::uint64_t x = 0; x < width; ++x) {
            const std::uint32_t argb = line[x];
            out[at + x * 3] = static_cast<unsigned char>(argb & 0xFF);
            out[at + x * 3 + 1] = static_cast<unsigned char>((argb >> 8) & 0xFF);
            out[at + x * 3 + 2] = static_cast<unsigned char>((argb >> 16) & 0xFF);
        }
        at += static_cast<std::size_t>(stride);
    }
    return out;
}

std::optional<Bitmap> decodeBmp(const unsigned char* data, std::size_t size) {
    const auto get16 = [&](std::size_t at) { return static_cast<std::uint32_t>(data[at] | data[at + 1] << 8); };
    const auto get32 = [&](std::size_t at) { return get16(at) | get16(at + 2) << 16; };
    if (size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') return std::nullopt;
    const std::uint32_t offset = get32(10);
    const std::uint32_t headerSize = get32(14);
    const auto width = static_cast<std::int32_t>(get32(18));
    const auto rawHeight = static_cast<std::int32_t>(get32(22));
    const std::uint32_t bits = get16(28);
    const std::uint32_t compression = get32(30);
    if (headerSize < kInfoHeaderSize || get16(26) != 1 || compression != 0 || (bits != 24 && bits != 32)) {
        return std::nullopt;
    }
    constexpr std::int32_t kLargest = kLargestPictureSide;
    if (width <= 0 || width > kLargest || rawHeight == 0 || rawHeight < -kLargest || rawHeight > kLargest) {
        return std::nullopt;
    }
    const bool bottomUp = rawHeight > 0;
    const std::int32_t height = bottomUp ? rawHeight : -rawHeight;
    const std::size_t bytesPerPixel = bits / 8;
    const std::size_t stride = (static_cast<std::size_t>(width) * bytesPerPixel + 3) / 4 * 4;
    if (offset > size || (size - offset) / stride < static_cast<std::size_t>(height)) return std::nullopt;

    Bitmap picture{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (std::int32_t y = 0; y < height; ++y) {
        const unsigned char* row = data + offset + stride * static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
        std::uint32_t* out = picture.pixels.data() + static_cast<std::size_t>(y) * width;
        for (std::int32_t x = 0; x < width; ++x) {
            const unsigned char* px = row + static_cast<std::size_t>(x) * bytesPerPixel;
            // Windows keeps no transparency in these pictures: they are opaque.
            out[x] = 0xFF000000u | static_cast<std::uint32_t>(px[2]) << 16 | static_cast<std::uint32_t>(px[1]) << 8 |
                     px[0];
        }
    }
    return picture;
}

bool wholeImage(const Bitmap& picture) {
    return picture.width > 0 && picture.height > 0 &&
           picture.pixels.size() == static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
}

bool copyClipped(Bitmap& to, int x, int y, int width, int height, const Bitmap& from, int sx, int sy) {
    if (!wholeImage(to) || !wholeImage(from)) return false;
    // Start where both coordinates are inside, stop where either runs out.
    const long long skipX = std::max({0LL, -static_cast<long long>(x), -static_cast<long long>(sx)});
    const long long skipY = std::max({0LL, -static_cast<long long>(y), -static_cast<long long>(sy)});
    const long long spanX = std::min(
        {static_cast<long long>(width), static_cast<long long>(to.width) - x, static_cast<long long>(from.width) - sx});
    const long long spanY = std::min({static_cast<long long>(height), static_cast<long long>(to.height) - y,
                                      static_cast<long long>(from.height) - sy});
    for (long long row = skipY; row < spanY; ++row) {
        for (long long col = skipX; col < spanX; ++col) {
            to.pixels[static_cast<std::size_t>((y + row) * to.width + x + col)] =
                from.pixels[static_cast<std::size_t>((sy + row) * from.width + sx + col)];
        }
    }
    return true;
}

}  // namespace qlp::bmp
