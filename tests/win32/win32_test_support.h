#pragma once
// What the Windows realisation's tests share: a fresh folder per test (its
// name outside the ANSI code page, so every call must take wide names), whole
// files as bytes, and waiting for a file another process writes.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "platform/win32/wide_text.h"

namespace qlp::test {

class WinTempDir {
public:
    WinTempDir() {
        // Wine hands a new process the number of one that just ended, so the
        // name also carries random bits; a folder that is already there is never reused.
        std::random_device random;
        for (;;) {
            // Hangul is not in code page 932: an A function could not name this folder.
            path_ = std::filesystem::temp_directory_path() /
                    (L"qlp-\uD14C\uC2A4\uD2B8-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                     std::to_wstring(random()) + std::to_wstring(random()));
            if (std::filesystem::create_directory(path_)) break;
        }
    }
    WinTempDir(const WinTempDir&) = delete;
    WinTempDir& operator=(const WinTempDir&) = delete;
    ~WinTempDir() {
        // A program a test started may still be ending, its file in use.
        for (int attempt = 0; attempt < 50; ++attempt) {
            std::error_code ec;
            std::filesystem::remove_all(path_, ec);
            if (!ec) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    const std::filesystem::path& path() const { return path_; }
    // UTF-8, as the core names files.
    std::string utf8() const { return win32::narrow(path_.wstring()); }
    std::string file(const std::string& name) const { return utf8() + "\\" + name; }
    std::filesystem::path at(const std::string& name) const { return path_ / win32::widen(name); }

private:
    std::filesystem::path path_;
};

inline std::string readBytes(const std::filesystem::path& path) {
    std::string bytes;
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    ::CloseHandle(file);
    return bytes;
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// Waits up to `seconds` for a file another process writes and closes.
inline bool waitForFile(const std::filesystem::path& path, double seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        std::error_code ec;
        if (std::filesystem::exists(path, ec)) {
            // Written complete once it opens for exclusive reading.
            const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                ::CloseHandle(file);
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}  // namespace qlp::test
