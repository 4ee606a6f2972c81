#include "platform/linux/desktop_entry.h"

#include <fcntl.h>
#include <gio/gdesktopappinfo.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qlp::linux_desktop {

namespace {

// GIO starts the application in the process's working directory; there is no
// argument for it, so we stand in `directory` while it does.
class WorkingDirectoryScope {
public:
    explicit WorkingDirectoryScope(const std::string& directory) {
        if (directory.empty()) return;
        saved_ = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (saved_ >= 0 && ::chdir(directory.c_str()) != 0) {
            ::close(saved_);
            saved_ = -1;
        }
    }
    ~WorkingDirectoryScope() {
        if (saved_ < 0) return;
        static_cast<void>(::fchdir(saved_));
        ::close(saved_);
    }
    WorkingDirectoryScope(const WorkingDirectoryScope&) = delete;
    WorkingDirectoryScope& operator=(const WorkingDirectoryScope&) = delete;

private:
    int saved_ = -1;
};

}  // namespace

bool isDesktopEntryFile(const std::string& path) {
    constexpr std::string_view suffix = ".desktop";
    if (path.size() <= suffix.size() || path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool launchDesktopEntry(const std::string& path, const std::string& directory) {
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(path.c_str());
    if (!info) return false;
    GAppLaunchContext* context = g_app_launch_context_new();
    GError* error = nullptr;
    gboolean launched = FALSE;
    {
        WorkingDirectoryScope scope(directory);
        launched = g_app_info_launch(G_APP_INFO(info), nullptr, context, &error);
    }
    if (error) g_error_free(error);
    g_object_unref(context);
    g_object_unref(info);
    return launched;
}

}  // namespace qlp::linux_desktop
