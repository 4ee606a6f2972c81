// Feeds arbitrary bytes to the profile engine as the text of a settings file,
// then performs the reads and writes that follow the marker line "@@ops@@".
//
// Each operation is one line of tab-separated fields, with \n \r \0 \t \\
// standing for those bytes:
//   g SECTION KEY         read a key
//   s SECTION KEY VALUE   write a key
//   r N VALUE             write the N-th key line of the text as it stands
//
// After every operation the engine must agree with a plain line-by-line
// reading of its own text, and a write that was taken must read back (its
// value without the blanks around it) and leave every other line as it was:
// it changes its key's line, or inserts the key line (with a section header
// when the section is new), at most also ending the text's last line.
//
// The same bytes, taken as a settings file, go through the decoding as well
// (code page 932 through iconv, UTF-16, UTF-8, mixed): unchanged, they are
// written back byte for byte; after the same writes, the file written reads
// back with every key and every value that the engine holds, and line for
// line as many lines.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/linux/files/iconv_code_page.h"
#include "platform/profile/profile_encoding.h"
#include "platform/profile/profile_text.h"
#include "platform/profile/unicode_text.h"
#include "settings/settings_values.h"

namespace {

using qlp::profile::LineEnd;
using qlp::profile::ProfileText;

constexpr std::string_view kOpsMarker = "\n@@ops@@\n";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "profile fuzz: %s\n", what);
    std::abort();
}

void check(bool ok, const char* what) {
    if (!ok) fail(what);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// --- The reference reading: the rules applied to the bytes, line by line. ---

struct RefLine {
    std::string_view content;
    std::string_view end;

    bool operator==(const RefLine&) const = default;
};

std::vector<RefLine> splitLines(std::string_view text) {
    if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
    std::vector<RefLine> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t stop = at;
        while (stop < text.size() && text[stop] != '\r' && text[stop] != '\n') ++stop;
        std::size_t endSize = 0;
        if (stop < text.size())
            endSize = text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n' ? 2 : 1;
        lines.push_back({text.substr(at, stop - at), text.substr(stop, endSize)});
        at = stop + endSize;
    }
    return lines;
}

std::optional<std::string_view> headerOf(std::string_view content) {
    const std::string_view t = trim(content);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const auto close = t.rfind(']');
    if (close == t.npos || close == 0) return std::nullopt;
    return trim(t.substr(1, close - 1));
}

std::optional<std::string_view> keyOf(std::string_view content) {
    const auto eq = content.find('=');
    if (eq == content.npos) return std::nullopt;
    return trim(content.substr(0, eq));
}

std::string_view valueOf(std::string_view content) { return trim(content.substr(content.find('=') + 1)); }

// The first key line of the first section of that name.
std::optional<std::string_view> referenceGet(const std::vector<RefLine>& lines, std::string_view section,
                                             std::string_view key) {
    section = trim(section);
    key = trim(key);
    std::size_t i = 0;
    for (; i < lines.size(); ++i) {
        const auto h = headerOf(lines[i].content);
        if (h && sameName(*h, section)) break;
    }
    for (++i; i < lines.size(); ++i) {
        if (headerOf(lines[i].content)) return std::nullopt;
        const auto k = keyOf(lines[i].content);
        if (k && sameName(*k, key)) return valueOf(lines[i].content);
    }
    return std::nullopt;
}

// Every (section, key) that a key line under a header names, in text order.
std::vector<std::pair<std::string, std::string>> keyLines(const std::vector<RefLine>& lines) {
    std::vector<std::pair<std::string, std::string>> out;
    std::optional<std::string_view> section;
    for (const RefLine& l : lines) {
        if (const auto h = headerOf(l.content)) {
            section = h;
        } else if (const auto k = keyOf(l.content); k && section) {
            out.emplace_back(*section, *k);
        }
    }
    return out;
}

// --- Checks. ---

// What the launcher's reader makes of a value must not trip over any text.
void decodeLikeTheLoad(std::string_view value) {
    (void)qlp::settings::isAbsent(value);
    (void)qlp::settings::readSwitch(value);
    (void)qlp::settings::readInt16(value);
    (void)qlp::settings::readInt32(value);
}

