#pragma once
// The bytes of a settings file and the UTF-8 text that the engine edits.
//
// Reading: a UTF-16 byte-order mark (either order) makes the file UTF-16. In
// any other file each line stands on its own: a line that is well-formed
// UTF-8 is UTF-8, any other is in the system's legacy code page. So files in
// the legacy code page, UTF-8 files and files that mix the two all read right.
//
// Writing: a file that nothing changed is written back exactly as it was
// read. Otherwise the whole file goes out in the encoding it was read in -
// UTF-16 in its order with its mark, the legacy code page for a file with a
// legacy line (a mixed one included), UTF-8 else - and only when some text
// has no place in that encoding, the whole file goes out in UTF-8 instead:
// never a file in two encodings. Every line that is not changed and is
// already in the encoding written goes back byte for byte, so the legacy
// code page's duplicate characters survive; so does a line in no encoding
// at all, whatever 8-bit encoding the file is written in, since any
// conversion would lose what it holds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile/legacy_code_page.h"
#include "platform/profile/profile_text.h"

namespace qlp::profile {

// The largest settings file read, on every desktop. A real one, with every
// slot holding a path as long as a path can be and a long description, stays
// far below it; a larger file reads as a missing one, and the next save
// replaces it.
inline constexpr std::size_t kLargestSettingsFile = 16u << 20;

enum class FileEncoding { Utf8, Utf16Le, Utf16Be, Legacy };

// What the bytes of a file were, line by line: what lets encodeProfile keep
// the lines that no edit touched.
class FileCoding {
public:
    // A file that is not there yet: it will be written in `encoding`.
    explicit FileCoding(FileEncoding encoding = FileEncoding::Utf8);

    FileEncoding encoding() const { return encoding_; }
    // The bytes are the engine's text as it is: nothing to convert either way.
    bool plain() const { return plain_; }

private:
    friend struct Decoder;
    friend struct Encoder;
    enum class LineCoding : std::uint8_t { Ascii, Utf8, Legacy, Undecodable, Utf16 };
    struct SourceLine {
        std::size_t offset = 0;
        std::size_t size = 0;
        LineCoding coding = LineCoding::Ascii;
    };

    FileEncoding encoding_;
    bool plain_ = true;
    // The file as read, and where each of its lines' content stands in it.
    std::string bytes_;
    std::vector<SourceLine> lines_;
};

struct DecodedProfile {
    ProfileText text;
    FileCoding coding;
};

// The text of a file's bytes. A line that is in no encoding reads as UTF-8
// with U+FFFD for each byte that is not.
DecodedProfile decodeProfile(std::string_view bytes, LegacyCodePage& codePage);

// The bytes to write for `text`, which was decoded as `coding` (and edited since).
std::string encodeProfile(const ProfileText& text, const FileCoding& coding, LegacyCodePage& codePage);

}  // namespace qlp::profile
