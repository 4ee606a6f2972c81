#include "platform/linux/startup_prefetch.h"

#include "model/launcher.h"
#include "platform/linux/bmp_file.h"
#include "platform/linux/icon_lookup.h"
#include "settings/settings_io.h"
#include "settings/settings_keys.h"

namespace qlp::linux_desktop {

StartupFiles readStartupFiles(const std::string& winDir) {
    StartupFiles files;
    std::string bytes;
    FileIdentity identity;
    const std::string settingsPath = settingsFileIn(winDir);
    if (readWhole(settingsPath, bytes, identity)) {
        files.settings = PrefetchedSettings{settingsPath, identity, profile::ProfileText::parse(bytes)};
    }
    const std::string pathKey(settings::kSlotKeys[0].readName);
    for (int i = 0; i < kSlotCount; ++i) {
        const std::string picturePath = slotPictureFileIn(winDir, i);
        if (readWhole(picturePath, bytes, identity)) {
            if (auto picture = decodeBmp(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) {
                files.pictures.emplace(picturePath, PrefetchedPicture{identity, std::move(*picture)});
                continue;
            }
        }
        // No picture of ours: its icon will be looked up, which starts with the content type.
        if (!files.settings) continue;
        const auto slotPath = files.settings->text.get(settings::kDataSection, pathKey + std::to_string(i));
        if (!slotPath || slotPath->empty()) continue;
        const std::string path(*slotPath);
        const auto before = regularFileIdentity(path);
        if (!before || files.types.count(path)) continue;
        const QString mime = contentTypeOf(QString::fromStdString(path)).name();
        // A file that changed while it was being looked at is looked at again later.
        if (regularFileIdentity(path) == before) files.types.emplace(path, PrefetchedType{*before, mime});
    }
    return files;
}

StartupPrefetch::StartupPrefetch(const std::string& winDir)
    : worker_([this, winDir] { files_ = readStartupFiles(winDir); }) {}

StartupPrefetch::~StartupPrefetch() {
    if (worker_.joinable()) worker_.join();
}

StartupFiles StartupPrefetch::take() {
    if (worker_.joinable()) worker_.join();
    return std::move(files_);
}

}  // namespace qlp::linux_desktop
