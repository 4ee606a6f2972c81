#pragma once
// A PlatformOps that records every call and answers with what the test set up.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform_ops.h"

namespace qlp::test {

struct Call {
    std::string name;
    std::vector<std::string> args;

    bool operator==(const Call&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Call& call);

class FakePlatform : public PlatformOps {
public:
    // --- canned answers ---------------------------------------------------
    std::string windowsDirectory = "/home/user/.config/quillop";
    // Settings files held in memory: file -> section -> key -> value, matched
    // without regard to case; the first spelling written is kept.
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    std::map<std::string, std::vector<Section>> profiles;
    bool profileWritesFail = false;
    // Normal files that exist (full paths), and picture files with their content.
    std::set<std::string> files;
    std::map<std::string, Bitmap> pictures;
    bool savePictureFails = false;
    std::string currentDirectory = "/home/user";
    float timer = 0;
    bool prevInstance = false;
    bool shellSucceeds = true;
    // Icon returned for a path (0 = none); by default every path gets a new icon.
    std::function<IconHandle(const std::string&)> iconFor;
    // The colour DrawIconEx paints for an icon (one pixel at 0,0 and the icon's square).
    int iconSize = 32;
    std::optional<std::string> openDialogResult;
    std::deque<std::optional<MenuId>> popupChoices;
    std::vector<std::vector<PopupEntry>> popupsShown;
    // Runs inside Drag(), as if the user dropped while dragging.
    std::function<void(int)> onDrag;
    // Runs inside PopupMenu(), before the choice is returned.
    std::function<void()> onPopup;
    // Runs after every recorded call, with the launcher's state as it is at that moment.
    std::function<void(const Call&)> onCall;
    float twipsPerPixelX = 15;
    float twipsPerPixelY = 15;

    // --- what happened ----------------------------------------------------
    std::vector<Call> calls;
    std::vector<std::string> messages;
    bool endCalled = false;

    std::vector<std::string> callNames() const;
    std::vector<Call> callsNamed(const std::string& name) const;
    // Reads a value as the profile engine would, without recording a call.
    std::optional<std::string> profileValue(const std::string& file, const std::string& section,
                                            const std::string& key) const;
    void setProfileValue(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& value);

    // --- PlatformOps ------------------------------------------------------
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
    bool DrawIconEx(Surface& surface, int x, int y, IconHandle icon, int cx, int cy, unsigned step,
                    std::intptr_t brush, unsigned flags) override;
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

    // The colour that DrawIconEx paints for an icon handle.
    static std::uint32_t iconColour(IconHandle icon);

private:
    void record(std::string name, std::vector<std::string> args = {});
    IconHandle nextIcon_ = 100;
    std::map<IconHandle, std::string> liveIcons_;
};

}  // namespace qlp::test
