// Modal things: the message box, the open-file dialog and popup menus.
#include <windows.h>
// The headers that build on windows.h:
#include <commdlg.h>

#include "platform/win32/desktop.h"
#include "platform/win32/on_demand.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace qlp::win32 {

namespace {

// "caption|pattern|caption|pattern|" as the dialog's list of zero-ended pairs.
std::wstring filterList(const std::string& filter) {
    std::wstring list = widen(filter);
    for (auto& c : list) {
        if (c == L'|') c = L'\0';
    }
    if (list.empty() || list.back() != L'\0') list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

// A menu caption shows "&" as it is, not as a shortcut mark.
std::wstring menuText(const std::string& caption) {
    std::wstring text;
    for (wchar_t c : widen(caption)) {
        if (c == L'&') text.push_back(L'&');
        text.push_back(c);
    }
    return text;
}

}  // namespace

void Win32Platform::MsgBox(const std::string& text) {
    ::HWND owner = nullptr;
    if (desktop_) {
        desktop_->render();
        owner = desktop_->windowOf(kForm1Window);
    }
    ::MessageBoxW(owner, widen(text).c_str(), L"Quillop", MB_OK);
}

std::optional<std::string> Win32Platform::ShowOpen(const std::string& filter, unsigned flags,
                                                   const std::string& initialFile) {
    ::HWND owner = nullptr;
    if (desktop_) {
        desktop_->render();
        owner = desktop_->windowOf(kForm1Window);
    }
    const std::wstring filters = filterList(filter);
    std::wstring file(32768, L'\0');
    const std::wstring initial = widen(initialFile);
    if (initial.size() < file.size()) std::copy(initial.begin(), initial.end(), file.begin());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.Flags = flags | OFN_EXPLORER;
    if (!onDemand::GetOpenFileNameW(&dialog)) return std::nullopt;
    const std::string chosen = narrow(file.c_str());
    if (chosen.empty()) return std::nullopt;
    return chosen;
}

std::optional<MenuId> Win32Platform::PopupMenu(PopupMenuName, const std::vector<PopupEntry>& entries) {
    if (!desktop_) return std::nullopt;
    desktop_->render();
    const ::HWND owner = desktop_->windowOf(kForm1Window);
    const HMENU menu = ::CreatePopupMenu();
    if (!menu) return std::nullopt;
    for (const PopupEntry& e : entries) {
        if (!e.entry.visible) continue;
        if (e.entry.isSeparator()) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (e.entry.checked) flags |= MF_CHECKED;
        if (!e.entry.enabled) flags |= MF_GRAYED;
        ::AppendMenuW(menu, flags, static_cast<UINT_PTR>(e.id) + 1, menuText(e.entry.caption).c_str());
    }
    POINT at{};
    ::GetCursorPos(&at);
    // A menu opened from the notification area closes when clicked away only
    // if its owner is in the foreground.
    ::SetForegroundWindow(owner);
    const int chosen = static_cast<int>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
    ::DestroyMenu(menu);
    ::PostMessageW(owner, WM_NULL, 0, 0);
    if (chosen <= 0) return std::nullopt;
    return static_cast<MenuId>(chosen - 1);
}

}  // namespace qlp::win32
