#include "options/options.h"

#include <algorithm>

namespace qlp::form2 {

void iconsize_Click(Launcher& app) {
    Form1& f = app.form1;
    const std::int32_t H = app.form2.SliderH.value;
    const std::int32_t W = app.form2.SliderW.value;
    // MAXQLP is a limit the callers respect; never address images that do not exist.
    const int count = std::clamp(app.form2.MAXQLP, 0, kSlotCount);

    for (int i = 0; i < count; ++i) {
        f.Image1[i].height = static_cast<float>(H);
        f.Image1[i].width = static_cast<float>(W);
    }
    for (int i = 0; i < count; ++i) {
        Control& image = f.Image1[i];
        const int k = i % kSlotsPerPage;
        if (k == 0 || k == 6) {
            image.left = 0;
        } else {
            image.left = f.Image1[i - 1].left + f.Image1[i - 1].width;
        }
        image.top = k < 6 ? 0.0f : image.height;
    }
    for (auto& frame : f.Frame) {
        frame.height = static_cast<float>(2 * H);
        frame.width = static_cast<float>(6 * W);
    }
    const Control& page = f.Frame[0];
    f.VScroll1.height = static_cast<float>(2 * H);
    f.VScroll1.left = page.left + page.width;
    f.Label1.left = page.width + 170.0f + page.left;
    f.txt_Ktext.top = page.top + page.height;
    f.txt_Ktext.width = page.width + 170.0f + page.left + f.Label1.width - 70.0f;
    f.Frame1.height = page.top + page.height + f.txt_Ktext.height + 40.0f;
    f.Frame1.width = page.width + 170.0f + page.left + f.Label1.width + 20.0f;
    f.height = f.Ktext.checked ? page.top + page.height + f.txt_Ktext.height + 190.0f : page.top + page.height + 190.0f;
    f.width = page.width + 170.0f + page.left + f.Label1.width + 100.0f;
}

}  // namespace qlp::form2
