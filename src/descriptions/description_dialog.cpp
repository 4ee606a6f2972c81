#include "descriptions/descriptions.h"

namespace qlp::form3 {

void ensureLoaded(Launcher& app) { app.form3.loaded = true; }

void Command1_Click(Launcher& app) { SetumeiWrite(app); }

void Command2_Click(Launcher& app) {
    std::int16_t cancel = 0;
    Form_Unload(app, cancel);
}

void Command3_Click(Launcher& app) { PSetumeiWrite(app); }

void Command4_Click(Launcher& app) {
    std::int16_t cancel = 0;
    Form_Unload(app, cancel);
}

void Text1_KeyPress(Launcher& app, int& keyAscii) {
    if (keyAscii == 13) Command1_Click(app);
}

void Text2_KeyPress(Launcher& app, int& keyAscii) {
    if (keyAscii == 13) Command3_Click(app);
}

void Form_Unload(Launcher& app, std::int16_t& /*cancel*/) {
    app.form1.enabled = true;
    app.form3.visible = false;
    // The main window is active again; its keys go to the page scroll bar as before.
    app.form1.focus = Focus::VScroll1;
}

void setText1(Launcher& app, const std::string& text) { app.form3.Text1.text = text; }

void setText2(Launcher& app, const std::string& text) { app.form3.Text2.text = text; }

void closeBox(Launcher& app) {
    std::int16_t cancel = 0;
    Form_Unload(app, cancel);
    // The close box destroys the form; the next opening creates a fresh one.
    app.form3 = Form3{};
}

}  // namespace qlp::form3
