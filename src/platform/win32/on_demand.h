#pragma once
// System libraries bound when first used instead of when the program is
// loaded: each one loaded costs every start its time, and most starts never
// open a dialog, a file chooser or the shell. The common controls (the
// dialogs' sliders, hover texts, subclassing), the file chooser and COM come
// from here; the shell's own functions are bound at load, since the settings
// folder is found through them before the window is shown.
//
// A function whose library cannot be loaded fails as its own failure would
// (FALSE, E_FAIL): the caller already handles that.

#include <windows.h>
// The headers that build on windows.h:
#include <commctrl.h>
#include <commdlg.h>

#include <string>

namespace qlp::win32::onDemand {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls);
BOOL SetWindowSubclass(::HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
BOOL RemoveWindowSubclass(::HWND window, SUBCLASSPROC proc, UINT_PTR id);
LRESULT DefSubclassProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL GetOpenFileNameW(OPENFILENAMEW* dialog);

// The shell's icon, association and start functions want the calling thread
// in a single-threaded apartment: entered at the first need, left by
// leaveCom() at the end of the program.
void ensureCom();
void leaveCom();

// The file the common controls were loaded from (empty before their first
// use): the manifest's version 6 lives in the side-by-side store.
std::wstring commonControlsFile();

}  // namespace qlp::win32::onDemand
