#pragma once
// UTF-8 (the core's text) to UTF-16 (the wide Win32 functions) and back, and
// the character limit of a text box counted in characters, not UTF-16 units.

#include <cstddef>
#include <string>
#include <string_view>

namespace qlp::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// Characters (code points): a surrogate pair counts one.
std::size_t codePointCount(std::wstring_view text);

struct LimitedText {
    std::wstring text;
    std::size_t caret = 0;
    bool operator==(const LimitedText&) const = default;
};

// `text` is a box's text just after an edit, the caret standing after what was
// inserted (typed, pasted or committed by an input method); `previous` is the
// number of characters before the edit. Drops the tail of the insertion that
// goes past `limit`; a text already longer (set by the program) may shrink but
// not grow.
LimitedText fitToCharacterLimit(std::wstring text, std::size_t caret, std::size_t limit, std::size_t previous);

}  // namespace qlp::win32
