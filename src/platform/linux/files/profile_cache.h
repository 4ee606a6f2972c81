#pragma once
// The settings file through the portable store, on the Linux file system.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/files/file_read.h"
#include "platform/linux/files/iconv_code_page.h"
#include "platform/profile/profile_store.h"

namespace qlp::linux_desktop {

// The store's version of a file: its device, inode, size and modification time.
profile::FileVersion versionOf(const FileIdentity& identity);

class SettingsFiles final : public profile::ProfileFiles {
public:
    explicit SettingsFiles(std::function<void(const std::string&)> prepareWrite)
        : prepareWrite_(std::move(prepareWrite)) {}

    Look look(const std::string& path) override;
    bool read(const std::string& path, std::size_t limit, std::string& bytes,
              std::optional<profile::FileVersion>& version) override;
    bool replace(const std::string& path, std::string_view bytes,
                 std::optional<profile::FileVersion>& version) override;
    void prepareWrite(const std::string& path) override { prepareWrite_(path); }

private:
    std::function<void(const std::string&)> prepareWrite_;
};

// The settings file as last read, and the writes of a batch in progress.
class ProfileCache {
public:
    // `prepareWrite` makes the folder a write to the file needs.
    explicit ProfileCache(std::function<void(const std::string&)> prepareWrite)
        : files(std::move(prepareWrite)), store(files, codePage, profile::FileEncoding::Utf8) {}

    // Code page 932, for settings files from the Windows desktop; a file made here is UTF-8.
    IconvCodePage codePage;
    SettingsFiles files;
    profile::ProfileStore store;
};

}  // namespace qlp::linux_desktop
