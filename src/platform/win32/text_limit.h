#pragma once
// The character limit of a text box, counted in characters (code points), not
// in the UTF-16 units that the edit control's own limit counts.

#include <cstddef>
#include <string>
#include <string_view>

namespace qlp::win32 {

// A surrogate pair counts one.
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
