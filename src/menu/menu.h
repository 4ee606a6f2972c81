#pragma once
// The popup menus: the mouse buttons that open them, their entries as they
// stand, and the one place where a chosen entry becomes its click handler.

#include <vector>

#include "model/launcher.h"
#include "platform/platform_ops.h"

namespace qlp {

// Mouse buttons as the handlers receive them, one bit each.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;

// The entries of a popup menu in order, as they stand now.
std::vector<PopupEntry> popupEntries(const Form1& f, PopupMenuName menu);
// Shows a popup menu and runs the chosen entry.
void showPopup(Launcher& app, PopupMenuName menu);
// Runs the click handler of a chosen popup entry.
void menu_Click(Launcher& app, MenuId id);

}  // namespace qlp
