// The settings file, through our own profile engine rather than the system's
// profile functions (which cut values at 254 bytes, strip quotes and replace
// the file in place). Every write reaches the disk as a whole new file that
// replaces the old one; a batch turns the writes of one save into one replacement.
#include "platform/win32/durable_file.h"
#include "platform/win32/profile_cache.h"
#include "platform/win32/win32_platform.h"

namespace qlp::win32 {

namespace {

using profile::ProfileText;

// A file made here is in the ANSI code page, so other Windows programs that
// read the settings file read it right; text the code page lacks makes it UTF-8.
constexpr profile::FileEncoding kNewFileEncoding = profile::FileEncoding::Legacy;

enum class FileState { Missing, Unusable, Parsed };

void decodeInto(ProfileCache& cache, std::string_view bytes) {
    profile::DecodedProfile decoded = profile::decodeProfile(bytes, cache.codePage);
    cache.text = std::move(decoded.text);
    cache.coding = std::move(decoded.coding);
}

// After a write the cache holds the text of what was written: a file whose
// bytes are its text holds it already, any other is read anew.
void adoptWritten(ProfileCache& cache, std::string_view bytes) {
    if (!cache.coding.plain()) decodeInto(cache, bytes);
}

FileState refresh(ProfileCache& cache, const std::string& path) {
    const FileKind kind = fileKind(path);
    if (kind == FileKind::Missing) {
        cache.path = path;
        cache.stamp.reset();
        cache.text = ProfileText();
        cache.coding = profile::FileCoding(kNewFileEncoding);
        cache.valid = true;
        return FileState::Missing;
    }
    const auto stamp = fileStamp(path);
    if (kind != FileKind::Regular || !stamp) {
        cache.valid = false;
        return FileState::Unusable;
    }
    if (cache.valid && cache.path == path && cache.stamp == stamp) return FileState::Parsed;
    cache.valid = false;
    if (stamp->size > profile::kLargestSettingsFile) {
        // No real settings file is this large: it reads as a missing one,
        // left as it is until a save replaces it.
        cache.path = path;
        cache.stamp = stamp;
        cache.text = ProfileText();
        cache.coding = profile::FileCoding(kNewFileEncoding);
        cache.valid = true;
        return FileState::Missing;
    }
    std::string bytes;
    if (!readWholeFile(path, bytes)) return FileState::Unusable;
    cache.path = path;
    cache.stamp = fileStamp(path);
    decodeInto(cache, bytes);
    cache.valid = true;
    return FileState::Parsed;
}

}  // namespace

std::string Win32Platform::GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                                    std::string_view defaultValue, const std::string& file) {
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

bool Win32Platform::WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view value,
                                               const std::string& file) {
    ProfileCache& c = *profile_;
    if (!ProfileText::acceptable(section, key, value)) return false;
    if (c.batching && file == c.batchFile) {
        if (c.batchRefused || !c.batchText.set(section, key, value)) return false;
        c.batchChanged = true;
        return true;
    }
    // A file that exists but can't be read is never replaced: its content would be lost.
    if (refresh(c, file) == FileState::Unusable) return false;
    c.text.set(section, key, value);
    const std::string bytes = profile::encodeProfile(c.text, c.coding, c.codePage);
    if (!replaceFileDurably(file, bytes)) {
        c.valid = false;
        return false;
    }
    c.stamp = fileStamp(file);
    adoptWritten(c, bytes);
    return true;
}

void Win32Platform::BeginProfileBatch(const std::string& file) {
    ProfileCache& c = *profile_;
    if (c.batching) EndProfileBatch();
    c.batching = true;
    c.batchFile = file;
    c.batchChanged = false;
    c.batchRefused = refresh(c, file) == FileState::Unusable;
    c.batchText = c.batchRefused ? ProfileText() : std::move(c.text);
    c.batchCoding = c.batchRefused ? profile::FileCoding() : std::move(c.coding);
    c.valid = false;
}

// False when the file, or a picture saved during the batch, could not be replaced.
bool Win32Platform::EndProfileBatch() {
    ProfileCache& c = *profile_;
    if (!c.batching) return false;
    c.batching = false;
    // The slots' pictures are in their files before the file that lists the slots.
    const bool pictures = commitPendingPictures();
    // What a run ended mid-save left behind goes at a save.
    removeOwnLeftovers(c.batchFile);
    if (c.batchRefused) return false;
    if (!c.batchChanged) {
        c.text = std::move(c.batchText);
        c.coding = std::move(c.batchCoding);
        c.batchText = ProfileText();
        c.valid = true;
        return pictures;
    }
    const std::string bytes = profile::encodeProfile(c.batchText, c.batchCoding, c.codePage);
    if (!replaceFileDurably(c.batchFile, bytes)) return false;
    c.path = c.batchFile;
    c.stamp = fileStamp(c.batchFile);
    c.text = std::move(c.batchText);
    c.coding = std::move(c.batchCoding);
    c.batchText = ProfileText();
    adoptWritten(c, bytes);
    c.valid = true;
    return pictures;
}

}  // namespace qlp::win32
