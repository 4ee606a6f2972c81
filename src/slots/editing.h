#pragma once
// The slot popup, moving and deleting slots, move-icons mode and browsing.

#include <vector>

#include "model/launcher.h"
#include "platform/platform_ops.h"

namespace qlp {

inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;

void Image1_MouseDown(Launcher& app, int i, int button, int shift, float x, float y);
// Slot image `source` dragged inside the launcher and dropped on Image1(i).
void Image1_DragDrop(Launcher& app, int i, int source, float x, float y);
void DELS_Click(Launcher& app);
void imove_Click(Launcher& app);
void Command2_Click(Launcher& app);

// The entries of a popup menu in order, as they stand now.
std::vector<PopupEntry> popupEntries(const Form1& f, PopupMenuName menu);
// Shows a popup menu and runs the chosen entry.
void showPopup(Launcher& app, PopupMenuName menu);

}  // namespace qlp