void checkRead(const ProfileText& engine, std::string_view section, std::string_view key) {
    const std::string text = engine.text();
    const auto expected = referenceGet(splitLines(text), section, key);
    const auto got = engine.get(section, key);
    check(got.has_value() == expected.has_value(), "a read finds a key that the text does not hold, or misses one");
    if (got) {
        check(*got == *expected, "a read gives another value than the text holds");
        decodeLikeTheLoad(*got);
    }
}

std::string_view endBytes(LineEnd end) {
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

// `after` is `before` with one key line changed or inserted, nothing else.
void checkOnlyTheKeyMoved(const std::string& beforeText, const std::string& afterText, std::string_view section,
                          std::string_view key, std::string_view value, LineEnd newEnd) {
    const std::vector<RefLine> before = splitLines(beforeText);
    const std::vector<RefLine> after = splitLines(afterText);
    check((beforeText.substr(0, kBom.size()) == kBom) == (afterText.substr(0, kBom.size()) == kBom),
          "the byte-order mark changed");
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::vector<RefLine> gone(before.begin() + static_cast<std::ptrdiff_t>(prefix),
                                    before.end() - static_cast<std::ptrdiff_t>(suffix));
    std::vector<RefLine> added(after.begin() + static_cast<std::ptrdiff_t>(prefix),
                               after.end() - static_cast<std::ptrdiff_t>(suffix));
    section = trim(section);
    key = trim(key);
    if (gone.empty() && added.empty()) return;  // the same value again

    if (gone.size() == 1 && added.size() == 1 && keyOf(gone[0].content) && sameName(*keyOf(gone[0].content), key)) {
        // Replaced where it stands: all before the "=" and the line end kept.
        const std::string_view was = gone[0].content;
        const std::string_view now = added[0].content;
        const std::size_t eq = was.find('=');
        check(now.substr(0, eq + 1) == was.substr(0, eq + 1) && now.substr(eq + 1) == value &&
                  gone[0].end == added[0].end,
              "a replaced key line changed more than its value");
        return;
    }
    std::size_t first = 0;
    if (gone.size() == 1) {
        // Only the text's unended last line may gain a line end before the insertion.
        check(prefix + 1 == before.size() && gone[0].end.empty() && !added.empty() &&
                  added[0].content == gone[0].content && added[0].end == endBytes(newEnd),
              "a write changed a line that is not its key's");
        first = 1;
    } else {
        check(gone.empty(), "a write changed or removed lines that are not its key's");
    }
    const std::size_t count = added.size() - first;
    const std::string keyLine = std::string(key) + "=" + std::string(value);
    if (count == 1) {
        check(added[first].content == keyLine, "the inserted line is not the key line");
    } else {
        check(count == 2 && added[first].content == "[" + std::string(section) + "]" &&
                  added[first + 1].content == keyLine,
              "a write inserted more than its key line and section header");
        check(suffix == 0, "a new section went elsewhere than the end");
    }
}

void checkWrite(ProfileText& engine, std::string_view section, std::string_view key, std::string_view value) {
    const std::string before = engine.text();
    const bool acceptable = ProfileText::acceptable(section, key, value);
    const bool taken = engine.set(section, key, value);
    check(taken == acceptable, "set() and acceptable() disagree");
    const std::string after = engine.text();
    if (!taken) {
        check(after == before, "a refused write changed the text");
        return;
    }
    const auto got = engine.get(section, key);
    check(got && *got == trim(value), "a written key does not read back");
    const auto fromText = referenceGet(splitLines(after), section, key);
    check(fromText && *fromText == trim(value), "the written text does not hold the key");
    checkOnlyTheKeyMoved(before, after, section, key, value, engine.lineEnd());
}

// --- Decoding the operations. ---

std::vector<std::string> fields(std::string_view line) {
    std::vector<std::string> out(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            out.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char e = line[++i];
            out.back() += e == 'n' ? '\n' : e == 'r' ? '\r' : e == '0' ? '\0' : e == 't' ? '\t' : e;
        } else {
            out.back() += c;
        }
    }
    return out;
}

// --- The decoding. ---

std::size_t lineCount(const ProfileText& text) {
    std::size_t n = 0;
    text.forEachLine([&](const ProfileText::LineView&) { ++n; });
    return n;
}

