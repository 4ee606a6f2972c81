// The settings file. Every write reaches the disk as a whole new file that
// replaces the old one atomically, so a crash at any moment leaves either the
// old or the new file; a batch turns the writes of one save into one such
// replacement. Reads are served from the parsed file while it is unchanged.
#include <sys/stat.h>

#include <cerrno>

#include "platform/linux/files/durable_file.h"
#include "platform/linux/files/profile_cache.h"
#include "platform/linux/linux_platform.h"

namespace qlp::linux_desktop {

namespace {

using profile::ProfileText;

// A file made here is UTF-8, the encoding of the Linux desktop.
constexpr profile::FileEncoding kNewFileEncoding = profile::FileEncoding::Utf8;

enum class FileState { Missing, Unusable, Parsed };

// The file's bytes become the engine's text right after reading...
void decodeInto(ProfileCache& cache, std::string_view bytes) {
    profile::DecodedProfile decoded = profile::decodeProfile(bytes, cache.codePage);
    cache.text = std::move(decoded.text);
    cache.coding = std::move(decoded.coding);
}

// ...and the text becomes bytes, in the encoding the file was read in, right before writing.
std::string encodeFor(ProfileCache& cache, const ProfileText& text, const profile::FileCoding& coding) {
    return profile::encodeProfile(text, coding, cache.codePage);
}

// After a write the cache holds the text of what was written: a file whose
// bytes are its text holds it already, any other is read anew.
void adoptWritten(ProfileCache& cache, std::string_view bytes) {
    if (!cache.coding.plain()) decodeInto(cache, bytes);
}

// Brings the cache to the current content of `path`.
FileState refresh(ProfileCache& cache, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        cache.valid = false;
        if (errno != ENOENT && errno != ENOTDIR) return FileState::Unusable;
        cache.path = path;
        cache.identity.reset();
        cache.text = ProfileText();
        cache.coding = profile::FileCoding(kNewFileEncoding);
        cache.valid = true;
        return FileState::Missing;
    }
    if (!S_ISREG(st.st_mode)) {
        cache.valid = false;
        return FileState::Unusable;
    }
    if (cache.valid && cache.path == path && cache.identity == identityOf(st)) return FileState::Parsed;
    cache.valid = false;
    if (static_cast<std::uint64_t>(st.st_size) > kLargestSettingsFile) {
        // No real settings file is this large: it reads as a missing one,
        // left as it is until a save replaces it.
        cache.path = path;
        cache.identity = identityOf(st);
        cache.text = ProfileText();
        cache.coding = profile::FileCoding(kNewFileEncoding);
        cache.valid = true;
        return FileState::Missing;
    }
    std::string bytes;
    FileIdentity identity;
    if (!readWhole(path, bytes, identity, kLargestSettingsFile)) return FileState::Unusable;
    cache.path = path;
    cache.identity = identity;
    decodeInto(cache, bytes);
    cache.valid = true;
    return FileState::Parsed;
}

// The whole file replaced, readable by the user only: it tells what the user runs.
bool replaceFile(const std::string& path, const std::string& bytes, FileIdentity& identity) {
    return replaceFileDurably(path, bytes.data(), bytes.size(), 0600, &identity);
}

}  // namespace

std::string LinuxPlatform::GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                                    std::string_view defaultValue, const std::string& file) {
    adoptPrefetch();
    ProfileCache& c = *profile_;
    const ProfileText* text = nullptr;
    if (c.batching && file == c.batchFile) {
        if (!c.batchRefused) text = &c.batchText;
    } else if (refresh(c, file) != FileState::Unusable) {
        text = &c.text;
    }
    const auto value = text ? text->get(section, key) : std::nullopt;
    return std::string(value ? *value : defaultValue);
}

bool LinuxPlatform::WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view value,
                                               const std::string& file) {
    adoptPrefetch();
    ProfileCache& c = *profile_;
    if (!ProfileText::acceptable(section, key, value)) return false;
    if (c.batching && file == c.batchFile) {
        if (c.batchRefused || !c.batchText.set(section, key, value)) return false;
        c.batchChanged = true;
        return true;
    }
    ensureSettingsFolder(file);
    // A file that exists but can't be read is never replaced: its content would be lost.
    if (refresh(c, file) == FileState::Unusable) return false;
    c.text.set(section, key, value);
    FileIdentity identity;
    const std::string bytes = encodeFor(c, c.text, c.coding);
    if (!replaceFile(file, bytes, identity)) {
        c.valid = false;
        return false;
    }
    c.identity = identity;
    adoptWritten(c, bytes);
    return true;
}

void LinuxPlatform::BeginProfileBatch(const std::string& file) {
    adoptPrefetch();
    ProfileCache& c = *profile_;
    if (c.batching) EndProfileBatch();
    c.batching = true;
    c.batchFile = file;
    // The pictures of the save are written into the folder before the file.
    ensureSettingsFolder(file);
    c.batchChanged = false;
    c.batchRefused = refresh(c, file) == FileState::Unusable;
    c.batchText = c.batchRefused ? ProfileText() : std::move(c.text);
    c.batchCoding = c.batchRefused ? profile::FileCoding() : std::move(c.coding);
    c.valid = false;
}

bool LinuxPlatform::EndProfileBatch() {
    ProfileCache& c = *profile_;
    if (!c.batching) return false;
    c.batching = false;
    commitPendingPictures();
    // What a run ended mid-save left behind goes at a save.
    removeOwnLeftovers(c.batchFile);
    if (c.batchRefused) return false;
    if (!c.batchChanged) {
        c.text = std::move(c.batchText);
        c.coding = std::move(c.batchCoding);
        c.batchText = ProfileText();
        c.valid = true;
        return true;
    }
    FileIdentity identity;
    const std::string bytes = encodeFor(c, c.batchText, c.batchCoding);
    if (!replaceFile(c.batchFile, bytes, identity)) return false;
    c.path = c.batchFile;
    c.identity = identity;
    c.text = std::move(c.batchText);
    c.coding = std::move(c.batchCoding);
    c.batchText = ProfileText();
    adoptWritten(c, bytes);
    c.valid = true;
    return true;
}

}  // namespace qlp::linux_desktop
