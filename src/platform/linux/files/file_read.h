#pragma once
// Reading a whole file together with what tells its versions apart.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/profile/profile_encoding.h"

namespace qlp::linux_desktop {

// What tells one version of a file from another without reading it.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t mtimeSeconds = 0;
    std::int64_t mtimeNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
};

FileIdentity identityOf(const struct stat& st);

// The identity of the regular file at `path` as it is now; nullopt for
// anything else (missing, a directory, a device).
std::optional<FileIdentity> regularFileIdentity(const std::string& path);

using profile::kLargestSettingsFile;

// The whole content of the regular file at `path`, with the identity of what
// was read; false when it is not a regular file, is longer than `limit` bytes
// or can't be read. A FIFO in its place can't hang the caller.
bool readWhole(const std::string& path, std::string& bytes, FileIdentity& identity,
               std::size_t limit = static_cast<std::size_t>(-1));

}  // namespace qlp::linux_desktop
