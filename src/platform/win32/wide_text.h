#pragma once
// The core's UTF-8 and the wide text of the W functions, converted at each call.

#include <string>
#include <string_view>

namespace qlp::win32 {

// Invalid UTF-8 becomes U+FFFD, so a broken name never reaches a call truncated.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

}  // namespace qlp::win32
