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

}  // namespace qlp
