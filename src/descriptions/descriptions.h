#pragma once
// Icon and page descriptions, the description-line switch, and the
// description dialog Form3.

#include <cstdint>
#include <string>

#include "model/launcher.h"

namespace qlp {

void sWrite_Click(Launcher& app);
void PSwrite_Click(Launcher& app);
void SetumeiWrite(Launcher& app);
void PSetumeiWrite(Launcher& app);
void Ktext_Click(Launcher& app);

namespace form3 {

// Creates Form3 if it does not exist.
void ensureLoaded(Launcher& app);
void Command1_Click(Launcher& app);
void Command2_Click(Launcher& app);
void Command3_Click(Launcher& app);
void Command4_Click(Launcher& app);
void Text1_KeyPress(Launcher& app, int& keyAscii);
void Text2_KeyPress(Launcher& app, int& keyAscii);
void Form_Unload(Launcher& app, std::int16_t& cancel);
// The close box: unloads and destroys the form.
void closeBox(Launcher& app);
// The user edited a text box.
void setText1(Launcher& app, const std::string& text);
void setText2(Launcher& app, const std::string& text);

}  // namespace form3
}  // namespace qlp
