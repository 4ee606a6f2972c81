#pragma once
// The notification-area icon and window placement.

#include "model/launcher.h"

namespace qlp {

inline constexpr unsigned kWmLButtonDown = 513;
inline constexpr unsigned kWmLButtonDblClk = 515;
inline constexpr unsigned kWmRButtonDown = 516;

void addTrayIcon(Launcher& app);
void removeTrayIcon(Launcher& app);
// The tray icon's mouse message, delivered with x = message number in twips.
void TaskPicture_MouseMove(Launcher& app, int button, int shift, float x, float y);
void toggleWindow(Launcher& app);
void txt_Ktext_DblClick(Launcher& app);

void ALH_Click(Launcher& app);
void SKchk_Click(Launcher& app);
void Frame1_MouseDown(Launcher& app, int button, int shift, float x, float y);
void Label1_MouseDown(Launcher& app, int button, int shift, float x, float y);
void txt_Ktext_MouseDown(Launcher& app, int button, int shift, float x, float y);

// What the window system did to the window on its own, told to the state.
// Moved by the user or the window manager (twips).
void setFormPosition(Launcher& app, float left, float top);
// Minimised, maximised or restored from outside the launcher.
void setFormWindowState(Launcher& app, WindowState state);
// Brought back from the task bar by the user.
void setFormShown(Launcher& app);

}  // namespace qlp
