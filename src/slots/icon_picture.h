#pragma once
// Drawing a slot target's icon on the drawing surface Picture1 and making the
// surface image a slot's picture through the scratch file.

#include <optional>

#include "model/launcher.h"

namespace qlp {

void IconDraw(Launcher& app, int s);
void IconPaste(Launcher& app, int s);
// Gives slot `i` its saved picture when there is a readable one, else the
// icon of its target rendered afresh.
void loadSlotPicture(Launcher& app, int i);
// Gives the slots left pending by the start-up load their pictures: those on
// `page` only, or all of them when no page is given.
void drawPendingIcons(Launcher& app, std::optional<int> page = std::nullopt);
void Command3_Click(Launcher& app);
void Command4_Click(Launcher& app);
void Picture1_Click(Launcher& app);
void Picture2_Click(Launcher& app);

}  // namespace qlp
