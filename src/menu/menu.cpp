#include "menu/menu.h"

#include "app/startup.h"
#include "descriptions/descriptions.h"
#include "launcher/launch.h"
#include "options/options.h"
#include "settings/settings_io.h"
#include "slots/editing.h"
#include "window/window.h"

namespace qlp {

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

void menu_Click(Launcher& app, MenuId id) {
    switch (id) {
        case MenuId::Nnnnn:
        case MenuId::h0:
        case MenuId::h1:
        case MenuId::h2: return;
        case MenuId::Hkai: Hkai_Click(app); return;
        case MenuId::DELS: DELS_Click(app); return;
        case MenuId::Ksw: Ksw_Click(app); return;
        case MenuId::Ktext: Ktext_Click(app); return;
        case MenuId::sWrite: sWrite_Click(app); return;
        case MenuId::PSwrite: PSwrite_Click(app); return;
        case MenuId::ALH: ALH_Click(app); return;
        case MenuId::imove: imove_Click(app); return;
        case MenuId::SKchk: SKchk_Click(app); return;
        case MenuId::op: op_Click(app); return;
        case MenuId::mn_load: mn_load_Click(app); return;
        case MenuId::mn_save: mn_save_Click(app); return;
        case MenuId::ends: ends_Click(app); return;
        case MenuId::ends2: ends2_Click(app); return;
    }
}

}  // namespace qlp
