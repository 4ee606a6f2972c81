#pragma once
// UTF-8 and UTF-16 as the settings file meets them: strict checks, and
// conversions that say what they could not carry over.

#include <optional>
#include <string>
#include <string_view>

namespace qlp::profile {

enum class ByteOrder { Little, Big };

// Whether `s` is well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool isUtf8(std::string_view s);
// Whether every byte of `s` is below 0x80.
bool isAscii(std::string_view s);

// `s` with every byte that starts no well-formed UTF-8 sequence replaced by U+FFFD.
std::string utf8Replacing(std::string_view s);

// UTF-16 code units in `bytes` (an odd last byte included) as UTF-8; a lone
// surrogate or the odd byte becomes U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, ByteOrder order);
// The UTF-8 text `utf8` as UTF-16 code units; nullopt when it is not UTF-8.
std::optional<std::string> utf8ToUtf16(std::string_view utf8, ByteOrder order);

// The UTF-8 form of U+FFFD, what stands for what could not be read.
inline constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

}  // namespace qlp::profile
