#pragma once
// Files dropped from the file manager onto a slot.

#include <optional>
#include <string>
#include <vector>

#include "model/launcher.h"

namespace qlp {

struct DropData {
    // The dropped paths in order; nullopt when the drop carried no file list (text, say).
    std::optional<std::vector<std::string>> files;
};

void Image1_OLEDragDrop(Launcher& app, int i, const DropData& data);

}  // namespace qlp
