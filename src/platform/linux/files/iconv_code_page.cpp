#include "platform/linux/files/iconv_code_page.h"

#include <cerrno>

namespace qlp::linux_desktop {

namespace {

const iconv_t kClosed = reinterpret_cast<iconv_t>(-1);

// glibc knows the code page by both names; other C libraries may know one.
iconv_t open(bool toLegacy) {
    for (const char* name : {"CP932", "WINDOWS-31J"}) {
        const iconv_t cd = toLegacy ? ::iconv_open(name, "UTF-8") : ::iconv_open("UTF-8", name);
        if (cd != kClosed) return cd;
    }
    return kClosed;
}

// Strict: any byte or character that has no counterpart fails the whole text.
std::optional<std::string> run(iconv_t cd, std::string_view in) {
    if (cd == kClosed) return std::nullopt;
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 2 + 8, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t done = 0;
    for (;;) {
        char* dst = out.data() + done;
        std::size_t dstLeft = out.size() - done;
        const std::size_t r = ::iconv(cd, srcLeft ? &src : nullptr, &srcLeft, &dst, &dstLeft);
        done = out.size() - dstLeft;
        if (r != static_cast<std::size_t>(-1)) {
            // Irreversible conversions are guesses: not taken.
            if (r != 0) return std::nullopt;
            if (srcLeft == 0) break;
            continue;
        }
        if (errno != E2BIG) return std::nullopt;
        out.resize(out.size() * 2);
    }
    out.resize(done);
    return out;
}

}  // namespace

IconvCodePage::~IconvCodePage() {
    if (toUtf8_ != kClosed) ::iconv_close(toUtf8_);
    if (fromUtf8_ != kClosed) ::iconv_close(fromUtf8_);
}

std::optional<std::string> IconvCodePage::toUtf8(std::string_view bytes) {
    if (!triedTo_) {
        triedTo_ = true;
        toUtf8_ = open(false);
    }
    return run(toUtf8_, bytes);
}

std::optional<std::string> IconvCodePage::fromUtf8(std::string_view utf8) {
    if (!triedFrom_) {
        triedFrom_ = true;
        fromUtf8_ = open(true);
    }
    return run(fromUtf8_, utf8);
}

}  // namespace qlp::linux_desktop
