#include "window/window.h"

namespace qlp {

void ALH_Click(Launcher&) {}
void SKchk_Click(Launcher&) {}
void Frame1_MouseDown(Launcher&, int, int, float, float) {}
void Label1_MouseDown(Launcher&, int, int, float, float) {}
void txt_Ktext_MouseDown(Launcher&, int, int, float, float) {}

}  // namespace qlp