// Every (section, key, value) the engine holds, in text order, the first of duplicates included.
std::vector<std::tuple<std::string, std::string, std::string>> allValues(const ProfileText& text) {
    std::vector<std::tuple<std::string, std::string, std::string>> out;
    for (const auto& [section, key] : keyLines(splitLines(text.text()))) {
        if (const auto v = text.get(section, key)) out.emplace_back(section, key, std::string(*v));
    }
    return out;
}

bool readable(std::string_view s) { return qlp::profile::isUtf8(s) && s.find(qlp::profile::kReplacement) == s.npos; }

void checkDecoding(std::string_view bytes, const std::vector<std::vector<std::string>>& ops) {
    static qlp::linux_desktop::IconvCodePage codePage;
    auto decoded = qlp::profile::decodeProfile(bytes, codePage);
    check(qlp::profile::encodeProfile(decoded.text, decoded.coding, codePage) == bytes,
          "a file written back unchanged differs from what was read");
    ProfileText& text = decoded.text;
    for (const auto& f : ops) {
        if (f[0] == "s" && f.size() >= 4) {
            text.set(f[1], f[2], f[3]);
        } else if (f[0] == "r" && f.size() >= 3) {
            const auto now = keyLines(splitLines(text.text()));
            if (now.empty()) continue;
            const auto& [section, key] = now[std::strtoul(f[1].c_str(), nullptr, 10) % now.size()];
            text.set(section, key, f[2]);
        }
    }
    const std::string written = qlp::profile::encodeProfile(text, decoded.coding, codePage);
    const auto reread = qlp::profile::decodeProfile(written, codePage);
    check(lineCount(reread.text) == lineCount(text), "the file written has another number of lines");
    check(qlp::profile::encodeProfile(reread.text, reread.coding, codePage) == written,
          "the file written does not survive being read and written again");
    // Every text that could be read, and every value that was valid text, reads back as it was.
    for (const auto& [section, key, value] : allValues(text)) {
        if (!readable(section) || !readable(key) || !readable(value)) continue;
        const auto again = reread.text.get(section, key);
        check(again && *again == value, "a value reads back otherwise from the file written");
    }
}

void run(std::string_view input) {
    std::string_view text = input;
    std::string_view ops;
    if (const auto at = input.find(kOpsMarker); at != input.npos) {
        text = input.substr(0, at);
        ops = input.substr(at + kOpsMarker.size());
    }
    {
        std::vector<std::vector<std::string>> parsed;
        std::string_view rest = ops;
        for (int budget = 256; !rest.empty() && budget-- > 0;) {
            const auto nl = rest.find('\n');
            parsed.push_back(fields(rest.substr(0, nl)));
            rest = nl == rest.npos ? std::string_view() : rest.substr(nl + 1);
        }
        checkDecoding(text, parsed);
    }
    ProfileText engine = ProfileText::parse(text);
    check(engine.text() == text, "parsing alone changed the text");
    const auto known = keyLines(splitLines(text));
    for (const auto& [section, key] : known) checkRead(engine, section, key);

    int budget = 256;
    while (!ops.empty() && budget-- > 0) {
        const auto nl = ops.find('\n');
        const std::vector<std::string> f = fields(ops.substr(0, nl));
        ops = nl == ops.npos ? std::string_view() : ops.substr(nl + 1);
        if (f[0] == "g" && f.size() >= 3) {
            checkRead(engine, f[1], f[2]);
        } else if (f[0] == "s" && f.size() >= 4) {
            checkWrite(engine, f[1], f[2], f[3]);
        } else if (f[0] == "r" && f.size() >= 3) {
            const auto now = keyLines(splitLines(engine.text()));
            if (now.empty()) continue;
            const auto& [section, key] = now[std::strtoul(f[1].c_str(), nullptr, 10) % now.size()];
            checkWrite(engine, section, key, f[2]);
        }
    }
    // What is left on the disk reads as what the engine holds.
    const std::string final = engine.text();
    const ProfileText reread = ProfileText::parse(final);
    check(reread.text() == final, "the final text does not survive a reparse");
    for (const auto& [section, key] : keyLines(splitLines(final))) {
        const auto a = engine.get(section, key);
        const auto b = reread.get(section, key);
        check(a.has_value() == b.has_value() && (!a || *a == *b), "the engine and its reparsed text disagree");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    run(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
