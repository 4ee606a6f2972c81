#pragma once
// The settings file through the portable store, on the Windows file system.

#include <optional>
#include <string>
#include <string_view>

#include "platform/profile/profile_store.h"
#include "platform/win32/ansi_code_page.h"

namespace qlp::win32 {

class SettingsFiles final : public profile::ProfileFiles {
public:
    Look look(const std::string& path) override;
    bool read(const std::string& path, std::size_t limit, std::string& bytes,
              std::optional<profile::FileVersion>& version) override;
    bool replace(const std::string& path, std::string_view bytes,
                 std::optional<profile::FileVersion>& version) override;
};

// The settings file as last read, and the writes of a batch in progress.
struct ProfileCache {
    // A file made here is in the ANSI code page, so other Windows programs that
    // read the settings file read it right; text the code page lacks makes it UTF-8.
    AnsiCodePage codePage;
    SettingsFiles files;
    profile::ProfileStore store{files, codePage, profile::FileEncoding::Legacy};
};

}  // namespace qlp::win32
