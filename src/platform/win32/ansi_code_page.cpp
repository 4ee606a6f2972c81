#include "platform/win32/ansi_code_page.h"

#include <windows.h>

#include <climits>

namespace qlp::win32 {

AnsiCodePage::AnsiCodePage(unsigned codePage) : codePage_(codePage != 0 ? codePage : ::GetACP()) {}

std::optional<std::string> AnsiCodePage::toUtf8(std::string_view bytes) {
    if (bytes.empty()) return std::string();
    if (bytes.size() > INT_MAX) return std::nullopt;
    const int size = static_cast<int>(bytes.size());
    // MB_ERR_INVALID_CHARS: an unknown byte or a lead byte without its trail fails the whole line.
    const int n = ::MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    if (::MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), n) != n) {
        return std::nullopt;
    }
    const int m = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    if (m <= 0) return std::nullopt;
    std::string out(static_cast<std::size_t>(m), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
    return out;
}

std::optional<std::string> AnsiCodePage::fromUtf8(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    if (utf8.size() > INT_MAX) return std::nullopt;
    const int size = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), n);
    // No best-fit mapping and no default character: a character the code page
    // lacks fails the conversion instead of becoming a look-alike or "?".
    BOOL usedDefault = FALSE;
    const int m =
        ::WideCharToMultiByte(codePage_, WC_NO_BEST_FIT_CHARS, wide.data(), n, nullptr, 0, nullptr, &usedDefault);
    if (m <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<std::size_t>(m), '\0');
    usedDefault = FALSE;
    ::WideCharToMultiByte(codePage_, WC_NO_BEST_FIT_CHARS, wide.data(), n, out.data(), m, nullptr, &usedDefault);
    if (usedDefault) return std::nullopt;
    // Round trip: a code page that maps two characters to one byte sequence would lose one.
    const int back = ::MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, out.data(), m, nullptr, 0);
    if (back != n) return std::nullopt;
    std::wstring check(static_cast<std::size_t>(back), L'\0');
    ::MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, out.data(), m, check.data(), back);
    if (check != wide) return std::nullopt;
    return out;
}

}  // namespace qlp::win32
