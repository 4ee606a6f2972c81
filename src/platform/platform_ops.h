#pragma once
// Everything the launcher asks of the operating system and the window layer.
// Named after the Win32 calls where there is one; each returns only what the
// callers rely on. Failures come back as values, never as exceptions.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/launcher.h"

namespace qlp {

using IconHandle = std::intptr_t;  // 0 = no icon
using HINSTANCE = std::intptr_t;

inline constexpr HWND kHwndTopmost = -1;
inline constexpr HWND kHwndNoTopmost = -2;
inline constexpr unsigned kSwpNoSize = 1;
inline constexpr unsigned kSwpNoMove = 2;
inline constexpr int kSwShowMinimized = 2;  // minimised with focus
inline constexpr int kSwShow = 5;
inline constexpr unsigned kDiNormal = 3;
inline constexpr unsigned kSrcCopy = 0x00CC0020u;
inline constexpr unsigned kWmNcLButtonDown = 161;
inline constexpr unsigned kHtCaption = 2;
inline constexpr unsigned kOfnHideReadOnly = 4;

enum class NotifyMessage : unsigned { Add = 0, Modify = 1, Delete = 2 };

// Which of the two icon pictures of the main window the notification icon shows.
enum class TrayIcon : std::intptr_t { None = 0, Shown = 1, Hidden = 2 };

// The notify-icon record in its 88-byte ANSI form.
struct NotifyIconData {
    std::uint32_t cbSize = 0;
    HWND hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    TrayIcon hIcon = TrayIcon::None;
    std::array<char, 64> szTip{};

    bool operator==(const NotifyIconData&) const = default;
};

// One entry of a popup menu as the realisation shows it.
struct PopupEntry {
    MenuId id;
    MenuEntry entry;
};

class PlatformOps {
public:
    virtual ~PlatformOps() = default;

    // --- Kernel and files -------------------------------------------------
    // The directory of the settings and picture files, without trailing separator.
    virtual std::string GetWindowsDirectoryA() = 0;
    // The stored value, whole, or `defaultValue` when file, section or key is missing.
    virtual std::string GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                                 std::string_view defaultValue, const std::string& file) = 0;
    // False when the write was refused or failed; the file is then unchanged.
    virtual bool WritePrivateProfileStringA(std::string_view section, std::string_view key,
                                            std::string_view value, const std::string& file) = 0;
    // Gathers the writes to `file` until EndProfileBatch, which replaces the
    // file once; the file then reads exactly as after the writes one by one.
    virtual void BeginProfileBatch(const std::string& file) = 0;
    virtual bool EndProfileBatch() = 0;
    // Name (without directory) of the normal file at `path`, or empty.
    virtual std::string Dir(const std::string& path) = 0;
    virtual bool Kill(const std::string& path) = 0;
    // Writes a Windows bitmap, replacing an existing file without ever leaving a torn one.
    virtual bool SavePicture(const Bitmap& picture, const std::string& path) = 0;
    // An independent picture read from any picture file; nullopt when it is not one.
    virtual std::optional<Bitmap> LoadPicture(const std::string& path) = 0;
    virtual std::string CurDir() = 0;
    // Seconds since midnight.
    virtual float Timer() = 0;
    virtual bool PrevInstance() = 0;
    virtual HINSTANCE hInstance() = 0;
    // Ends the process; the realisation stops delivering events afterwards.
    virtual void End() = 0;

    // --- Shell ------------------------------------------------------------
    virtual void ShellExecuteA(HWND owner, std::string_view operation, const std::string& file,
                               const char* parameters, const std::string& directory, int showCommand) = 0;
    // Starts `commandLine` as a program; false when it could not be started.
    virtual bool Shell(const std::string& commandLine, int windowStyle) = 0;
    // The icon of the file itself, else that of its type; 0 when there is none.
    virtual IconHandle ExtractAssociatedIconA(HINSTANCE instance, std::string& path, std::uint16_t& iconIndex) = 0;
    virtual bool Shell_NotifyIconA(NotifyMessage message, const NotifyIconData& data) = 0;

    // --- Window manager, graphics and window layer -----------------------------
    virtual bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, unsigned flags) = 0;
    virtual bool SetForegroundWindow(HWND window) = 0;
    virtual bool ReleaseCapture() = 0;
    virtual long SendMessageA(HWND window, unsigned message, long wParam, long lParam) = 0;
    // Draws the icon into the surface's persistent image.
    virtual bool DrawIconEx(Surface& surface, int x, int y, IconHandle icon, int cx, int cy, unsigned step,
                            std::intptr_t brush, unsigned flags) = 0;
    virtual bool DestroyIcon(IconHandle icon) = 0;
    // Copies pixels, clipped to both images.
    virtual bool BitBlt(Surface& destination, int x, int y, int width, int height, const Surface& source, int sx,
                        int sy, unsigned rop) = 0;
    // Modal, one OK button.
    virtual void MsgBox(const std::string& text) = 0;
    // The open-file dialog; nullopt on cancel. `filter` is "caption|pattern|..." .
    virtual std::optional<std::string> ShowOpen(const std::string& filter, unsigned flags,
                                                const std::string& initialFile) = 0;
    // Shows a popup menu at the mouse position, modal; the entry chosen, if any.
    virtual std::optional<MenuId> PopupMenu(PopupMenuName menu, const std::vector<PopupEntry>& entries) = 0;
    // Drags slot image `slot`; the drop, if any, arrives as an event while this runs.
    virtual void Drag(int slot) = 0;
    virtual float TwipsPerPixelX() = 0;
    virtual float TwipsPerPixelY() = 0;
    virtual void DoEvents() = 0;
};

}  // namespace qlp
