#include "menu/menu.h"
#include "platform/platform_ops.h"
#include "window/window.h"

namespace qlp {

namespace {

inline constexpr unsigned kKeepPositionAndSize = kSwpNoSize | kSwpNoMove;

// Lets the window manager move the window as if its title bar had been pressed.
void startWindowDrag(Launcher& app) {
    app.ops.ReleaseCapture();
    app.ops.SendMessageA(kForm1Window, kWmNcLButtonDown, kHtCaption, 0);
}

bool leftButtonIn(int button) { return (button & kLeftButton) != 0; }

}  // namespace

void ALH_Click(Launcher& app) {
    MenuEntry& alh = app.form1.ALH;
    app.ops.SetWindowPos(kForm1Window, alh.checked ? kHwndNoTopmost : kHwndTopmost, 0, 0, 0, 0, kKeepPositionAndSize);
    alh.checked = !alh.checked;
}

void SKchk_Click(Launcher& app) { app.form1.SKchk.checked = !app.form1.SKchk.checked; }

void Frame1_MouseDown(Launcher& app, int button, int, float, float) {
    if (leftButtonIn(button)) startWindowDrag(app);
}

void Label1_MouseDown(Launcher& app, int button, int, float, float) {
    if (leftButtonIn(button)) startWindowDrag(app);
}

void txt_Ktext_MouseDown(Launcher& app, int button, int, float, float) {
    if (leftButtonIn(button)) startWindowDrag(app);
    if (button != kRightButton) return;
    // The slot popup without a slot: menuSlot keeps whatever it held.
    Form1& f = app.form1;
    f.Nnnnn.caption = "何もしない";
    f.Hkai.enabled = false;
    f.DELS.enabled = false;
    f.Ksw.enabled = false;
    f.sWrite.enabled = false;
    showPopup(app, PopupMenuName::ppm);
}

void setFormPosition(Launcher& app, float left, float top) {
    app.form1.left = left;
    app.form1.top = top;
}

void setFormWindowState(Launcher& app, WindowState state) { app.form1.windowState = state; }

void setFormShown(Launcher& app) { app.form1.visible = true; }

}  // namespace qlp
