#include "platform/linux/startup/startup_prefetch.h"

#include <QThread>

#include "model/launcher.h"
#include "platform/linux/files/bmp_file.h"
#include "platform/linux/files/iconv_code_page.h"
#include "platform/linux/services/icon_lookup.h"
#include "model/files.h"
#include "settings/settings_values.h"
#include "settings/settings_keys.h"

namespace qlp::linux_desktop {

namespace {

// The page the window opens on, as the settings file says; a hint only, for
// what is read ahead.
int frontPage(const StartupFiles& files) {
    if (!files.settings) return 0;
    const auto value = files.settings->text.get(settings::kOptionSection, settings::kPageOption);
    if (!value || settings::isAbsent(*value)) return 0;
    return settings::pageNamedBy(*value).value_or(0);
}

std::optional<PrefetchedType> contentTypeAhead(const std::string& path) {
    const auto before = regularFileIdentity(path);
    if (!before) return std::nullopt;
    const QString mime = contentTypeOf(QString::fromStdString(path)).name();
    // A file that changed while it was being looked at is looked at again later.
    if (regularFileIdentity(path) != before) return std::nullopt;
    return PrefetchedType{*before, mime};
}

}  // namespace

StartupFiles readStartupFiles(const std::string& winDir, bool frontPageOnly) {
    StartupFiles files;
    std::string bytes;
    FileIdentity identity;
    const std::string settingsPath = settingsFileIn(winDir);
    if (readWhole(settingsPath, bytes, identity, kLargestSettingsFile)) {
        IconvCodePage codePage;
        auto decoded = profile::decodeProfile(bytes, codePage);
        files.settings = PrefetchedSettings{settingsPath, identity, std::move(decoded.text), std::move(decoded.coding)};
    }
    const int front = frontPage(files);
    const std::string pathKey(settings::kSlotPathKey.readName);
    for (int i = 0; i < kSlotCount; ++i) {
        // The other pages' pictures are loaded once the window is shown.
        if (frontPageOnly && pageOfSlot(i) != front) continue;
        const std::string picturePath = slotPictureFileIn(winDir, i);
        if (readWhole(picturePath, bytes, identity, kLargestPictureFile)) {
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
        if (files.types.count(path)) continue;
        if (auto type = contentTypeAhead(path)) files.types.emplace(path, std::move(*type));
    }
    return files;
}

StartupPrefetch::StartupPrefetch(const std::string& winDir)
    : files_(filesDone_.get_future()), icons_(iconsDone_.get_future()) {
    // WORKAROUND: Qt takes the first thread that uses it for its main thread,
    // and the reading uses Qt (content types): this thread uses Qt first.
    QThread::currentThread();
    worker_ = std::thread([this, winDir, theme = theme_.get_future()]() mutable {
        StartupFiles files = readStartupFiles(winDir, true);
        // The types stay with the files: each is checked against its file where it is used.
        const std::map<std::string, PrefetchedType> types = files.types;
        filesDone_.set_value(std::move(files));
        // The icons wait for the application object: reading a picture goes
        // through Qt's plugins and library paths, which the making of that
        // object sets up (and its end tears down) without a lock.
        const std::optional<QString> configured = theme.get();
        if (!configured || types.empty()) {
            iconsDone_.set_value(std::nullopt);
            return;
        }
        std::optional<IconLookup> ahead(std::in_place, *configured);
        ahead->adoptTypes(types);
        for (const auto& entry : types) ahead->iconFor(entry.first);
        iconsDone_.set_value(std::move(ahead));
    });
}

StartupPrefetch::~StartupPrefetch() {
    if (!themeGiven_) theme_.set_value(std::nullopt);
    if (worker_.joinable()) worker_.join();
}

void StartupPrefetch::lookUpIcons(const QString& configuredTheme) {
    if (themeGiven_) return;
    themeGiven_ = true;
    theme_.set_value(configuredTheme);
}

std::optional<StartupFiles> StartupPrefetch::take() {
    if (!files_.valid()) return std::nullopt;
    return files_.get();
}

std::optional<IconLookup> StartupPrefetch::takeIcons() {
    if (!themeGiven_ || !icons_.valid()) return std::nullopt;
    return icons_.get();
}

}  // namespace qlp::linux_desktop
