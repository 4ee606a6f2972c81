#pragma once
// The settings file as last read, and the writes of a batch in progress.

#include <optional>
#include <string>

#include "platform/linux/files/file_read.h"
#include "platform/linux/files/iconv_code_page.h"
#include "platform/profile/profile_encoding.h"
#include "platform/profile/profile_text.h"

namespace qlp::linux_desktop {

class ProfileCache {
public:
    // The parsed text of `path` while its identity is unchanged; a missing file is cached as such.
    std::string path;
    std::optional<FileIdentity> identity;
    profile::ProfileText text;
    // What the file's bytes were, to write them back in their encoding.
    profile::FileCoding coding;
    bool valid = false;

    // A batch gathers the writes to `batchFile` in `batchText`, to be written once.
    std::string batchFile;
    bool batching = false;
    // The file could not be read at the batch's start, so no write of the batch is taken.
    bool batchRefused = false;
    bool batchChanged = false;
    profile::ProfileText batchText;
    profile::FileCoding batchCoding;

    // Code page 932, for settings files from the Windows desktop.
    IconvCodePage codePage;
};

}  // namespace qlp::linux_desktop
