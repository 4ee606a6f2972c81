#include "platform/win32/on_demand.h"

#include <objbase.h>

namespace qlp::win32::onDemand {

namespace {

::HMODULE systemLibrary(const wchar_t* name) {
    // From the system folder only (after the manifest's side-by-side
    // redirection), never a same-named file beside the program or in the
    // current folder. Systems without that search fall back to the search a
    // load-time import would have made.
    ::HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module && ::GetLastError() == ERROR_INVALID_PARAMETER) module = ::LoadLibraryW(name);
    return module;
}

::HMODULE commonControls() {
    static const ::HMODULE module = systemLibrary(L"comctl32.dll");
    return module;
}

::HMODULE commonDialogs() {
    static const ::HMODULE module = systemLibrary(L"comdlg32.dll");
    return module;
}

::HMODULE com() {
    static const ::HMODULE module = systemLibrary(L"ole32.dll");
    return module;
}

template <class Function>
Function* bound(::HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

thread_local bool inApartment = false;

}  // namespace

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
    static const auto function = bound<decltype(::InitCommonControlsEx)>(commonControls(), "InitCommonControlsEx");
    return function ? function(controls) : FALSE;
}

BOOL SetWindowSubclass(::HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
    static const auto function = bound<decltype(::SetWindowSubclass)>(commonControls(), "SetWindowSubclass");
    return function ? function(window, proc, id, data) : FALSE;
}

BOOL RemoveWindowSubclass(::HWND window, SUBCLASSPROC proc, UINT_PTR id) {
    static const auto function = bound<decltype(::RemoveWindowSubclass)>(commonControls(), "RemoveWindowSubclass");
    return function ? function(window, proc, id) : FALSE;
}

LRESULT DefSubclassProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static const auto function = bound<decltype(::DefSubclassProc)>(commonControls(), "DefSubclassProc");
    // Only ever called from a subclass procedure, which exists only if the library does.
    return function ? function(window, message, wParam, lParam) : ::DefWindowProcW(window, message, wParam, lParam);
}

BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) {
    static const auto function = bound<decltype(::GetOpenFileNameW)>(commonDialogs(), "GetOpenFileNameW");
    if (!function) return FALSE;
    ensureCom();
    return function(dialog);
}

void ensureCom() {
    if (inApartment) return;
    static const auto enter = bound<decltype(::CoInitializeEx)>(com(), "CoInitializeEx");
    // S_FALSE (already in one) is left by a matching CoUninitialize as well.
    inApartment = enter && SUCCEEDED(enter(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

void leaveCom() {
    if (!inApartment) return;
    static const auto leave = bound<decltype(::CoUninitialize)>(com(), "CoUninitialize");
    if (leave) leave();
    inApartment = false;
}

std::wstring commonControlsFile() {
    const ::HMODULE module = ::GetModuleHandleW(L"comctl32.dll");
    if (!module) return {};
    std::wstring path(MAX_PATH, L'\0');
    const DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n < path.size() ? n : 0);
    return path;
}

}  // namespace qlp::win32::onDemand
