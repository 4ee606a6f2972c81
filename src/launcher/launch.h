#pragma once
// Starting a slot's target, directly or through the file association.

#include <cstdint>
#include <string>

#include "model/launcher.h"

namespace qlp {

// The slot click: launches slot i by its launch mode; an empty slot does nothing.
void Image1_Click(Launcher& app, int i);
// Opens a path through the desktop's file association.
void associationOpen(Launcher& app, const std::string& path);
void Hkai_Click(Launcher& app);
void Ksw_Click(Launcher& app);
// "実行" of the registration panel.
void Command1_Click(Launcher& app);

}  // namespace qlp
