// Starting programs and opening files, never through cmd.exe.
#include <windows.h>
// The headers that build on windows.h:
#include <shellapi.h>

#include "platform/win32/desktop.h"
#include "platform/win32/on_demand.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace qlp::win32 {

bool startCommandLine(const std::string& commandLine, int showState) {
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::wstring line = widen(commandLine);
    if (line.empty()) return false;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION process{};
    // No application name: the system reads the program from the command
    // line by its own rules (quotes, spaces, the .exe added, the search path).
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

void Win32Platform::ShellExecuteA(HWND owner, std::string_view operation, const std::string& file,
                                  const char* parameters, const std::string& directory, int showCommand) {
    if (file.empty()) return;
    const ::HWND window = desktop_ ? desktop_->windowOf(owner) : nullptr;
    const std::wstring verb = widen(operation);
    const std::wstring path = widen(file);
    const std::wstring arguments = parameters ? widen(parameters) : std::wstring();
    const std::wstring folder = widen(directory);
    onDemand::ensureCom();
    ::ShellExecuteW(window, verb.empty() ? nullptr : verb.c_str(), path.c_str(),
                    arguments.empty() ? nullptr : arguments.c_str(), folder.empty() ? nullptr : folder.c_str(),
                    showCommand);
}

bool Win32Platform::Shell(const std::string& commandLine, int windowStyle) {
    return startCommandLine(commandLine, windowStyle);
}

}  // namespace qlp::win32
