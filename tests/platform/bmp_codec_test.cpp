#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/bmp/bmp_codec.h"

namespace qlp::bmp {
namespace {

Bitmap pattern(int width, int height) {
    Bitmap b{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(x * 37 % 256) << 16 |
                               static_cast<std::uint32_t>(y * 91 % 256) << 8 | static_cast<std::uint32_t>(x + y));
        }
    }
    return b;
}

std::uint32_t read32(const std::vector<unsigned char>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// Every row width pads differently to four bytes; each picture must come back
// as it went, stored bottom row first with zero padding.
TEST(BmpCodec, WritesBottomUpPaddedRowsThatReadBack) {
    const struct {
        int width, height;
        std::size_t stride;
    } cases[] = {{1, 1, 4}, {2, 3, 8}, {3, 2, 12}, {4, 4, 12}, {5, 1, 16}, {36, 36, 108}};
    for (const auto& c : cases) {
        const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height);
        const Bitmap picture = pattern(c.width, c.height);
        const std::vector<unsigned char> bytes = encodeBmp(picture);
        ASSERT_EQ(bytes.size(), 54 + c.stride * c.height) << name;
        EXPECT_EQ(read32(bytes, 2), bytes.size()) << name;
        EXPECT_EQ(read32(bytes, 10), 54u) << name;
        // The first row in the file is the picture's bottom row, blue first.
        const std::uint32_t bottomLeft = picture.pixels[static_cast<std::size_t>(c.height - 1) * c.width];
        EXPECT_EQ(bytes[54], bottomLeft & 0xFF) << name;
        EXPECT_EQ(bytes[56], (bottomLeft >> 16) & 0xFF) << name;
        for (std::size_t pad = static_cast<std::size_t>(c.width) * 3; pad < c.stride; ++pad) {
            EXPECT_EQ(bytes[54 + pad], 0) << name << " padding byte " << pad;
        }
        EXPECT_EQ(decodeBmp(bytes.data(), bytes.size()), picture) << name;
    }
}

TEST(BmpCodec, EncodesNothingForAPictureWithoutMatchingPixels) {
    EXPECT_TRUE(encodeBmp(Bitmap{}).empty());
    EXPECT_TRUE(encodeBmp(Bitmap{2, 2, std::vector<std::uint32_t>(3)}).empty());
    EXPECT_TRUE(encodeBmp(Bitmap{-1, 2, {}}).empty());
}

TEST(BmpCodec, RefusesWhatItCannotReadWhole) {
    const std::vector<unsigned char> good = encodeBmp(pattern(3, 2));
    const auto put32 = [](std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
        std::memcpy(&b[at], &v, 4);  // little-endian hosts only, as the tests run
    };
    const struct {
        const char* name;
        std::size_t at;
        std::uint32_t value;
        int width;  // bytes written: 1, 2 or 4
    } broken[] = {
        {"not BM", 0, 'X', 1},
        {"compressed", 30, 1, 4},
        {"8 bits", 28, 8, 2},
        {"two planes", 26, 2, 2},
        {"small header", 14, 12, 4},
        {"zero width", 18, 0, 4},
        {"negative width", 18, 0xFFFFFFFFu, 4},
        {"zero height", 22, 0, 4},
        {"huge height", 22, 1u << 20, 4},
        {"pixels past the end", 10, 60, 4},
        {"offset past the end", 10, 0x7FFFFFFF, 4},
    };
    for (const auto& b : broken) {
        std::vector<unsigned char> bytes = good;
        if (b.width == 4) {
            put32(bytes, b.at, b.value);
        } else {
            bytes[b.at] = static_cast<unsigned char>(b.value);
            if (b.width == 2) bytes[b.at + 1] = 0;
        }
        EXPECT_EQ(decodeBmp(bytes.data(), bytes.size()), std::nullopt) << b.name;
    }
    EXPECT_EQ(decodeBmp(good.data(), good.size() - 1), std::nullopt) << "last byte missing";
    EXPECT_EQ(decodeBmp(good.data(), 53), std::nullopt) << "header cut";
    EXPECT_NE(decodeBmp(good.data(), good.size()), std::nullopt) << "the unbroken file";
}

}  // namespace
}  // namespace qlp::bmp
