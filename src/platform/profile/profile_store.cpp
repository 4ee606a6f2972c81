#include "platform/profile/profile_store.h"

#include <utility>

namespace qlp::profile {

ProfileStore::ProfileStore(ProfileFiles& files, LegacyCodePage& codePage, FileEncoding newFileEncoding)
    : files_(files), codePage_(codePage), newFileEncoding_(newFileEncoding), coding_(newFileEncoding) {}

// The file's bytes become the engine's text right after reading.
void ProfileStore::decode(std::string_view bytes) {
    DecodedProfile decoded = decodeProfile(bytes, codePage_);
    text_ = std::move(decoded.text);
    coding_ = std::move(decoded.coding);
}

// After a write the cache holds the text of what was written: a file whose
// bytes are its text holds it already, any other is read anew.
void ProfileStore::adoptWritten(std::string_view bytes) {
    if (!coding_.plain()) decode(bytes);
}

// A missing file, or one to be left alone, reads as empty and is made new.
void ProfileStore::holdNothing(const std::string& path, const std::optional<FileVersion>& version) {
    path_ = path;
    version_ = version;
    text_ = ProfileText();
    coding_ = FileCoding(newFileEncoding_);
    valid_ = true;
}

// Brings the cache to the current content of `path`.
ProfileStore::FileState ProfileStore::refresh(const std::string& path) {
    const ProfileFiles::Look look = files_.look(path);
    rewrite_ = look.rewrite;
    if (look.kind == ProfileFiles::Kind::Missing) {
        holdNothing(path, std::nullopt);
        return FileState::Missing;
    }
    if (look.kind != ProfileFiles::Kind::Regular) {
        valid_ = false;
        return FileState::Unusable;
    }
    if (valid_ && path_ == path && version_ == look.version) return FileState::Parsed;
    valid_ = false;
    if (look.version.size > kLargestSettingsFile) {
        // No real settings file is this large: it reads as a missing one,
        // left as it is until a save replaces it.
        holdNothing(path, look.version);
        return FileState::Missing;
    }
    std::string bytes;
    std::optional<FileVersion> version;
    if (!files_.read(path, kLargestSettingsFile, bytes, version)) return FileState::Unusable;
    path_ = path;
    version_ = version;
    decode(bytes);
    valid_ = true;
    return FileState::Parsed;
}

std::string ProfileStore::get(std::string_view section, std::string_view key, std::string_view defaultValue,
                              const std::string& file) {
    const ProfileText* text = nullptr;
    if (batching_ && file == batchFile_) {
        if (!batchRefused_) text = &batchText_;
    } else if (refresh(file) != FileState::Unusable) {
        text = &text_;
    }
    const auto value = text ? text->get(section, key) : std::nullopt;
    return std::string(value ? *value : defaultValue);
}

bool ProfileStore::set(std::string_view section, std::string_view key, std::string_view value,
                       const std::string& file) {
    if (!ProfileText::acceptable(section, key, value)) return false;
    if (batching_ && file == batchFile_) {
        if (batchRefused_ || !batchText_.set(section, key, value)) return false;
        batchChanged_ = true;
        return true;
    }
    files_.prepareWrite(file);
    if (refresh(file) == FileState::Unusable) return false;
    text_.set(section, key, value);
    const std::string bytes = encodeProfile(text_, coding_, codePage_);
    std::optional<FileVersion> version;
    if (!files_.replace(file, bytes, version)) {
        valid_ = false;
        return false;
    }
    version_ = version;
    adoptWritten(bytes);
    return true;
}

void ProfileStore::beginBatch(const std::string& file) {
    if (batching_) endBatch();
    batching_ = true;
    batchFile_ = file;
    // What the batch writes beside the file goes into a folder that is there.
    files_.prepareWrite(file);
    batchChanged_ = false;
    const FileState state = refresh(file);
    batchRefused_ = state == FileState::Unusable;
    // An untouched text encodes to the very bytes it was read from.
    batchStartBytes_.reset();
    if (state == FileState::Parsed && !rewrite_) batchStartBytes_ = encodeProfile(text_, coding_, codePage_);
    batchText_ = batchRefused_ ? ProfileText() : std::move(text_);
    batchCoding_ = batchRefused_ ? FileCoding() : std::move(coding_);
    valid_ = false;
}

bool ProfileStore::endBatch() {
    if (!batching_) return false;
    batching_ = false;
    if (batchRefused_) return false;
    if (!batchChanged_) {
        text_ = std::move(batchText_);
        coding_ = std::move(batchCoding_);
        batchText_ = ProfileText();
        valid_ = true;
        return true;
    }
    const std::string bytes = encodeProfile(batchText_, batchCoding_, codePage_);
    std::optional<FileVersion> version = version_;
    // The file holds these bytes already: replacing it would only cost a flush.
    const bool same = batchStartBytes_ && *batchStartBytes_ == bytes;
    batchStartBytes_.reset();
    if (!same && !files_.replace(batchFile_, bytes, version)) return false;
    path_ = batchFile_;
    version_ = version;
    text_ = std::move(batchText_);
    coding_ = std::move(batchCoding_);
    batchText_ = ProfileText();
    adoptWritten(bytes);
    valid_ = true;
    return true;
}

void ProfileStore::adopt(std::string path, const FileVersion& version, ProfileText text, FileCoding coding) {
    if (valid_ || batching_) return;
    path_ = std::move(path);
    version_ = version;
    text_ = std::move(text);
    coding_ = std::move(coding);
    valid_ = true;
}

}  // namespace qlp::profile
