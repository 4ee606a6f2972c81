#pragma once
// A settings text of sections and key lines, read and edited the way the
// Win32 profile functions do: names matched without regard to ASCII case,
// blanks around names and values dropped, the first "=" splits a key line,
// the first of duplicate sections and keys wins. Every line that an edit
// does not touch is kept byte for byte.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qlp::profile {

enum class LineEnd { None, Lf, CrLf, Cr };

class ProfileText {
public:
    ProfileText();
    // Any bytes at all; LF, CRLF and CR end lines alike, a UTF-8 byte-order mark is skipped.
    static ProfileText parse(std::string_view text);

    // The value of `key` in the first section named `section`, or nullopt.
    std::optional<std::string_view> get(std::string_view section, std::string_view key) const;
    // Sets the key, adding key or section where missing. False when refused
    // (a name or value that holds CR, LF or NUL, or a key that could not be
    // read back); the text is then unchanged.
    bool set(std::string_view section, std::string_view key, std::string_view value);

    // The whole text as it stands.
    std::string text() const;
    // The end that new lines get: that of the text's first ended line, else LF.
    LineEnd lineEnd() const { return lineEnd_; }
    // Whether the text began with a UTF-8 byte-order mark, which text() writes again.
    bool hasBom() const { return bom_; }

    // One line as it stands. `source` is the line's number in the parsed text
    // (the byte-order mark not counted) while its content is as parsed, and
    // nullopt for a line that set() changed or added.
    struct LineView {
        std::string_view content;
        LineEnd end;
        std::optional<std::size_t> source;
    };
    // Each line in the order text() writes them.
    template <class F>
    void forEachLine(F&& f) const {
        for (const Section& s : sections_) {
            for (const Line& l : s.lines) {
                f(LineView{l.content, l.end, l.source == kNoSource ? std::nullopt : std::optional(l.source)});
            }
        }
    }
    // Whether any set() changed the text since it was parsed.
    bool edited() const { return edited_; }

    // Whether set() would take these names and value.
    static bool acceptable(std::string_view section, std::string_view key, std::string_view value);

private:
    static constexpr std::size_t kNoSource = static_cast<std::size_t>(-1);
    struct Line {
        std::string content;
        LineEnd end = LineEnd::None;
        std::size_t source = kNoSource;
    };
    struct Section {
        // lines[0] is the header, except in the part before the first header.
        std::vector<Line> lines;
        // Folded key -> index in `lines` of its first key line.
        std::unordered_map<std::string, std::size_t> keys;
        std::size_t lastNonBlank = 0;
    };

    void addLine(std::string_view content, LineEnd end);
    void endLastLine();

    bool bom_ = false;
    bool edited_ = false;
    std::size_t parsedLines_ = 0;
    LineEnd lineEnd_ = LineEnd::Lf;
    // sections_[0] holds the lines before the first header; its keys belong to no section.
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;
};

}  // namespace qlp::profile
