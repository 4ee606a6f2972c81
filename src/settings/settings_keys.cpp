#include "settings/settings_keys.h"

#include "descriptions/descriptions.h"
#include "launcher/navigation.h"
#include "model/text.h"
#include "options/options.h"
#include "settings/settings_values.h"

namespace qlp::settings {

namespace {

void loadSwitch(MenuEntry& entry, std::string_view value) {
    switch (readSwitch(value)) {
        case SwitchValue::Absent:
            return;
        case SwitchValue::Off:
            entry.checked = false;
            return;
        case SwitchValue::On:
            entry.checked = true;
            return;
    }
}

void loadEdge(float& edge, std::string_view value) {
    const auto v = readInt16(value);
    if (v && *v <= kMaxWindowEdge) edge = *v;
}

}  // namespace

std::optional<int> pageNamedBy(std::string_view value) {
    const auto page = readInt16(value);
    if (page && *page >= 0 && *page <= kLastPage) return *page;
    return std::nullopt;
}

const std::array<IndexedKey, 3> kSlotKeys = {{
    {"TEXT", "TEXT", [](const Form1& f, int i) { return f.slotPath[i]; },
     [](Launcher& app, int i, std::string_view v) { app.form1.slotPath[i] = std::string(v); }},
    {"SETUMEI", "SETUMEI", [](const Form1& f, int i) { return f.slotNote[i]; },
     [](Launcher& app, int i, std::string_view v) { app.form1.slotNote[i] = std::string(v); }},
    {"exetype", "exetype", [](const Form1& f, int i) { return std::to_string(f.slotExeType[i]); },
     [](Launcher& app, int i, std::string_view v) {
         if (const auto n = readInt16(v)) app.form1.slotExeType[i] = *n;
     }},
}};

const IndexedKey& kSlotPathKey = kSlotKeys[0];

const IndexedKey kPageKey = {"PSetumei", "PSETUMEI", [](const Form1& f, int p) { return f.pageNote[p]; },
                             [](Launcher& app, int p, std::string_view v) { app.form1.pageNote[p] = std::string(v); }};

const std::array<OptionKey, 8> kOptionKeys = {{
    {"SUKIchk", Reading::Switch, [](const Launcher& app) { return writeBool(app.form1.SKchk.checked); },
     [](Launcher& app, std::string_view v) { loadSwitch(app.form1.SKchk, v); }, nullptr},
    {"ALLWAYS", Reading::Switch, [](const Launcher& app) { return writeBool(app.form1.ALH.checked); },
     [](Launcher& app, std::string_view v) { loadSwitch(app.form1.ALH, v); }, nullptr},
    {"top", Reading::Text, [](const Launcher& app) { return writeSingle(app.form1.top); },
     [](Launcher& app, std::string_view v) { loadEdge(app.form1.top, v); }, nullptr},
    {"left", Reading::Text, [](const Launcher& app) { return writeSingle(app.form1.left); },
     [](Launcher& app, std::string_view v) { loadEdge(app.form1.left, v); }, nullptr},
    {kPageOption, Reading::Text, [](const Launcher& app) { return std::to_string(app.form1.VScroll1.value); },
     [](Launcher& app, std::string_view v) {
         if (const auto page = pageNamedBy(v)) setPage(app, *page);
     },
     nullptr},
    // The slot images' height goes under "SizeX" and their width under "SizeY".
    {"SizeX", Reading::Text, [](const Launcher& app) { return writeSingle(app.form1.Image1[0].height); },
     [](Launcher& app, std::string_view v) {
         if (const auto n = readInt32(v)) form2::setSliderH(app, *n);
     },
     [](Launcher& app) { form2::setSliderH(app, kDefaultIconSize); }},
    {"SizeY", Reading::Text, [](const Launcher& app) { return writeSingle(app.form1.Image1[0].width); },
     [](Launcher& app, std::string_view v) {
         if (const auto n = readInt32(v)) form2::setSliderW(app, *n);
     },
     [](Launcher& app) { form2::setSliderW(app, kDefaultIconSize); }},
    // The description line is set to the saved state, so a load never flips it
    // away from what was saved.
    {"SSW", Reading::Text, [](const Launcher& app) { return writeBool(app.form1.Ktext.checked); },
     [](Launcher& app, std::string_view v) {
         if (app.form1.Ktext.checked != sameText(v, "True")) Ktext_Click(app);
     },
     nullptr},
}};

}  // namespace qlp::settings
