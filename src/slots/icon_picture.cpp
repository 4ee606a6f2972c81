#include "slots/icon_picture.h"

namespace qlp {

void IconDraw(Launcher&, int) {}
void IconPaste(Launcher&, int) {}
void Command3_Click(Launcher&) {}
void Command4_Click(Launcher&) {}
void Picture1_Click(Launcher&) {}
void Picture2_Click(Launcher&) {}

}  // namespace qlp
