#pragma once
// PlatformOps on the Windows desktop, in plain Win32 with the wide (W)
// functions; the core's UTF-8 is converted at each call. The operations are
// defined in one file per concern: platform_files.cpp, platform_profile.cpp,
// platform_pictures.cpp, platform_shell.cpp, win32_placement.cpp,
// win32_tray.cpp, win32_dialogs.cpp and slot_drag.cpp.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_ops.h"
#include "platform/win32/durable_file.h"

namespace qlp::win32 {

class Desktop;
struct ProfileCache;

class Win32Platform : public PlatformOps {
public:
    // `settingsDir` is where the settings and pictures live (tests name one);
    // empty = %APPDATA%\Quillop.
    explicit Win32Platform(std::string settingsDir = {});
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    void attach(Desktop* desktop) { desktop_ = desktop; }
    // Whether another instance held the single-instance mutex when this one started.
    void setPrevInstance(bool running) { prevInstance_ = running; }

    std::string GetWindowsDirectoryA() override;
    std::string GetPrivateProfileStringA(std::string_view section, std::string_view key, std::string_view defaultValue,
                                         const std::string& file) override;
    bool WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view value,
                                    const std::string& file) override;
    void BeginProfileBatch(const std::string& file) override;
    bool EndProfileBatch() override;
    std::string Dir(const std::string& path) override;
    bool Kill(const std::string& path) override;
    bool SavePicture(const Bitmap& picture, const std::string& path) override;
    std::optional<Bitmap> LoadPicture(const std::string& path) override;
    std::string CurDir() override;
    float Timer() override;
    bool PrevInstance() override;
    HINSTANCE hInstance() override;
    void End() override;
    void ShellExecuteA(HWND owner, std::string_view operation, const std::string& file, const char* parameters,
                       const std::string& directory, int showCommand) override;
    bool Shell(const std::string& commandLine, int windowStyle) override;
    IconHandle ExtractAssociatedIconA(HINSTANCE instance, std::string& path, std::uint16_t& iconIndex) override;
    bool Shell_NotifyIconA(NotifyMessage message, const NotifyIconData& data) override;
    bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, unsigned flags) override;
    bool SetForegroundWindow(HWND window) override;
    bool ReleaseCapture() override;
    long SendMessageA(HWND window, unsigned message, long wParam, long lParam) override;
    bool DrawIconEx(Surface& surface, int x, int y, IconHandle icon, int cx, int cy, unsigned step, std::intptr_t brush,
                    unsigned flags) override;
    bool DestroyIcon(IconHandle icon) override;
    bool BitBlt(Surface& destination, int x, int y, int width, int height, const Surface& source, int sx, int sy,
                unsigned rop) override;
    void MsgBox(const std::string& text) override;
    std::optional<std::string> ShowOpen(const std::string& filter, unsigned flags,
                                        const std::string& initialFile) override;
    std::optional<MenuId> PopupMenu(PopupMenuName menu, const std::vector<PopupEntry>& entries) override;
    void Drag(int slot) override;
    float TwipsPerPixelX() override;
    float TwipsPerPixelY() override;
    void DoEvents() override;

private:
    // Replaces the pictures the save in progress gathered; whether every one was.
    bool commitPendingPictures();
    // Removes what a run ended mid-save left beside the files of `file`'s folder.
    void removeOwnLeftovers(const std::string& file);

    Desktop* desktop_ = nullptr;
    std::string settingsDir_;
    bool prevInstance_ = false;
    std::unique_ptr<ProfileCache> profile_;
    // The new pictures of a save in progress, replaced together when it ends.
    std::vector<Replacement> pendingPictures_;
};

// The command line of `Shell` as CreateProcessW gets it: no shell in between,
// the program found by the system's own rules. False when it did not start.
bool startCommandLine(const std::string& commandLine, int showState);

}  // namespace qlp::win32
