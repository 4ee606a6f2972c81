// Directories, files, time and the process.
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QIcon>
#include <QTime>
#include <cerrno>
#include <climits>
#include <ctime>
#include <set>

#include "platform/linux/files/config_dir.h"
#include "platform/linux/files/durable_file.h"
#include "platform/linux/files/profile_cache.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/startup/startup_prefetch.h"
#include "platform/linux/views/desktop.h"
#include "settings/settings_io.h"

namespace qlp::linux_desktop {

LinuxPlatform::LinuxPlatform(std::string configDir)
    : configDir_(std::move(configDir)),
      profile_(std::make_unique<ProfileCache>([this](const std::string& file) { ensureSettingsFolder(file); })) {}

LinuxPlatform::~LinuxPlatform() = default;

void LinuxPlatform::prefetchStartupFiles() {
    if (!prefetch_) prefetch_ = std::make_unique<StartupPrefetch>(GetWindowsDirectoryA());
}

void LinuxPlatform::prefetchIcons() {
    if (prefetch_) prefetch_->lookUpIcons(QIcon::themeName());
}

void LinuxPlatform::endPrefetch() { prefetch_.reset(); }

void LinuxPlatform::adoptPrefetch() {
    if (!prefetch_) return;
    if (auto files = prefetch_->take()) adoptStartupFiles(std::move(*files));
}

void LinuxPlatform::adoptPrefetchedIcons() {
    if (!prefetch_) return;
    adoptPrefetch();
    if (auto ahead = prefetch_->takeIcons()) iconLookup_.adopt(std::move(*ahead));
    prefetch_.reset();
}

void LinuxPlatform::adoptStartupFiles(StartupFiles files) {
    // Only into a store that holds nothing yet; the identity is checked at every read.
    if (files.settings) {
        profile_->store.adopt(std::move(files.settings->path), versionOf(files.settings->identity),
                              std::move(files.settings->text), std::move(files.settings->coding));
    }
    prefetchedPictures_ = std::move(files.pictures);
    iconLookup_.adoptTypes(std::move(files.types));
}

std::string LinuxPlatform::GetWindowsDirectoryA() {
    if (configDir_.empty()) configDir_ = perUserDirectory();
    return configDir_;
}

void LinuxPlatform::ensureSettingsFolder(const std::string& file) {
    const std::string folder = GetWindowsDirectoryA();
    // Only the launcher's own folder: a write elsewhere into a missing folder fails.
    if (directoryOf(file) == folder) ::mkdir(folder.c_str(), 0700);
}

void LinuxPlatform::removeOwnLeftovers(const std::string& file) {
    const std::string folder = directoryOf(file);
    const auto nameOf = [](const std::string& path) { return path.substr(path.find_last_of('/') + 1); };
    std::set<std::string, std::less<>> names{nameOf(file), nameOf(scratchFileIn(folder))};
    for (int i = 0; i < kSlotCount; ++i) names.insert(nameOf(slotPictureFileIn(folder, i)));
    removeLeftovers(folder, [&](std::string_view name) { return names.count(name) > 0; });
}

std::string LinuxPlatform::Dir(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool LinuxPlatform::Kill(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::string LinuxPlatform::CurDir() {
    std::string buffer(PATH_MAX, '\0');
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) return {};
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

float LinuxPlatform::Timer() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    ::localtime_r(&now.tv_sec, &local);
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + now.tv_nsec / 1e9;
    return static_cast<float>(seconds);
}

bool LinuxPlatform::PrevInstance() { return prevInstance_; }

HINSTANCE LinuxPlatform::hInstance() { return 1; }

void LinuxPlatform::End() {
    // Leaves the event loop; main() returns and the process ends.
    if (QCoreApplication::instance()) QCoreApplication::exit(0);
}

float LinuxPlatform::TwipsPerPixelX() { return desktop_ ? desktop_->twipsPerPixelX() : screenTwipsPerPixelX(); }
float LinuxPlatform::TwipsPerPixelY() { return desktop_ ? desktop_->twipsPerPixelY() : screenTwipsPerPixelY(); }

void LinuxPlatform::DoEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

}  // namespace qlp::linux_desktop
