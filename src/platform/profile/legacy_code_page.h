#pragma once
// The system's 8-bit code page for settings text, as each realisation
// provides it (Linux: code page 932 through iconv; Windows: the ANSI code
// page). Both directions are strict: a conversion that would have to guess,
// drop or replace a character fails instead, so that a caller can keep the
// original bytes or choose another encoding.
//
// An object may hold conversion state: use one per thread.

#include <optional>
#include <string>
#include <string_view>

namespace qlp::profile {

class LegacyCodePage {
public:
    virtual ~LegacyCodePage() = default;
    // `bytes` in this code page as UTF-8; nullopt when they are not all
    // characters of it (an unknown byte, a lead byte without its trail).
    virtual std::optional<std::string> toUtf8(std::string_view bytes) = 0;
    // The UTF-8 text `utf8` in this code page; nullopt when it is not UTF-8
    // or holds a character that the code page lacks.
    virtual std::optional<std::string> fromUtf8(std::string_view utf8) = 0;
};

}  // namespace qlp::profile
