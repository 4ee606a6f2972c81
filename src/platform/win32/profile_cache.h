#pragma once
// The settings file as last read, and the writes of a batch in progress.

#include <optional>
#include <string>

#include "platform/profile/profile_encoding.h"
#include "platform/profile/profile_text.h"
#include "platform/win32/ansi_code_page.h"
#include "platform/win32/durable_file.h"

namespace qlp::win32 {

struct ProfileCache {
    // The parsed text of `path` while its stamp is unchanged; a missing file is cached as such.
    std::string path;
    std::optional<FileStamp> stamp;
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

    AnsiCodePage codePage;
};

}  // namespace qlp::win32
