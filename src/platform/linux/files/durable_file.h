#pragma once
// Replacing a file as a whole: the new content goes to a new file beside it,
// reaches the disk and is renamed over the old one, so a reader, or the next
// start after a crash, sees the old file or the new one, never a part.
//
// The file beside it gets a name of its own every time ("<name>.tmp.XXXXXX"),
// created new and exclusively, without following links and without waiting:
// nothing found in the folder (a link, a directory, a FIFO, another file's
// hard link, a leftover) can block a write or be written through.

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/files/file_read.h"

namespace qlp::linux_desktop {

enum class Durability { None, Flushed };

// Writes `size` bytes at `data` to a new file beside `path`, with `mode`, and
// names it in `temp`; with Durability::Flushed they are on the disk when it
// returns. A file at `path` that is a symbolic link is replaced where the link
// points, so the link stays. False, and nothing left behind, on any failure.
bool writeBeside(const std::string& path, const void* data, std::size_t size, mode_t mode, Durability durability,
                 std::string& temp);

// Renames `temp`, made by writeBeside, over the file it was written for
// (where a link there pointed); removes `temp` when that fails.
bool moveInto(const std::string& temp);

// Replaces `path` with the bytes, flushed, the rename flushed with its folder;
// `identity` receives the new file's. False, and `path` untouched, on any failure.
bool replaceFileDurably(const std::string& path, const void* data, std::size_t size, mode_t mode,
                        FileIdentity* identity = nullptr);

// Writes the bytes over the regular file at `path` in place (made with `mode`
// when missing), without flushing. False when anything else is there: a
// link, a FIFO, a file with other names (whose content is another's).
bool overwriteInPlace(const std::string& path, const void* data, std::size_t size, mode_t mode);

// Flushes the files at `paths` to disk, all in one go but no more than them
// (not what other programs wrote meanwhile); whether each was flushed.
std::vector<bool> flushFiles(const std::vector<std::string>& paths);

// Flushes the folder holding `path`, so the renames in it are on the disk.
void syncDirectoryOf(const std::string& path);

// The folder part of `path` ("." for a bare name).
std::string directoryOf(const std::string& path);

// Removes from `directory` what writeBeside left there when a run ended
// mid-write ("<name>.tmp.XXXXXX", and "<name>.tmp" of earlier versions), for
// the names `ours` accepts only. Directories are left alone.
void removeLeftovers(const std::string& directory, const std::function<bool(std::string_view name)>& ours);

}  // namespace qlp::linux_desktop
