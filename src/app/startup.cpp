#include "app/startup.h"

#include "launcher/navigation.h"
#include "model/files.h"
#include "model/text.h"
#include "options/options.h"
#include "platform/platform_ops.h"
#include "settings/settings_io.h"
#include "slots/icon_picture.h"
#include "window/window.h"

namespace qlp {

namespace {

void endProcess(Launcher& app) {
    app.ops.End();
    app.ended = true;
}

}  // namespace

void Form_Load(Launcher& app) {
    Form1& f = app.form1;
    if (app.ops.PrevInstance()) {
        endProcess(app);
        return;
    }
    f.titleText = paddedTitle(kTitle);
    f.caption = f.titleText;
    setPage(app, 0);
    f.winDir = app.ops.GetWindowsDirectoryA();
    LoadSettings(app);
    // Only the start-up load may leave icons for later; the front page's are drawn now.
    app.deferOffPageIcons = false;
    drawPendingIcons(app, f.VScroll1.value);
    f.Label1.caption = std::to_string(f.VScroll1.value);
    bringFrameToFront(f, f.VScroll1.value);
    addTrayIcon(app);
    form2::ensureLoaded(app);
    app.form2.visible = false;
    app.ops.DoEvents();
    app.form2.MAXQLP = kSlotCount;
    f.visible = false;
    form2::iconsize_Click(app);
    f.visible = true;
    f.focus = Focus::Text2;
    f.focus = Focus::VScroll1;
}

void Form_Unload(Launcher& app, std::int16_t& /*cancel*/) {
    Form1& f = app.form1;
    f.windowState = WindowState::Normal;
    const std::string scratch = scratchFilePath(f);
    if (sameText(app.ops.Dir(scratch), scratchFileName())) app.ops.Kill(scratch);
    removeTrayIcon(app);
    SaveSettings(app);
    endProcess(app);
}

void ends_Click(Launcher& app) {
    SaveSettings(app);
    endProcess(app);
}

void ends2_Click(Launcher& app) { ends_Click(app); }

void setText2(Launcher& app, const std::string& text) {
    if (app.form1.Text2.text == text) return;
    app.form1.Text2.text = text;
    Text2_Change(app);
}

void Text2_Change(Launcher& app) { setText2(app, ""); }

}  // namespace qlp
