#pragma once
// Writing the slot pictures and the scratch picture to their files.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/bmp/bmp_codec.h"

namespace qlp::linux_desktop {

// The bitmap format itself is portable code of its own.
using bmp::decodeBmp;
using bmp::encodeBmp;

// Replaces `path` with `bytes`: written to a temporary file beside it, flushed
// to disk and renamed over it, so a reader sees the old file or the new one,
// never a part. False (and `path` untouched) on any failure.
bool replaceFileDurably(const std::string& path, const std::vector<unsigned char>& bytes);

// Writes `bytes` over `path` in place, without flushing: for the scratch
// picture, which is read back at once by this process and by no later run.
bool overwriteFile(const std::string& path, const std::vector<unsigned char>& bytes);

// The steps of a replacement, for writing many files with one flush.
enum class Durability { None, Flushed };
// Writes `bytes` to a new temporary file beside `path`, named in `temp`.
bool writeBeside(const std::string& path, const std::vector<unsigned char>& bytes, Durability durability,
                 std::string& temp);
// Renames `temp` over `path`; removes `temp` when that fails.
bool moveInto(const std::string& temp, const std::string& path);
// Flushes the files at `paths` to disk, all in one go but no more than them
// (not what other programs wrote meanwhile); whether each was flushed.
std::vector<bool> flushFiles(const std::vector<std::string>& paths);
// Flushes the directory holding `path`, so the renames in it are on the disk.
void syncDirectoryOf(const std::string& path);

}  // namespace qlp::linux_desktop
