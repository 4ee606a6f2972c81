#pragma once
// The settings file's legacy code page on Windows: the system's ANSI code page
// (932 on a Japanese desktop), strict both ways.

#include "platform/profile/legacy_code_page.h"

namespace qlp::win32 {

class AnsiCodePage : public profile::LegacyCodePage {
public:
    // 0 = the system's ANSI code page; tests name one.
    explicit AnsiCodePage(unsigned codePage = 0);
    std::optional<std::string> toUtf8(std::string_view bytes) override;
    std::optional<std::string> fromUtf8(std::string_view utf8) override;
    unsigned codePage() const { return codePage_; }

private:
    unsigned codePage_;
};

}  // namespace qlp::win32
