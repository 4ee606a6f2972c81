#pragma once
// PlatformOps on the Linux desktop, with Qt 6 and POSIX. The operations are
// defined in one file per concern: platform_files.cpp, platform_profile.cpp,
// platform_pictures.cpp, platform_shell.cpp, platform_window.cpp,
// platform_dialogs.cpp.

#include <QIcon>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/linux/services/icon_lookup.h"
#include "platform/linux/startup/startup_prefetch.h"
#include "platform/platform_ops.h"

namespace qlp::linux_desktop {

class Desktop;
class ProfileCache;

class LinuxPlatform : public PlatformOps {
public:
    // `configDir` overrides the per-user directory (tests); empty = $XDG_CONFIG_HOME/quillop.
    explicit LinuxPlatform(std::string configDir = {});
    ~LinuxPlatform() override;

    void attach(Desktop* desktop) { desktop_ = desktop; }
    // Whether another instance held the single-instance lock when this one started.
    void setPrevInstance(bool running) { prevInstance_ = running; }
    // Starts reading what the start-up reads first on a second thread; the
    // first operation that needs the files takes what it found.
    void prefetchStartupFiles();
    // Once the application object exists and Qt knows the desktop's icon
    // theme: lets that thread go on to the icons of the front page's slots
    // without a picture.
    void prefetchIcons();
    // Waits for that thread to end; called before the application object
    // goes, as the thread may be using Qt until then.
    void endPrefetch();
    // Takes over files read ahead; each is used only while its file is unchanged.
    void adoptStartupFiles(StartupFiles files);

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
    // Moves the pictures written during a save into place, after one flush.
    void commitPendingPictures();
    // Makes the settings folder again when `file` is to be written into it
    // and it has been removed while the launcher ran.
    void ensureSettingsFolder(const std::string& file);
    // Removes the temporary files that a run ended mid-save left beside
    // `file` and the picture files of its folder.
    void removeOwnLeftovers(const std::string& file);
    // Takes over what the start-up reading found, once it has ended.
    void adoptPrefetch();
    // The same for the icons it looked up, and ends the reading.
    void adoptPrefetchedIcons();

    Desktop* desktop_ = nullptr;
    std::string configDir_;
    bool prevInstance_ = false;
    // Icons handed out by ExtractAssociatedIconA, until DestroyIcon.
    std::map<IconHandle, QIcon> icons_;
    IconHandle nextIcon_ = 1;
    // The icon theme and the icons rendered so far, so a drop stays fast.
    IconLookup iconLookup_;
    // The settings file as last parsed, and a batch of writes in progress.
    std::unique_ptr<ProfileCache> profile_;
    std::unique_ptr<StartupPrefetch> prefetch_;
    // Slot pictures read ahead, by file; each is taken once.
    std::map<std::string, PrefetchedPicture> prefetchedPictures_;
    // The scratch picture as last written here, read back without the disk
    // while the file is the one written.
    std::optional<PrefetchedPicture> scratch_;
    // The scratch picture could not be written: it lives in `scratch_` alone.
    bool scratchInMemory_ = false;
    // Pictures of the save in progress: temporary file, file it replaces.
    std::vector<std::pair<std::string, std::string>> pendingPictures_;
};

}  // namespace qlp::linux_desktop
