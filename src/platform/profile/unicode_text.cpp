#include "platform/profile/unicode_text.h"

#include <cstdint>

namespace qlp::profile {

namespace {

// The length of the well-formed UTF-8 sequence at s[at], or 0 when none starts there.
std::size_t sequenceAt(std::string_view s, std::size_t at, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(at);
    if (b0 < 0x80) {
        code = b0;
        return 1;
    }
    std::size_t size = 0;
    char32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        size = 2;
        code = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        size = 3;
        code = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        size = 4;
        code = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - at < size) return 0;
    for (std::size_t i = 1; i < size; ++i) {
        const unsigned char b = byte(at + i);
        if ((b & 0xC0) != 0x80) return 0;
        code = (code << 6) | (b & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return size;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUnit(std::string& out, std::uint16_t unit, ByteOrder order) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    if (order == ByteOrder::Little) {
        out += low;
        out += high;
    } else {
        out += high;
        out += low;
    }
}

}  // namespace

bool isAscii(std::string_view s) {
    for (const char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

bool isUtf8(std::string_view s) {
    std::size_t at = 0;
    while (at < s.size()) {
        if (static_cast<unsigned char>(s[at]) < 0x80) {
            ++at;
            continue;
        }
        char32_t code = 0;
        const std::size_t size = sequenceAt(s, at, code);
        if (size == 0) return false;
        at += size;
    }
    return true;
}

std::string utf8Replacing(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 8);
    std::size_t at = 0;
    while (at < s.size()) {
        char32_t code = 0;
        const std::size_t size = sequenceAt(s, at, code);
        if (size == 0) {
            out.append(kReplacement);
            ++at;
        } else {
            out.append(s.substr(at, size));
            at += size;
        }
    }
    return out;
}

std::string utf16ToUtf8(std::string_view bytes, ByteOrder order) {
    const auto unitAt = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return order == ByteOrder::Little ? static_cast<char32_t>(a | (b << 8)) : static_cast<char32_t>((a << 8) | b);
    };
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    std::size_t at = 0;
    while (at + 1 < bytes.size()) {
        const char32_t unit = unitAt(at);
        at += 2;
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < bytes.size()) {
            const char32_t low = unitAt(at);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                at += 2;
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            out.append(kReplacement);
        } else {
            appendUtf8(out, unit);
        }
    }
    if (at < bytes.size()) out.append(kReplacement);
    return out;
}

std::optional<std::string> utf8ToUtf16(std::string_view utf8, ByteOrder order) {
    std::string out;
    out.reserve(utf8.size() * 2);
    std::size_t at = 0;
    while (at < utf8.size()) {
        char32_t code = 0;
        const std::size_t size = sequenceAt(utf8, at, code);
        if (size == 0) return std::nullopt;
        at += size;
        if (code < 0x10000) {
            appendUnit(out, static_cast<std::uint16_t>(code), order);
        } else {
            code -= 0x10000;
            appendUnit(out, static_cast<std::uint16_t>(0xD800 + (code >> 10)), order);
            appendUnit(out, static_cast<std::uint16_t>(0xDC00 + (code & 0x3FF)), order);
        }
    }
    return out;
}

}  // namespace qlp::profile
