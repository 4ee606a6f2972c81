#pragma once
// The core's UTF-8 and the wide text of the W functions, converted at each call.

#include <string>
#include <string_view>

namespace qlp::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace qlp::win32
