#pragma once
// The window classes of the main window and their window procedures: each
// message that means an event becomes one handler call through the desktop.

#include <windows.h>

namespace qlp::win32 {

class MainWindow;

inline constexpr const wchar_t* kForm1Class = L"QuillopForm1";
inline constexpr const wchar_t* kAreaClass = L"QuillopArea";
inline constexpr const wchar_t* kPageClass = L"QuillopPage";
inline constexpr int kText2Id = 2;
// A page window's child-window id is this plus its page number.
inline constexpr int kFirstPageId = 100;

// What a plain area of the main window stands for (its child-window id).
enum class AreaRole { Frame1 = 10, Label1 = 11, Ktext = 12 };

void registerWindowClasses(::HINSTANCE instance);
// The page scroll bar's keys go to the launcher's key handler first.
void subclassScrollBar(::HWND scroll, MainWindow* owner);

}  // namespace qlp::win32
