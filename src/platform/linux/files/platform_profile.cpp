// The settings file: the portable store does the work, this file gives it the
// Linux file system.
#include <sys/stat.h>

#include <cerrno>

#include "platform/linux/files/durable_file.h"
#include "platform/linux/files/profile_cache.h"
#include "platform/linux/linux_platform.h"

namespace qlp::linux_desktop {

profile::FileVersion versionOf(const FileIdentity& identity) {
    return profile::FileVersion{static_cast<std::uint64_t>(identity.size),
                                {static_cast<std::int64_t>(identity.device), static_cast<std::int64_t>(identity.inode),
                                 identity.mtimeSeconds, identity.mtimeNanoseconds}};
}

profile::ProfileFiles::Look SettingsFiles::look(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) return Look{Kind::Unusable, {}};
        return Look{Kind::Missing, {}};
    }
    if (!S_ISREG(st.st_mode)) return Look{Kind::Unusable, {}};
    // A file others may read (from an earlier version) is made the user's alone at the next save.
    return Look{Kind::Regular, versionOf(identityOf(st)), (st.st_mode & 077) != 0};
}

bool SettingsFiles::read(const std::string& path, std::size_t limit, std::string& bytes,
                         std::optional<profile::FileVersion>& version) {
    FileIdentity identity;
    if (!readWhole(path, bytes, identity, limit)) return false;
    version = versionOf(identity);
    return true;
}

// The whole file replaced, readable by the user only: it tells what the user runs.
bool SettingsFiles::replace(const std::string& path, std::string_view bytes,
                            std::optional<profile::FileVersion>& version) {
    FileIdentity identity;
    if (!replaceFileDurably(path, bytes.data(), bytes.size(), 0600, &identity)) return false;
    version = versionOf(identity);
    return true;
}

std::string LinuxPlatform::GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                                    std::string_view defaultValue, const std::string& file) {
    adoptPrefetch();
    return profile_->store.get(section, key, defaultValue, file);
}

bool LinuxPlatform::WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view value,
                                               const std::string& file) {
    adoptPrefetch();
    return profile_->store.set(section, key, value, file);
}

void LinuxPlatform::BeginProfileBatch(const std::string& file) {
    adoptPrefetch();
    if (profile_->store.batching()) EndProfileBatch();
    // The store makes the folder first: the pictures of the save are written into it before the file.
    profile_->store.beginBatch(file);
}

bool LinuxPlatform::EndProfileBatch() {
    profile::ProfileStore& store = profile_->store;
    if (!store.batching()) return false;
    commitPendingPictures();
    // What a run ended mid-save left behind goes at a save.
    removeOwnLeftovers(store.batchFile());
    return store.endBatch();
}

}  // namespace qlp::linux_desktop
