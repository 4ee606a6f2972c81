// Feeds arbitrary bytes to the bitmap decoder as the content of a slot
// picture file, which start-up reads from the user's directory.
//
// The decoder must not read outside the bytes (the sanitizers watch), and a
// picture it accepts must be whole and must come back the same through the
// encoder: the launcher saves what it loaded.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/bmp/bmp_codec.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "bmp fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto picture = qlp::bmp::decodeBmp(data, size);
    if (!picture) return 0;
    check(picture->width > 0 && picture->height > 0, "a picture without pixels was accepted");
    check(picture->pixels.size() == static_cast<std::size_t>(picture->width) * picture->height,
          "the pixel count does not match the size");
    for (const std::uint32_t pixel : picture->pixels) check((pixel >> 24) == 0xFF, "a pixel is not opaque");
    const auto bytes = qlp::bmp::encodeBmp(*picture);
    check(!bytes.empty(), "a decoded picture cannot be encoded");
    check(qlp::bmp::decodeBmp(bytes.data(), bytes.size()) == picture, "the picture changed through the encoder");
    return 0;
}
