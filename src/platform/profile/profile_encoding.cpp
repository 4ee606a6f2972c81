#include "platform/profile/profile_encoding.h"

#include <optional>

#include "platform/profile/unicode_text.h"

namespace qlp::profile {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

bool isUtf16(FileEncoding e) { return e == FileEncoding::Utf16Le || e == FileEncoding::Utf16Be; }
ByteOrder orderOf(FileEncoding e) { return e == FileEncoding::Utf16Be ? ByteOrder::Big : ByteOrder::Little; }

std::string_view endText(LineEnd end) {
    switch (end) {
        case LineEnd::None:
            return "";
        case LineEnd::Lf:
            return "\n";
        case LineEnd::CrLf:
            return "\r\n";
        case LineEnd::Cr:
            return "\r";
    }
    return "";
}

// A line as the engine splits its text: content, and the end after it.
struct Split {
    std::size_t offset;
    std::size_t size;
    LineEnd end;
};

// Lines of 8-bit text, or of UTF-16 code units (`unit` 2), by the engine's rule:
// LF, CRLF and a lone CR each end a line.
std::vector<Split> splitLines(std::string_view bytes, std::size_t from, std::size_t unit, ByteOrder order) {
    const auto codeAt = [&](std::size_t i) -> unsigned {
        if (unit == 1) return static_cast<unsigned char>(bytes[i]);
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return order == ByteOrder::Little ? a | (b << 8) : (a << 8) | b;
    };
    // An odd byte at the end of UTF-16 text belongs to the last line.
    const std::size_t whole = from + (bytes.size() - from) / unit * unit;
    std::vector<Split> lines;
    std::size_t start = from;
    std::size_t at = from;
    while (at < whole) {
        const unsigned c = codeAt(at);
        if (c != '\r' && c != '\n') {
            at += unit;
            continue;
        }
        LineEnd end = LineEnd::Lf;
        std::size_t next = at + unit;
        if (c == '\r') {
            end = LineEnd::Cr;
            if (next < whole && codeAt(next) == '\n') {
                end = LineEnd::CrLf;
                next += unit;
            }
        }
        lines.push_back({start, at - start, end});
        start = at = next;
    }
    if (start < bytes.size()) lines.push_back({start, bytes.size() - start, LineEnd::None});
    return lines;
}

}  // namespace

FileCoding::FileCoding(FileEncoding encoding) : encoding_(encoding), plain_(encoding == FileEncoding::Utf8) {}

struct Decoder {
    static DecodedProfile decode(std::string_view bytes, LegacyCodePage& codePage) {
        if (bytes.substr(0, 2) == kUtf16LeBom) return utf16(bytes, FileEncoding::Utf16Le);
        if (bytes.substr(0, 2) == kUtf16BeBom) return utf16(bytes, FileEncoding::Utf16Be);
        // Most files: the bytes are the text.
        if (isUtf8(bytes)) return {ProfileText::parse(bytes), FileCoding(FileEncoding::Utf8)};
        return eightBit(bytes, codePage);
    }

    static DecodedProfile utf16(std::string_view bytes, FileEncoding encoding) {
        const ByteOrder order = orderOf(encoding);
        FileCoding coding(encoding);
        coding.plain_ = false;
        coding.bytes_ = bytes;
        std::string text;
        text.reserve(bytes.size() * 3 / 2);
        std::size_t from = 2;
        // A second mark is the text's own, as a UTF-8 file's would be.
        if (bytes.size() >= 4 && utf16ToUtf8(bytes.substr(2, 2), order) == "\xEF\xBB\xBF") {
            text.append(kUtf8Bom);
            from = 4;
        }
        for (const Split& l : splitLines(bytes, from, 2, order)) {
            text.append(utf16ToUtf8(bytes.substr(l.offset, l.size), order)).append(endText(l.end));
            coding.lines_.push_back({l.offset, l.size, FileCoding::LineCoding::Utf16});
        }
        return {ProfileText::parse(text), std::move(coding)};
    }

