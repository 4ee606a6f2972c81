// The settings file, through our own profile engine rather than the system's
// profile functions (which cut values at 254 bytes, strip quotes and replace
// the file in place): the portable store does the work, this file gives it
// the Windows file system.
#include "platform/win32/durable_file.h"
#include "platform/win32/profile_cache.h"
#include "platform/win32/win32_platform.h"

namespace qlp::win32 {

namespace {

// The store's version of a file: its size and last write time.
std::optional<profile::FileVersion> versionOf(const std::optional<FileStamp>& stamp) {
    if (!stamp) return std::nullopt;
    return profile::FileVersion{stamp->size, {static_cast<std::int64_t>(stamp->lastWrite), 0, 0, 0}};
}

}  // namespace

profile::ProfileFiles::Look SettingsFiles::look(const std::string& path) {
    const FileKind kind = fileKind(path);
    if (kind == FileKind::Missing) return Look{Kind::Missing, {}};
    const auto version = versionOf(fileStamp(path));
    if (kind != FileKind::Regular || !version) return Look{Kind::Unusable, {}};
    return Look{Kind::Regular, *version};
}

// The size was looked at just before; the stamp is taken after the read, as
// the system tells no version of what one read saw.
bool SettingsFiles::read(const std::string& path, std::size_t /*limit*/, std::string& bytes,
                         std::optional<profile::FileVersion>& version) {
    if (!readWholeFile(path, bytes)) return false;
    version = versionOf(fileStamp(path));
    return true;
}

bool SettingsFiles::replace(const std::string& path, std::string_view bytes,
                            std::optional<profile::FileVersion>& version) {
    if (!replaceFileDurably(path, bytes)) return false;
    version = versionOf(fileStamp(path));
    return true;
}

std::string Win32Platform::GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                                    std::string_view defaultValue, const std::string& file) {
    return profile_->store.get(section, key, defaultValue, file);
}

bool Win32Platform::WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view value,
                                               const std::string& file) {
    return profile_->store.set(section, key, value, file);
}

void Win32Platform::BeginProfileBatch(const std::string& file) {
    if (profile_->store.batching()) EndProfileBatch();
    profile_->store.beginBatch(file);
}

// False when the file, or a picture saved during the batch, could not be replaced.
bool Win32Platform::EndProfileBatch() {
    profile::ProfileStore& store = profile_->store;
    if (!store.batching()) return false;
    // The slots' pictures are in their files before the file that lists the slots.
    const bool pictures = commitPendingPictures();
    // What a run ended mid-save left behind goes at a save.
    removeOwnLeftovers(store.batchFile());
    return store.endBatch() && pictures;
}

}  // namespace qlp::win32
