#pragma once
// Code page 932 (Windows-31J), the legacy code page of settings files from
// the Japanese Windows desktop, through the C library's iconv.

#include <iconv.h>

#include "platform/profile/legacy_code_page.h"

namespace qlp::linux_desktop {

class IconvCodePage final : public profile::LegacyCodePage {
public:
    IconvCodePage() = default;
    IconvCodePage(const IconvCodePage&) = delete;
    IconvCodePage& operator=(const IconvCodePage&) = delete;
    ~IconvCodePage() override;

    std::optional<std::string> toUtf8(std::string_view bytes) override;
    std::optional<std::string> fromUtf8(std::string_view utf8) override;

private:
    // Opened at first use and kept: most settings files never need them.
    iconv_t toUtf8_ = reinterpret_cast<iconv_t>(-1);
    iconv_t fromUtf8_ = reinterpret_cast<iconv_t>(-1);
    bool triedTo_ = false;
    bool triedFrom_ = false;
};

}  // namespace qlp::linux_desktop
