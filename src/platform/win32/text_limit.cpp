#include "platform/win32/text_limit.h"

#include <algorithm>

namespace qlp::win32 {

namespace {

bool isHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::size_t codePointCount(std::wstring_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1])) ++i;
        ++n;
    }
    return n;
}

LimitedText fitToCharacterLimit(std::wstring text, std::size_t caret, std::size_t limit, std::size_t previous) {
    caret = std::min(caret, text.size());
    const std::size_t allowed = std::max(limit, previous);
    const std::size_t count = codePointCount(text);
    if (count <= allowed) return LimitedText{std::move(text), caret};
    std::size_t excess = count - allowed;
    std::size_t cut = caret;
    while (excess > 0 && cut > 0) {
        --cut;
        if (cut > 0 && isLow(text[cut]) && isHigh(text[cut - 1])) --cut;
        --excess;
    }
    text.erase(cut, caret - cut);
    // What still does not fit lies before the insertion (an edit that never
    // happens from the keyboard); the end goes then.
    while (excess > 0 && !text.empty()) {
        std::size_t last = text.size() - 1;
        if (last > 0 && isLow(text[last]) && isHigh(text[last - 1])) --last;
        text.erase(last);
        --excess;
    }
    const std::size_t newCaret = std::min(cut, text.size());
    return {std::move(text), newCaret};
}

}  // namespace qlp::win32
