#pragma once
// The settings file as the launcher reads and writes it, the same on every
// desktop: the parsed file kept while the file is unchanged, and a batch that
// turns the writes of one save into one replacement of the whole file. Every
// write reaches the disk as a whole new file that replaces the old one, so a
// crash at any moment leaves either the old or the new file.
//
// The store sees the file system only through ProfileFiles, which each
// desktop realises; a test realises it in memory.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile/legacy_code_page.h"
#include "platform/profile/profile_encoding.h"
#include "platform/profile/profile_text.h"

namespace qlp::profile {

// What tells one version of a file from another without reading it: its size,
// and whatever else the file system keeps for that (device, inode and
// modification time on Linux; the last write time on Windows).
struct FileVersion {
    std::uint64_t size = 0;
    std::array<std::int64_t, 4> marks{};

    bool operator==(const FileVersion&) const = default;
};

// The file system as the store needs it.
class ProfileFiles {
public:
    enum class Kind { Missing, Unusable, Regular };
    struct Look {
        Kind kind = Kind::Missing;
        // Only for a regular file.
        FileVersion version;
        // A regular file to be written anew at the next save even when its
        // text is unchanged (on Linux: one others may read).
        bool rewrite = false;
    };

    virtual ~ProfileFiles() = default;
    // What is at `path` now: nothing, something that can't serve as the file
    // (a directory, a device, a folder on the way that can't be searched), or
    // a regular file.
    virtual Look look(const std::string& path) = 0;
    // The whole content of the regular file at `path`, and the version of what
    // was read when the file system tells it (nullopt: it will be read again
    // next time). False when it can't be read or is found longer than `limit`.
    virtual bool read(const std::string& path, std::size_t limit, std::string& bytes,
                      std::optional<FileVersion>& version) = 0;
    // Replaces `path` with `bytes`, on the disk when it returns, with the new
    // file's version when known. False, and `path` untouched, on any failure.
    virtual bool replace(const std::string& path, std::string_view bytes, std::optional<FileVersion>& version) = 0;
    // Called before `path` is written, or a batch of writes to it begins.
    virtual void prepareWrite(const std::string& /*path*/) {}
};

class ProfileStore {
public:
    // `newFileEncoding` is what a file made here is written in.
    ProfileStore(ProfileFiles& files, LegacyCodePage& codePage, FileEncoding newFileEncoding);

    // The value of `key` in `section` of `file`, or `defaultValue`; during a
    // batch on `file`, as the batch has it so far.
    std::string get(std::string_view section, std::string_view key, std::string_view defaultValue,
                    const std::string& file);
    // Sets the value; during a batch on `file` it is only gathered. False when
    // the text is not acceptable, the file could not be read (a file that
    // exists but can't be read is never replaced: its content would be lost),
    // or could not be replaced.
    bool set(std::string_view section, std::string_view key, std::string_view value, const std::string& file);

    // Starts gathering the writes to `file`; a batch in progress must have ended.
    void beginBatch(const std::string& file);
    bool batching() const { return batching_; }
    const std::string& batchFile() const { return batchFile_; }
    // Writes what the batch gathered, once, when it changed the file's bytes
    // (a save that sets every value to what it was leaves the file alone). False
    // when no batch was in progress, the file could not be read at its start,
    // or could not be replaced.
    bool endBatch();

    // Takes `text`, read ahead from `path` as it was at `version`, when
    // nothing is cached yet and no batch is in progress; the version is still
    // looked at on every read.
    void adopt(std::string path, const FileVersion& version, ProfileText text, FileCoding coding);

private:
    enum class FileState { Missing, Unusable, Parsed };
    FileState refresh(const std::string& path);
    void holdNothing(const std::string& path, const std::optional<FileVersion>& version);
    void decode(std::string_view bytes);
    void adoptWritten(std::string_view bytes);

    ProfileFiles& files_;
    LegacyCodePage& codePage_;
    const FileEncoding newFileEncoding_;

    // The parsed text of `path_` while its version is unchanged; a missing file is cached as such.
    std::string path_;
    std::optional<FileVersion> version_;
    ProfileText text_;
    // What the file's bytes were, to write them back in their encoding.
    FileCoding coding_;
    bool valid_ = false;
    // The last look found the file wanting a rewrite whatever its text.
    bool rewrite_ = false;

    // A batch gathers the writes to `batchFile_` in `batchText_`, to be written once.
    std::string batchFile_;
    bool batching_ = false;
    // The file could not be read at the batch's start, so no write of the batch is taken.
    bool batchRefused_ = false;
    bool batchChanged_ = false;
    ProfileText batchText_;
    FileCoding batchCoding_;
    // The bytes of the file as the batch found it, when it found one to read.
    std::optional<std::string> batchStartBytes_;
};

}  // namespace qlp::profile
