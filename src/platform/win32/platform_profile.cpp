// The settings file, through our own profile engine rather than the system's
// profile functions (which cut values at 254 bytes, strip quotes and replace
// the file in place): the portable store does the work, this file gives it
// the Windows file system.
#include <windows.h>

#include "platform/win32/durable_file.h"
#include "platform/win32/profile_cache.h"
#include "platform/win32/wide_text.h"
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
    // One look serves both questions: is it there, and which version is it.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = ::GetLastError();
        // Only a file that is not there reads as missing: one that cannot be looked at is never replaced.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Look{Kind::Missing, {}};
        return Look{Kind::Unusable, {}};
    }
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return Look{Kind::Unusable, {}};
    FileStamp stamp;
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.lastWrite =
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return Look{Kind::Regular, *versionOf(stamp)};
}

// The version of what was read, from the open file.
bool SettingsFiles::read(const std::string& path, std::size_t limit, std::string& bytes,
                         std::optional<profile::FileVersion>& version) {
    FileStamp stamp;
    if (!readWholeFile(path, bytes, limit, &stamp)) return false;
    version = versionOf(stamp);
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
