#include "platform/win32/bmp_codec.h"

#include <cstdint>
#include <cstdlib>

namespace qlp::win32 {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
// Larger pictures are not slot pictures; refusing them keeps a hostile file from exhausting memory.
constexpr std::int64_t kMaxSide = 16384;

void put16(std::string& out, std::size_t at, std::uint16_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int b = 0; b < 4; ++b) out[at + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
}

std::uint32_t get32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t get16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

}  // namespace

std::string encodeBmp(const Bitmap& picture) {
    if (picture.width <= 0 || picture.height <= 0 || picture.width > kMaxSide || picture.height > kMaxSide) return {};
    const auto width = static_cast<std::size_t>(picture.width);
    const auto height = static_cast<std::size_t>(picture.height);
    if (picture.pixels.size() != width * height) return {};
    const std::size_t stride = (width * 3 + 3) / 4 * 4;
    const std::size_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::string out(offset + stride * height, '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<std::uint32_t>(out.size()));
    put32(out, 10, static_cast<std::uint32_t>(offset));
    put32(out, 14, kInfoHeaderSize);
    put32(out, 18, static_cast<std::uint32_t>(width));
    put32(out, 22, static_cast<std::uint32_t>(height));
    put16(out, 26, 1);
    put16(out, 28, 24);
    put32(out, 34, static_cast<std::uint32_t>(stride * height));
    put32(out, 38, 3780);  // 96 dpi
    put32(out, 42, 3780);
    for (std::size_t row = 0; row < height; ++row) {
        const std::size_t at = offset + (height - 1 - row) * stride;
        for (std::size_t col = 0; col < width; ++col) {
            const std::uint32_t px = picture.pixels[row * width + col];
            out[at + col * 3] = static_cast<char>(px & 0xFF);
            out[at + col * 3 + 1] = static_cast<char>((px >> 8) & 0xFF);
            out[at + col * 3 + 2] = static_cast<char>((px >> 16) & 0xFF);
        }
    }
    return out;
}

std::optional<Bitmap> decodeBmp(const unsigned char* data, std::size_t size) {
    if (size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') return std::nullopt;
    const std::uint32_t offset = get32(data + 10);
    const std::uint32_t infoSize = get32(data + 14);
    if (infoSize < kInfoHeaderSize) return std::nullopt;
    const auto width = static_cast<std::int32_t>(get32(data + 18));
    const auto rawHeight = static_cast<std::int32_t>(get32(data + 22));
    const std::uint16_t planes = get16(data + 26);
    const std::uint16_t bits = get16(data + 28);
    const std::uint32_t compression = get32(data + 30);
    // BI_RGB, or BI_BITFIELDS with the usual masks for 32 bits.
    if (planes != 1 || (bits != 24 && bits != 32) || !(compression == 0 || (compression == 3 && bits == 32))) {
        return std::nullopt;
    }
    const std::int64_t height = std::llabs(static_cast<long long>(rawHeight));
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return std::nullopt;
    const bool bottomUp = rawHeight > 0;
    const std::size_t bytesPerPixel = bits / 8;
    const std::size_t stride = (static_cast<std::size_t>(width) * bytesPerPixel + 3) / 4 * 4;
    if (offset > size || stride * static_cast<std::size_t>(height) > size - offset) return std::nullopt;
    Bitmap picture;
    picture.width = width;
    picture.height = static_cast<int>(height);
    picture.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::int64_t row = 0; row < height; ++row) {
        const std::size_t fileRow = static_cast<std::size_t>(bottomUp ? height - 1 - row : row);
        const unsigned char* p = data + offset + fileRow * stride;
        for (std::int32_t col = 0; col < width; ++col, p += bytesPerPixel) {
            picture.pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                           static_cast<std::size_t>(col)] =
                0xFF000000u | static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
        }
    }
    return picture;
}

}  // namespace qlp::win32
