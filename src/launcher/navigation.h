#pragma once
// Page turning by scroll bar, keys and drag-over, and the hover text.

#include <cstdint>

#include "model/launcher.h"

namespace qlp {

// Sets VScroll1's value; runs the page-change step when the value changes.
void setPage(Launcher& app, int page);
void VScroll1_Change(Launcher& app);
// A key pressed while VScroll1 has the focus (virtual-key code, shift state).
// Returns false for keys outside the key map, which get the scroll bar's own handling.
bool VScroll1_KeyDown(Launcher& app, int keyCode, int shift);
// A dragged slot image over VScroll1; y in twips from the scroll bar's top.
void VScroll1_DragOver(Launcher& app, float x, float y, int state);
// The mouse moved over Image1(i).
void Image1_MouseMove(Launcher& app, int i, int button, int shift, float x, float y);

}  // namespace qlp
