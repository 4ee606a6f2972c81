#include "support/fake_platform.h"

#include <algorithm>
#include <ostream>

#include "model/text.h"

namespace qlp::test {

namespace {

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const Call& call) {
    os << call.name << "(";
    for (std::size_t i = 0; i < call.args.size(); ++i) os << (i ? ", " : "") << '"' << call.args[i] << '"';
    return os << ")";
}

void FakePlatform::record(std::string name, std::vector<std::string> args) {
    calls.push_back({std::move(name), std::move(args)});
    if (onCall) onCall(calls.back());
}

std::vector<std::string> FakePlatform::callNames() const {
    std::vector<std::string> names;
    for (const auto& c : calls) names.push_back(c.name);
    return names;
}

std::vector<Call> FakePlatform::callsNamed(const std::string& name) const {
    std::vector<Call> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out), [&](const Call& c) { return c.name == name; });
    return out;
}

std::optional<std::string> FakePlatform::profileValue(const std::string& file, const std::string& section,
                                                      const std::string& key) const {
    const auto f = profiles.find(file);
    if (f == profiles.end()) return std::nullopt;
    for (const auto& s : f->second) {
        if (!sameText(s.name, section)) continue;
        for (const auto& e : s.entries) {
            if (sameText(e.key, key)) return e.value;
        }
        return std::nullopt;  // the first of duplicate sections is the one searched
    }
    return std::nullopt;
}

void FakePlatform::setProfileValue(const std::string& file, const std::string& section, const std::string& key,
                                   const std::string& value) {
    auto& sections = profiles[file];
    auto s = std::find_if(sections.begin(), sections.end(), [&](const Section& x) { return sameText(x.name, section); });
    if (s == sections.end()) {
        sections.push_back({section, {}});
        s = sections.end() - 1;
    }
    auto e = std::find_if(s->entries.begin(), s->entries.end(), [&](const Entry& x) { return sameText(x.key, key); });
    if (e == s->entries.end()) {
        s->entries.push_back({key, value});
    } else {
        e->value = value;
    }
}

std::string FakePlatform::GetWindowsDirectoryA() {
    record("GetWindowsDirectoryA");
    return windowsDirectory;
}

std::string FakePlatform::GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                                   std::string_view defaultValue, const std::string& file) {
    record("GetPrivateProfileStringA", {std::string(section), std::string(key), std::string(defaultValue), file});
    auto v = profileValue(file, std::string(section), std::string(key));
    return v ? *v : std::string(defaultValue);
}

bool FakePlatform::WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view value,
                                              const std::string& file) {
    record("WritePrivateProfileStringA", {std::string(section), std::string(key), std::string(value), file});
    if (profileWritesFail) return false;
    setProfileValue(file, std::string(section), std::string(key), std::string(value));
    return true;
}

void FakePlatform::BeginProfileBatch(const std::string& file) { record("BeginProfileBatch", {file}); }

bool FakePlatform::EndProfileBatch() {
    record("EndProfileBatch");
    return !profileWritesFail;
}

std::string FakePlatform::Dir(const std::string& path) {
    record("Dir", {path});
    return files.count(path) ? baseName(path) : std::string();
}

bool FakePlatform::Kill(const std::string& path) {
    record("Kill", {path});
    pictures.erase(path);
    return files.erase(path) > 0;
}

bool FakePlatform::SavePicture(const Bitmap& picture, const std::string& path) {
    record("SavePicture", {path});
    if (savePictureFails) return false;
    pictures[path] = picture;
    files.insert(path);
    return true;
}

std::optional<Bitmap> FakePlatform::LoadPicture(const std::string& path) {
    record("LoadPicture", {path});
    const auto it = pictures.find(path);
    if (it == pictures.end()) return std::nullopt;
    return it->second;
}

std::string FakePlatform::CurDir() {
    record("CurDir");
    return currentDirectory;
}

float FakePlatform::Timer() {
    record("Timer");
    return timer;
}

bool FakePlatform::PrevInstance() {
    record("PrevInstance");
    return prevInstance;
}

HINSTANCE FakePlatform::hInstance() { return 0x400000; }

void FakePlatform::End() {
    record("End");
    endCalled = true;
}

void FakePlatform::ShellExecuteA(HWND owner, std::string_view operation, const std::string& file,
                                 const char* parameters, const std::string& directory, int showCommand) {
    record("ShellExecuteA", {std::to_string(owner), std::string(operation), file,
                             parameters ? std::string(parameters) : std::string("<null>"), directory,
                             std::to_string(showCommand)});
}

bool FakePlatform::Shell(const std::string& commandLine, int windowStyle) {
    record("Shell", {commandLine, std::to_string(windowStyle)});
    return shellSucceeds;
}

