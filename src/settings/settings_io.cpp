#include "settings/settings_io.h"

#include "model/text.h"
#include "platform/platform_ops.h"
#include "settings/settings_keys.h"
#include "settings/settings_values.h"
#include "slots/icon_picture.h"

namespace qlp {

using settings::kDataSection;
using settings::kOptionSection;

namespace {

std::string indexed(std::string_view prefix, int index) { return std::string(prefix) + std::to_string(index); }

std::string readValue(Launcher& app, std::string_view section, const std::string& key, const std::string& file) {
    return app.ops.GetPrivateProfileStringA(section, key, settings::kAbsentMarker, file);
}

}  // namespace

void SaveSettings(Launcher& app) {
    const Form1& f = app.form1;
    const std::string file = settingsFilePath(f);
    // One replacement of the file for the whole save.
    app.ops.BeginProfileBatch(file);
    for (int i = 0; i < kSlotCount; ++i) {
        if (isSlotEmpty(f, i)) continue;
        for (const auto& key : settings::kSlotKeys) {
            app.ops.WritePrivateProfileStringA(kDataSection, indexed(key.writeName, i), key.save(f, i), file);
        }
        if (f.Image1[i].picture) app.ops.SavePicture(*f.Image1[i].picture, slotPictureFilePath(f, i));
    }
    for (int p = 0; p < kPageCount; ++p) {
        app.ops.WritePrivateProfileStringA(kDataSection, indexed(settings::kPageKey.writeName, p),
                                           settings::kPageKey.save(f, p), file);
    }
    for (const auto& key : settings::kOptionKeys) {
        app.ops.WritePrivateProfileStringA(kOptionSection, key.name, key.save(app), file);
    }
    app.ops.EndProfileBatch();
}

void LoadSettings(Launcher& app) {
    Form1& f = app.form1;
    const std::string file = settingsFilePath(f);
    // A load starts the icons afresh.
    app.pendingIcons.clear();
    for (int i = 0; i < kSlotCount; ++i) {
        for (const auto& key : settings::kSlotKeys) {
            const std::string value = readValue(app, kDataSection, indexed(key.readName, i), file);
            if (!settings::isAbsent(value)) key.load(app, i, value);
            if (isSlotEmpty(f, i)) break;
        }
        if (isSlotEmpty(f, i)) continue;
        f.Image1[i].toolTip = slotToolTip(f, i);
        if (app.deferOffPageIcons) {
            // The front page is known once the options are read.
            app.pendingIcons.push_back(i);
        } else {
            loadSlotPicture(app, i);
        }
    }
    for (int p = 0; p < kPageCount; ++p) {
        const std::string value = readValue(app, kDataSection, indexed(settings::kPageKey.readName, p), file);
        if (!settings::isAbsent(value)) settings::kPageKey.load(app, p, value);
    }
    for (const auto& key : settings::kOptionKeys) {
        const std::string value = readValue(app, kOptionSection, std::string(key.name), file);
        const bool absent = key.reading == settings::Reading::Switch ? sameText(value, settings::kAbsentMarker)
                                                                     : settings::isAbsent(value);
        if (!absent) {
            key.load(app, value);
        } else if (key.absent) {
            key.absent(app);
        }
    }
}

void mn_save_Click(Launcher& app) { SaveSettings(app); }
void mn_load_Click(Launcher& app) { LoadSettings(app); }
void Command6_Click(Launcher& app) { LoadSettings(app); }

}  // namespace qlp
