#include "descriptions/descriptions.h"

namespace qlp {

void sWrite_Click(Launcher&) {}
void PSwrite_Click(Launcher&) {}
void SetumeiWrite(Launcher&) {}
void PSetumeiWrite(Launcher&) {}
void Ktext_Click(Launcher&) {}

namespace form3 {

void ensureLoaded(Launcher& app) { app.form3.loaded = true; }
void Command1_Click(Launcher&) {}
void Command2_Click(Launcher&) {}
void Command3_Click(Launcher&) {}
void Command4_Click(Launcher&) {}
void Text1_KeyPress(Launcher&, int&) {}
void Text2_KeyPress(Launcher&, int&) {}
void Form_Unload(Launcher&, std::int16_t&) {}
void closeBox(Launcher&) {}

}  // namespace form3
}  // namespace qlp