IconHandle FakePlatform::ExtractAssociatedIconA(HINSTANCE, std::string& path, std::uint16_t& iconIndex) {
    record("ExtractAssociatedIconA", {path, std::to_string(iconIndex)});
    const IconHandle icon = iconFor ? iconFor(path) : nextIcon_++;
    if (icon != 0) liveIcons_[icon] = path;
    return icon;
}

bool FakePlatform::Shell_NotifyIconA(NotifyMessage message, const NotifyIconData& data) {
    record("Shell_NotifyIconA",
           {std::to_string(static_cast<unsigned>(message)), std::to_string(data.cbSize), std::to_string(data.hWnd),
            std::to_string(data.uID), std::to_string(data.uFlags), std::to_string(data.uCallbackMessage),
            std::to_string(static_cast<std::intptr_t>(data.hIcon)), std::string(data.szTip.data())});
    return true;
}

bool FakePlatform::SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, unsigned flags) {
    record("SetWindowPos", {std::to_string(window), std::to_string(insertAfter), std::to_string(x), std::to_string(y),
                            std::to_string(cx), std::to_string(cy), std::to_string(flags)});
    return true;
}

bool FakePlatform::SetForegroundWindow(HWND window) {
    record("SetForegroundWindow", {std::to_string(window)});
    return true;
}

bool FakePlatform::ReleaseCapture() {
    record("ReleaseCapture");
    return true;
}

long FakePlatform::SendMessageA(HWND window, unsigned message, long wParam, long lParam) {
    record("SendMessageA",
           {std::to_string(window), std::to_string(message), std::to_string(wParam), std::to_string(lParam)});
    return 0;
}

std::uint32_t FakePlatform::iconColour(IconHandle icon) {
    return 0xFF000000u | (static_cast<std::uint32_t>(icon) * 2654435761u & 0x00FFFFFFu);
}

bool FakePlatform::DrawIconEx(Surface& surface, int x, int y, IconHandle icon, int cx, int cy, unsigned step,
                              std::intptr_t brush, unsigned flags) {
    record("DrawIconEx", {std::to_string(x), std::to_string(y), std::to_string(icon), std::to_string(cx),
                          std::to_string(cy), std::to_string(step), std::to_string(brush), std::to_string(flags)});
    if (icon == 0 || !liveIcons_.count(icon)) return false;
    const std::uint32_t colour = iconColour(icon);
    for (int row = y; row < std::min(surface.image.height, y + iconSize); ++row) {
        for (int col = x; col < std::min(surface.image.width, x + iconSize); ++col) {
            surface.image.pixels[static_cast<std::size_t>(row) * surface.image.width + col] = colour;
        }
    }
    return true;
}

bool FakePlatform::DestroyIcon(IconHandle icon) {
    record("DestroyIcon", {std::to_string(icon)});
    return liveIcons_.erase(icon) > 0;
}

bool FakePlatform::BitBlt(Surface& destination, int x, int y, int width, int height, const Surface& source, int sx,
                          int sy, unsigned rop) {
    record("BitBlt", {std::to_string(x), std::to_string(y), std::to_string(width), std::to_string(height),
                      std::to_string(sx), std::to_string(sy), std::to_string(rop)});
    for (int row = 0; row < height; ++row) {
        const int dy = y + row, syy = sy + row;
        if (dy < 0 || syy < 0 || dy >= destination.image.height || syy >= source.image.height) continue;
        for (int col = 0; col < width; ++col) {
            const int dx = x + col, sxx = sx + col;
            if (dx < 0 || sxx < 0 || dx >= destination.image.width || sxx >= source.image.width) continue;
            destination.image.pixels[static_cast<std::size_t>(dy) * destination.image.width + dx] =
                source.image.pixels[static_cast<std::size_t>(syy) * source.image.width + sxx];
        }
    }
    return true;
}

void FakePlatform::MsgBox(const std::string& text) {
    record("MsgBox", {text});
    messages.push_back(text);
}

std::optional<std::string> FakePlatform::ShowOpen(const std::string& filter, unsigned flags,
                                                  const std::string& initialFile) {
    record("ShowOpen", {filter, std::to_string(flags), initialFile});
    return openDialogResult;
}

std::optional<MenuId> FakePlatform::PopupMenu(PopupMenuName menu, const std::vector<PopupEntry>& entries) {
    record("PopupMenu", {menu == PopupMenuName::ppm ? "ppm" : "Tcom"});
    popupsShown.push_back(entries);
    if (onPopup) onPopup();
    if (popupChoices.empty()) return std::nullopt;
    auto choice = popupChoices.front();
    popupChoices.pop_front();
    return choice;
}

void FakePlatform::Drag(int slot) {
    record("Drag", {std::to_string(slot)});
    if (onDrag) onDrag(slot);
}

float FakePlatform::TwipsPerPixelX() { return twipsPerPixelX; }
float FakePlatform::TwipsPerPixelY() { return twipsPerPixelY; }

void FakePlatform::DoEvents() { record("DoEvents"); }

}  // namespace qlp::test
