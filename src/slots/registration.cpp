#include "slots/registration.h"

#include "platform/platform_ops.h"
#include "slots/icon_picture.h"

namespace qlp {

namespace {

// Stores the path in slot `s` and gives the slot its tool tip and icon. Each
// step is attempted whatever became of the one before.
void registerPath(Launcher& app, int s, const std::string& path) {
    Form1& f = app.form1;
    f.slotPath[s] = path;
    IconDraw(app, f.dropSlot);
    f.Image1[s].toolTip = slotToolTip(f, s);
    IconPaste(app, s);
}

// Puts the window back into the stacking band the user chose.
void reapplyStacking(Launcher& app) {
    const HWND band = app.form1.ALH.checked ? kHwndTopmost : kHwndNoTopmost;
    app.ops.SetWindowPos(kForm1Window, band, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
}

}  // namespace

void Image1_OLEDragDrop(Launcher& app, int i, const DropData& data) {
    Form1& f = app.form1;
    if (i < 0 || i >= kSlotCount) return;
    // Only a drop that carries a file list registers anything or touches the
    // stacking order; an empty list counts as no list, and so does a list whose
    // first path is empty ("file://"), which would leave an icon in a slot
    // that stays empty.
    const bool hasFiles = data.files && !data.files->empty() && !data.files->front().empty();

    if (f.SKchk.checked) {
        f.dropSlot = static_cast<std::int16_t>(i);
        if (!hasFiles) return;
        if (isSlotEmpty(f, i)) registerPath(app, i, data.files->front());
        reapplyStacking(app);
        return;
    }

    bool filled = false;
    for (f.dropSlot = 0; f.dropSlot < kSlotCount; ++f.dropSlot) {
        if (!isSlotEmpty(f, f.dropSlot)) continue;
        if (!hasFiles) return;
        registerPath(app, f.dropSlot, data.files->front());
        filled = true;
        f.dropSlot = kSlotCount;
    }
    if (!hasFiles) return;
    if (!filled) app.ops.MsgBox("もう、お腹いっぱいだぷぅー！！");
    reapplyStacking(app);
}

}  // namespace qlp
