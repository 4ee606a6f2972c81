// A program the launch tests start: it writes what it was given - its
// arguments as the C runtime splits them, the show state asked of it, its
// working directory and the program that started it - one per line in UTF-8,
// to the file named by its first argument, then ends.
#include <windows.h>
// The headers that build on windows.h:
#include <shellapi.h>
#include <tlhelp32.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace {

std::wstring parentName() {
    const DWORD self = ::GetCurrentProcessId();
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return L"?";
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL ok = ::Process32FirstW(snapshot, &entry); ok; ok = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
    }
    std::wstring name = L"?";
    entry.dwSize = sizeof entry;
    for (BOOL ok = ::Process32FirstW(snapshot, &entry); ok; ok = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == parent) name = entry.szExeFile;
    }
    ::CloseHandle(snapshot);
    return name;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    wchar_t cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    std::string out;
    out += "show=" + std::to_string((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1) + "\n";
    out += "cwd=" + qlp::win32::narrow(cwd) + "\n";
    out += "parent=" + qlp::win32::narrow(parentName()) + "\n";
    for (int i = 2; i < argc; ++i) out += "arg=" + qlp::win32::narrow(argv[i]) + "\n";
    // Written beside and moved in, so the test never reads half a file.
    const std::wstring target = argv[1];
    const std::wstring temporary = target + L".part";
    const HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    ::WriteFile(file, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
    ::CloseHandle(file);
    ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}
