#include "window/window.h"

namespace qlp {

void addTrayIcon(Launcher&) {}
void removeTrayIcon(Launcher&) {}
void TaskPicture_MouseMove(Launcher&, int, int, float, float) {}
void toggleWindow(Launcher&) {}
void txt_Ktext_DblClick(Launcher&) {}

}  // namespace qlp
