#include "descriptions/descriptions.h"

namespace qlp {

namespace {

enum class Panel { Icon, Page };

// Opens the dialog on one of its two panels with the text to edit.
void openDialog(Launcher& app, Panel panel, const std::string& text) {
    // Filling the box creates the dialog the first time.
    form3::ensureLoaded(app);
    const bool icon = panel == Panel::Icon;
    (icon ? app.form3.Text1 : app.form3.Text2).text = text;
    // The dialog is modal by hand: the main window takes no input until it is left.
    app.form1.enabled = false;
    app.form3.Frame1.visible = icon;
    app.form3.Frame2.visible = !icon;
    app.form3.visible = true;
    app.form1.focus = Focus::Form3;
    app.form1.focus = icon ? Focus::Form3Text1 : Focus::Form3Text2;
}

}  // namespace

void sWrite_Click(Launcher& app) { openDialog(app, Panel::Icon, app.form1.slotNote[app.form1.menuSlot]); }

void PSwrite_Click(Launcher& app) { openDialog(app, Panel::Page, app.form1.pageNote[app.form1.VScroll1.value]); }

void SetumeiWrite(Launcher& app) {
    app.form1.slotNote[app.form1.menuSlot] = app.form3.Text1.text;
    app.form1.enabled = true;
    std::int16_t cancel = 0;
    form3::Form_Unload(app, cancel);
}

void PSetumeiWrite(Launcher& app) {
    // The page cannot have changed since the dialog opened: Form1 was disabled.
    app.form1.pageNote[app.form1.VScroll1.value] = app.form3.Text2.text;
    app.form1.enabled = true;
    std::int16_t cancel = 0;
    form3::Form_Unload(app, cancel);
}

void Ktext_Click(Launcher& app) {
    Form1& f = app.form1;
    const Control& page = f.Frame[0];
    // Only the height changes: cut the window off below the pages, or make room for the line.
    if (f.Ktext.checked) {
        f.height = page.top + page.height + 190.0f;
        f.Ktext.checked = false;
        f.PSwrite.visible = false;
        f.sWrite.visible = false;
    } else {
        f.height = page.top + page.height + f.txt_Ktext.height + 190.0f;
        f.Ktext.checked = true;
        f.PSwrite.visible = true;
        f.sWrite.visible = true;
    }
}

}  // namespace qlp
