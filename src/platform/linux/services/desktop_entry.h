#pragma once
// Desktop entries (*.desktop), the Linux shortcut: opening one starts the
// application it describes.

#include <string>

namespace qlp::linux_desktop {

bool isDesktopEntryFile(const std::string& path);

// Starts the entry's application as the Desktop Entry rules say (Exec field
// codes, Path, Terminal). `directory` is the working directory unless the
// entry names its own. False when the entry is not valid or did not start.
bool launchDesktopEntry(const std::string& path, const std::string& directory);

}  // namespace qlp::linux_desktop
