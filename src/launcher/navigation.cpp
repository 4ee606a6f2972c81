#include "launcher/navigation.h"

#include <string>

namespace qlp {

void setPage(Launcher& app, int page) {
    if (app.form1.VScroll1.value == page) return;
    app.form1.VScroll1.value = page;
    VScroll1_Change(app);
}

void VScroll1_Change(Launcher& app) {
    Form1& f = app.form1;
    f.Label1.caption = std::to_string(f.VScroll1.value);
    bringFrameToFront(f, f.VScroll1.value);
    f.txt_Ktext.caption = f.pageNote[f.VScroll1.value];
}

bool VScroll1_KeyDown(Launcher&, int, int) { return false; }
void VScroll1_DragOver(Launcher&, float, float, int) {}
void Image1_MouseMove(Launcher&, int, int, int, float, float) {}

}  // namespace qlp
