#include "slots/editing.h"

#include "app/startup.h"

namespace qlp {

void Image1_MouseDown(Launcher&, int, int, int, float, float) {}
void Image1_DragDrop(Launcher&, int, int, float, float) {}
void DELS_Click(Launcher&) {}
void imove_Click(Launcher&) {}
void Command2_Click(Launcher&) {}

std::vector<PopupEntry> popupEntries(const Form1& f, PopupMenuName menu) {
    std::vector<PopupEntry> entries;
    if (menu == PopupMenuName::Tcom) {
        for (MenuId id : kTcomOrder) entries.push_back({id, menuEntry(f, id)});
    } else {
        for (MenuId id : kPpmOrder) entries.push_back({id, menuEntry(f, id)});
    }
    return entries;
}

void showPopup(Launcher& app, PopupMenuName menu) {
    const auto chosen = app.ops.PopupMenu(menu, popupEntries(app.form1, menu));
    if (chosen) menu_Click(app, *chosen);
}

}  // namespace qlp