    static DecodedProfile eightBit(std::string_view bytes, LegacyCodePage& codePage) {
        using LineCoding = FileCoding::LineCoding;
        const bool bom = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
        const std::vector<Split> split = splitLines(bytes, bom ? kUtf8Bom.size() : 0, 1, ByteOrder::Little);
        std::vector<std::optional<std::string>> legacyText(split.size());
        FileCoding coding(FileEncoding::Utf8);
        coding.plain_ = false;
        coding.bytes_ = bytes;
        bool anyLegacy = false;
        for (std::size_t i = 0; i < split.size(); ++i) {
            const std::string_view line = bytes.substr(split[i].offset, split[i].size);
            LineCoding c = LineCoding::Ascii;
            if (isAscii(line)) {
                c = LineCoding::Ascii;
            } else if (isUtf8(line)) {
                c = LineCoding::Utf8;
            } else if ((legacyText[i] = codePage.toUtf8(line))) {
                c = LineCoding::Legacy;
                anyLegacy = true;
            } else {
                c = LineCoding::Undecodable;
            }
            coding.lines_.push_back({split[i].offset, split[i].size, c});
        }
        // A file with a UTF-8 mark says what it is; lines in no encoding don't make a file legacy.
        if (anyLegacy && !bom) coding.encoding_ = FileEncoding::Legacy;

        std::string text;
        text.reserve(bytes.size() * 3 / 2);
        if (bom) text.append(kUtf8Bom);
        for (std::size_t i = 0; i < split.size(); ++i) {
            const std::string_view line = bytes.substr(split[i].offset, split[i].size);
            switch (coding.lines_[i].coding) {
                case LineCoding::Legacy:
                    text.append(*legacyText[i]);
                    break;
                case LineCoding::Undecodable:
                    // Its ASCII stands as it is, whatever the file turns out to
                    // be, so the line means the same after any rewrite.
                    text.append(utf8Replacing(line));
                    break;
                default:
                    text.append(line);
            }
            text.append(endText(split[i].end));
        }
        return {ProfileText::parse(text), std::move(coding)};
    }
};

struct Encoder {
    const ProfileText& text;
    const FileCoding& coding;
    LegacyCodePage& codePage;

    // Whether a line read as `c` is already in `target`.
    bool inTarget(FileCoding::LineCoding c, FileEncoding target) const {
        using LineCoding = FileCoding::LineCoding;
        switch (c) {
            case LineCoding::Ascii:
                return target == FileEncoding::Utf8 || target == FileEncoding::Legacy;
            case LineCoding::Utf8:
                return target == FileEncoding::Utf8;
            case LineCoding::Legacy:
                return target == FileEncoding::Legacy;
            case LineCoding::Undecodable:
                // In no encoding at all: any other bytes would lose what it holds.
                return target == FileEncoding::Utf8 || target == FileEncoding::Legacy;
            case LineCoding::Utf16:
                return target == coding.encoding_;
        }
        return false;
    }

    std::optional<std::string> convert(std::string_view utf8, FileEncoding target) const {
        switch (target) {
            case FileEncoding::Utf8:
                return std::string(utf8);
            case FileEncoding::Legacy: {
                if (isAscii(utf8)) return std::string(utf8);
                auto bytes = codePage.fromUtf8(utf8);
                // Bytes that are UTF-8 too would read back as other text (ﾃｽ
                // in code page 932 is "ý" in UTF-8): such a line has no place here.
                if (bytes && isUtf8(*bytes)) return std::nullopt;
                return bytes;
            }
            case FileEncoding::Utf16Le:
            case FileEncoding::Utf16Be:
                return utf8ToUtf16(utf8, orderOf(target));
        }
        return std::nullopt;
    }

    // The whole text in `target`, or nullopt when some text has no place in it.
    std::optional<std::string> as(FileEncoding target) const {
        std::string out;
        out.reserve(coding.bytes_.size() + coding.bytes_.size() / 4 + 64);
        if (target == FileEncoding::Utf16Le) out.append(kUtf16LeBom);
        if (target == FileEncoding::Utf16Be) out.append(kUtf16BeBom);
        if (text.hasBom()) {
            const auto mark = convert(kUtf8Bom, target);
            if (!mark) return std::nullopt;
            out.append(*mark);
        }
        bool fits = true;
        text.forEachLine([&](const ProfileText::LineView& l) {
            if (!fits) return;
            const FileCoding::SourceLine* source = l.source ? &coding.lines_[*l.source] : nullptr;
            // The odd byte that ends a UTF-16 file is no character: once a
            // line follows, it would shift every code unit after it.
            const bool torn = source && source->coding == FileCoding::LineCoding::Utf16 && source->size % 2 != 0 &&
                              l.end != LineEnd::None;
            if (source && !torn && inTarget(source->coding, target)) {
                out.append(coding.bytes_, source->offset, source->size);
            } else if (auto converted = convert(l.content, target)) {
                out.append(*converted);
            } else {
                fits = false;
                return;
            }
            if (isUtf16(target)) {
                out.append(*utf8ToUtf16(endText(l.end), orderOf(target)));
            } else {
                out.append(endText(l.end));
            }
        });
        if (!fits) return std::nullopt;
        return out;
    }

    std::string encode() const {
        if (coding.plain()) return text.text();
        if (!text.edited()) return coding.bytes_;
        if (auto out = as(coding.encoding())) return std::move(*out);
        // UTF-8 has a place for every text.
        return *as(FileEncoding::Utf8);
    }
};

DecodedProfile decodeProfile(std::string_view bytes, LegacyCodePage& codePage) {
    return Decoder::decode(bytes, codePage);
}

std::string encodeProfile(const ProfileText& text, const FileCoding& coding, LegacyCodePage& codePage) {
    return Encoder{text, coding, codePage}.encode();
}

}  // namespace qlp::profile
