#include "launcher/launch.h"

#include "menu/menu.h"
#include "platform/platform_ops.h"
#include "slots/editing.h"

namespace qlp {

namespace {

constexpr const char* kCannotRun = "実行できません。";

}  // namespace

void Image1_Click(Launcher& app, int i) {
    if (!isSlotIndex(i)) return;
    const Form1& f = app.form1;
    if (f.slotPath[i].empty()) return;
    if (f.slotExeType[i] != 0) {
        // A program that cannot be started is not reported.
        app.ops.Shell(f.slotPath[i], kSwShowMinimized);
    } else {
        associationOpen(app, f.slotPath[i]);
    }
}

void associationOpen(Launcher& app, const std::string& path) {
    app.ops.ShellExecuteA(kForm1Window, "open", path, nullptr, app.ops.CurDir(), kSwShow);
}

void Hkai_Click(Launcher& app) {
    if (!isSlotIndex(app.form1.menuSlot)) return;
    Image1_MouseDown(app, app.form1.menuSlot, kLeftButton, 0, 0, 0);
}

void Ksw_Click(Launcher& app) {
    Form1& f = app.form1;
    if (!isSlotIndex(f.menuSlot)) return;
    if (f.Ksw.checked) {
        f.Ksw.checked = false;
        f.slotExeType[f.menuSlot] = 1;
    } else {
        f.Ksw.checked = true;
        f.slotExeType[f.menuSlot] = 0;
    }
}

void Command1_Click(Launcher& app) {
    const Form1& f = app.form1;
    // After a scan that found no free slot dropSlot is 120 or 121; 121 lies
    // outside the table, so it is not looked at.
    const int slot = f.dropSlot;
    if (slot >= 0 && slot < kSlotArraySize && !f.slotPath[slot].empty()) {
        associationOpen(app, f.slotPath[slot]);
        return;
    }
    app.ops.MsgBox(kCannotRun);
}

}  // namespace qlp
