#include "platform/profile/profile_text.h"

#include <algorithm>

namespace qlp::profile {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string fold(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool holdsLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos; }

// The name of a section header line, or nullopt when the line is none.
std::optional<std::string_view> headerName(std::string_view content) {
    const std::string_view t = trim(content);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const auto close = t.rfind(']');
    if (close == t.npos || close == 0) return std::nullopt;
    return trim(t.substr(1, close - 1));
}

// The key of a key line, or nullopt when the line has no "=".
std::optional<std::string_view> keyName(std::string_view content) {
    const auto eq = content.find('=');
    if (eq == content.npos) return std::nullopt;
    return trim(content.substr(0, eq));
}

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

}  // namespace

ProfileText::ProfileText() { sections_.emplace_back(); }

ProfileText ProfileText::parse(std::string_view text) {
    ProfileText p;
    if (text.substr(0, kBom.size()) == kBom) {
        p.bom_ = true;
        text.remove_prefix(kBom.size());
    }
    bool endSeen = false;
    while (!text.empty()) {
        const auto brk = text.find_first_of("\r\n");
        LineEnd end = LineEnd::None;
        std::size_t skip = 0;
        if (brk == text.npos) {
            skip = text.size();
        } else if (text[brk] == '\n') {
            end = LineEnd::Lf;
            skip = brk + 1;
        } else if (brk + 1 < text.size() && text[brk + 1] == '\n') {
            end = LineEnd::CrLf;
            skip = brk + 2;
        } else {
            end = LineEnd::Cr;
            skip = brk + 1;
        }
        if (!endSeen && end != LineEnd::None) {
            p.lineEnd_ = end;
            endSeen = true;
        }
        p.addLine(text.substr(0, brk == text.npos ? text.size() : brk), end);
        text.remove_prefix(skip);
    }
    return p;
}

void ProfileText::addLine(std::string_view content, LineEnd end) {
    if (const auto name = headerName(content)) {
        sections_.emplace_back();
        sectionIndex_.try_emplace(fold(*name), sections_.size() - 1);
    }
    Section& s = sections_.back();
    const std::size_t index = s.lines.size();
    s.lines.push_back({std::string(content), end, parsedLines_++});
    if (!trim(content).empty()) s.lastNonBlank = index;
    if (index == 0 && sections_.size() > 1) return;
    if (const auto key = keyName(content)) s.keys.try_emplace(fold(*key), index);
}

std::optional<std::string_view> ProfileText::get(std::string_view section, std::string_view key) const {
    const auto s = sectionIndex_.find(fold(trim(section)));
    if (s == sectionIndex_.end()) return std::nullopt;
    const Section& sec = sections_[s->second];
    const auto k = sec.keys.find(fold(trim(key)));
    if (k == sec.keys.end()) return std::nullopt;
    const std::string_view content = sec.lines[k->second].content;
    return trim(content.substr(content.find('=') + 1));
}

bool ProfileText::acceptable(std::string_view section, std::string_view key, std::string_view value) {
    if (holdsLineBreakOrNul(section) || holdsLineBreakOrNul(key) || holdsLineBreakOrNul(value)) return false;
    // A key with "=" would split elsewhere, and one in brackets would read as a header.
    const std::string_view k = trim(key);
    return k.find('=') == k.npos && !(!k.empty() && k.front() == '[');
}

void ProfileText::endLastLine() {
    for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
        if (s->lines.empty()) continue;
        if (s->lines.back().end == LineEnd::None) {
            s->lines.back().end = lineEnd_;
            edited_ = true;
        }
        return;
    }
}

bool ProfileText::set(std::string_view section, std::string_view key, std::string_view value) {
    if (!acceptable(section, key, value)) return false;
    section = trim(section);
    key = trim(key);
    const std::string foldedKey = fold(key);
    std::string keyLine;
    keyLine.reserve(key.size() + 1 + value.size());
    keyLine.append(key).append("=").append(value);

    const auto found = sectionIndex_.find(fold(section));
    if (found == sectionIndex_.end()) {
        edited_ = true;
        endLastLine();
        sections_.emplace_back();
        Section& s = sections_.back();
        // WORKAROUND: GCC 12 at -O3 warns falsely (-Wrestrict, its bug 105329) when a
        // one-character string literal is put before a std::string; chars are the same text.
        s.lines.push_back({'[' + std::string(section) + ']', lineEnd_});
        s.lines.push_back({std::move(keyLine), lineEnd_});
        s.keys.emplace(foldedKey, 1);
        s.lastNonBlank = 1;
        sectionIndex_.emplace(fold(section), sections_.size() - 1);
        return true;
    }
    Section& s = sections_[found->second];
    if (const auto k = s.keys.find(foldedKey); k != s.keys.end()) {
        // The key keeps its spelling and whatever stands before the "=".
        Line& line = s.lines[k->second];
        const std::size_t valueAt = line.content.find('=') + 1;
        // The same value again leaves the line as it was read.
        if (std::string_view(line.content).substr(valueAt) == value) return true;
        line.content.resize(valueAt);
        line.content.append(value);
        line.source = kNoSource;
        edited_ = true;
        return true;
    }
    edited_ = true;
    // Only blank lines follow lastNonBlank, so no key line moves.
    const std::size_t at = s.lastNonBlank + 1;
    if (s.lines[s.lastNonBlank].end == LineEnd::None) s.lines[s.lastNonBlank].end = lineEnd_;
    // A lone CR right before an empty LF line would read back as one CRLF,
    // and the blank line would be gone.
    LineEnd end = lineEnd_;
    if (end == LineEnd::Cr && at < s.lines.size() && s.lines[at].content.empty() && s.lines[at].end == LineEnd::Lf) {
        end = LineEnd::CrLf;
    }
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), {std::move(keyLine), end});
    s.keys.emplace(foldedKey, at);
    s.lastNonBlank = at;
    return true;
}

std::string ProfileText::text() const {
    std::size_t size = bom_ ? kBom.size() : 0;
    for (const Section& s : sections_) {
        for (const Line& l : s.lines) size += l.content.size() + 2;
    }
    std::string out;
    out.reserve(size);
    if (bom_) out.append(kBom);
    for (const Section& s : sections_) {
        for (const Line& l : s.lines) out.append(l.content).append(endText(l.end));
    }
    return out;
}

}  // namespace qlp::profile
