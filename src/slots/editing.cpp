#include "slots/editing.h"

#include <string>

#include "launcher/launch.h"
#include "menu/menu.h"
#include "model/files.h"
#include "model/text.h"
#include "options/options.h"
#include "settings/settings_keys.h"
#include "settings/settings_values.h"

namespace qlp {

namespace {

constexpr const char* kOpenFilter =
    "すべてのファイル (*.*)|*.*|"
    "テキスト ファイル (*.txt)|*.txt|"
    "バッチ ファイル (*.bat)|*.bat|"
    "実行ファイル(*.exe)|*.exe|";

void writeSlotKey(Launcher& app, const settings::IndexedKey& key, int slot, const std::string& value) {
    app.ops.WritePrivateProfileStringA(settings::kDataSection, std::string(key.writeName) + std::to_string(slot), value,
                                       settingsFilePath(app.form1));
}

// The slot's three keys and picture file as a save writes them, so a moved
// slot is in the file before its old place is marked deleted.
void writeSlotNow(Launcher& app, int slot) {
    const Form1& f = app.form1;
    for (const auto& key : settings::kSlotKeys) writeSlotKey(app, key, slot, key.save(f, slot));
    if (const Picture& picture = f.Image1[slot].picture) {
        app.ops.SavePicture(*picture, slotPictureFilePath(f, slot));
    }
}

void preparePopup(Form1& f, int slot) {
    const bool filled = !isSlotEmpty(f, slot);
    f.Nnnnn.caption = filled ? "何もしない\u3000(" + f.slotPath[slot] + ")" : "何もしない";
    f.Hkai.enabled = filled;
    f.DELS.enabled = filled;
    f.Ksw.enabled = filled;
    f.sWrite.enabled = filled;
    if (filled) f.Ksw.checked = f.slotExeType[slot] == 0;
}

}  // namespace

void Image1_MouseDown(Launcher& app, int i, int button, int, float, float) {
    if (!isSlotIndex(i)) return;
    Form1& f = app.form1;
    if (button == kLeftButton && app.form2.iCheck.value == 1 && !isSlotEmpty(f, i)) app.ops.Drag(i);
    if (button == kRightButton) {
        f.menuSlot = static_cast<std::int16_t>(i);
        preparePopup(f, i);
        showPopup(app, PopupMenuName::ppm);
    }
}

void Image1_DragDrop(Launcher& app, int i, int source, float, float) {
    if (!isSlotIndex(i) || !isSlotIndex(source)) return;
    if (source == i) {
        Image1_Click(app, i);
        return;
    }
    Form1& f = app.form1;
    if (!isSlotEmpty(f, i)) return;
    // Only a filled slot can be dragged; an empty source has nothing to move.
    if (isSlotEmpty(f, source)) return;
    f.slotPath[i] = f.slotPath[source];
    f.slotNote[i] = f.slotNote[source];
    f.slotExeType[i] = f.slotExeType[source];
    f.Image1[i].picture = f.Image1[source].picture;
    f.Image1[i].toolTip = slotToolTip(f, i);
    f.menuSlot = static_cast<std::int16_t>(source);
    writeSlotNow(app, i);
    DELS_Click(app);
}

void DELS_Click(Launcher& app) {
    Form1& f = app.form1;
    const int s = f.menuSlot;
    if (!isSlotIndex(s)) return;
    f.Image1[s].picture.reset();
    f.Image1[s].toolTip.clear();
    f.slotPath[s].clear();
    f.slotNote[s].clear();
    f.slotExeType[s] = 0;
    const std::string picture = slotPictureFilePath(f, s);
    if (sameText(app.ops.Dir(picture), slotPictureFileName(s))) app.ops.Kill(picture);
    for (const auto& key : settings::kSlotKeys) writeSlotKey(app, key, s, std::string(settings::kAbsentMarker));
}

void imove_Click(Launcher& app) { form2::setICheck(app, app.form2.iCheck.value == 1 ? 0 : 1); }

void Command2_Click(Launcher& app) {
    Form1& f = app.form1;
    // After a scan that found no free slot dropSlot names no slot at all.
    if (!isSlotIndex(f.dropSlot)) return;
    const auto chosen = app.ops.ShowOpen(kOpenFilter, kOfnHideReadOnly, f.CommonDialog1_FileName);
    if (!chosen || chosen->empty()) return;
    f.CommonDialog1_FileName = *chosen;
    f.slotPath[f.dropSlot] = *chosen;
}

}  // namespace qlp
