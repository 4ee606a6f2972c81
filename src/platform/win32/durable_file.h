#pragma once
// Files on Windows, by their UTF-8 names: whole reads, and replacements that
// leave the old file or the new one, never a torn one, even after a power cut.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qlp::win32 {

// What tells a file's content apart from the last time it was read.
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;
    bool operator==(const FileStamp&) const = default;
};

enum class FileKind { Missing, Regular, Other };
FileKind fileKind(const std::string& path);
// The stamp of a regular file; nullopt for anything else.
std::optional<FileStamp> fileStamp(const std::string& path);

// Reads the whole of a file on a disk (not a folder, device or pipe) of at
// most `limit` bytes, and gives the stamp of the file it read, taken from the
// open file: a file replaced meanwhile is told apart at the next look.
bool readWholeFile(const std::string& path, std::string& bytes, std::uint64_t limit, FileStamp* stamp = nullptr);

// Writes `bytes` beside `path`, flushes them (FlushFileBuffers) and moves them
// over it with replace and write-through. False, with `path` untouched, on any failure.
bool replaceFileDurably(const std::string& path, std::string_view bytes);

// A file's new content, for replaceFilesDurably.
struct Replacement {
    std::string path;
    std::string bytes;
};

// Replaces each file as replaceFileDurably does, but writes all the new
// contents first and then flushes them on several threads side by side; every
// new content is on the disk before any replaces its old file. The paths
// differ from one another. Whether each was replaced: one that was not is
// left as it was, with nothing beside it.
std::vector<bool> replaceFilesDurably(const std::vector<Replacement>& files);

// Removes from `folder` the "<name>.tmp" files that a run ended mid-save left
// beside the files it replaced, for the names `ours` accepts (given as the
// folder spells them); folders and read-only files there stay.
void removeLeftovers(const std::string& folder, const std::function<bool(std::string_view name)>& ours);

// Writes `bytes` over `path` in place, without flushing: for a scratch file
// that only this run reads back.
bool overwriteFile(const std::string& path, std::string_view bytes);

}  // namespace qlp::win32
