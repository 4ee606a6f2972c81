#include "platform/win32/settings_folder.h"

#include <windows.h>
// The headers that build on windows.h:
#include <shlobj.h>

#include "platform/win32/durable_file.h"
#include "platform/win32/wide_text.h"

namespace qlp::win32 {

namespace {

constexpr const wchar_t* kSettingsFile = L"QLPconf.ini";

std::wstring knownFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
    return buffer;
}

bool isFile(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Copies beside the target first and moves it in, so a half-copied file is never taken for the real one.
bool copyInto(const std::wstring& from, const std::wstring& to) {
    const std::wstring temporary = to + L".tmp";
    if (!::CopyFileW(from.c_str(), temporary.c_str(), FALSE)) return false;
    if (!::MoveFileExW(temporary.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::string perUserFolder() {
    const std::wstring appData = knownFolder(CSIDL_APPDATA);
    if (appData.empty()) return {};
    const std::wstring folder = appData + L"\\Quillop";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return narrow(folder);
}

std::vector<std::string> legacyFolders() {
    std::vector<std::string> folders;
    const std::wstring local = knownFolder(CSIDL_LOCAL_APPDATA);
    if (!local.empty()) folders.push_back(narrow(local + L"\\VirtualStore\\Windows"));
    wchar_t windows[MAX_PATH] = {};
    const UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (n > 0 && n < MAX_PATH) folders.push_back(narrow(windows));
    return folders;
}

bool importLegacySettings(const std::string& folder, const std::vector<std::string>& sources) {
    const std::wstring to = widen(folder);
    if (to.empty() || isFile(to + L"\\" + kSettingsFile)) return false;
    for (const std::string& source : sources) {
        const std::wstring from = widen(source);
        if (from.empty() || !isFile(from + L"\\" + kSettingsFile)) continue;
        WIN32_FIND_DATAW found{};
        const HANDLE search = ::FindFirstFileW((from + L"\\Licn*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                copyInto(from + L"\\" + found.cFileName, to + L"\\" + found.cFileName);
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        return copyInto(from + L"\\" + kSettingsFile, to + L"\\" + kSettingsFile);
    }
    return false;
}

}  // namespace qlp::win32
