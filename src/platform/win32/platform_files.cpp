// Directories, files, time and the process.
#include <windows.h>

#include <set>

#include "model/files.h"
#include "platform/win32/desktop.h"
#include "platform/win32/durable_file.h"
#include "platform/win32/profile_cache.h"
#include "platform/win32/settings_folder.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace qlp::win32 {

Win32Platform::Win32Platform(std::string settingsDir)
    : settingsDir_(std::move(settingsDir)), profile_(std::make_unique<ProfileCache>()) {}

Win32Platform::~Win32Platform() = default;

std::string Win32Platform::GetWindowsDirectoryA() {
    if (settingsDir_.empty()) settingsDir_ = perUserFolder();
    return settingsDir_;
}

std::string Win32Platform::Dir(const std::string& path) {
    if (fileKind(path) != FileKind::Regular) return {};
    // The name as the file system spells it, as a directory listing gives it.
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(widen(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    ::FindClose(search);
    return narrow(found.cFileName);
}

void Win32Platform::removeOwnLeftovers(const std::string& file) {
    const std::size_t slash = file.find_last_of("\\/");
    if (slash == std::string::npos) return;
    // Names are the same whatever their case, as the folder's are.
    const auto folded = [](std::string_view name) {
        std::string lower(name);
        for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return lower;
    };
    std::set<std::string, std::less<>> names{folded(file.substr(slash + 1))};
    for (int i = 0; i < kSlotCount; ++i) names.insert(folded(slotPictureFileName(i)));
    removeLeftovers(file.substr(0, slash), [&](std::string_view name) { return names.count(folded(name)) > 0; });
}

bool Win32Platform::Kill(const std::string& path) { return ::DeleteFileW(widen(path).c_str()) != FALSE; }

std::string Win32Platform::CurDir() {
    const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return {};
    std::wstring buffer(n, L'\0');
    const DWORD written = ::GetCurrentDirectoryW(n, buffer.data());
    buffer.resize(written < n ? written : 0);
    return narrow(buffer);
}

float Win32Platform::Timer() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return static_cast<float>(now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0);
}

bool Win32Platform::PrevInstance() { return prevInstance_; }

HINSTANCE Win32Platform::hInstance() { return reinterpret_cast<HINSTANCE>(::GetModuleHandleW(nullptr)); }

void Win32Platform::End() {
    // Leaves the message loop; wWinMain returns and the process ends.
    ::PostQuitMessage(0);
}

float Win32Platform::TwipsPerPixelX() {
    return desktop_ ? desktop_->twipsPerPixelX() : 1440.0f / static_cast<float>(windowDpi(nullptr));
}

float Win32Platform::TwipsPerPixelY() {
    return desktop_ ? desktop_->twipsPerPixelY() : 1440.0f / static_cast<float>(windowDpi(nullptr));
}

void Win32Platform::DoEvents() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Left for the message loop, which ends on it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace qlp::win32
