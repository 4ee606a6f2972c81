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

    // Whether set() would take these names and value.
    static bool acceptable(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Line {
        std::string content;
        LineEnd end = LineEnd::None;
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
    LineEnd lineEnd_ = LineEnd::Lf;
    // sections_[0] holds the lines before the first header; its keys belong to no section.
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;
};

}  // namespace qlp::profile
