#pragma once
// Opening the slot popup, moving and deleting slots, move-icons mode and browsing.

#include "model/launcher.h"
#include "platform/platform_ops.h"

namespace qlp {

void Image1_MouseDown(Launcher& app, int i, int button, int shift, float x, float y);
// Slot image `source` dragged inside the launcher and dropped on Image1(i).
void Image1_DragDrop(Launcher& app, int i, int source, float x, float y);
void DELS_Click(Launcher& app);
void imove_Click(Launcher& app);
void Command2_Click(Launcher& app);

}  // namespace qlp
