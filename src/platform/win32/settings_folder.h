#pragma once
// Where the settings file and the slot pictures live on Windows:
// %APPDATA%\Quillop, since a standard user cannot write to the Windows
// directory (and a program with a manifest gets no file virtualisation).

#include <string>
#include <vector>

namespace qlp::win32 {

// %APPDATA%\Quillop, made when missing; UTF-8. Empty when there is no such folder.
std::string perUserFolder();

// Where earlier versions kept their files: the virtualised copy of the Windows
// directory first (what such a version saw when it existed), then the Windows directory.
std::vector<std::string> legacyFolders();

// When `folder` has no QLPconf.ini, copies QLPconf.ini and the Licn* files
// from the first of `sources` that has a QLPconf.ini. A copy, never a move:
// the old files stay for anything else that reads them. The settings file
// comes last, so an import cut short is done again at the next start.
// True when something was imported.
bool importLegacySettings(const std::string& folder, const std::vector<std::string>& sources);

}  // namespace qlp::win32
