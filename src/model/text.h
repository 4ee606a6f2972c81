#pragma once
// Text comparisons of the launcher, which ignore the case of ASCII letters.

#include <string>
#include <string_view>

namespace qlp {

bool sameText(std::string_view a, std::string_view b);
bool startsWithText(std::string_view text, std::string_view prefix);

}  // namespace qlp
