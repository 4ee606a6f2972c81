#include "launcher/navigation.h"

#include <string>

#include "launcher/launch.h"
#include "platform/platform_ops.h"

namespace qlp {

namespace {

constexpr int kFirstFunctionKey = 112;  // F1
constexpr int kLastFunctionKey = 123;   // F12
// Each range selects pages 0 to 9 in order: the digits, then A-J, K-T and U-Z
// with the four codes that follow Z.
constexpr int kPageKeyRanges[] = {48, 65, 75, 85};

constexpr float kPageTurnInterval = 0.75f;
// Measured from the top of the scroll bar whatever its height: a drag up to
// here turns back, below it forward.
constexpr float kUpperZoneTwips = 200.0f;

}  // namespace

void setPage(Launcher& app, int page) {
    if (app.form1.VScroll1.value == page) return;
    app.form1.VScroll1.value = page;
    VScroll1_Change(app);
}

void VScroll1_Change(Launcher& app) {
    Form1& f = app.form1;
    f.Label1.caption = std::to_string(f.VScroll1.value);
    bringFrameToFront(f, f.VScroll1.value);
    f.txt_Ktext.caption = f.pageNote[f.VScroll1.value];
}

bool VScroll1_KeyDown(Launcher& app, int keyCode, int /*shift*/) {
    bool handled = false;
    if (keyCode >= kFirstFunctionKey && keyCode <= kLastFunctionKey) {
        Image1_Click(app, functionKeySlot(app.form1.VScroll1.value, keyCode - kFirstFunctionKey + 1));
        handled = true;
    }
    for (const int first : kPageKeyRanges) {
        if (keyCode >= first && keyCode < first + kPageCount) {
            setPage(app, keyCode - first);
            handled = true;
        }
    }
    return handled;
}

void VScroll1_DragOver(Launcher& app, float /*x*/, float y, int /*state*/) {
    Form1& f = app.form1;
    const float now = app.ops.Timer();
    // A time of day before the last turn means midnight has passed since:
    // the interval is long over, not a day away.
    const bool newDay = now < f.lastFlipTime;
    if (!newDay && f.lastFlipTime + kPageTurnInterval > now) return;
    const int page = f.VScroll1.value;
    if (y > kUpperZoneTwips) {
        if (page < kLastPage) {
            setPage(app, page + 1);
            f.lastFlipTime = now;
        }
    } else if (page > 0) {
        setPage(app, page - 1);
        f.lastFlipTime = now;
    }
}

void Image1_MouseMove(Launcher& app, int i, int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {
    Form1& f = app.form1;
    if (i == f.hoverSlot || i < 0 || i >= kSlotCount) return;
    f.hoverSlot = i;
    f.txt_Ktext.caption = f.slotNote[i].empty() ? f.pageNote[f.VScroll1.value] : f.slotNote[i];
}

}  // namespace qlp
